#include "title/episode_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_form.h"
#include "support/temporary_directory.h"
#include "util/encoding.h"
#include "util/program_directory.h"
#include "util/text_file_reader.h"

namespace mm {
namespace {

using test::MemoryForm;

// The episode files' names on disk: the UTF-8 bytes of the Chinese names.
const char* const kOnlineName = "分集OL.txt";
const char* const kFileName = "分集DL.txt";

// Program text from a UTF-8 literal, where "<FF>" and "<81>" stand for those raw bytes, which
// no UTF-8 literal can carry through the conversion.
std::string P(const std::string& utf8) {
  std::string text = Gbk(utf8);
  for (auto [name, byte] : {std::pair{"<FF>", "\xFF"}, std::pair{"<81>", "\x81"}}) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, 4, byte);
    }
  }
  return text;
}

Bytes ReadBytes(const std::filesystem::path& path) {
  Bytes bytes;
  ReadFileBytes(path, bytes);
  return bytes;
}

class EpisodeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    OverrideProgramDirectory(dir_.Path());
  }
  void TearDown() override { OverrideProgramDirectory({}); }

  Bytes OnlineFile() const { return ReadBytes(dir_.Path() / kOnlineName); }
  Bytes FileFile() const { return ReadBytes(dir_.Path() / kFileName); }

  test::TemporaryDirectory dir_;
};

TEST_F(EpisodeListTest, FilesLieInTheProgramDirectory) {
  EXPECT_EQ(OnlineEpisodeFile(), dir_.Path() / kOnlineName);
  EXPECT_EQ(FileEpisodeFile(), dir_.Path() / kFileName);
}

// One row per play-text shape. Texts are written here in UTF-8 and handed over as program
// text; the files are compared byte for byte with the expected lines in code page 936.
TEST_F(EpisodeListTest, LoadsPlayTexts) {
  struct Row {
    const char* name;
    std::string playText;
    std::string online, file;  // expected file contents
    int count;
    std::string onlineBox, fileBox;  // expected 编辑框2 and 编辑框3
  };
  const std::string kept2 = "previous-online", kept3 = "previous-file";
  const std::vector<Row> rows = {
      {"two groups", "第01集$u1#第02集$u2$$$第01集$s1.m3u8#第02集$s2.m3u8",
       "第01集$u1\r\n02集$u2", "第01集$s1.m3u8\r\n02集$s2.m3u8", 2, "u1", "s1.m3u8"},
      {"one group serves as both", "第01集$u1#第02集$u2", "第01集$u1\r\n02集$u2",
       "第01集$u1\r\n02集$u2", 2, "u1", "u1"},
      {"three groups use the first and the last",
       "第01集$a1#第02集$a2$$$第01集$b1#第02集$b2$$$第01集$c1#第02集$c2",
       "第01集$a1\r\n02集$a2", "第01集$c1\r\n02集$c2", 2, "a1", "c1"},
      {"only one group has #第", "第01集$u1#第02集$u2$$$HD$s1", "01集$u1#\r\n02集$u2", "HD$s1", 1,
       "u1#", "s1"},
      {"episodes separated by # alone are one line", "01$u1#02$u2", "01$u1#02$u2",
       "01$u1#02$u2", 1, "u2", "u2"},
      {"single stream episode", "第01集$s1.m3u8", "01集$s1.m3u8", "01集$s1.m3u8", 1, "s1.m3u8",
       "s1.m3u8"},
      {"single episode, page then stream", "第01集$http://p/1$$$第01集$s1.m3u8", "01集$http://p/1",
       "01集$s1.m3u8", 1, "http://p/1", "s1.m3u8"},
      {"single episode, stream then page: swapped", "第01集$s1.m3u8$$$第01集$http://p/1",
       "01集$s1.m3u8", "01集$http://p/1", 1, "http://p/1", "s1.m3u8"},
      {"single episode, capital M3U8: not swapped", "第01集$S1.M3U8$$$第01集$http://p/1",
       "01集$S1.M3U8", "01集$http://p/1", 1, "S1.M3U8", "http://p/1"},
      {"single episode, m3u8 with a query: not swapped", "第01集$s1.m3u8?x=1$$$第01集$p1",
       "01集$s1.m3u8?x=1", "01集$p1", 1, "s1.m3u8?x=1", "p1"},
      {"two episodes, stream then page: no swap",
       "第01集$s1.m3u8#第02集$s2.m3u8$$$第01集$p1#第02集$p2", "第01集$s1.m3u8\r\n02集$s2.m3u8",
       "第01集$p1\r\n02集$p2", 2, "s1.m3u8", "p1"},
      {"empty play text", "", "", "", 0, kept2, kept3},
      {"only $$$", "$$$", "", "", 0, kept2, kept3},
      {"empty file group counts the online one", "第01集$u1#第02集$u2$$$", "01集$u1#\r\n02集$u2",
       "", 2, "u1#", ""},
      {"empty lines between entries disappear", "第01集$u1\r\n\r\n#第02集$u2\r\n",
       "第01集$u1\r\n02集$u2", "第01集$u1\r\n02集$u2", 2, "u1", "u1"},
      // Raw line breaks from the site become CR LF, so each counted line is one episode.
      {"raw LF before #第", "第01集$u1\n#第02集$u2", "第01集$u1\r\n02集$u2",
       "第01集$u1\r\n02集$u2", 2, "u1", "u1"},
      {"raw LF before 第", "第01集$u1\n第02集$u2$$$第01集$s1\n第02集$s2", "01集$u1\r\n02集$u2",
       "01集$s1\r\n02集$s2", 2, "u1", "s1"},
      {"raw LF as the only separator", "EP1$u1\nEP2$u2\n", "EP1$u1\r\nEP2$u2",
       "EP1$u1\r\nEP2$u2", 2, "u1", "u1"},
      {"raw CR as the only separator", "EP1$u1\rEP2$u2", "EP1$u1\r\nEP2$u2", "EP1$u1\r\nEP2$u2",
       2, "u1", "u1"},
      {"lone $", "$", "$", "$", 1, "", ""},
      {"lone #", "#", "#", "#", 1, "", ""},
      {"only the marker", "第", "", "", 0, kept2, kept3},
      {"only the grouped marker", "#第", "", "", 0, kept2, kept3},
      {"four dollars", "$$$$", "", "", 0, kept2, kept3},
      {"invalid byte takes the # after it", "第01集$u<FF>#第02集$v", "01集$u<FF>#\r\n02集$v",
       "01集$u<FF>#\r\n02集$v", 2, "u<FF>#", "u<FF>#"},
      {"lone lead byte", "<81>", "<81>", "<81>", 1, "", ""},
  };
  for (const Row& row : rows) {
    for (bool visibleBefore : {true, false}) {
      SCOPED_TRACE(std::string(row.name) + (visibleBefore ? " (box shown)" : " (box hidden)"));
      MemoryForm form;
      form.编辑框2().SetText(kept2);
      form.编辑框3().SetText(kept3);
      form.标签13().SetVisible(visibleBefore);
      form.组合框1().SetVisible(visibleBefore);
      ResetEpisodes(form);
      LoadEpisodes(form, P(row.playText));

      EXPECT_EQ(OnlineFile(), P(row.online));
      EXPECT_EQ(FileFile(), P(row.file));
      EXPECT_EQ(EpisodeCount(), row.count);
      EXPECT_EQ(form.编辑框2().Text(), P(row.onlineBox));
      EXPECT_EQ(form.编辑框3().Text(), P(row.fileBox));
      std::vector<std::string> noMessages;
      std::vector<std::string> failure = {Gbk("获取播放地址失败！")};
      EXPECT_EQ(form.Messages(), row.count == 0 ? failure : noMessages);

      bool expectVisible = row.count >= 2 ? true : row.count == 1 ? false : visibleBefore;
      EXPECT_EQ(form.组合框1().IsVisible(), expectVisible);
      EXPECT_EQ(form.标签13().IsVisible(), expectVisible);
      ComboBox& box = form.组合框1();
      if (row.count >= 2) {
        ASSERT_EQ(box.ItemCount(), row.count);
        for (int i = 0; i < row.count; ++i) {
          EXPECT_EQ(box.ItemText(i), Gbk("第 " + std::to_string(i + 1) + " 集"));
        }
        EXPECT_EQ(box.CurrentIndex(), 0);
      } else {
        EXPECT_EQ(box.ItemCount(), 0);
      }
    }
  }
}

