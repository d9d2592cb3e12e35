#include "search/search_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "http/abort_signal.h"
#include "support/memory_form.h"
#include "support/recording_server.h"
#include "util/encoding.h"
#include "util/program_directory.h"
#include "util/xml_tree.h"

namespace mm {
namespace {

using test::CannedResponse;
using test::MemoryForm;
using test::RecordingServer;

// A JSON answer in the newer shape ("total" and "list") or the older one ("page.recordcount" and
// "data"), with `items` items numbered from 1. `count` is written as given, so a test can make
// it a string.
std::string JsonAnswer(bool pageShape, const std::string& count, int items,
                       const std::string& extraItemMembers = "") {
  std::string list;
  for (int i = 1; i <= items; ++i) {
    if (i > 1) list += ",";
    std::string n = std::to_string(i);
    list += "{\"vod_id\":" + n + ",\"vod_name\":\"名字" + n + "\",\"type_name\":\"动作片\"," +
            "\"vod_pic\":\"http://img/" + n + ".jpg\",\"vod_actor\":\"演员" + n +
            "\",\"vod_director\":\"导演" + n + "\",\"vod_area\":\"大陆\",\"vod_lang\":\"国语\"," +
            "\"type_year\":\"2020\",\"vod_remarks\":\"HD\",\"vod_content\":\"<p>简介" + n +
            "</p>\",\"vod_duration\":\"90分钟\",\"vod_play_url\":\"第01集$http://p/" + n +
            "#第02集$http://q/" + n + "\"" + extraItemMembers + "}";
  }
  if (pageShape) {
    return "{\"status\":1,\"page\":{\"pageindex\":1,\"pagecount\":2,\"pagesize\":20,\"recordcount\":" +
           count + "},\"data\":[" + list + "]}";
  }
  return "{\"code\":1,\"msg\":\"数据列表\",\"page\":1,\"pagecount\":2,\"limit\":\"20\",\"total\":" +
         count + ",\"list\":[" + list + "]}";
}

// An RSS-shaped answer in UTF-8, children of <video> in the order the sites use.
std::string XmlAnswer(int recordCount, int items, bool twoGroups = true) {
  std::string videos;
  for (int i = 1; i <= items; ++i) {
    std::string n = std::to_string(i);
    videos += "<video><last>2024-01-01</last><id>" + n + "</id><tid>1</tid><name><![CDATA[片名" + n +
              "]]></name><type>剧情</type><pic>http://img/x" + n +
              ".jpg</pic><lang>粤语</lang><area>香港</area><year>2019</year><state>0</state>" +
              "<note><![CDATA[更新至10集]]></note><actor><![CDATA[主演" + n +
              "]]></actor><director><![CDATA[导演" + n + "]]></director><dl><dd flag=\"web\">" +
              "<![CDATA[第01集$http://w/" + n + "]]></dd>" +
              (twoGroups ? "<dd flag=\"m3u8\"><![CDATA[第01集$http://s/" + n + ".m3u8]]></dd>" : "") +
              "</dl><des><![CDATA[<p>剧情简介" + n + "</p>]]></des></video>";
  }
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"5.1\"><list page=\"1\" "
         "pagecount=\"3\" pagesize=\"20\" recordcount=\"" +
         std::to_string(recordCount) + "\">" + videos + "</list></rss>";
}

// Each test gets its own program directory with its own INI, written as code page 936 as the
// users' editors save it.
class SearchWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("mumian-search-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    OverrideProgramDirectory(dir_);
    form_.图片框2().SetVisible(true);  // StartSearch shows the cover before the worker runs
  }
  void TearDown() override {
    OverrideProgramDirectory({});
    std::filesystem::remove_all(dir_);
  }

  // Sources as "prefix|name" lines (UTF-8 here, written out as code page 936).
  void WriteIni(int count, const std::vector<std::string>& lines) {
    std::string ini = "[源站配置]\r\n数量=" + std::to_string(count) + "\r\n[源站]\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!lines[i].empty()) ini += std::to_string(i + 1) + "=" + lines[i] + "\r\n";
    }
    std::ofstream(dir_ / "源站配置.ini", std::ios::binary) << Gbk(ini);
  }

