#include "title/title_details.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "search/result_row.h"
#include "support/memory_form.h"
#include "support/recording_server.h"
#include "support/temporary_directory.h"
#include "title/episode_list.h"
#include "util/encoding.h"
#include "util/program_directory.h"

namespace mm {
namespace {

using test::CannedResponse;
using test::RecordingServer;
using namespace std::chrono_literals;

// Counts the results handed back to the window thread, so a test can wait for one without
// running it.
class CountingForm : public test::MemoryForm {
 public:
  void PostToWindowThread(std::function<void()> task) override {
    MemoryForm::PostToWindowThread(std::move(task));
    {
      std::lock_guard lock(mutex_);
      ++posts_;
    }
    posted_.notify_all();
  }
  // Waits until `n` results have been posted in all; false after a generous bound.
  bool WaitForPosts(int n) {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, 20s, [&] { return posts_ >= n; });
  }
  int Posts() {
    std::lock_guard lock(mutex_);
    return posts_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  int posts_ = 0;
};

// Starts like a PNG, which is all the in-memory picture box looks at.
std::string Png(std::size_t size) {
  std::string bytes = "\x89PNG\r\n\x1a\n";
  bytes.resize(size, 'p');
  return bytes;
}

struct Title {
  std::string poster, director, actors, genre, area, remarks, synopsis, duration, playText;
};

class TitleDetailsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.Path().empty());
    OverrideProgramDirectory(dir_.Path());
  }
  void TearDown() override { OverrideProgramDirectory({}); }

  // Appends a result row (all texts in UTF-8 here, stored as program text) and selects it.
  int AddRow(const Title& t) {
    ListView& list = form_.超级列表框1();
    int row = list.AppendRow();
    namespace col = result_column;
    list.SetCell(row, col::kName, Gbk("片名"));
    list.SetCell(row, col::kPoster, t.poster);
    list.SetCell(row, col::kDirector, Gbk(t.director));
    list.SetCell(row, col::kActors, Gbk(t.actors));
    list.SetCell(row, col::kGenreYear, Gbk(t.genre));
    list.SetCell(row, col::kAreaLanguage, Gbk(t.area));
    list.SetCell(row, col::kRemarks, Gbk(t.remarks));
    list.SetCell(row, col::kSynopsis, Gbk(t.synopsis));
    list.SetCell(row, col::kDuration, Gbk(t.duration));
    list.SetCell(row, col::kPlayText, Gbk(t.playText));
    list.SelectRow(row);
    return row;
  }

  // Waits for the `n`-th result in all and runs what is queued.
  void ApplyResult(int n) {
    ASSERT_TRUE(form_.WaitForPosts(n));
    form_.RunPostedTasks();
  }

  void WaitForRequests(std::size_t n) {
    for (int i = 0; i < 2000 && server_.RequestCount() < n; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_GE(server_.RequestCount(), n);
  }

  std::vector<std::string> LogFrom(std::size_t first) {
    std::vector<std::string> log = form_.Log();
    return std::vector<std::string>(log.begin() + std::min(first, log.size()), log.end());
  }

  test::TemporaryDirectory dir_;
  RecordingServer server_;
  CountingForm form_;
};

const Title kFirst = {"", "导演甲", "演员甲", "剧情 2020", "大陆 国语", "HD", "简介甲", "45分钟",
                      "第01集$http://p/1#第02集$http://p/2$$$第01集$http://s/1.m3u8#第02集$http://s/2.m3u8"};

