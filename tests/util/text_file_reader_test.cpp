#include "util/text_file_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temporary_directory.h"

namespace mm {
namespace {

using namespace std::string_literals;

const std::string kTouPingGbk = "\xCD\xB6\xC6\xC1";  // 投屏
const std::string kFenJiGbk = "\xB7\xD6\xBC\xAF";    // 分集

TEST(TextFileReaderTest, DetectsTheEncoding) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty file", "", ""},
      {"ASCII unchanged", "a\nb\n", "a\nb\n"},
      {"code page 936 unchanged", kTouPingGbk + "\r\n" + kFenJiGbk + "\r\n",
       kTouPingGbk + "\r\n" + kFenJiGbk + "\r\n"},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" "投屏\n", kTouPingGbk + "\n"},
      {"UTF-8 without byte-order mark", "投屏\r\n分集\r\n",
       kTouPingGbk + "\r\n" + kFenJiGbk + "\r\n"},
      {"byte-order mark alone", "\xEF\xBB\xBF", ""},
      {"UTF-8 mark before invalid bytes still converts", "\xEF\xBB\xBF" "a\xFF\n", "a?\n"},
      {"one invalid byte makes it code page 936", "投屏\n\xFF\n", "投屏\n\xFF\n"},
      // 源站 in code page 936 (D4 B4 D5 BE) is also well-formed UTF-8 for two Armenian letters.
      {"code page 936 that happens to be valid UTF-8", "[\xD4\xB4\xD5\xBE]\r\n1=a|b\r\n",
       "[\xD4\xB4\xD5\xBE]\r\n1=a|b\r\n"},
      {"UTF-8 without Chinese that code page 936 can hold", "caf\xC3\xA9?\n",
       "caf\xA8\xA6?\n"},
      {"UTF-8 Chinese with an emoji", "投屏\xF0\x9F\x98\x80\n", kTouPingGbk + "?\n"},
      {"UTF-16 LE with byte-order mark", "\xFF\xFE\x95\x62\n\0\r\0\n\0"s,
       "\xCD\xB6\n\r\n"},
      {"UTF-16 BE with byte-order mark", "\xFE\xFF\x62\x95\0\n"s, "\xCD\xB6\n"},
      {"UTF-16 odd last byte dropped", "\xFF\xFE" "A\0B"s, "A"},
      {"zero bytes kept in converted UTF-8", "\xEF\xBB\xBF" "a\0投\0"s,
       "a\0\xCD\xB6\0"s},
      {"zero units kept in converted UTF-16", "\xFF\xFE" "a\0\0\0b\0"s, "a\0b"s},
      {"empty lines keep their LF bytes", "\xEF\xBB\xBF\n\n投\n\n", "\n\n\xCD\xB6\n\n"},
  };
  test::TemporaryDirectory dir;
  ASSERT_FALSE(dir.Path().empty());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(dir.WriteFile("episodes.txt", row.bytes));
    EXPECT_EQ(ReadTextFile(dir.Path() / "episodes.txt"), row.expected);
  }
}

TEST(TextFileReaderTest, UnreadablePathsGiveEmptyText) {
  test::TemporaryDirectory dir;
  ASSERT_FALSE(dir.Path().empty());
  EXPECT_EQ(ReadTextFile(dir.Path() / "missing.txt"), "");
  EXPECT_EQ(ReadTextFile(dir.Path()), "");  // a directory
  Bytes bytes = "left over";
  EXPECT_FALSE(ReadFileBytes(dir.Path() / "missing.txt", bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(TextFileReaderTest, LargeFileKeepsEveryLineEnd) {
  std::string content;
  for (int i = 0; i < 100000; ++i) content += "第" + std::to_string(i) + "集$http://h/" + "\r\n";
  test::TemporaryDirectory dir;
  ASSERT_FALSE(dir.Path().empty());
  ASSERT_TRUE(dir.WriteFile("big.txt", content));
  std::string text = ReadTextFile(dir.Path() / "big.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 100000);
  EXPECT_EQ(text.substr(0, 4), "\xB5\xDA" "0\xBC");  // 第0集 in code page 936
}

}  // namespace
}  // namespace mm
