#include "util/text_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <system_error>
#include <utility>

#include "util/encoding.h"

namespace mm {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool HasNonAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// True when valid UTF-8 `bytes` hold a character from U+3000 to U+9FFF (CJK punctuation, kana,
// the unified ideographs): three-byte sequences that lead with E3..E9.
bool HasCjkCharacter(std::string_view bytes) {
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 0xE3 && b <= 0xE9) return true;
  }
  return false;
}

// The conversions end at the first zero (byte or unit), as program text does. A file may hold
// zero bytes all the same, so each stretch between them is converted on its own and the zeros
// are put back, instead of losing the rest of the file.
template <typename Convert>
std::string ConvertAroundZeros(std::string_view in, std::size_t zeroWidth, Convert convert) {
  std::string out;
  out.reserve(in.size());
  const std::string zero(zeroWidth, '\0');
  std::size_t begin = 0;
  while (begin <= in.size()) {
    std::size_t end = begin;
    while (end + zeroWidth <= in.size() && in.compare(end, zeroWidth, zero) != 0) end += zeroWidth;
    if (end + zeroWidth > in.size()) end = in.size();
    out += convert(in.substr(begin, end - begin));
    if (end >= in.size()) break;
    out.push_back('\0');
    begin = end + zeroWidth;
  }
  return out;
}

std::string FromUtf8(std::string_view bytes) {
  return ConvertAroundZeros(bytes, 1, [](std::string_view piece) { return Utf8ToAnsi(piece); });
}

std::string FromUtf16Le(std::string_view bytes) {
  return ConvertAroundZeros(bytes, 2, [](std::string_view piece) {
    return WideToMultiByte(piece, CodePage::Gbk);
  });
}

std::string FromUtf16Be(std::string_view bytes) {
  std::string swapped(bytes.substr(0, bytes.size() & ~std::size_t{1}));
  for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
  return FromUtf16Le(swapped);
}

}  // namespace

bool ReadFileBytes(const std::filesystem::path& file, Bytes& bytes) {
  bytes.clear();
  std::error_code ec;
  // Opening a pipe or a device would block or never end; only plain files are read.
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (!ec) bytes.reserve(static_cast<std::size_t>(size));
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    bytes.clear();
    return false;
  }
  return true;
}

std::string DecodeText(std::string_view bytes) {
  if (StartsWith(bytes, kUtf8Mark)) return FromUtf8(bytes.substr(kUtf8Mark.size()));
  if (StartsWith(bytes, kUtf16LeMark)) return FromUtf16Le(bytes.substr(kUtf16LeMark.size()));
  if (StartsWith(bytes, kUtf16BeMark)) return FromUtf16Be(bytes.substr(kUtf16BeMark.size()));
  // Plain ASCII reads the same either way; only text that uses UTF-8's multi-byte forms, and
  // uses them without a single mistake, can be UTF-8.
  if (!HasNonAscii(bytes) || !IsValidUtf8(bytes)) return std::string(bytes);
  // Short code-page-936 text can pass that test: 源站 is D4 B4 D5 BE, two well-formed UTF-8
  // pairs that spell Armenian letters. Such a misreading gives characters that code page 936
  // lacks and no Chinese at all, while real UTF-8 text converts without loss or holds Chinese.
  std::string converted = FromUtf8(bytes);
  if (std::count(converted.begin(), converted.end(), '?') ==
          std::count(bytes.begin(), bytes.end(), '?') ||
      HasCjkCharacter(bytes)) {
    return converted;
  }
  return std::string(bytes);
}

std::string ReadTextFile(const std::filesystem::path& file) {
  Bytes bytes;
  if (!ReadFileBytes(file, bytes)) return {};
  return DecodeText(bytes);
}

}  // namespace mm
