#include "util/regex_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/encoding.h"

namespace mm {
namespace {

using namespace std::string_literals;

// The pattern the episode lists tidy their groups with: a CR that begins a line or an LF that
// ends one.
const std::string kTidyPattern = "(?:^\\r|\\n$)";

std::string Tidy(const std::string& text) {
  RegexEngine engine;
  EXPECT_TRUE(engine.Search(kTidyPattern, text));
  return engine.Replace("");
}

TEST(RegexEngineTest, TidyPatternRemovesEmptyLines) {
  struct Row {
    const char* name;
    std::string subject, expected;
  };
  const std::vector<Row> rows = {
      {"one line break stays", "a\r\nb", "a\r\nb"},
      {"one empty line", "a\r\n\r\nb", "a\r\nb"},
      {"two empty lines", "a\r\n\r\n\r\nb", "a\r\nb"},
      {"lone LF at the very end", "a\nb\n", "a\nb"},
      {"CR LF at the end loses its LF", "a\r\n", "a\r"},
      {"CR LF at the start loses its CR", "\r\na", "\na"},
      {"two CRs in a row", "a\r\rb", "a\rb"},
      {"two LFs in a row", "a\n\nb", "a\nb"},
      {"no line break", Gbk("第01集$u1"), Gbk("第01集$u1")},
      {"empty text", "", ""},
      {"episode lines with an empty one", Gbk("01集$u1\r\n\r\n02集$u2"), Gbk("01集$u1\r\n02集$u2")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Tidy(row.subject), row.expected);
  }
}

// Every match is shown in brackets, so one string says where the matches fell.
TEST(RegexEngineTest, FollowsTheDialect) {
  struct Row {
    const char* name;
    std::string pattern, subject;
    bool caseSensitive, multiline;
    std::string expected;  // Replace("[$&]")
  };
  const std::vector<Row> rows = {
      {"caret between CR and LF", "^\\n", "a\r\nb", false, true, "a\r[\n]b"},
      {"dollar between CR and LF", "\\r$", "a\r\nb", false, true, "a[\r]\nb"},
      {"caret after CR, LF and at the start", "^a", "a\na\ra", false, true, "[a]\n[a]\r[a]"},
      {"dollar before CR, LF and at the end", "a$", "a\ra\na", false, true, "[a]\r[a]\n[a]"},
      {"single-line caret only at the start", "^a", "a\na", false, false, "[a]\na"},
      {"single-line dollar not before a final LF", "a$", "a\n", false, false, "a\n"},
      {"single-line dollar at the end", "a$", "a\na", false, false, "a\n[a]"},
      {"dot skips CR and LF", "a.", "a\ra\nab", false, true, "a\ra\n[ab]"},
      {"dot takes a whole Chinese character", "a.b", Gbk("a中b"), false, true, Gbk("[a中b]")},
      {"letter case ignored by default", "ABC", "xabcx", false, true, "x[abc]x"},
      {"letter case kept when asked", "ABC", "xabcx", true, true, "xabcx"},
      {"unicode escape", "\\u4e2d", Gbk("中文"), false, true, Gbk("[中]文")},
      {"chinese pattern", Gbk("第(.)集"), Gbk("第一集第二集"), false, true, Gbk("[第一集][第二集]")},
      {"empty class matches nothing", "a[]", "aa", false, true, "aa"},
      {"negated empty class matches anything", "[^]", "\n", false, true, "[\n]"},
      {"anchors and dot are members in a class", "[$^.]", "a$b^c.d", false, true,
       "a[$]b[^]c[.]d"},
      {"escaped dollar is a dollar", "\\$", "a$b", false, true, "a[$]b"},
      {"back-reference to an unset group matches empty", "(a)?\\1b", "b", false, true, "[b]"},
      {"empty matches advance", "x*", "abc", false, true, "[]a[]b[]c[]"},
      {"empty match right after a match", "b*", "abc", false, true, "[]a[b][]c[]"},
      {"empty matches step over Chinese characters", "x*", Gbk("中文"), false, true,
       Gbk("[]中[]文[]")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(row.pattern, row.subject, row.caseSensitive, row.multiline));
    EXPECT_EQ(engine.Replace("[$&]"), row.expected);
  }
}

TEST(RegexEngineTest, ReplacementReferences) {
  struct Row {
    const char* name;
    std::string pattern, subject, replacement, expected;
  };
  const std::vector<Row> rows = {
      {"groups swapped", "(\\w+)\\s(\\w+)", "John Smith", "$2, $1", "Smith, John"},
      {"whole match", "Smith", "John Smith", "<$&>", "John <Smith>"},
      {"text before the match", "Smith", "John Smith", "[$`]", "John [John ]"},
      {"text after the match", "John", "John Smith", "[$']", "[ Smith] Smith"},
      {"dollar dollar", "o", "John", "$$", "J$hn"},
      {"group beyond the groups stays literal", "(o)", "John", "$2", "J$2hn"},
      {"dollar zero stays literal", "(o)", "John", "$0", "J$0hn"},
      {"two digits naming no group fall back to one", "(o)", "John", "$10", "Jo0hn"},
      {"two digits with a leading zero", "(o)", "John", "[$01]", "J[o]hn"},
      {"two-digit group", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk", "$11$10", "kj"},
      {"group that did not take part is empty", "(a)|(b)", "b", "[$1]", "[]"},
      {"dollar at the end stays", "o", "John", "x$", "Jx$hn"},
      {"dollar before another letter stays", "o", "John", "$z", "J$zhn"},
      {"chinese replacement and group", "(\\d+)", Gbk("第12集"), Gbk("<$1号>"), Gbk("第<12号>集")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(row.pattern, row.subject));
    EXPECT_EQ(engine.Replace(row.replacement), row.expected);
  }
}

TEST(RegexEngineTest, NoMatchLeavesTheSubject) {
  RegexEngine engine;
  ASSERT_TRUE(engine.Search("xyz", Gbk("第01集$u1")));
  EXPECT_EQ(engine.MatchCount(), 0);
  EXPECT_EQ(engine.SubMatchCount(), 0);
  EXPECT_EQ(engine.Replace("-"), Gbk("第01集$u1"));
}

TEST(RegexEngineTest, InvalidPatternFails) {
  const std::vector<std::string> patterns = {"(abc", "a)", "[a", "a{2,1}", "*a", "\\"};
  for (const std::string& pattern : patterns) {
    SCOPED_TRACE(pattern);
    RegexEngine engine;
    ASSERT_TRUE(engine.Search("a", "a"));  // a failed Search drops the earlier state
    EXPECT_FALSE(engine.Search(pattern, "abc a)"));
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_EQ(engine.Replace("-"), "");
    EXPECT_EQ(engine.GetPattern(), pattern);
    EXPECT_EQ(engine.MatchText(1), "");
  }
}

TEST(RegexEngineTest, NothingBeforeTheFirstSearch) {
  RegexEngine engine;
  int position = 7;
  EXPECT_EQ(engine.GetPattern(), "");
  EXPECT_EQ(engine.Replace("x"), "");
  EXPECT_EQ(engine.MatchCount(), 0);
  EXPECT_EQ(engine.SubMatchCount(), 0);
  EXPECT_EQ(engine.MatchText(1, true, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexEngineTest, QuoteMarkerStandsForADoubleQuote) {
  const std::string subject = "abc \"abc\" x";
  const std::string pattern = Gbk("#引号abc#引号");
  RegexEngine engine;
  ASSERT_TRUE(engine.Search(pattern, subject, false, true, true, true));
  EXPECT_EQ(engine.GetPattern(), "\"abc\"");
  ASSERT_EQ(engine.MatchCount(), 1);
  int position = -1;
  EXPECT_EQ(engine.MatchText(1, true, &position), "\"abc\"");
  EXPECT_EQ(position, 4);

  // Without the switch the marker is plain pattern text.
  ASSERT_TRUE(engine.Search(pattern, subject));
  EXPECT_EQ(engine.MatchCount(), 0);
  EXPECT_EQ(engine.GetPattern(), pattern);

  // The marker is matched exactly: other letters after "#" stay.
  ASSERT_TRUE(engine.Search(Gbk("#引#引号"), Gbk("#引\""), false, true, true, true));
  EXPECT_EQ(engine.MatchCount(), 1);
}

TEST(RegexEngineTest, GlobalOffTakesOnlyTheFirstMatch) {
  RegexEngine engine;
  ASSERT_TRUE(engine.Search("a", "a-a-a", false, true, false));
  EXPECT_EQ(engine.MatchCount(), 1);
  EXPECT_EQ(engine.Replace("b"), "b-a-a");
  ASSERT_TRUE(engine.Search("a", "a-a-a"));
  EXPECT_EQ(engine.MatchCount(), 3);
  EXPECT_EQ(engine.Replace("b"), "b-b-b");
}

// Offsets count bytes of the code-page-936 subject, where each Chinese character takes two.
TEST(RegexEngineTest, PositionsAreByteOffsetsInProgramText) {
  const std::string subject = Gbk("第一集abc第二集ABC");
  RegexEngine engine;
  ASSERT_TRUE(engine.Search(Gbk("(集)(a)(x)?"), subject));
  ASSERT_EQ(engine.MatchCount(), 2);
  EXPECT_EQ(engine.SubMatchCount(), 3);

  struct Row {
    int match, group;  // group 0: the whole match
    std::string text;
    int position;
  };
  const std::vector<Row> rows = {
      {1, 0, Gbk("集a"), 4}, {1, 1, Gbk("集"), 4}, {1, 2, "a", 6}, {1, 3, "", -1},
      {2, 0, Gbk("集A"), 13}, {2, 1, Gbk("集"), 13}, {2, 2, "A", 15},
      {0, 0, "", -1},  {3, 0, "", -1}, {1, 4, "", -1}, {1, -1, "", -1}, {3, 1, "", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.match) + "/" + std::to_string(row.group));
    int position = 99;
    std::string text = row.group == 0 ? engine.MatchText(row.match, true, &position)
                                      : engine.SubMatchText(row.match, row.group, true, &position);
    EXPECT_EQ(text, row.text);
    EXPECT_EQ(position, row.position);
  }
  // Without wantPosition the out value is not touched.
  int untouched = 42;
  EXPECT_EQ(engine.MatchText(1, false, &untouched), Gbk("集a"));
  EXPECT_EQ(untouched, 42);
}

// Bytes that are no code-page-936 character are one unknown character each to the matcher and
// come back unchanged from Replace.
TEST(RegexEngineTest, InvalidBytesSurviveReplace) {
  struct Row {
    const char* name;
    std::string subject, pattern, expected;  // Replace("[$&]")
  };
  const std::vector<Row> rows = {
      {"stray 0xFF", "\xFF" "ab\xFF", "b", "\xFF" "a[b]\xFF"},
      {"lead byte before LF", "a\x81\nb\n", "\\n$", "a\x81\nb[\n]"},
      {"unassigned pair", "\xA2\xA0x", "x", "\xA2\xA0[x]"},
      {"lone lead byte at the end", "abc\x81", "c", "ab[c]\x81"},
      {"zero byte", "a\0b"s, "b", "a\0[b]"s},
      {"dot takes an unknown character", "xa\xFF", "a.", "x[a\xFF]"},
      {"a byte of 0x80 or above takes the next byte", "a\xFF" "b", "a.b", "a\xFF" "b"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RegexEngine engine;
    ASSERT_TRUE(engine.Search(row.pattern, row.subject));
    EXPECT_EQ(engine.Replace("[$&]"), row.expected);
  }
}

TEST(RegexEngineTest, ANewSearchReplacesTheState) {
  RegexEngine engine;
  ASSERT_TRUE(engine.Search("(a)(b)", "ab ab"));
  EXPECT_EQ(engine.SubMatchCount(), 2);
  ASSERT_TRUE(engine.Search("c", "xcx"));
  EXPECT_EQ(engine.GetPattern(), "c");
  EXPECT_EQ(engine.MatchCount(), 1);
  EXPECT_EQ(engine.SubMatchCount(), 0);
  EXPECT_EQ(engine.SubMatchText(1, 1), "");
  EXPECT_EQ(engine.Replace("[$1]"), "x[$1]x");
}

TEST(RegexEngineTest, LargeSubjectWithManyMatches) {
  std::string subject;
  for (int i = 0; i < 200000; ++i) subject += Gbk("第集$u\r\n\r\n");
  RegexEngine engine;
  ASSERT_TRUE(engine.Search(kTidyPattern, subject));
  EXPECT_EQ(engine.MatchCount(), 2 * 200000 + 1);  // the last LF ends the text: one more
  std::string expected;
  for (int i = 0; i < 200000; ++i) expected += Gbk("第集$u\r\n");
  expected.resize(expected.size() - 1);  // the final LF ends the last line
  EXPECT_EQ(engine.Replace(""), expected);
}

}  // namespace
}  // namespace mm
