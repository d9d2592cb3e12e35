#include "util/regex_engine.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "util/encoding.h"
#include "util/text.h"

namespace mm {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The one code point of a short UTF-8 text, or U+FFFD when it holds anything else.
char32_t SingleCodePoint(std::string_view utf8) {
  if (utf8.empty()) return kReplacementCharacter;
  auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  std::size_t len = b(0) < 0x80 ? 1 : b(0) < 0xE0 ? 2 : b(0) < 0xF0 ? 3 : 4;
  if (len != utf8.size()) return kReplacementCharacter;
  if (len == 1) return b(0);
  char32_t cp = b(0) & (0x7F >> len);
  for (std::size_t i = 1; i < len; ++i) cp = (cp << 6) | (b(i) & 0x3F);
  return cp;
}

// Code points of the code-page-936 characters that begin with a byte of 0x80 or above: one for
// that byte alone (the last byte of a text) and one for each pair it leads. Built once from the
// encoding layer, so the regular expressions see the same characters as every other conversion;
// a pair the code page leaves unassigned is one U+FFFD, which keeps it one character, as the
// text layer counts it.
class Cp936Table {
 public:
  Cp936Table() : pairs_(128 * 256, kReplacementCharacter) {
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
      singles_[lead - 0x80] = SingleCodePoint(AnsiToUtf8(std::string(1, static_cast<char>(lead))));
      if (lead < 0x81 || lead > 0xFE) continue;
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        pairs_[(lead - 0x80) * 256 + trail] = SingleCodePoint(AnsiToUtf8(std::string_view(pair, 2)));
      }
    }
  }
  char32_t Single(unsigned char lead) const { return singles_[lead - 0x80]; }
  char32_t Pair(unsigned char lead, unsigned char trail) const {
    return pairs_[(lead - 0x80) * 256 + trail];
  }

 private:
  std::array<char32_t, 128> singles_{};
  std::vector<char32_t> pairs_;
};

const Cp936Table& Table() {
  static const Cp936Table table;
  return table;
}

// A stretch of characters that all take the same number of bytes on both sides; a text of one
// kind of character (all ASCII, all Chinese) is one run, so the offset map stays small.
struct Run {
  std::size_t utf8Start, ansiStart;
  std::size_t utf8Len, ansiLen;  // bytes of one character
};

// Program text as UTF-8, with the way back from a UTF-8 offset (on a character boundary) to the
// byte offset in the program text.
class MappedText {
 public:
  explicit MappedText(std::string_view ansi) : ansiSize_(ansi.size()) {
    utf8_.reserve(ansi.size() + ansi.size() / 2);
    const Cp936Table& table = Table();
    for (std::size_t pos = 0; pos < ansi.size();) {
      auto lead = static_cast<unsigned char>(ansi[pos]);
      std::size_t ansiLen = CharLength(ansi, pos);
      std::size_t before = utf8_.size();
      if (lead < 0x80) {
        utf8_.push_back(static_cast<char>(lead));
      } else {
        AppendUtf8(utf8_, ansiLen == 2 ? table.Pair(lead, static_cast<unsigned char>(ansi[pos + 1]))
                                       : table.Single(lead));
      }
      std::size_t utf8Len = utf8_.size() - before;
      if (runs_.empty() || runs_.back().utf8Len != utf8Len || runs_.back().ansiLen != ansiLen) {
        runs_.push_back(Run{before, pos, utf8Len, ansiLen});
      }
      pos += ansiLen;
    }
  }

  const std::string& Utf8() const { return utf8_; }

  std::size_t AnsiOffset(std::size_t utf8Offset) const {
    if (utf8Offset >= utf8_.size()) return ansiSize_;
    auto it = std::upper_bound(runs_.begin(), runs_.end(), utf8Offset,
                               [](std::size_t u, const Run& r) { return u < r.utf8Start; });
    if (it == runs_.begin()) return utf8Offset;
    const Run& run = *(it - 1);
    return run.ansiStart + (utf8Offset - run.utf8Start) / run.utf8Len * run.ansiLen;
  }

 private:
  std::size_t ansiSize_;
  std::string utf8_;
  std::vector<Run> runs_;
};