TEST_F(TitleDetailsTest, PosterFirstThenLabelsThenEpisodes) {
  server_.Serve("/poster.png", CannedResponse{.body = Png(300)});
  Title title = kFirst;
  title.poster = server_.Url("/poster.png");
  AddRow(title);
  form_.标签2().SetText("previous");
  ASSERT_TRUE(dir_.WriteFile("分集OL.txt", "old$x"));
  form_.ClearLog();

  TitleDetails details(form_);
  details.ShowTitleDetails();
  // At once: the episode box and files are emptied; the labels still show the previous title.
  EXPECT_EQ(form_.Log(), std::vector<std::string>{"组合框1 ClearItems"});
  EXPECT_EQ(std::filesystem::file_size(dir_.Path() / "分集OL.txt"), 0u);
  EXPECT_EQ(form_.标签2().Text(), "previous");

  ApplyResult(1);
  const std::vector<std::string> expected = {
      "组合框1 ClearItems",
      "图片框1 SetPicture 300",
      "标签10 SetText " + Gbk("简介甲"),
      "标签2 SetText " + Gbk("导演：导演甲"),
      "标签3 SetText " + Gbk("主演：演员甲"),
      "标签4 SetText " + Gbk("类型：剧情 2020"),
      "标签5 SetText " + Gbk("地区语言：大陆 国语"),
      "标签7 SetText " + Gbk("时长：45分钟"),
      "标签9 SetText " + Gbk("备注：HD"),
      "标签13 Show",
      "组合框1 Show",
      "组合框1 AddItem " + Gbk("第 1 集") + " 1",
      "组合框1 AddItem " + Gbk("第 2 集") + " 2",
      "组合框1 SetCurrentIndex 0",
      "编辑框2 SetText http://p/1",
      "编辑框3 SetText http://s/1.m3u8",
  };
  EXPECT_EQ(form_.Log(), expected);
  EXPECT_TRUE(form_.图片框1().HasPicture());
  ASSERT_EQ(server_.RequestCount(), 1u);
  EXPECT_EQ(server_.Requests()[0].method, "GET");
  EXPECT_EQ(server_.Requests()[0].target, "/poster.png");
}

// Whatever the poster request brings, the previous picture is replaced and the details follow.
TEST_F(TitleDetailsTest, PosterOutcomes) {
  server_.Serve("/good.png", CannedResponse{.body = Png(100)});
  server_.Serve("/html", CannedResponse{.headers = {{"Content-Type", "text/html"}},
                                        .body = "<html><body>not here</body></html>"});
  server_.Serve("/missing", CannedResponse{.status = 404, .reason = "Not Found", .body = "<h1>404</h1>"});
  server_.Serve("/empty", CannedResponse{.body = ""});
  server_.Serve("/broken", CannedResponse{.body = Png(4000), .closeMidway = true});
  server_.Serve("/garbage", CannedResponse{.body = std::string("\x00\x01\xFE\xFFGIF", 8)});
  struct Row {
    const char* name;
    std::string url;
    bool picture;
  };
  const std::vector<Row> rows = {
      {"picture", server_.Url("/good.png"), true},
      {"empty address", "", false},
      {"html page", server_.Url("/html"), false},
      {"error status", server_.Url("/missing"), false},
      {"empty body", server_.Url("/empty"), false},
      {"answer broken off", server_.Url("/broken"), false},
      {"bytes that are no picture", server_.Url("/garbage"), false},
      {"nobody listens", "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/p.png", false},
      {"not an address", Gbk("海报"), false},
  };
  TitleDetails details(form_);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    form_.图片框1().SetPicture(Png(50));  // the previous title's poster
    form_.标签10().SetText("previous");
    form_.超级列表框1().DeleteAllRows();
    Title title = kFirst;
    title.poster = row.url;
    title.synopsis = row.name;
    AddRow(title);
    int posts = form_.Posts();
    details.ShowTitleDetails();
    if (!row.url.empty()) ApplyResult(posts + 1);  // an empty address is applied at once
    EXPECT_EQ(form_.图片框1().HasPicture(), row.picture);
    EXPECT_EQ(form_.标签10().Text(), row.name);
    EXPECT_EQ(EpisodeCount(), 2);
  }
}

