#include <QTableWidget>
#include <filesystem>

#include "gui_fixture.h"
#include "http/abort_signal.h"
#include "search/search_worker.h"
#include "support/recording_server.h"
#include "support/temporary_directory.h"
#include "ui/picture_frame.h"
#include "util/program_directory.h"

namespace mm::test {
namespace {

// What the stand-in workers did, in order, across threads.
class EventLog {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};

void WaitForAbort(const SearchContext& context) {
  std::mutex m;
  std::condition_variable woken;
  bool aborted = false;
  AbortSubscription subscription(context.abort, [&] {
    std::lock_guard lock(m);
    aborted = true;
    woken.notify_all();
  });
  std::unique_lock lock(m);
  woken.wait(lock, [&] { return aborted || context.abort->IsAborted(); });
}

// Writes one row and the end of a search, as the real worker does.
void WriteResult(SearchContext& context, const std::string& name) {
  ListView& list = context.form.超级列表框1();
  list.DeleteAllRows();
  list.SetCell(list.AppendRow(), 0, name);
  context.counts.rowCount = list.RowCount();
  context.form.SetTitle(name);
  context.form.图片框2().SetVisible(false);
}

using SearchRunnerTest = WindowTest;

// A new search supersedes the running one: the old request is aborted, nothing the old worker
// does afterwards reaches the window, and the new worker starts only once the old has ended.
TEST_F(SearchRunnerTest, SecondSearchSupersedesTheFirst) {
  EventLog log;
  std::atomic<int> started{0};
  probe_.body = [&](SearchContext& context) {
    const int run = ++started;
    log.Add("start " + std::to_string(run));
    if (run == 1) {
      WaitForAbort(context);  // as a request to a site that has not answered yet
      WriteResult(context, "stale");
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      log.Add("end 1");
      return;
    }
    WriteResult(context, "fresh");
    log.Add("end 2");
  };
  W().编辑框1->setText("kw");
  QTest::keyClick(W().编辑框1, Qt::Key_Return);
  ASSERT_TRUE(PumpUntil([&] { return started == 1; }));
  QTest::mouseClick(W().按钮1, Qt::LeftButton);
  ASSERT_TRUE(PumpUntil([&] { return app_->Searches().ActiveRuns() == 0 && started == 2; }));

  EXPECT_EQ(log.Entries(), (std::vector<std::string>{"start 1", "end 1", "start 2", "end 2"}));
  ASSERT_EQ(W().超级列表框1->rowCount(), 1);
  EXPECT_EQ(W().超级列表框1->item(0, 0)->text(), QString("fresh"));
  EXPECT_EQ(W().windowTitle(), QString("fresh"));
  EXPECT_TRUE(W().图片框2->isHidden());
  EXPECT_EQ(app_->Objects().searchCounts.rowCount, 1);
}

// Three searches while the first is still busy: the middle one never runs, only the last
// writes.
TEST_F(SearchRunnerTest, OnlyTheLastOfSeveralSearchesWrites) {
  std::atomic<int> started{0};
  std::atomic<bool> release{false};
  probe_.body = [&](SearchContext& context) {
    const int run = ++started;
    // The first run ignores its abort for a while, like a worker between two requests.
    while (run == 1 && !release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    WriteResult(context, "run " + std::to_string(run));
  };
  app_->StartSearch();
  ASSERT_TRUE(PumpUntil([&] { return started == 1; }));
  app_->StartSearch();
  app_->StartSearch();
  release = true;
  ASSERT_TRUE(PumpUntil([&] { return app_->Searches().ActiveRuns() == 0; }));
  EXPECT_EQ(started, 2);
  ASSERT_EQ(W().超级列表框1->rowCount(), 1);
  EXPECT_EQ(W().超级列表框1->item(0, 0)->text(), QString("run 2"));
  EXPECT_TRUE(W().图片框2->isHidden());
}

// The worker is inside a call to the window thread while the window thread shuts down: the
// call must end, the worker must see the abort, and nothing may deadlock.
TEST_F(SearchRunnerTest, ClosingWhileAWorkerWaitsForTheWindowThread) {
  std::atomic<bool> calling{false};
  std::atomic<int> calls{0};
  probe_.body = [&](SearchContext& context) {
    while (!context.abort->IsAborted()) {
      calling = true;
      context.form.标签10().SetText("busy");
      ++calls;
    }
  };
  app_->StartSearch();
  // No events are processed here, so the worker's call waits in the queue.
  while (!calling) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  W().close();
  app_->Shutdown();
  EXPECT_EQ(app_->Searches().ActiveRuns(), 0);
  EXPECT_FALSE(app_->Objects().Exist());
  EXPECT_NE(W().标签10->text(), QString("busy"));
  EXPECT_GE(calls, 1);
}

TEST_F(SearchRunnerTest, ClosingWhileAWorkerWaitsOnItsRequest) {
  probe_.body = [](SearchContext& context) {
    WaitForAbort(context);
    WriteResult(context, "after close");
  };
  app_->StartSearch();
  ASSERT_TRUE(PumpUntil([&] { return probe_.runs == 1; }));
  W().close();
  app_->Shutdown();
  EXPECT_EQ(app_->Searches().ActiveRuns(), 0);
  EXPECT_EQ(W().超级列表框1->rowCount(), 0);
  // A search after shutdown starts nothing.
  app_->StartSearch();
  EXPECT_EQ(probe_.runs, 1);
}

// The real worker against local sites: the title's forms while and after a search.
class RealSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetInformationHook([](const std::string&) {});
    OverrideProgramDirectory(dir_.Path());
    app_ = std::make_unique<Application>();
    app_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app_->Window()));
  }
  void TearDown() override {
    app_.reset();
    OverrideProgramDirectory({});
    SetInformationHook({});
  }
  void WriteIni(const std::string& utf8) { dir_.WriteFile("源站配置.ini", Gbk(utf8)); }
  void Search(const char* keyword) {
    app_->Window().编辑框1->setText(Q(keyword));
    QTest::keyClick(app_->Window().编辑框1, Qt::Key_Return);
  }

  TemporaryDirectory dir_;
  RecordingServer server_;
  std::unique_ptr<Application> app_;
};

