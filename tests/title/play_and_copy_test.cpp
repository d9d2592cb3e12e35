#include "title/play_and_copy.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/memory_form.h"
#include "support/temporary_directory.h"
#include "title/desktop.h"
#include "util/encoding.h"
#include "util/program_directory.h"

namespace mm {
namespace {

using test::MemoryForm;

class RecordingDesktop : public Desktop {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
  std::vector<std::string> opened, clipboard;
};

class PlayAndCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    OverrideProgramDirectory(dir_.Path());
  }
  void TearDown() override { OverrideProgramDirectory({}); }

  // The configuration file as the user saves it, in code page 936.
  void WritePrefix(const std::string& utf8Prefix) {
    ASSERT_TRUE(dir_.WriteFile("源站配置.ini", Gbk("[源站配置]\r\n数量=0\r\n解析地址=" + utf8Prefix + "\r\n")));
  }

  test::TemporaryDirectory dir_;
  MemoryForm form_;
  RecordingDesktop desktop_;
};

TEST_F(PlayAndCopyTest, PlayOpensTheOnlineAddress) {
  struct Row {
    const char* name;
    std::optional<std::string> prefix;  // none: no configuration file
    std::string address;
    std::vector<std::string> opened;
  };
  const std::string jx = "https://jx.example.com/?url=";
  const std::vector<Row> rows = {
      {"stream address gets the prefix", jx, "https://cdn.example.com/a/index.m3u8",
       {jx + "https://cdn.example.com/a/index.m3u8"}},
      {"stream address without a configuration file", std::nullopt, "https://c/a.m3u8",
       {"https://c/a.m3u8"}},
      {"stream address with an empty prefix", "", "https://c/a.m3u8", {"https://c/a.m3u8"}},
      {"capital M3U8 is no stream", jx, "https://c/a.M3U8", {"https://c/a.M3U8"}},
      {"m3u8 followed by a query is no stream", jx, "https://c/a.m3u8?x=1",
       {"https://c/a.m3u8?x=1"}},
      {"web page opens unchanged", jx, "https://v.example.com/play/1.html",
       {"https://v.example.com/play/1.html"}},
      {"prefix is put before the address as it is", "http://jx/?v=", "https://c/中 文.m3u8",
       {Gbk("http://jx/?v=https://c/中 文.m3u8")}},
      {"scheme letter case does not matter", std::nullopt, "HTTPS://C/A", {"HTTPS://C/A"}},
      {"prefix makes a bare stream path a web address", jx, "a.m3u8", {jx + "a.m3u8"}},
      // Addresses come from catalogue sites: only web addresses reach the desktop.
      {"empty address opens nothing", jx, "", {}},
      {"bare m3u8 without a prefix opens nothing", std::nullopt, "a.m3u8", {}},
      {"local program opens nothing", jx, "/usr/bin/xterm", {}},
      {"windows program opens nothing", jx, "C:\\Windows\\system32\\calc.exe", {}},
      {"file address opens nothing", jx, "file:///etc/passwd", {}},
      {"system handler opens nothing", jx, "search-ms:query=x", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(dir_.Path() / "源站配置.ini");
    if (row.prefix) WritePrefix(*row.prefix);
    desktop_.opened.clear();
    form_.编辑框2().SetText(Gbk(row.address));
    PlayEpisode(form_, desktop_);
    EXPECT_EQ(desktop_.opened, row.opened);
  }
  EXPECT_TRUE(form_.Messages().empty());  // Play reports nothing
}

TEST_F(PlayAndCopyTest, PlayReadsThePrefixAtEveryPress) {
  form_.编辑框2().SetText("https://c/a.m3u8");
  WritePrefix("https://one/?u=");
  PlayEpisode(form_, desktop_);
  WritePrefix("https://two/?u=");
  PlayEpisode(form_, desktop_);
  std::filesystem::remove(dir_.Path() / "源站配置.ini");
  PlayEpisode(form_, desktop_);
  EXPECT_EQ(desktop_.opened, (std::vector<std::string>{"https://one/?u=https://c/a.m3u8",
                                                       "https://two/?u=https://c/a.m3u8",
                                                       "https://c/a.m3u8"}));
}

TEST_F(PlayAndCopyTest, CopyPutsTheFileAddressOnTheClipboard) {
  const std::vector<std::string> texts = {"https://c/a.m3u8", "", Gbk("https://c/第1集.m3u8")};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    form_.编辑框3().SetText(text);
    CopyFileAddress(form_, desktop_);
    EXPECT_EQ(desktop_.clipboard.back(), text);
    EXPECT_EQ(form_.Messages().back(), Gbk("已复制M3U8文件地址"));
  }
  EXPECT_EQ(desktop_.clipboard.size(), texts.size());
  EXPECT_EQ(form_.Messages().size(), texts.size());
  EXPECT_TRUE(desktop_.opened.empty());
}

}  // namespace
}  // namespace mm