// Turns the dialect's anchors and dot into PCRE2 constructs with the same meaning, so that the
// result does not depend on PCRE2's newline convention: PCRE2 takes CR LF as one line end,
// where the dialect sees two.
//   multi-line "^"  -> (?<![^\r\n])   at the start or after CR or LF
//   multi-line "$"  -> (?![^\r\n])    at the end or before CR or LF
//   single-line "^" -> \A, "$" -> \z  ("$" does not match before a final line end)
//   "."             -> any character but CR, LF, U+2028 and U+2029
//   "[]" matches nothing and "[^]" anything, where PCRE2 would read a "]" as a member.
std::string TranslatePattern(std::string_view p, bool multiline) {
  std::string out;
  out.reserve(p.size() + 16);
  for (std::size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (c == '\\') {
      out.push_back(c);
      if (i + 1 < p.size()) out.push_back(p[++i]);
    } else if (c == '[') {
      if (p.substr(i, 2) == "[]") {
        out += "(?!)";
        ++i;
        continue;
      }
      if (p.substr(i, 3) == "[^]") {
        out += "[\\s\\S]";
        i += 2;
        continue;
      }
      // Copy the class as it is: inside it "^", "$" and "." are members or negation.
      out.push_back(c);
      std::size_t j = i + 1;
      if (j < p.size() && p[j] == '^') out.push_back(p[j++]);
      for (; j < p.size(); ++j) {
        out.push_back(p[j]);
        if (p[j] == '\\' && j + 1 < p.size()) {
          out.push_back(p[++j]);
        } else if (p[j] == ']') {
          break;
        }
      }
      i = j;
    } else if (c == '^') {
      out += multiline ? "(?<![^\\r\\n])" : "\\A";
    } else if (c == '$') {
      out += multiline ? "(?![^\\r\\n])" : "\\z";
    } else if (c == '.') {
      out += "[^\\r\\n\\u2028\\u2029]";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// One piece of a parsed replacement text.
struct ReplacementPiece {
  enum Kind { kLiteral, kMatch, kBefore, kAfter, kGroup } kind;
  std::string literal;
  int group = 0;
};

// ECMAScript substitution: "$$", "$&", "$`", "$'", "$n" and "$nn" for groups that exist (two
// digits when they name a group, else one); every other "$" stays as it is.
std::vector<ReplacementPiece> ParseReplacement(std::string_view text, int groupCount) {
  std::vector<ReplacementPiece> pieces;
  std::string literal;
  auto flush = [&] {
    if (!literal.empty()) pieces.push_back({ReplacementPiece::kLiteral, std::move(literal), 0});
    literal.clear();
  };
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = CharLength(text, i);
    if (len != 1 || text[i] != '$' || i + 1 >= text.size()) {
      literal.append(text, i, len);
      i += len;
      continue;
    }
    char next = text[i + 1];
    ReplacementPiece::Kind kind = ReplacementPiece::kLiteral;
    if (next == '$') {
      literal.push_back('$');
      i += 2;
      continue;
    }
    if (next == '&') kind = ReplacementPiece::kMatch;
    if (next == '`') kind = ReplacementPiece::kBefore;
    if (next == '\'') kind = ReplacementPiece::kAfter;
    if (kind != ReplacementPiece::kLiteral) {
      flush();
      pieces.push_back({kind, {}, 0});
      i += 2;
      continue;
    }
    if (isDigit(next)) {
      int one = next - '0';
      if (i + 2 < text.size() && isDigit(text[i + 2])) {
        int two = one * 10 + (text[i + 2] - '0');
        if (two >= 1 && two <= groupCount) {
          flush();
          pieces.push_back({ReplacementPiece::kGroup, {}, two});
          i += 3;
          continue;
        }
      }
      if (one >= 1 && one <= groupCount) {
        flush();
        pieces.push_back({ReplacementPiece::kGroup, {}, one});
        i += 2;
        continue;
      }
    }
    literal.push_back('$');
    ++i;
  }
  flush();
  return pieces;
}

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

}  // namespace

struct RegexEngine::Compiled {
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> matchData;
};

RegexEngine::RegexEngine() = default;
RegexEngine::~RegexEngine() = default;

void RegexEngine::Clear() {
  compiled_.reset();
  searched_ = false;
  pattern_.clear();
  subject_.clear();
  groupCount_ = 0;
  matches_.clear();
}

bool RegexEngine::Search(const std::string& pattern, const std::string& subject,
                         bool caseSensitive, bool multiline, bool global, bool quoteMarker) {
  Clear();
  pattern_ = quoteMarker ? ReplaceAll(pattern, Gbk("#引号"), "\"") : pattern;
  subject_ = subject;

  std::string translated = TranslatePattern(MappedText(pattern_).Utf8(), multiline);
  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  auto compiled = std::make_unique<Compiled>();
  compiled->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()),
                                     translated.size(), options, &error, &errorOffset, nullptr));
  if (!compiled->code) return false;
  // Optional speed-up; where the JIT is missing the interpreter runs the same pattern.
  pcre2_jit_compile(compiled->code.get(), PCRE2_JIT_COMPLETE);
  compiled->matchData.reset(pcre2_match_data_create_from_pattern(compiled->code.get(), nullptr));
  if (!compiled->matchData) return false;
  uint32_t captures = 0;
  pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
  int groupCount = static_cast<int>(captures);

  MappedText text(subject_);
  const std::string& utf8 = text.Utf8();
  auto data = reinterpret_cast<PCRE2_SPTR>(utf8.data());
  std::vector<Match> matches;
  std::size_t start = 0;
  while (start <= utf8.size()) {
    // The subject was made here and is valid UTF-8; checking it again at every match would
    // make a search with many matches quadratic.
    int rc = pcre2_match(compiled->code.get(), data, utf8.size(), start, PCRE2_NO_UTF_CHECK,
                         compiled->matchData.get(), nullptr);
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
      rc = pcre2_match(compiled->code.get(), data, utf8.size(), start,
                       PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT, compiled->matchData.get(), nullptr);
    }
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) return false;  // a match limit or a resource failure: the pattern did not run
    PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(compiled->matchData.get());
    uint32_t pairs = pcre2_get_ovector_count(compiled->matchData.get());
    Match match;
    match.start = static_cast<int>(text.AnsiOffset(ovector[0]));
    match.end = static_cast<int>(text.AnsiOffset(ovector[1]));
    match.groups.assign(static_cast<std::size_t>(groupCount) * 2, -1);
    for (int g = 1; g <= groupCount && static_cast<uint32_t>(g) < pairs; ++g) {
      if (g >= rc || ovector[2 * g] == PCRE2_UNSET) continue;
      match.groups[2 * (g - 1)] = static_cast<int>(text.AnsiOffset(ovector[2 * g]));
      match.groups[2 * (g - 1) + 1] = static_cast<int>(text.AnsiOffset(ovector[2 * g + 1]));
    }
    matches.push_back(std::move(match));
    if (!global) break;
    std::size_t end = ovector[1];
    if (end > ovector[0]) {
      start = end;
    } else {
      // An empty match: go on one character later, as the dialect does, or the loop would
      // find the same empty match for ever.
      if (end >= utf8.size()) break;
      start = end + 1;
      while (start < utf8.size() && (static_cast<unsigned char>(utf8[start]) & 0xC0) == 0x80) {
        ++start;
      }
    }
  }

  compiled_ = std::move(compiled);
  groupCount_ = groupCount;
  matches_ = std::move(matches);
  searched_ = true;
  return true;
}

