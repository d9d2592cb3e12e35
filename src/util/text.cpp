#include "util/text.h"

#include <climits>

namespace mm {

namespace {

bool IsLead(unsigned char c) { return c >= 0x80; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares `what` with the bytes at text[pos], which is a character boundary. Only single-byte
// ASCII letters fold when ignoring case; both bytes of a two-byte character compare exactly,
// because a trail byte in 0x40..0x7E can look like a letter.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view what, bool ignoreCase) {
  if (text.size() - pos < what.size()) return false;
  if (!ignoreCase) return text.compare(pos, what.size(), what) == 0;
  for (std::size_t i = 0; i < what.size();) {
    if (CharLength(text, pos + i) == 2) {
      if (text[pos + i] != what[i]) return false;
      if (i + 1 < what.size() && text[pos + i + 1] != what[i + 1]) return false;
      i += 2;
      continue;
    }
    if (LowerAscii(text[pos + i]) != LowerAscii(what[i])) return false;
    ++i;
  }
  return true;
}

// The first character boundary at or after `from`, walking from `boundary`, a boundary known to
// lie at or before `from`. Boundaries are fixed by the text from its first byte, so a position
// in the middle of a character moves on to the next character.
std::size_t BoundaryFrom(std::string_view text, std::size_t boundary, std::size_t from) {
  while (boundary < from && boundary < text.size()) boundary += CharLength(text, boundary);
  return boundary;
}

// 0-based index of the first match that starts on a character boundary, searching from the
// boundary `pos`, or npos.
std::size_t FindFromBoundary(std::string_view text, std::string_view what, std::size_t pos,
                             bool ignoreCase) {
  if (what.empty()) return std::string_view::npos;
  while (pos < text.size()) {
    if (MatchesAt(text, pos, what, ignoreCase)) return pos;
    pos += CharLength(text, pos);
  }
  return std::string_view::npos;
}

// 0-based byte index of the first match at a character boundary at or after `from`, or npos.
std::size_t FindIndex(std::string_view text, std::string_view what, std::size_t from,
                      bool ignoreCase) {
  return FindFromBoundary(text, what, BoundaryFrom(text, 0, from), ignoreCase);
}

std::size_t StartIndex(int start) { return start <= 1 ? 0 : static_cast<std::size_t>(start - 1); }

// The last match at a character boundary, or npos. Matches may overlap: the last one is the
// one that starts last.
std::size_t FindLastIndex(std::string_view text, std::string_view what) {
  std::size_t last = std::string_view::npos;
  std::size_t pos = FindFromBoundary(text, what, 0, false);
  while (pos != std::string_view::npos) {
    last = pos;
    pos = FindFromBoundary(text, what, pos + CharLength(text, pos), false);
  }
  return last;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsLead(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

int Find(std::string_view text, std::string_view what, int start, bool ignoreCase) {
  std::size_t index = FindIndex(text, what, StartIndex(start), ignoreCase);
  return index == std::string_view::npos ? -1 : static_cast<int>(index) + 1;
}

bool Contains(std::string_view text, std::string_view what, bool ignoreCase) {
  return FindIndex(text, what, 0, ignoreCase) != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix, bool ignoreCase) {
  return MatchesAt(text, 0, prefix, ignoreCase);
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  if (suffix.size() > text.size()) return false;
  std::size_t pos = text.size() - suffix.size();
  if (text.compare(pos, suffix.size(), suffix) != 0) return false;
  // The match must start on a character boundary.
  std::size_t walk = 0;
  while (walk < pos) walk += CharLength(text, walk);
  return walk == pos;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t begin = 0;
  std::size_t boundary = 0;
  for (;;) {
    std::size_t hit = FindFromBoundary(text, separator, boundary, false);
    if (hit == std::string_view::npos) break;
    pieces.emplace_back(text.substr(begin, hit - begin));
    begin = hit + separator.size();
    boundary = BoundaryFrom(text, hit, begin);
  }
  if (begin < text.size()) pieces.emplace_back(text.substr(begin));
  return pieces;
}

std::string Join(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i) out.append(separator);
    out.append(pieces[i]);
  }
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignoreCase) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t begin = 0;
  std::size_t boundary = 0;
  for (;;) {
    std::size_t hit = FindFromBoundary(text, from, boundary, ignoreCase);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(begin, hit - begin));
    out.append(to);
    begin = hit + from.size();
    boundary = BoundaryFrom(text, hit, begin);
  }
  out.append(text.substr(begin));
  return out;
}