TEST_F(RealSearchTest, NothingConfiguredEndsWithZeroResources) {
  WriteIni("[源站配置]\r\n数量=0\r\n");
  Search("无名");
  ASSERT_TRUE(PumpUntil([&] { return app_->Searches().ActiveRuns() == 0; }));
  EXPECT_EQ(app_->Window().windowTitle(), Q("青柚 - 木棉 - 无名  共  0  个资源"));
  EXPECT_TRUE(app_->Window().图片框2->isHidden());
}

TEST_F(RealSearchTest, ResultsFillTheListAndTheTitle) {
  server_.Serve("/api", {.body = "{\"code\":1,\"page\":1,\"pagecount\":1,\"limit\":\"20\",\"total\":2,"
                                 "\"list\":[{\"vod_id\":1,\"vod_name\":\"天龙八部\",\"vod_play_url\":\"a$b\"},"
                                 "{\"vod_id\":2,\"vod_name\":\"天龙传奇\",\"vod_play_url\":\"c$d\"}]}"});
  WriteIni("[源站配置]\r\n数量=1\r\n[源站]\r\n1=" + server_.Url("/api?wd=") + "|本地源\r\n");
  Search("天龙");
  ASSERT_TRUE(PumpUntil([&] { return app_->Searches().ActiveRuns() == 0; }));
  QTableWidget* list = app_->Window().超级列表框1;
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->item(0, 0)->text(), Q("天龙八部"));
  EXPECT_EQ(list->item(1, 1)->text(), Q("本地源"));
  EXPECT_EQ(app_->Window().windowTitle(), Q("青柚 - 木棉 - 天龙  共  2  个资源"));
  EXPECT_TRUE(app_->Window().图片框2->isHidden());
}

// A site that never answers: the title shows the keyword while the search runs, and closing
// the window ends the request at once.
TEST_F(RealSearchTest, SilentSiteShowsTheKeywordAndClosingEndsIt) {
  server_.Serve("/slow", {.silent = true});
  WriteIni("[源站配置]\r\n数量=1\r\n[源站]\r\n1=" + server_.Url("/slow?wd=") + "|慢站\r\n");
  Search("天龙");
  ASSERT_TRUE(PumpUntil([&] { return server_.RequestCount() == 1; }));
  EXPECT_EQ(app_->Window().windowTitle(), Q("青柚 - 木棉 - 天龙"));
  EXPECT_FALSE(app_->Window().图片框2->isHidden());
  app_->Window().close();
  app_->Shutdown();
  EXPECT_EQ(app_->Searches().ActiveRuns(), 0);
  EXPECT_EQ(app_->Window().windowTitle(), Q("青柚 - 木棉 - 天龙"));
}

}  // namespace
}  // namespace mm::test