TEST_F(TitleDetailsTest, EmptyColumnsLeaveThePrefixes) {
  AddRow(Title{.playText = "第01集$http://p/1"});
  TitleDetails details(form_);
  details.ShowTitleDetails();  // no poster address: applied at once
  EXPECT_EQ(server_.RequestCount(), 0u);
  EXPECT_EQ(form_.标签10().Text(), "");
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演："));
  EXPECT_EQ(form_.标签3().Text(), Gbk("主演："));
  EXPECT_EQ(form_.标签4().Text(), Gbk("类型："));
  EXPECT_EQ(form_.标签5().Text(), Gbk("地区语言："));
  EXPECT_EQ(form_.标签7().Text(), Gbk("时长："));
  EXPECT_EQ(form_.标签9().Text(), Gbk("备注："));
  EXPECT_EQ(form_.编辑框2().Text(), "http://p/1");
}

// The handler returns while the poster host keeps silent; the details come after the time-out.
TEST_F(TitleDetailsTest, SilentPosterHostDoesNotHoldTheWindow) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  Title title = kFirst;
  title.poster = server_.Url("/silent");
  AddRow(title);
  form_.标签2().SetText("previous");
  TitleDetails details(form_, 2);
  details.ShowTitleDetails();
  WaitForRequests(1);  // the request is in flight and ShowTitleDetails has long returned
  EXPECT_EQ(form_.RunPostedTasks(), 0);
  EXPECT_EQ(form_.标签2().Text(), "previous");

  ApplyResult(1);
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演甲"));
  EXPECT_FALSE(form_.图片框1().HasPicture());
  EXPECT_EQ(form_.编辑框2().Text(), "http://p/1");
}

// A second activation while the first poster still loads aborts that request: with a time-out
// far longer than the wait, the second title's details can only come if the first gave way.
TEST_F(TitleDetailsTest, SecondActivationAbortsALoadingPoster) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  server_.Serve("/second.png", CannedResponse{.body = Png(222)});
  Title first = kFirst;
  first.poster = server_.Url("/silent");
  Title second = kFirst;
  second.poster = server_.Url("/second.png");
  second.director = "导演乙";
  second.playText = "第01集$http://p/b";
  AddRow(first);
  TitleDetails details(form_, 60);
  details.ShowTitleDetails();
  WaitForRequests(1);
  AddRow(second);
  details.ShowTitleDetails();

  ApplyResult(1);
  details.Shutdown();
  form_.RunPostedTasks();
  EXPECT_EQ(form_.Posts(), 1);  // the aborted request handed nothing back
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演乙"));
  EXPECT_EQ(form_.LastPictureBytes(form_.图片框1()), Png(222));
  EXPECT_EQ(form_.编辑框2().Text(), "http://p/b");
}

// A result already handed back but not yet applied is dropped when a newer activation came.
TEST_F(TitleDetailsTest, SecondActivationDropsAWaitingResult) {
  server_.Serve("/first.png", CannedResponse{.body = Png(111)});
  server_.Serve("/second.png", CannedResponse{.body = Png(222)});
  Title first = kFirst;
  first.poster = server_.Url("/first.png");
  Title second = kFirst;
  second.poster = server_.Url("/second.png");
  second.director = "导演乙";
  AddRow(first);
  TitleDetails details(form_);
  details.ShowTitleDetails();
  ASSERT_TRUE(form_.WaitForPosts(1));  // the first result waits in the window thread's queue
  AddRow(second);
  std::size_t before = form_.Log().size();
  details.ShowTitleDetails();
  ApplyResult(2);

  std::vector<std::string> log = LogFrom(before);
  EXPECT_EQ(std::count(log.begin(), log.end(), "图片框1 SetPicture 111"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "图片框1 SetPicture 222"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "标签2 SetText " + Gbk("导演：导演甲")), 0);
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演乙"));
}