namespace {

// Length of the blank character at text[pos] (a boundary): 1 for an ASCII space, 2 for the
// full-width space A1 A1, 0 for anything else.
std::size_t BlankLengthAt(std::string_view text, std::size_t pos) {
  if (text[pos] == ' ') return 1;
  if (CharLength(text, pos) == 2 && text[pos] == '\xA1' && text[pos + 1] == '\xA1') return 2;
  return 0;
}

}  // namespace

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t len = BlankLengthAt(text, begin);
    if (len == 0) break;
    begin += len;
  }
  // One forward walk finds where the final run of blanks starts; walking backwards could take
  // the trail byte of a character for a blank.
  std::size_t end = text.size();
  bool inBlankRun = false;
  for (std::size_t pos = begin; pos < text.size();) {
    std::size_t blank = BlankLengthAt(text, pos);
    if (blank == 0) {
      inBlankRun = false;
      pos += CharLength(text, pos);
      continue;
    }
    if (!inBlankRun) end = pos;
    inBlankRun = true;
    pos += blank;
  }
  if (!inBlankRun) end = text.size();
  return std::string(text.substr(begin, end - begin));
}

std::string TextBefore(std::string_view text, std::string_view delimiter, int start,
                       bool ignoreCase) {
  std::size_t from = StartIndex(start);
  std::size_t hit = FindIndex(text, delimiter, from, ignoreCase);
  if (hit == std::string_view::npos) return {};
  return std::string(text.substr(0, hit));
}

std::string TextAfterLast(std::string_view text, std::string_view separator) {
  std::size_t hit = FindLastIndex(text, separator);
  if (hit == std::string_view::npos) return {};
  return std::string(text.substr(hit + separator.size()));
}

std::string TextBetween(std::string_view text, std::string_view leftMarker,
                        std::string_view rightMarker, int start, bool ignoreCase) {
  std::size_t left = FindIndex(text, leftMarker, StartIndex(start), ignoreCase);
  if (left == std::string_view::npos) return {};
  std::size_t from = left + leftMarker.size();
  std::size_t right = FindIndex(text, rightMarker, from, ignoreCase);
  if (right == std::string_view::npos) return {};
  return std::string(text.substr(from, right - from));
}

int ToInteger(std::string_view text) {
  // Full-width forms in code page 936: blank A1 A1, digits A3 B0..A3 B9, plus A3 AB, minus A3 AD.
  std::size_t pos = 0;
  auto fullWidth = [&](unsigned char second) {
    return pos + 1 < text.size() && static_cast<unsigned char>(text[pos]) == 0xA3 &&
           static_cast<unsigned char>(text[pos + 1]) == second;
  };
  auto digitAt = [&](int& digit) -> std::size_t {
    if (pos >= text.size()) return 0;
    unsigned char c = static_cast<unsigned char>(text[pos]);
    if (c >= '0' && c <= '9') {
      digit = c - '0';
      return 1;
    }
    if (c == 0xA3 && pos + 1 < text.size()) {
      unsigned char d = static_cast<unsigned char>(text[pos + 1]);
      if (d >= 0xB0 && d <= 0xB9) {
        digit = d - 0xB0;
        return 2;
      }
    }
    return 0;
  };
  for (;;) {
    if (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' ||
                              text[pos] == '\n' || text[pos] == '\v' || text[pos] == '\f')) {
      ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '\xA1' && text[pos + 1] == '\xA1') {
      pos += 2;
    } else {
      break;
    }
  }
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  } else if (fullWidth(0xAB) || fullWidth(0xAD)) {
    negative = static_cast<unsigned char>(text[pos + 1]) == 0xAD;
    pos += 2;
  }
  long long value = 0;
  int digit = 0;
  while (std::size_t len = digitAt(digit)) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + digit;
    pos += len;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    std::size_t len = CharLength(out, pos);
    if (len == 1) out[pos] = UpperAscii(out[pos]);
    pos += len;
  }
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    std::size_t len = CharLength(out, pos);
    if (len == 1) out[pos] = LowerAscii(out[pos]);
    pos += len;
  }
  return out;
}

}  // namespace mm
