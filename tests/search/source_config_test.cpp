#include "search/source_config.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/temporary_directory.h"
#include "util/encoding.h"
#include "util/ini_file.h"
#include "util/program_directory.h"

namespace mm {
namespace {

using namespace std::string_literals;

// The configuration file's name on disk: the UTF-8 bytes of the Chinese name.
const char* const kIniName = "源站配置.ini";

// Points the program directory at a fresh temporary directory for one test.
class SourceConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    OverrideProgramDirectory(dir_.Path());
  }
  void TearDown() override { OverrideProgramDirectory({}); }

  // Writes the file as the user's editor would save it in code page 936; `utf8` is the content
  // written in this source file's UTF-8.
  void WriteGbkIni(const std::string& utf8) { ASSERT_TRUE(dir_.WriteFile(kIniName, Gbk(utf8))); }
  void WriteRawIni(const std::string& bytes) { ASSERT_TRUE(dir_.WriteFile(kIniName, bytes)); }

  test::TemporaryDirectory dir_;
};

TEST_F(SourceConfigTest, FileLiesInTheProgramDirectory) {
  EXPECT_EQ(SourceConfigPath(), dir_.Path() / kIniName);
}

TEST_F(SourceConfigTest, SplitsSourceLines) {
  const std::string dong = "\x96\x7C";  // 東: its second byte is "|"
  struct Row {
    const char* name;
    std::string line;  // code page 936
    std::string queryPrefix;
    std::string displayName;
  };
  const std::vector<Row> rows = {
      {"prefix and name", Gbk("http://a/api.php?wd=|甲站"), "http://a/api.php?wd=", Gbk("甲站")},
      {"three fields keep the first and the last", "http://a/?wd=|mid|Name", "http://a/?wd=",
       "Name"},
      {"line ending in a bar has no name", "http://a/?wd=|", "http://a/?wd=", ""},
      {"line beginning with a bar has no prefix", "|Name", "", "Name"},
      {"line without a bar gives two empty fields", "http://a/?wd=", "", ""},
      {"empty line", "", "", ""},
      {"trail byte | in the prefix is no separator", "http://a/?wd=" + dong + "|N",
       "http://a/?wd=" + dong, "N"},
      {"trail byte | in the name is no separator", "http://a/?wd=|" + dong, "http://a/?wd=",
       dong},
      {"quoted line loses its quotes", "\"http://a/?wd=|N\"", "http://a/?wd=", "N"},
      {"blanks around the line are dropped", "   http://a/?wd=|N   ", "http://a/?wd=", "N"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteRawIni(Gbk("[源站]\r\n1=") + row.line + "\r\n");
    SourceSite site = ReadSourceSite(1);
    EXPECT_EQ(site.queryPrefix, row.queryPrefix);
    EXPECT_EQ(site.displayName, row.displayName);
  }
}

TEST_F(SourceConfigTest, ReadsTheCount) {
  struct Row {
    const char* name;
    std::string ini;  // UTF-8 here, saved as code page 936
    int expected;
  };
  const std::vector<Row> rows = {
      {"decimal count", "[源站配置]\n数量=3\n", 3},
      {"full-width digit two", "[源站配置]\n数量=２\n", 2},
      {"full-width blank before the digit", "[源站配置]\n数量=　４\n", 4},
      {"text without digits", "[源站配置]\n数量=三个\n", 0},
      {"digits followed by text", "[源站配置]\n数量=5个\n", 5},
      {"empty value", "[源站配置]\n数量=\n", 0},
      {"negative count", "[源站配置]\n数量=-1\n", -1},
      {"quoted count", "[源站配置]\n数量=\"6\"\n", 6},
      {"missing key", "[源站配置]\n解析地址=http://p/?url=\n", 0},
      {"missing section", "[源站]\n数量=3\n", 0},
      {"count in another section only", "[其他]\n数量=3\n[源站配置]\n", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteGbkIni(row.ini);
    EXPECT_EQ(ReadSourceCount(), row.expected);
  }
}

TEST_F(SourceConfigTest, GapInTheSourceKeysReadsAsAnEmptyLine) {
  WriteGbkIni(
      "[源站配置]\r\n数量=3\r\n解析地址=http://parse/?url=\r\n"
      "[源站]\r\n1=http://one/?wd=|一号\r\n3=http://three/?wd=|三号\r\n4=http://four/?wd=|四号\r\n");
  ASSERT_EQ(ReadSourceCount(), 3);
  SourceSite first = ReadSourceSite(1);
  SourceSite second = ReadSourceSite(2);
  SourceSite third = ReadSourceSite(3);
  EXPECT_EQ(first.queryPrefix, "http://one/?wd=");
  EXPECT_EQ(first.displayName, Gbk("一号"));
  EXPECT_EQ(second.queryPrefix, "");
  EXPECT_EQ(second.displayName, "");
  EXPECT_EQ(third.queryPrefix, "http://three/?wd=");
  EXPECT_EQ(third.displayName, Gbk("三号"));
  EXPECT_EQ(ReadParsePrefix(), "http://parse/?url=");
}

TEST_F(SourceConfigTest, MissingFileReadsAsEmpty) {
  EXPECT_EQ(ReadSourceCount(), 0);
  SourceSite site = ReadSourceSite(1);
  EXPECT_EQ(site.queryPrefix, "");
  EXPECT_EQ(site.displayName, "");
  EXPECT_EQ(ReadParsePrefix(), "");
}

TEST_F(SourceConfigTest, MissingParsePrefixIsEmpty) {
  WriteGbkIni("[源站配置]\n数量=1\n[源站]\n1=http://a/?wd=|甲\n");
  EXPECT_EQ(ReadParsePrefix(), "");
}

TEST_F(SourceConfigTest, AnEditTakesEffectAtTheNextCall) {
  WriteGbkIni("[源站配置]\n数量=1\n解析地址=http://old/\n[源站]\n1=http://a/?wd=|甲\n");
  EXPECT_EQ(ReadSourceCount(), 1);
  EXPECT_EQ(ReadParsePrefix(), "http://old/");
  EXPECT_EQ(ReadSourceSite(1).displayName, Gbk("甲"));

  WriteGbkIni("[源站配置]\n数量=2\n解析地址=http://new/\n[源站]\n1=http://b/?wd=|乙\n");
  EXPECT_EQ(ReadSourceCount(), 2);
  EXPECT_EQ(ReadParsePrefix(), "http://new/");
  EXPECT_EQ(ReadSourceSite(1).displayName, Gbk("乙"));

  std::filesystem::remove(SourceConfigPath());
  EXPECT_EQ(ReadSourceCount(), 0);
}

TEST_F(SourceConfigTest, FileSavedAsUtf8) {
  const std::string utf8 =
      "[源站配置]\r\n数量=２\r\n解析地址=http://parse/?url=\r\n"
      "[源站]\r\n1=http://one/?wd=|一号站\r\n2=http://two/?wd=|二号站\r\n";
  struct Row {
    const char* name;
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"without byte-order mark", utf8},
      {"with byte-order mark", "\xEF\xBB\xBF" + utf8},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteRawIni(row.bytes);
    EXPECT_EQ(ReadSourceCount(), 2);
    EXPECT_EQ(ReadParsePrefix(), "http://parse/?url=");
    SourceSite second = ReadSourceSite(2);
    EXPECT_EQ(second.queryPrefix, "http://two/?wd=");
    EXPECT_EQ(second.displayName, Gbk("二号站"));
  }
}

TEST_F(SourceConfigTest, BinaryFileReadsAsEmpty) {
  std::mt19937 random(20240611);
  std::string bytes(256 * 1024, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  WriteRawIni(bytes);
  EXPECT_EQ(ReadSourceCount(), 0);
  EXPECT_EQ(ReadSourceSite(1).queryPrefix, "");
  EXPECT_EQ(ReadParsePrefix(), "");
}

TEST_F(SourceConfigTest, SectionsAmidBinaryBytesAreStillFound) {
  WriteRawIni("\0\xFF\xFE\x81garbage\n"s + Gbk("[源站配置]\n数量=2\n") + "\0\0\x80\n"s +
              Gbk("[源站]\n2=http://b/?wd=|乙\n") + "\xFF\0"s);
  EXPECT_EQ(ReadSourceCount(), 2);
  EXPECT_EQ(ReadSourceSite(2).displayName, Gbk("乙"));
}

TEST_F(SourceConfigTest, TenMegabyteLine) {
  const std::string huge(10 * 1024 * 1024, 'x');
  struct Row {
    const char* name;
    std::string bytes;
    int count;
    std::size_t prefixSize;
  };
  const std::vector<Row> rows = {
      {"huge value is cut to the buffer",
       Gbk("[源站配置]\n数量=1\n解析地址=") + huge + Gbk("\n[源站]\n1=http://a/?wd=|甲\n"), 1,
       kIniValueBufferSize - 1},
      {"huge line without any line end", Gbk("[源站配置]\n数量=1\n") + huge, 1, 0},
      {"huge header line", "[" + huge + Gbk("]\n[源站配置]\n数量=1\n"), 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteRawIni(row.bytes);
    EXPECT_EQ(ReadSourceCount(), row.count);
    EXPECT_EQ(ReadParsePrefix().size(), row.prefixSize);
    ReadSourceSite(1);  // must return, whatever it finds
  }
}

}  // namespace
}  // namespace mm