  void Search(const std::string& keyword = "") {
    form_.编辑框1().SetText(Gbk(keyword));
    form_.ClearLog();
    SearchContext context{.form = form_, .xml = xml_, .counts = counts_, .timeoutSeconds = 1};
    RunSearch(context);
  }

  std::string Cell(int row, int column) { return form_.超级列表框1().Cell(row, column); }
  int Rows() { return form_.超级列表框1().RowCount(); }

  std::filesystem::path dir_;
  MemoryForm form_;
  XmlTree xml_;
  SearchCounts counts_;
  RecordingServer server_;
};

struct CountCase {
  const char* name;
  std::string answer;
  int expectedRows;
};

TEST_F(SearchWorkerTest, RowsPerSourceFollowTheCountCappedAtTwenty) {
  const CountCase cases[] = {
      {"total_35_gives_20", JsonAnswer(false, "35", 25), 20},
      {"total_15_with_10_items_gives_15", JsonAnswer(false, "15", 10), 15},
      {"total_0_with_items_gives_none", JsonAnswer(false, "0", 5), 0},
      {"total_as_string", JsonAnswer(false, "\"3\"", 3), 3},
      {"total_negative", JsonAnswer(false, "-4", 3), 0},
      {"total_missing_reads_0", "{\"list\":[{\"vod_id\":1,\"vod_name\":\"a\"}]}", 0},
      {"recordcount_shape", JsonAnswer(true, "4", 4), 4},
      {"recordcount_shape_35", JsonAnswer(true, "35", 30), 20},
      {"xml_recordcount_35", XmlAnswer(35, 22), 20},
      {"xml_recordcount_2", XmlAnswer(2, 2), 2},
      {"xml_recordcount_0", XmlAnswer(0, 2), 0},
      {"bom_before_brace_adds_nothing", "\xEF\xBB\xBF" + JsonAnswer(false, "3", 3), 0},
      {"blank_before_brace_adds_nothing", " " + JsonAnswer(false, "3", 3), 0},
      {"truncated_json", JsonAnswer(false, "3", 3).substr(0, 100), 0},
      {"neither_json_nor_xml", "<html><body>502 Bad Gateway</body></html>", 0},
      {"empty_answer", "", 0},
      // "recordcount" only inside a synopsis sends the reader to the page paths, which this
      // answer lacks.
      {"recordcount_word_in_a_value",
       JsonAnswer(false, "3", 3, ",\"vod_blurb\":\"no recordcount here\""), 0},
  };
  WriteIni(1, {server_.Url("/api?wd=") + "|源一"});
  for (const CountCase& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Serve("/api", CannedResponse{.body = c.answer});
    Search("k");
    EXPECT_EQ(Rows(), c.expectedRows);
    EXPECT_EQ(counts_.rowCount, c.expectedRows);
  }
}

TEST_F(SearchWorkerTest, JsonFieldsLandInTheirColumnsAsProgramText) {
  WriteIni(1, {server_.Url("/api?wd=") + "|源一"});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "2", 2)});
  Search("名字");
  ASSERT_EQ(Rows(), 2);
  const std::pair<int, std::string> expected[] = {
      {0, "名字2"},         {1, "源一"},       {2, "http://img/2.jpg"}, {3, "导演2"},
      {4, "演员2"},         {5, "动作片 2020"}, {6, "大陆 国语"},         {7, "HD"},
      {8, "<p>简介2</p>"},  {9, "90分钟"},     {10, ""},
      {11, "第01集$http://p/2#第02集$http://q/2"},
  };
  for (const auto& [column, text] : expected) {
    SCOPED_TRACE(column);
    EXPECT_EQ(Cell(1, column), Gbk(text));
  }
}

