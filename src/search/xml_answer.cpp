#include "search/xml_answer.h"

#include "util/encoding.h"

namespace mm {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string DeclaredXmlEncoding(const Bytes& answer) {
  std::string_view text(answer);
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (text.substr(0, 5) != "<?xml") return {};
  std::size_t end = text.find("?>");
  if (end == std::string_view::npos) return {};
  std::string declaration = AsciiLower(text.substr(0, end));
  std::size_t key = declaration.find("encoding");
  if (key == std::string::npos) return {};
  std::size_t pos = key + 8;
  while (pos < declaration.size() && IsBlank(declaration[pos])) ++pos;
  if (pos >= declaration.size() || declaration[pos] != '=') return {};
  ++pos;
  while (pos < declaration.size() && IsBlank(declaration[pos])) ++pos;
  if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\'')) return {};
  char quote = declaration[pos++];
  std::size_t close = declaration.find(quote, pos);
  if (close == std::string::npos) return {};
  return Trim(std::string_view(declaration).substr(pos, close - pos));
}

Bytes XmlAnswerToProgramText(const Bytes& answer) {
  const std::string encoding = DeclaredXmlEncoding(answer);
  if (encoding == "gbk" || encoding == "gb2312" || encoding == "gb18030" || encoding == "cp936" ||
      encoding == "x-gbk" || encoding == "windows-936") {
    return answer;
  }
  std::string_view body(answer);
  bool hasBom = body.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (hasBom) body.remove_prefix(kUtf8Bom.size());
  bool utf8 = encoding == "utf-8" || encoding == "utf8" ||
              (encoding.empty() && (hasBom || IsValidUtf8(body)));
  if (!utf8) return answer;
  return Utf8ToAnsi(body);
}

}  // namespace mm
