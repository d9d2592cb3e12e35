#include "util/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temporary_directory.h"
#include "util/encoding.h"

namespace mm {
namespace {

using namespace std::string_literals;

TEST(IniFileTest, FindsValuesLikeThePrivateProfileReader) {
  const std::string wide = "\xA1\xA1";  // the full-width space
  struct Row {
    const char* name;
    std::string ini;
    std::string section;
    std::string key;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"plain", "[s]\nk=v\n", "s", "k", "v"},
      {"section name ignores ASCII case", "[Sec]\nk=v\n", "sEC", "k", "v"},
      {"key name ignores ASCII case", "[s]\nKey=v\n", "s", "kEY", "v"},
      {"Chinese names", Gbk("[源站配置]\n数量=3\n"), Gbk("源站配置"), Gbk("数量"), "3"},
      {"blanks around key and value", "[s]\n  k  =   v  \n", "s", "k", "v"},
      {"tabs around key and value", "[s]\n\tk\t=\tv\t\n", "s", "k", "v"},
      {"full-width blanks around the value", "[s]\nk=" + wide + "v" + wide + "\n", "s", "k",
       "v"},
      {"inner blanks stay", "[s]\nk= a b \n", "s", "k", "a b"},
      {"double quotes removed", "[s]\nk=\"v\"\n", "s", "k", "v"},
      {"single quotes removed", "[s]\nk='v'\n", "s", "k", "v"},
      {"blanks inside quotes stay", "[s]\nk=  \" v \"  \n", "s", "k", " v "},
      {"only one pair of quotes removed", "[s]\nk=\"\"v\"\"\n", "s", "k", "\"v\""},
      {"unmatched quotes stay", "[s]\nk=\"v'\n", "s", "k", "\"v'"},
      {"a lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
      {"CR LF line ends", "[s]\r\nk=v\r\n", "s", "k", "v"},
      {"CR line ends", "[s]\rk=v\r", "s", "k", "v"},
      {"no line end at the end of the file", "[s]\nk=v", "s", "k", "v"},
      {"comment line skipped", "[s]\n;k=x\nk=v\n", "s", "k", "v"},
      {"indented comment line skipped", "[s]\n  ;k=x\n", "s", "k", ""},
      {"first of duplicate keys wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
      {"key of another section", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
      {"only the first section of a name is searched", "[s]\na=1\n[t]\n[s]\nk=2\n", "s", "k",
       ""},
      {"keys before any section belong to none", "k=1\n[s]\n", "s", "k", ""},
      {"header with blanks around it", "  [s]  \nk=v\n", "s", "k", "v"},
      {"empty value", "[s]\nk=\n", "s", "k", ""},
      {"value of blanks only", "[s]\nk= \t \n", "s", "k", ""},
      {"value of full-width blanks only", "[s]\nk=" + wide + wide + "\n", "s", "k", ""},
      {"equals sign inside the value", "[s]\nk=a=b\n", "s", "k", "a=b"},
      {"source line with bars", Gbk("[源站]\n1=http://h/?wd=|甲站\n"), Gbk("源站"), "1",
       Gbk("http://h/?wd=|甲站")},
      {"a zero byte ends the value", "[s]\nk=a\0b\n"s, "s", "k", "a"},
      {"missing section", "[s]\nk=v\n", "t", "k", ""},
      {"missing key", "[s]\nk=v\n", "s", "j", ""},
      {"empty file", "", "s", "k", ""},
      // 乚 (81 5D) ends in "]": the header below has no closing bracket of its own.
      {"trail byte ] closes no header", "[s\x81\x5D\nk=v\n", "s\x81", "k", ""},
      {"header name ending in a trail byte ]", "[s\x81\x5D]\nk=v\n", "s\x81\x5D", "k", "v"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindIniString(row.ini, row.section, row.key), row.expected);
  }
}

TEST(IniFileTest, DefaultValue) {
  struct Row {
    const char* name;
    std::string ini;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"missing key", "[s]\nj=1\n", "fallback"},
      {"missing section", "[t]\nk=1\n", "fallback"},
      {"key without equals sign", "[s]\nk\n", "fallback"},
      {"key without equals sign hides a later line", "[s]\nk\nk=2\n", "fallback"},
      {"empty value is no default", "[s]\nk=\n", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindIniString(row.ini, "s", "k", "fallback"), row.expected);
  }
}

TEST(IniFileTest, LongValuesAreCutToTheBuffer) {
  const std::size_t limit = kIniValueBufferSize - 1;
  const std::string tou = "\xCD\xB6";  // 投
  struct Row {
    const char* name;
    std::string value;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"fits exactly", std::string(limit, 'x'), std::string(limit, 'x')},
      {"one byte too long", std::string(limit + 1, 'x'), std::string(limit, 'x')},
      {"far too long", std::string(100000, 'x'), std::string(limit, 'x')},
      {"a character across the limit is left out", std::string(limit - 1, 'x') + tou,
       std::string(limit - 1, 'x')},
      {"a character ending at the limit stays", std::string(limit - 2, 'x') + tou,
       std::string(limit - 2, 'x') + tou},
      {"quotes come off before the cut", "\"" + std::string(limit, 'x') + "\"",
       std::string(limit, 'x')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindIniString("[s]\nk=" + row.value + "\n", "s", "k"), row.expected);
  }
}

TEST(IniFileTest, ReadsTheFileAnewAtEveryCall) {
  test::TemporaryDirectory dir;
  ASSERT_FALSE(dir.Path().empty());
  const auto file = dir.Path() / "settings.ini";
  EXPECT_EQ(ReadIniString(file, "s", "k", "none"), "none");  // no file yet
  ASSERT_TRUE(dir.WriteFile("settings.ini", "[s]\nk=1\n"));
  EXPECT_EQ(ReadIniString(file, "s", "k"), "1");
  ASSERT_TRUE(dir.WriteFile("settings.ini", "[s]\nk=2\n"));
  EXPECT_EQ(ReadIniString(file, "s", "k"), "2");
  // UTF-16 as the platform's editors save "Unicode" files.
  ASSERT_TRUE(dir.WriteFile("settings.ini", "\xFF\xFE[\0s\0]\0\n\0k\0=\0\x95\x62\n\0"s));
  EXPECT_EQ(ReadIniString(file, "s", "k"), "\xCD\xB6");
}

}  // namespace
}  // namespace mm
