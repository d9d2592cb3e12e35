#include "util/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "util/encoding.h"

namespace mm {
namespace {

// GBK characters whose second byte is an ASCII byte that the text operations search for. A
// search that does not step over two-byte characters finds them in the middle of one.
const std::string kBarTrail = "\x96\x7C";        // 東: second byte "|"
const std::string kBackslashTrail = "\x9C\x5C";  // 淺: second byte "\"
const std::string kUpperATrail = "\x81\x41";     // 丄: second byte "A"
const std::string kLowerATrail = "\x81\x61";     // 乤: second byte "a"
const std::string kBracketTrail = "\x81\x5D";    // 乚: second byte "]"

TEST(TextTest, Find) {
  struct Row {
    const char* name;
    std::string text;
    std::string what;
    int start;
    bool ignoreCase;
    int expected;
  };
  const std::vector<Row> rows = {
      {"first occurrence", "abcabc", "bc", 1, false, 2},
      {"from a later start", "abcabc", "bc", 3, false, 5},
      {"start on the match", "abcabc", "bc", 5, false, 5},
      {"start 0 counts as 1", "abcabc", "bc", 0, false, 2},
      {"negative start counts as 1", "abcabc", "bc", -4, false, 2},
      {"start past the end", "abc", "c", 4, false, -1},
      {"start far past the end", "abc", "c", 1000, false, -1},
      {"match at the last byte", "abc", "c", 3, false, 3},
      {"not found", "abc", "d", 1, false, -1},
      {"needle longer than text", "ab", "abc", 1, false, -1},
      {"empty needle is never found", "abc", "", 1, false, -1},
      {"empty text", "", "a", 1, false, -1},
      {"case differs, exact search", "ABC", "b", 1, false, -1},
      {"case differs, case ignored", "ABC", "b", 1, true, 2},
      {"ignoring case, mixed needle", "xHeLLo", "hello", 1, true, 2},
      {"two-byte characters counted as two bytes", Gbk("投屏设备"), Gbk("设备"), 1, false, 5},
      {"Chinese with ASCII, case ignored", Gbk("投屏ABC"), Gbk("屏abc"), 1, true, 3},
      {"trail byte | is not a match", kBarTrail + "|", "|", 1, false, 3},
      {"trail byte \\ is not a match", kBackslashTrail + "\\", "\\", 1, false, 3},
      {"only a trail byte |", kBarTrail, "|", 1, false, -1},
      {"only a trail byte \\", kBackslashTrail, "\\", 1, false, -1},
      {"start on a trail byte moves to the next character", kBarTrail + "|x", "|", 2, false, 3},
      {"trail byte A is not the letter A", kUpperATrail, "A", 1, false, -1},
      {"trail byte A is not the letter a ignoring case", kUpperATrail, "a", 1, true, -1},
      {"trail bytes do not fold ignoring case", kUpperATrail, kLowerATrail, 1, true, -1},
      {"same character found ignoring case", "x" + kUpperATrail, kUpperATrail, 1, true, 2},
      {"letter after a character with letter trail", kUpperATrail + "a", "A", 1, true, 3},
      {"lone lead byte at the end is one byte", "ab\x81", "\x81", 1, false, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Find(row.text, row.what, row.start, row.ignoreCase), row.expected);
  }
}

TEST(TextTest, ContainsStartsWithEndsWith) {
  struct Row {
    const char* name;
    std::string text;
    std::string what;
    bool contains;
    bool startsWith;
    bool endsWith;
  };
  const std::vector<Row> rows = {
      {"whole text", "a.m3u8", "a.m3u8", true, true, true},
      {"suffix", "http://h/a.m3u8", ".m3u8", true, false, true},
      {"prefix", "http://h/a", "http", true, true, false},
      {"inside", "xaby", "ab", true, false, false},
      {"absent", "abc", "d", false, false, false},
      {"trail byte | at the end is no suffix", "x" + kBarTrail, "|", false, false, false},
      {"trail byte \\ at the end is no suffix", kBackslashTrail, "\\", false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Contains(row.text, row.what), row.contains);
    EXPECT_EQ(StartsWith(row.text, row.what), row.startsWith);
    EXPECT_EQ(EndsWith(row.text, row.what), row.endsWith);
  }
  EXPECT_TRUE(StartsWith("HTTP://h", "http", true));
  EXPECT_FALSE(StartsWith("HTTP://h", "http", false));
}

TEST(TextTest, Split) {
  struct Row {
    const char* name;
    std::string text;
    std::string separator;
    std::vector<std::string> expected;
  };
  const std::vector<Row> rows = {
      {"three pieces", "a#b#c", "#", {"a", "b", "c"}},
      {"empty piece between separators is kept", "a##b", "#", {"a", "", "b"}},
      {"leading separator gives an empty first piece", "#a", "#", {"", "a"}},
      {"trailing separator adds no empty piece", "a#b#", "#", {"a", "b"}},
      {"only a separator", "#", "#", {""}},
      {"two separators", "##", "#", {"", ""}},
      {"empty text gives no pieces", "", "#", {}},
      {"no separator", "abc", "#", {"abc"}},
      {"multi-byte separator", "a$$$b$$$c", "$$$", {"a", "b", "c"}},
      {"separator occurrences do not overlap", "a$$$$b", "$$$", {"a", "$b"}},
      {"CR LF lines", "1\r\n2\r\n", "\r\n", {"1", "2"}},
      {"trail byte | is no separator", kBarTrail + "|x", "|", {kBarTrail, "x"}},
      {"trail byte \\ is no separator", "a\\" + kBackslashTrail + "\\b", "\\",
       {"a", kBackslashTrail, "b"}},
      {"Chinese pieces", Gbk("第1集$地址#第2集$地址"), "#", {Gbk("第1集$地址"), Gbk("第2集$地址")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Split(row.text, row.separator), row.expected);
  }
}

TEST(TextTest, ReplaceAll) {
  struct Row {
    const char* name;
    std::string text;
    std::string from;
    std::string to;
    bool ignoreCase;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"every occurrence", "a.b.c", ".", "-", false, "a-b-c"},
      {"left to right without overlap, even count", "aaaa", "aa", "b", false, "bb"},
      {"left to right without overlap, odd count", "aaa", "aa", "b", false, "ba"},
      {"replacement is not searched again", "ab", "a", "aa", false, "aab"},
      {"removal", "a b c", " ", "", false, "abc"},
      {"exact case", "Abab", "ab", "x", false, "Abx"},
      {"case ignored", "Abab", "AB", "x", true, "xx"},
      {"empty pattern leaves the text", "abc", "", "x", false, "abc"},
      {"empty text", "", "a", "b", false, ""},
      {"trail byte | is kept", kBarTrail + "|", "|", "/", false, kBarTrail + "/"},
      {"trail byte \\ is kept", kBackslashTrail + "\\n", "\\", "/", false,
       kBackslashTrail + "/n"},
      {"trail letter untouched ignoring case", kUpperATrail + "A", "a", "b", true,
       kUpperATrail + "b"},
      {"Chinese pattern", Gbk("第1集，第2集"), Gbk("，"), "#", false, Gbk("第1集#第2集")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReplaceAll(row.text, row.from, row.to, row.ignoreCase), row.expected);
  }
}

TEST(TextTest, Trim) {
  const std::string wide = "\xA1\xA1";  // the full-width space
  const std::string ah = "\xB0\xA1";    // 啊: its second byte is A1
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"ASCII spaces", "  ab  ", "ab"},
      {"full-width spaces", wide + "ab" + wide + wide, "ab"},
      {"mixed spaces", " " + wide + " ab " + wide + " ", "ab"},
      {"inner spaces stay", " a b ", "a b"},
      {"tabs stay", "\tab\t", "\tab\t"},
      {"CR and LF stay", "ab\r\n", "ab\r\n"},
      {"spaces stop at a tab", " \t a ", "\t a"},
      {"only spaces", "  " + wide + " ", ""},
      {"empty", "", ""},
      {"full-width space after a character ending in A1", ah + wide, ah},
      {"A1 A1 across two characters is no space", "x" + ah + "\xA1", "x" + ah + "\xA1"},
      {"Chinese text", wide + Gbk("投屏") + " ", Gbk("投屏")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Trim(row.text), row.expected);
  }
}