std::string RegexEngine::GetPattern() const { return pattern_; }

std::string RegexEngine::Replace(const std::string& replacement) const {
  if (!searched_) return {};
  std::vector<ReplacementPiece> pieces = ParseReplacement(replacement, groupCount_);
  std::string out;
  out.reserve(subject_.size());
  std::size_t copied = 0;
  for (const Match& match : matches_) {
    out.append(subject_, copied, static_cast<std::size_t>(match.start) - copied);
    for (const ReplacementPiece& piece : pieces) {
      switch (piece.kind) {
        case ReplacementPiece::kLiteral:
          out += piece.literal;
          break;
        case ReplacementPiece::kMatch:
          out.append(subject_, match.start, match.end - match.start);
          break;
        case ReplacementPiece::kBefore:
          out.append(subject_, 0, match.start);
          break;
        case ReplacementPiece::kAfter:
          out.append(subject_, match.end, std::string::npos);
          break;
        case ReplacementPiece::kGroup: {
          int s = match.groups[2 * (piece.group - 1)];
          int e = match.groups[2 * (piece.group - 1) + 1];
          if (s >= 0) out.append(subject_, s, e - s);
          break;
        }
      }
    }
    copied = static_cast<std::size_t>(match.end);
  }
  out.append(subject_, copied, std::string::npos);
  return out;
}

int RegexEngine::MatchCount() const { return static_cast<int>(matches_.size()); }

std::string RegexEngine::MatchText(int n, bool wantPosition, int* position) const {
  bool inRange = n >= 1 && n <= MatchCount();
  if (wantPosition && position) *position = inRange ? matches_[n - 1].start : -1;
  if (!inRange) return {};
  const Match& match = matches_[n - 1];
  return subject_.substr(match.start, match.end - match.start);
}

std::string RegexEngine::SubMatchText(int n, int m, bool wantPosition, int* position) const {
  bool inRange = n >= 1 && n <= MatchCount() && m >= 1 && m <= groupCount_;
  int start = -1, end = -1;
  if (inRange) {
    start = matches_[n - 1].groups[2 * (m - 1)];
    end = matches_[n - 1].groups[2 * (m - 1) + 1];
  }
  if (wantPosition && position) *position = start;
  if (start < 0) return {};
  return subject_.substr(start, end - start);
}

int RegexEngine::SubMatchCount() const { return matches_.empty() ? 0 : groupCount_; }

}  // namespace mm