TEST_F(EpisodeListTest, SelectingAnEpisodeReadsBothFiles) {
  MemoryForm form;
  // The online list has one episode, the file list three.
  LoadEpisodes(form, Gbk("第01集$u1$$$第01集$s1#第02集$s2#第03集$s3"));
  ASSERT_EQ(EpisodeCount(), 3);
  struct Row {
    int index;
    std::string online, file;
  };
  const std::vector<Row> rows = {
      {2, "", "s3"}, {1, "", "s2#"}, {0, "u1", "s1#"}, {-1, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    form.组合框1().SetCurrentIndex(row.index);
    SelectEpisode(form);
    EXPECT_EQ(form.编辑框2().Text(), row.online);
    EXPECT_EQ(form.编辑框3().Text(), row.file);
  }
}

// The files are the hand-over: a selection reads what they hold now, not what was loaded.
TEST_F(EpisodeListTest, SelectionFollowsTheFiles) {
  MemoryForm form;
  LoadEpisodes(form, Gbk("第01集$u1#第02集$u2"));
  ASSERT_TRUE(dir_.WriteFile(kOnlineName, "a$x1\r\nb$x2"));
  std::filesystem::remove(dir_.Path() / kFileName);
  form.组合框1().SetCurrentIndex(1);
  SelectEpisode(form);
  EXPECT_EQ(form.编辑框2().Text(), "x2");
  EXPECT_EQ(form.编辑框3().Text(), "");
}

TEST_F(EpisodeListTest, ResetEmptiesTheBoxAndTheFiles) {
  MemoryForm form;
  LoadEpisodes(form, Gbk("第01集$u1#第02集$u2"));
  ASSERT_EQ(form.组合框1().ItemCount(), 2);
  form.组合框1().SetVisible(false);
  ResetEpisodes(form);
  EXPECT_EQ(form.组合框1().ItemCount(), 0);
  EXPECT_FALSE(form.组合框1().IsVisible());  // visibility is not touched
  EXPECT_TRUE(std::filesystem::exists(dir_.Path() / kOnlineName));
  EXPECT_TRUE(std::filesystem::exists(dir_.Path() / kFileName));
  EXPECT_EQ(OnlineFile(), "");
  EXPECT_EQ(FileFile(), "");
  EXPECT_EQ(form.编辑框2().Text(), "u1");  // the address boxes stay
}

// Files that cannot be written count as no addresses.
TEST_F(EpisodeListTest, UnwritableFilesGiveTheMessage) {
  std::filesystem::create_directory(dir_.Path() / kOnlineName);
  std::filesystem::create_directory(dir_.Path() / kFileName);
  MemoryForm form;
  form.编辑框2().SetText("kept");
  ResetEpisodes(form);
  LoadEpisodes(form, Gbk("第01集$u1#第02集$u2"));
  EXPECT_EQ(EpisodeCount(), 0);
  EXPECT_EQ(form.Messages(), std::vector<std::string>{Gbk("获取播放地址失败！")});
  EXPECT_EQ(form.编辑框2().Text(), "kept");
}

TEST_F(EpisodeListTest, ReadsEpisodeLines) {
  struct Row {
    const char* name;
    std::string content;
    int n;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"first line", "a\r\nb", 1, "a"},
      {"last line", "a\r\nb", 2, "b"},
      {"beyond the last line", "a\r\nb", 3, ""},
      {"zero", "a\r\nb", 0, ""},
      {"negative", "a\r\nb", -1, ""},
      {"empty line between two breaks counts", "a\r\n\r\nb", 3, "b"},
      {"nothing after the last break is no line", "a\r\n", 2, ""},
      {"empty file", "", 1, ""},
      {"lone LF is no break", "a\nb\r\nc", 1, "a\nb"},
      {"chinese lines", Gbk("第一\r\n第二"), 2, Gbk("第二")},
      {"break after a lead byte is no break", "\x81\r\nb", 1, "\x81\r\nb"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(dir_.WriteFile("lines.txt", row.content));
    EXPECT_EQ(ReadEpisodeLine(dir_.Path() / "lines.txt", row.n), row.expected);
  }
  EXPECT_EQ(ReadEpisodeLine(dir_.Path() / "missing.txt", 1), "");
}

TEST(EpisodeTextTest, EpisodeAddressIsAfterTheLastDollar) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {Gbk("第01集$u1"), "u1"}, {"a$b$c", "c"}, {"no dollar", ""}, {"x$", ""}, {"", ""},
  };
  for (const auto& [line, address] : rows) {
    SCOPED_TRACE(line);
    EXPECT_EQ(EpisodeAddress(line), address);
  }
}