TEST_F(SearchWorkerTest, RowsAreAppendedBeforeTheirCellsInTheColumnOrder) {
  WriteIni(1, {server_.Url("/api?wd=") + "|s"});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "1", 1)});
  Search("k");
  std::vector<std::string> ops;
  for (const std::string& entry : form_.Log()) {
    if (entry.rfind("超级列表框1 AppendRow", 0) == 0) ops.push_back("append");
    const std::string setCell = "超级列表框1 SetCell 0 ";
    if (entry.rfind(setCell, 0) == 0) {
      ops.push_back(entry.substr(setCell.size(), entry.find(' ', setCell.size()) - setCell.size()));
    }
  }
  EXPECT_EQ(ops, (std::vector<std::string>{"append", "0", "2", "1", "3", "4", "5", "6", "7", "8", "9",
                                           "11"}));
}

TEST_F(SearchWorkerTest, MissingItemsLeaveRowsWithTheSourceNameAndTheJoins) {
  WriteIni(1, {server_.Url("/api?wd=") + "|源一"});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "15", 10)});
  Search("k");
  ASSERT_EQ(Rows(), 15);
  for (int row = 10; row < 15; ++row) {
    SCOPED_TRACE(row);
    for (int column = 0; column < 12; ++column) {
      std::string want = column == 1 ? Gbk("源一") : (column == 5 || column == 6) ? " " : "";
      EXPECT_EQ(Cell(row, column), want) << "column " << column;
    }
  }
}

TEST_F(SearchWorkerTest, JsonFieldVariants) {
  struct Case {
    const char* name;
    std::string answer;
    int column;
    std::string expected;  // UTF-8
  };
  const Case cases[] = {
      {"vod_url_when_no_item_has_vod_play_url",
       "{\"total\":1,\"list\":[{\"vod_id\":1,\"vod_url\":\"a$u1\"}]}", 11, "a$u1"},
      {"missing_type_year_leaves_genre_and_a_blank",
       "{\"total\":1,\"list\":[{\"vod_id\":1,\"type_name\":\"喜剧\"}]}", 5, "喜剧 "},
      {"number_and_boolean_read_as_text",
       "{\"total\":1,\"list\":[{\"vod_id\":1,\"vod_duration\":95.5,\"vod_remarks\":true}]}", 9,
       "95.5"},
      {"null_reads_empty", "{\"total\":1,\"list\":[{\"vod_id\":1,\"vod_name\":null}]}", 0, ""},
      {"data_array_with_recordcount",
       "{\"page\":{\"recordcount\":1},\"data\":[{\"vod_id\":7,\"vod_name\":\"甲\"}]}", 0, "甲"},
      {"escapes_and_newlines_in_play_text",
       "{\"total\":1,\"list\":[{\"vod_id\":1,\"vod_play_url\":\"a$u1\\r\\n#b$u2\"}]}", 11,
       "a$u1\r\n#b$u2"},
  };
  WriteIni(1, {server_.Url("/api?wd=") + "|s"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Serve("/api", CannedResponse{.body = c.answer});
    Search("k");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, c.column), Gbk(c.expected));
  }
}

TEST_F(SearchWorkerTest, Utf8XmlAnswerIsConvertedAndReadByChildPosition) {
  WriteIni(1, {server_.Url("/xml?wd=") + "|源X"});
  server_.Serve("/xml", CannedResponse{.body = XmlAnswer(2, 2)});
  Search("k");
  ASSERT_EQ(Rows(), 2);
  const std::pair<int, std::string> expected[] = {
      {0, "片名1"},       {1, "源X"},           {2, "http://img/x1.jpg"},
      {3, "导演1"},       {4, "主演1"},         {5, "剧情"},
      {6, "香港 粤语"},   {7, "更新至10集"},    {8, "<p>剧情简介1</p>"},
      {9, ""},            {10, ""},             {11, "第01集$http://w/1$$$第01集$http://s/1.m3u8"},
  };
  for (const auto& [column, text] : expected) {
    SCOPED_TRACE(column);
    EXPECT_EQ(Cell(0, column), Gbk(text));
  }
}