TEST(TextTest, TextBefore) {
  struct Row {
    const char* name;
    std::string text;
    std::string delimiter;
    int start;
    bool ignoreCase;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"before the first", "a|b|c", "|", 1, false, "a"},
      {"no delimiter gives empty", "abc", "|", 1, false, ""},
      {"delimiter first gives empty", "|b", "|", 1, false, ""},
      {"later start finds a later delimiter", "a|b|c", "|", 3, false, "a|b"},
      {"start 0 counts as 1", "a|b|c", "|", 0, false, "a"},
      {"exact case", "abXcd", "x", 1, false, ""},
      {"case ignored", "abXcd", "x", 1, true, "ab"},
      {"trail byte | is no delimiter", kBarTrail + "|x", "|", 1, false, kBarTrail},
      {"Chinese delimiter", Gbk("片名：投屏"), Gbk("："), 1, false, Gbk("片名")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextBefore(row.text, row.delimiter, row.start, row.ignoreCase), row.expected);
  }
}

TEST(TextTest, TextAfterLast) {
  struct Row {
    const char* name;
    std::string text;
    std::string separator;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"after the last", "a|b|c", "|", "c"},
      {"separator at the end gives empty", "a|", "|", ""},
      {"no separator gives empty", "abc", "|", ""},
      {"only the separator", "|", "|", ""},
      {"multi-byte separator", "a$$$b$$$c", "$$$", "c"},
      {"exact comparison", "xAyaz", "a", "z"},
      {"trail byte | is no separator", "a|" + kBarTrail, "|", kBarTrail},
      {"trail byte \\ is no separator", "dir\\" + kBackslashTrail, "\\", kBackslashTrail},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextAfterLast(row.text, row.separator), row.expected);
  }
}