TEST(EpisodeTextTest, CountsLines) {
  const std::vector<std::pair<std::string, int>> rows = {
      {"", 0}, {"a", 1}, {"a\n", 1}, {"a\nb", 2}, {"\n", 1}, {"\n\n", 2}, {"a\r\nb\r\nc", 3},
  };
  for (const auto& [text, lines] : rows) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CountLines(text), lines);
  }
}

TEST(EpisodeTextTest, TidiesEpisodeText) {
  struct Row {
    const char* name;
    std::string text, expected;
  };
  const std::vector<Row> rows = {
      {"break at both ends", "\r\na\r\nb\r\n", "a\r\nb"},
      {"only one break at each end is cut", "\r\n\r\na\r\n\r\n", "\na\r"},
      {"empty lines inside", "a\r\n\r\n\r\nb", "a\r\nb"},
      {"LF at the end", "a\n", "a"},
      {"a break alone", "\r\n", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TidyEpisodeText(row.text), row.expected);
  }
}

// A play text of 10 MiB, of either shape, loads without trouble.
TEST_F(EpisodeListTest, LargePlayTexts) {
  const std::string entry = Gbk("第0001集$https://example.com/vod/0001/index.m3u8#");
  std::string manyEpisodes;
  int episodes = 0;
  while (manyEpisodes.size() < (10u << 20)) {
    manyEpisodes += entry;
    ++episodes;
  }
  MemoryForm form;
  LoadEpisodes(form, manyEpisodes);
  EXPECT_EQ(EpisodeCount(), episodes);
  EXPECT_EQ(form.组合框1().ItemCount(), episodes);
  EXPECT_EQ(form.编辑框2().Text(), "https://example.com/vod/0001/index.m3u8");
  EXPECT_EQ(ReadEpisodeLine(FileEpisodeFile(), episodes), Gbk("0001集$https://example.com/vod/0001/index.m3u8#"));

  std::string oneLine(10u << 20, 'x');
  oneLine += "$u";
  MemoryForm other;
  LoadEpisodes(other, oneLine);
  EXPECT_EQ(EpisodeCount(), 1);
  EXPECT_EQ(other.编辑框2().Text(), "u");
  EXPECT_EQ(FileFile(), oneLine);
}

}  // namespace
}  // namespace mm