// A new search clears the details; neither a loading poster nor a waiting result may bring the
// old title back.
TEST_F(TitleDetailsTest, CancelDropsLoadingAndWaitingResults) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  server_.Serve("/p.png", CannedResponse{.body = Png(100)});
  Title title = kFirst;
  title.poster = server_.Url("/p.png");
  AddRow(title);
  form_.标签2().SetText("cleared");
  TitleDetails details(form_, 60);
  details.ShowTitleDetails();
  ASSERT_TRUE(form_.WaitForPosts(1));  // waiting in the queue
  details.CancelPending();
  form_.RunPostedTasks();
  EXPECT_EQ(form_.标签2().Text(), "cleared");

  title.poster = server_.Url("/silent");
  AddRow(title);
  details.ShowTitleDetails();
  WaitForRequests(2);  // loading
  details.CancelPending();
  // The worker is free again at once: the next activation's poster comes before the silent
  // request could have timed out.
  title.poster = server_.Url("/p.png");
  title.director = "导演乙";
  AddRow(title);
  details.ShowTitleDetails();
  ApplyResult(2);
  EXPECT_EQ(form_.Posts(), 2);
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演乙"));
}

// The row is read when it is activated: a search that refills the list meanwhile changes
// nothing of what is shown.
TEST_F(TitleDetailsTest, RowIsReadAtActivation) {
  server_.Serve("/p.png", CannedResponse{.body = Png(100)});
  Title title = kFirst;
  title.poster = server_.Url("/p.png");
  AddRow(title);
  TitleDetails details(form_);
  details.ShowTitleDetails();
  form_.超级列表框1().DeleteAllRows();
  AddRow(Title{.director = "别人", .playText = "第01集$http://other/1"});
  ApplyResult(1);
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演甲"));
  EXPECT_EQ(form_.编辑框2().Text(), "http://p/1");
}

TEST_F(TitleDetailsTest, SecondTitleWithoutAddressesKeepsTheAddressBoxes) {
  AddRow(kFirst);
  TitleDetails details(form_);
  details.ShowTitleDetails();
  ASSERT_EQ(form_.编辑框2().Text(), "http://p/1");

  server_.Serve("/p.png", CannedResponse{.body = Png(100)});
  Title second = kFirst;
  second.poster = server_.Url("/p.png");
  second.director = "导演乙";
  second.playText = "";
  AddRow(second);
  details.ShowTitleDetails();
  ApplyResult(1);
  EXPECT_EQ(form_.标签2().Text(), Gbk("导演：导演乙"));
  EXPECT_TRUE(form_.图片框1().HasPicture());
  EXPECT_EQ(form_.Messages(), std::vector<std::string>{Gbk("获取播放地址失败！")});
  EXPECT_EQ(form_.组合框1().ItemCount(), 0);
  EXPECT_EQ(form_.编辑框2().Text(), "http://p/1");
  EXPECT_EQ(form_.编辑框3().Text(), "http://s/1.m3u8");
}

TEST_F(TitleDetailsTest, NothingWithoutASelectedRow) {
  AddRow(kFirst);
  form_.超级列表框1().SelectRow(-1);
  form_.ClearLog();
  TitleDetails details(form_);
  details.ShowTitleDetails();
  EXPECT_TRUE(form_.Log().empty());
  EXPECT_TRUE(form_.Messages().empty());
}

// The window may close while a poster loads: shutting down ends the request and nothing is
// applied afterwards, also from a result queued before.
TEST_F(TitleDetailsTest, ShutdownWhilePosterLoads) {
  server_.Serve("/silent", CannedResponse{.silent = true});
  server_.Serve("/p.png", CannedResponse{.body = Png(100)});
  Title title = kFirst;
  title.poster = server_.Url("/p.png");
  AddRow(title);
  form_.标签2().SetText("previous");
  {
    TitleDetails details(form_, 60);
    details.ShowTitleDetails();
    ASSERT_TRUE(form_.WaitForPosts(1));  // queued, not applied
    title.poster = server_.Url("/silent");
    AddRow(title);
    details.ShowTitleDetails();
    WaitForRequests(2);
  }  // destroyed with a request in flight
  form_.RunPostedTasks();
  EXPECT_EQ(form_.标签2().Text(), "previous");
  EXPECT_FALSE(form_.图片框1().HasPicture());

  TitleDetails stopped(form_);
  stopped.Shutdown();
  form_.ClearLog();
  stopped.ShowTitleDetails();
  EXPECT_TRUE(form_.Log().empty());
}

}  // namespace
}  // namespace mm
