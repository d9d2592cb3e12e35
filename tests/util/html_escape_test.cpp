#include "util/html_escape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/encoding.h"

namespace mm {
namespace {

TEST(HtmlEscapeTest, EscapesTheFiveCharacters) {
  struct Row {
    const char* name;
    std::string text;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty", "", ""},
      {"all five", "&\"'<>", "&amp;&quot;&apos;&lt;&gt;"},
      {"plain text unchanged", "abc 123 /?=#%", "abc 123 /?=#%"},
      {"address with a query", "http://h/a.m3u8?a=1&b=2", "http://h/a.m3u8?a=1&amp;b=2"},
      {"an entity is escaped again", "&amp;", "&amp;amp;"},
      {"Chinese unchanged", Gbk("投屏设备"), Gbk("投屏设备")},
      {"Chinese beside specials", Gbk("<投屏>"), "&lt;" + Gbk("投屏") + "&gt;"},
      {"characters with ASCII trail bytes unchanged", "\x96\x7C\x9C\x5C\x81\x41",
       "\x96\x7C\x9C\x5C\x81\x41"},
      {"special after a stray lead byte is escaped", "\x81<b", "\x81&lt;b"},
      {"stray 0xFF before a quote", "\xFF\"", "\xFF&quot;"},
      {"lone lead byte at the end", "a\x81", "a\x81"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(HtmlEscape(row.text), row.expected);
  }
}

}  // namespace
}  // namespace mm