TEST_F(SearchWorkerTest, XmlAnswerEncodings) {
  struct Case {
    const char* name;
    std::string answer;
    std::string expectedName;  // UTF-8
  };
  const std::string gbkDoc = "<?xml version=\"1.0\" encoding=\"GB2312\"?><rss><list recordcount=\"1\">"
                             "<video><a/><b/><c/><name>" + Gbk("国语片") + "</name></video></list></rss>";
  const Case cases[] = {
      {"declared_gb2312_stays_as_is", gbkDoc, "国语片"},
      {"undeclared_utf8", "<rss><list recordcount=\"1\"><video><a/><b/><c/><name>中文</name></video>"
                          "</list></rss>", "中文"},
      {"utf8_bom", "\xEF\xBB\xBF<?xml version=\"1.0\"?><rss><list recordcount=\"1\"><video><a/><b/><c/>"
                   "<name>中文</name></video></list></rss>", "中文"},
      {"single_group_gets_a_trailing_separator", XmlAnswer(1, 1, false), "片名1"},
  };
  WriteIni(1, {server_.Url("/xml?wd=") + "|s"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Serve("/xml", CannedResponse{.body = c.answer});
    Search("k");
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), Gbk(c.expectedName));
  }
  EXPECT_EQ(Cell(0, 11), Gbk("第01集$http://w/1$$$"));
}

TEST_F(SearchWorkerTest, SourcesAreQueriedInOrderAndNameTheirRows) {
  RecordingServer second;
  WriteIni(3, {server_.Url("/a?q=") + "|甲站", "", second.Url("/b?q=") + "|乙站"});
  server_.Serve("/a", CannedResponse{.body = JsonAnswer(false, "2", 2)});
  second.Serve("/b", CannedResponse{.body = XmlAnswer(1, 1)});
  Search("");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 1), Gbk("甲站"));
  EXPECT_EQ(Cell(1, 1), Gbk("甲站"));
  EXPECT_EQ(Cell(2, 1), Gbk("乙站"));
  EXPECT_EQ(Cell(2, 0), Gbk("片名1"));
  // An empty keyword still queries every source, with the prefix alone.
  ASSERT_EQ(server_.RequestCount(), 1u);
  EXPECT_EQ(server_.Requests()[0].target, "/a?q=");
  ASSERT_EQ(second.RequestCount(), 1u);
  EXPECT_EQ(second.Requests()[0].target, "/b?q=");
}

TEST_F(SearchWorkerTest, KeywordIsSentAsPercentEscapedUtf8) {
  WriteIni(1, {server_.Url("/api?wd=") + "|s"});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "1", 1)});
  Search("投屏 a");
  ASSERT_EQ(server_.RequestCount(), 1u);
  EXPECT_EQ(server_.Requests()[0].target, "/api?wd=%E6%8A%95%E5%B1%8F%20a");
}

TEST_F(SearchWorkerTest, TitleBeforeAndAfterAndTheCoverHiddenAtTheEnd) {
  WriteIni(1, {server_.Url("/api?wd=") + "|s"});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "7", 7)});
  Search("三体");
  std::vector<std::string> log = form_.Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], "超级列表框1 DeleteAllRows");
  EXPECT_EQ(log[1], "SetTitle " + Gbk("青柚 - 木棉 - 三体"));
  EXPECT_EQ(log[log.size() - 2], "SetTitle " + Gbk("青柚 - 木棉 - 三体  共  7  个资源"));
  EXPECT_EQ(log.back(), "图片框2 Hide");
  EXPECT_FALSE(form_.图片框2().IsVisible());
}