TEST(TextTest, TextBetween) {
  struct Row {
    const char* name;
    std::string text;
    std::string left;
    std::string right;
    int start;
    bool ignoreCase;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"between markers", "<a>x</a>", "<a>", "</a>", 1, false, "x"},
      {"missing left marker", "x</a>", "<a>", "</a>", 1, false, ""},
      {"missing right marker", "<a>x", "<a>", "</a>", 1, false, ""},
      {"nothing between", "<a></a>", "<a>", "</a>", 1, false, ""},
      {"right marker searched after the left", "]x[y]", "[", "]", 1, false, "y"},
      {"same marker on both sides", "|a|b|", "|", "|", 1, false, "a"},
      {"later start", "[a][b]", "[", "]", 2, false, "b"},
      {"case ignored for both markers", "<A>x</A>", "<a>", "</a>", 1, true, "x"},
      {"exact case", "<A>x</A>", "<a>", "</a>", 1, false, ""},
      {"trail bytes are no markers", kBarTrail + "|x|", "|", "|", 1, false, "x"},
      {"trail ] is no right marker", "[" + kBracketTrail + "]", "[", "]", 1, false,
       kBracketTrail},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextBetween(row.text, row.left, row.right, row.start, row.ignoreCase),
              row.expected);
  }
}

TEST(TextTest, ToInteger) {
  struct Row {
    const char* name;
    std::string text;
    int expected;
  };
  const std::vector<Row> rows = {
      {"digits", "42", 42},
      {"minus", "-42", -42},
      {"plus", "+7", 7},
      {"leading zeros", "007", 7},
      {"leading spaces", "  12", 12},
      {"leading tab", "\t12", 12},
      {"stops at other text", "12abc", 12},
      {"stops at an inner space", "1 2", 1},
      {"stops at a decimal point", "3.9", 3},
      {"empty", "", 0},
      {"no digits", "abc", 0},
      {"sign only", "-", 0},
      {"blank between sign and digits", "- 5", 0},
      {"two signs", "+-1", 0},
      {"full-width two", Gbk("２"), 2},
      {"full-width number", Gbk("１２３"), 123},
      {"full-width minus", Gbk("－５"), -5},
      {"full-width plus", Gbk("＋５"), 5},
      {"full-width blank", Gbk("　３"), 3},
      {"mixed widths", Gbk("　-1２x"), -12},
      {"Chinese numeral is no digit", Gbk("二"), 0},
      {"largest int", "2147483647", INT_MAX},
      {"smallest int", "-2147483648", INT_MIN},
      {"overflow clamps to the largest", "99999999999999999999", INT_MAX},
      {"overflow clamps to the smallest", "-99999999999999999999", INT_MIN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ToInteger(row.text), row.expected);
  }
}

TEST(TextTest, AsciiCaseChanges) {
  struct Row {
    const char* name;
    std::string text;
    std::string upper;
    std::string lower;
  };
  const std::vector<Row> rows = {
      {"ASCII letters", "abcXYZ09", "ABCXYZ09", "abcxyz09"},
      {"Chinese unchanged", Gbk("投屏a"), Gbk("投屏A"), Gbk("投屏a")},
      {"full-width letters unchanged", Gbk("ａＢ"), Gbk("ａＢ"), Gbk("ａＢ")},
      {"letter-like trail bytes unchanged", kLowerATrail + kUpperATrail + "a",
       kLowerATrail + kUpperATrail + "A", kLowerATrail + kUpperATrail + "a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(AsciiUpper(row.text), row.upper);
    EXPECT_EQ(AsciiLower(row.text), row.lower);
  }
}

}  // namespace
}  // namespace mm
