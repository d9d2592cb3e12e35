#include "http/cookie_jar.h"

#include <vector>

#include "util/text.h"

namespace mm {

namespace {

constexpr std::string_view kSeparator = "; ";

bool IsDeleted(std::string_view item) {
  constexpr std::string_view kDeleted = "=deleted";
  return item.size() >= kDeleted.size() && item.substr(item.size() - kDeleted.size()) == kDeleted;
}

// Trimmed, and a trailing ";" given its space so that Split sees the separator.
std::string PrepareJar(std::string_view text) {
  std::string out = Trim(text);
  if (!out.empty() && out.back() == ';') out += ' ';
  return out;
}

}  // namespace

std::string CollectSetCookies(std::string_view headerBlock) {
  std::string result;
  for (const std::string& line : Split(headerBlock, "\r\n")) {
    if (TextBefore(line, ": ") != "Set-Cookie") continue;
    std::string piece;
    if (Contains(line, ";")) {
      piece = Trim(TextBetween(line, "Set-Cookie:", ";"));
    } else {
      piece = Trim(ReplaceAll(line, "Set-Cookie:", "", true));
    }
    result += piece;
    result += kSeparator;
  }
  if (EndsWith(result, kSeparator)) result.resize(result.size() - kSeparator.size());
  return result;
}

std::string CookieName(std::string_view item) {
  int equals = Find(item, "=");
  if (equals < 0) return Trim(item);
  return Trim(item.substr(0, static_cast<std::size_t>(equals - 1)));
}

std::string MergeCookies(std::string& cookies, std::string_view returnedCookies) {
  cookies = PrepareJar(cookies);
  std::vector<std::string> oldItems = Split(cookies, kSeparator);
  std::vector<std::string> items = Split(PrepareJar(returnedCookies), kSeparator);
  for (const std::string& old : oldItems) {
    std::string name = CookieName(old);
    bool named = false;
    for (const std::string& item : items) {
      if (CookieName(item) == name) {
        named = true;
        break;
      }
    }
    if (!named) items.push_back(old);
  }
  std::string output;
  for (const std::string& item : items) {
    if (IsDeleted(item)) continue;
    output += item;
    output += kSeparator;
  }
  if (output.size() >= kSeparator.size()) output.resize(output.size() - kSeparator.size());
  output = RemoveDuplicateItems(output, kSeparator);
  cookies = output;
  return output;
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  std::vector<std::string> kept;
  std::string output;
  for (const std::string& item : Split(text, separator)) {
    bool seen = false;
    for (const std::string& k : kept) {
      if (k == item) {
        seen = true;
        break;
      }
    }
    if (seen) continue;
    kept.push_back(item);
    output += item;
    output += separator;
  }
  if (output.size() >= separator.size()) output.resize(output.size() - separator.size());
  return output;
}

}  // namespace mm