TEST_F(SearchWorkerTest, NoSourcesEmptiesTheListAndCountsZero) {
  struct Case {
    const char* name;
    bool writeIni;
    int count;
  };
  const Case cases[] = {{"missing_ini", false, 0}, {"count_0", true, 0}, {"count_negative", true, -2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(dir_ / "源站配置.ini");
    if (c.writeIni) WriteIni(c.count, {server_.Url("/api?wd=") + "|s"});
    form_.超级列表框1().AppendRow();  // left over from an earlier search
    Search("无");
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(form_.Title(), Gbk("青柚 - 木棉 - 无  共  0  个资源"));
    EXPECT_EQ(server_.RequestCount(), 0u);
  }
}

TEST_F(SearchWorkerTest, AFailingSourceAddsNothingAndTheNextStillAnswers) {
  struct Case {
    const char* name;
    CannedResponse broken;
  };
  const Case cases[] = {
      {"silent", CannedResponse{.silent = true}},
      {"closed_midway", CannedResponse{.body = JsonAnswer(false, "3", 3), .closeMidway = true}},
      {"server_error", CannedResponse{.status = 500, .reason = "Internal Server Error"}},
  };
  RecordingServer good;
  good.Serve("/ok", CannedResponse{.body = JsonAnswer(false, "2", 2)});
  WriteIni(2, {server_.Url("/bad?q=") + "|坏", good.Url("/ok?q=") + "|好"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server_.Serve("/bad", c.broken);
    Search("k");
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 1), Gbk("好"));
  }
}

TEST_F(SearchWorkerTest, HostileAnswersNeverCrashOrHang) {
  std::string deep(100000, '[');
  const std::pair<const char*, CannedResponse> cases[] = {
      {"nested_100000_deep", CannedResponse{.body = "{\"total\":1,\"list\":" + deep}},
      {"nested_closed",
       CannedResponse{.body = "{\"total\":1,\"list\":[{\"vod_name\":" + deep + std::string(100000, ']') +
                              "}]}"}},
      {"invalid_utf8", CannedResponse{.body = "{\"total\":1,\"list\":[{\"vod_name\":\"\xFF\xFE\xC3\"}]}"}},
      {"entity_expansion",
       CannedResponse{.body = "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
                              "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;"
                              "&b;&b;&b;&b;&b;\">]><rss><list recordcount=\"1\"><video><a/><b/><c/>"
                              "<name>&c;&c;&c;</name></video></list></rss>"}},
      {"answer_above_the_cap",
       CannedResponse{.body = JsonAnswer(false, "1", 1), .repeatBodyTo = std::size_t{100} << 20}},
  };
  WriteIni(1, {server_.Url("/api?wd=") + "|s"});
  for (const auto& [name, response] : cases) {
    SCOPED_TRACE(name);
    server_.Serve("/api", response);
    Search("k");
    EXPECT_LE(Rows(), 1);
    EXPECT_EQ(form_.Title().rfind(Gbk("青柚 - 木棉 - k  共  "), 0), 0u);
  }
}

TEST_F(SearchWorkerTest, AnAbortedRunEndsAtOnceAndWritesNothingMore) {
  WriteIni(2, {server_.Url("/slow?q=") + "|s", server_.Url("/api?q=") + "|t"});
  server_.Serve("/slow", CannedResponse{.silent = true});
  server_.Serve("/api", CannedResponse{.body = JsonAnswer(false, "2", 2)});
  AbortSignal abort;
  form_.编辑框1().SetText("k");
  SearchContext context{.form = form_, .xml = xml_, .counts = counts_, .abort = &abort,
                        .timeoutSeconds = 15};
  std::atomic<bool> done{false};
  std::thread worker([&] {
    RunSearch(context);
    done = true;
  });
  // Wait until the silent source has the request, then supersede the run.
  for (int i = 0; i < 500 && server_.RequestCount() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  form_.ClearLog();
  abort.Abort();
  for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(done) << "the run did not end within 3 s of the abort";
  worker.join();
  EXPECT_TRUE(form_.Log().empty());
  EXPECT_EQ(server_.RequestCount(), 1u);  // the second source was never asked
  EXPECT_TRUE(form_.图片框2().IsVisible());
}

}  // namespace
}  // namespace mm
