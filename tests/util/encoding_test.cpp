#include "util/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mm {
namespace {

using namespace std::string_literals;

// The code-page-936 bytes are written out, not made with Gbk(), which is the conversion under
// test.
const std::string kTouPingSheBeiGbk = "\xCD\xB6\xC6\xC1\xC9\xE8\xB1\xB8";  // 投屏设备

TEST(EncodingTest, Utf8ToAnsi) {
  struct Row {
    const char* name;
    std::string utf8;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty gives empty", "", ""},
      {"ASCII unchanged", "abc 123", "abc 123"},
      {"Chinese", "投屏设备", kTouPingSheBeiGbk},
      {"Chinese between ASCII", "a投屏设备b", "a" + kTouPingSheBeiGbk + "b"},
      {"character with a | trail byte", "東|", "\x96\x7C|"},
      {"euro sign", "€", "\x80"},
      {"emoji gives one ?", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"0xFF inside ASCII gives ?", "ab\xFF" "cd", "ab?cd"},
      {"byte-order mark gives one ?", "\xEF\xBB\xBF" "abc", "?abc"},
      {"input ends at the first zero byte", "ab\0cd"s, "ab"},
      {"zero byte first gives empty", "\0ab"s, ""},
      {"broken-off sequence gives one ?", "a\xE6\x8A" "b", "a?b"},
      {"lone continuation byte", "a\x80" "b", "a?b"},
      {"overlong form, one ? per byte", "\xC0\xAF", "??"},
      {"encoded surrogate, one ? per byte", "\xED\xA0\x80", "???"},
      {"sequence cut off at the end", "ab\xE6", "ab?"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Utf8ToAnsi(row.utf8), row.expected);
  }
}

TEST(EncodingTest, MultiByteToWide) {
  struct Row {
    const char* name;
    std::string bytes;
    CodePage codePage;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty gives empty, no terminator", "", CodePage::Utf8, ""},
      {"zero byte first gives empty", "\0a"s, CodePage::Utf8, ""},
      {"ASCII", "A", CodePage::Utf8, "A\0\0\0"s},
      {"one zero unit ends the result", "投", CodePage::Utf8, "\x95\x62\0\0"s},
      {"ends at the first zero byte", "A\0B"s, CodePage::Utf8, "A\0\0\0"s},
      {"emoji as a surrogate pair", "\xF0\x9F\x98\x80", CodePage::Utf8,
       "\x3D\xD8\x00\xDE\0\0"s},
      {"invalid UTF-8 gives U+FFFD", "\xFF", CodePage::Utf8, "\xFD\xFF\0\0"s},
      {"code page 936 character", "\xCD\xB6", CodePage::Gbk, "\x95\x62\0\0"s},
      {"code page 936 euro", "\x80", CodePage::Gbk, "\xAC\x20\0\0"s},
      {"code page 936 stray 0xFF keeps the ASCII after it", "\xFF" "A", CodePage::Gbk,
       "\xFD\xFF" "A\0\0\0"s},
      {"code page 936 lone lead byte at the end", "A\x81", CodePage::Gbk,
       "A\0\xFD\xFF\0\0"s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(MultiByteToWide(row.bytes, row.codePage), row.expected);
  }
}

TEST(EncodingTest, WideToMultiByte) {
  struct Row {
    const char* name;
    std::string wide;
    CodePage codePage;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty gives empty", "", CodePage::Gbk, ""},
      {"no terminator in the result", "\x95\x62", CodePage::Gbk, "\xCD\xB6"},
      {"terminated input", "\x95\x62\0\0"s, CodePage::Gbk, "\xCD\xB6"},
      {"ends at the first zero unit", "\x95\x62\0\0" "A\0"s, CodePage::Gbk, "\xCD\xB6"},
      {"zero byte inside a unit is no terminator", "\x00\x4E"s, CodePage::Gbk, "\xD2\xBB"},
      {"odd last byte dropped", "A\0B"s, CodePage::Gbk, "A"},
      {"U+FFFD gives ?", "\xFD\xFF", CodePage::Gbk, "?"},
      {"byte-order mark gives ?", "\xFF\xFE" "A\0"s, CodePage::Gbk, "?A"},
      {"emoji gives one ?", "\x3D\xD8\x00\xDE" "A\0"s, CodePage::Gbk, "?A"},
      {"lone high surrogate gives ?", "\x3D\xD8" "A\0"s, CodePage::Gbk, "?A"},
      {"UTF-8 output", "\x95\x62", CodePage::Utf8, "投"},
      {"UTF-8 output of an emoji", "\x3D\xD8\x00\xDE"s, CodePage::Utf8, "\xF0\x9F\x98\x80"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(WideToMultiByte(row.wide, row.codePage), row.expected);
  }
}

TEST(EncodingTest, AnsiToUtf8) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty", "", ""},
      {"ASCII", "abc", "abc"},
      {"Chinese", kTouPingSheBeiGbk, "投屏设备"},
      {"character with a \\ trail byte", "\x9C\x5C\\", "淺\\"},
      {"stray 0xFF becomes U+FFFD and keeps the ASCII", "\xFF" "a", "\xEF\xBF\xBD" "a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(AnsiToUtf8(row.text), row.expected);
  }
}

TEST(EncodingTest, IsValidUtf8) {
  struct Row {
    const char* name;
    std::string bytes;
    bool valid;
  };
  const std::vector<Row> rows = {
      {"empty", "", true},
      {"ASCII", "abc", true},
      {"Chinese", "投屏设备", true},
      {"byte-order mark", "\xEF\xBB\xBF", true},
      {"highest code point", "\xF4\x8F\xBF\xBF", true},
      {"0xFF", "a\xFF", false},
      {"overlong slash", "\xC0\xAF", false},
      {"overlong three-byte form", "\xE0\x80\xAF", false},
      {"encoded surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut off at the end", "\xE6\x8A", false},
      {"code page 936 text", kTouPingSheBeiGbk, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsValidUtf8(row.bytes), row.valid);
  }
}

}  // namespace
}  // namespace mm
