#include "util/ini_file.h"

#include "util/text.h"
#include "util/text_file_reader.h"

namespace mm {

namespace {

// Length of the blank at text[pos] (a character boundary), or 0.
std::size_t BlankAt(std::string_view text, std::size_t pos) {
  char c = text[pos];
  if (c == ' ' || c == '\t' || c == '\v' || c == '\f') return 1;
  if (CharLength(text, pos) == 2 && c == '\xA1' && text[pos + 1] == '\xA1') return 2;
  return 0;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// `text` without blanks at either end. The walk goes forward from the first byte so that the
// trail byte of a character is never taken for a blank.
std::string_view TrimBlanks(std::string_view text) {
  if (IsAscii(text)) {
    // Without two-byte characters every byte is a boundary: no walk needed (lines can be huge).
    const char* blanks = " \t\v\f";
    std::size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(blanks) + 1 - begin);
  }
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t blank = BlankAt(text, begin);
    if (blank == 0) break;
    begin += blank;
  }
  std::size_t end = begin;
  for (std::size_t pos = begin; pos < text.size();) {
    std::size_t blank = BlankAt(text, pos);
    if (blank != 0) {
      pos += blank;
      continue;
    }
    pos += CharLength(text, pos);
    end = pos;
  }
  return text.substr(begin, end - begin);
}

// 0-based index of the last `c` that is a whole character, or npos. "]" (0x5D) is also a trail
// byte of many GBK characters.
std::size_t LastCharacter(std::string_view text, char c) {
  std::size_t last = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
    if (text[pos] == c) last = pos;
  }
  return last;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

std::string_view StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// What fits into the reader's buffer: up to a zero byte, at most one byte less than the
// buffer, and no lead byte left without its trail byte.
std::string CutToBuffer(std::string_view value) {
  std::size_t zero = value.find('\0');
  if (zero != std::string_view::npos) value = value.substr(0, zero);
  const std::size_t limit = kIniValueBufferSize - 1;
  if (value.size() <= limit) return std::string(value);
  std::size_t end = 0;
  while (end < limit) {
    std::size_t len = CharLength(value, end);
    if (end + len > limit) break;
    end += len;
  }
  return std::string(value.substr(0, end));
}

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

}  // namespace

std::string FindIniString(std::string_view iniText, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
  bool inSection = false;
  std::size_t pos = 0;
  while (pos < iniText.size()) {
    std::size_t end = pos;
    while (end < iniText.size() && !IsLineEnd(iniText[end])) ++end;
    std::string_view line = TrimBlanks(iniText.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = LastCharacter(line, ']');
      if (close != std::string_view::npos) {
        if (inSection) break;  // the first section of that name has ended without the key
        inSection = SameName(line.substr(1, close - 1), section);
        continue;
      }
    }
    if (!inSection) continue;
    // "=" (0x3D) is never a trail byte, so a plain byte search is exact here.
    std::size_t equals = line.find('=');
    std::string_view name = TrimBlanks(line.substr(0, equals));
    if (!SameName(name, key)) continue;
    // A key without "=" has no value at all, and the reader answers with the default for it;
    // being the first line of its key, it still hides any later one.
    if (equals == std::string_view::npos) break;
    return CutToBuffer(StripQuotes(TrimBlanks(line.substr(equals + 1))));
  }
  return CutToBuffer(defaultValue);
}

std::string ReadIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
  std::string text = ReadTextFile(file);
  return FindIniString(text, section, key, defaultValue);
}

}  // namespace mm
