// The title side through the real window: activating a row, the poster, the episode box, Play
// and Copy, and a whole search against two local sites.
#include <QBuffer>
#include <QImage>
#include <QTimer>
#include <filesystem>

#include "gui_fixture.h"
#include "support/recording_server.h"
#include "support/temporary_directory.h"
#include "ui/picture_frame.h"
#include "util/program_directory.h"

namespace mm::test {
namespace {

// Records what Play and Copy hand to the desktop instead of opening anything.
class RecordingDesktop : public Desktop {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  void SetClipboardText(const std::string& text) override { clipboard.push_back(text); }
  std::vector<std::string> opened, clipboard;
};

std::string PngBytes() {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

// The real window with the real search worker, a recording desktop and a program directory
// of its own (INI and episode files).
class TitleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OverrideProgramDirectory(dir_.Path());
    SetInformationHook([this](const std::string& text) { messages_.push_back(text); });
    auto desktop = std::make_unique<RecordingDesktop>();
    desktop_ = desktop.get();
    app_ = std::make_unique<Application>(RunSearch, std::move(desktop));
    app_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app_->Window()));
    server_.Serve("/poster.png", CannedResponse{.headers = {{"Content-Type", "image/png"}}, .body = PngBytes()});
    server_.Serve("/silent.png", CannedResponse{.silent = true});
  }
  void TearDown() override {
    app_.reset();
    SetInformationHook({});
    OverrideProgramDirectory({});
  }

  MainWindow& W() { return app_->Window(); }
  MainForm& F() { return app_->Form(); }

  // A result row as the search leaves it; texts in UTF-8 here.
  int AddRow(const std::string& name, const std::string& poster, const std::string& playText,
             const std::string& director = "导演甲") {
    ListView& list = F().超级列表框1();
    int row = list.AppendRow();
    list.SetCell(row, 0, Gbk(name));
    list.SetCell(row, 2, poster);
    list.SetCell(row, 3, Gbk(director));
    list.SetCell(row, 8, Gbk("简介"));
    list.SetCell(row, 11, Gbk(playText));
    return row;
  }
  QPoint RowCentre(int row) {
    return W().超级列表框1->visualItemRect(W().超级列表框1->item(row, 0)).center();
  }
  bool DetailsShownFor(const std::string& director) {
    return W().标签2->text() == QString::fromUtf8("导演：" + director);
  }

  TemporaryDirectory dir_;
  RecordingServer server_;
  RecordingDesktop* desktop_ = nullptr;
  std::vector<std::string> messages_;
  std::unique_ptr<Application> app_;
};

TEST_F(TitleWindowTest, DoubleClickAndEnterShowDetailsASingleClickDoesNot) {
  const std::string play = "第01集$http://w/1#第02集$http://w/2$$$第01集$http://s/1.m3u8#第02集$http://s/2.m3u8";
  AddRow("甲", server_.Url("/poster.png"), play, "导演甲");
  AddRow("乙", server_.Url("/poster.png"), play, "导演乙");
  QWidget* viewport = W().超级列表框1->viewport();

  QTest::mouseClick(viewport, Qt::LeftButton, {}, RowCentre(0));
  EXPECT_EQ(F().超级列表框1().SelectedRow(), 0);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(W().标签2->text(), Q("导演")) << "a single click only selects";
  EXPECT_EQ(server_.RequestCount(), 0u);

  QTest::mouseDClick(viewport, Qt::LeftButton, {}, RowCentre(0));
  ASSERT_TRUE(PumpUntil([&] { return DetailsShownFor("导演甲"); }));
  EXPECT_TRUE(W().图片框1->HasPicture());
  EXPECT_EQ(W().标签10->text(), Q("简介"));
  EXPECT_EQ(W().组合框1->count(), 2);
  EXPECT_EQ(W().组合框1->itemText(1), Q("第 2 集"));
  EXPECT_EQ(W().编辑框2->text(), Q("http://w/1"));
  EXPECT_EQ(W().编辑框3->text(), Q("http://s/1.m3u8"));

  W().超级列表框1->setFocus();
  QTest::keyClick(W().超级列表框1, Qt::Key_Down);
  EXPECT_EQ(F().超级列表框1().SelectedRow(), 1);
  PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(DetailsShownFor("导演甲")) << "moving the selection shows nothing";
  QTest::keyClick(W().超级列表框1, Qt::Key_Return);
  ASSERT_TRUE(PumpUntil([&] { return DetailsShownFor("导演乙"); }));
}

TEST_F(TitleWindowTest, ChoosingAnEpisodeFillsTheAddressBoxes) {
  AddRow("甲", "", "第01集$http://w/1#第02集$http://w/2$$$第01集$http://s/1.m3u8#第02集$http://s/2.m3u8");
  F().超级列表框1().SelectRow(0);
  app_->Title().ShowTitleDetails();
  ASSERT_TRUE(PumpUntil([&] { return W().组合框1->count() == 2; }));
  EXPECT_FALSE(W().图片框1->HasPicture()) << "an empty poster address leaves the box blank";
  W().组合框1->setCurrentIndex(1);
  emit W().组合框1->activated(1);
  EXPECT_EQ(W().编辑框2->text(), Q("http://w/2"));
  EXPECT_EQ(W().编辑框3->text(), Q("http://s/2.m3u8"));
}

TEST_F(TitleWindowTest, APosterHostThatNeverAnswersDoesNotFreezeTheWindow) {
  AddRow("甲", server_.Url("/silent.png"), "第01集$http://w/1#第02集$http://w/2");
  F().超级列表框1().SelectRow(0);
  bool timerFired = false;
  QTimer::singleShot(50, [&] { timerFired = true; });
  app_->Title().ShowTitleDetails();
  // The window keeps handling its events while the poster request waits.
  ASSERT_TRUE(PumpUntil([&] { return timerFired && server_.RequestCount() == 1; }, 3000));
  EXPECT_EQ(W().标签2->text(), Q("导演")) << "details wait for the poster";
  QTest::mouseClick(W().按钮1, Qt::LeftButton);  // a search supersedes the pending details
  ASSERT_TRUE(PumpUntil([&] { return !W().图片框2->isVisible(); }));
  EXPECT_EQ(W().标签2->text(), Q("导演：")) << "the late poster does not bring the old title back";
}

TEST_F(TitleWindowTest, PlayAndCopyReachTheDesktop) {
  dir_.WriteFile("源站配置.ini", Gbk("[源站配置]\r\n解析地址=https://parse.example/?url=\r\n"));
  AddRow("甲", "", "第01集$http://s/only.m3u8");
  F().超级列表框1().SelectRow(0);
  app_->Title().ShowTitleDetails();
  ASSERT_TRUE(PumpUntil([&] { return W().编辑框2->text() == Q("http://s/only.m3u8"); }));
  QTest::mouseClick(W().按钮3, Qt::LeftButton);
  ASSERT_EQ(desktop_->opened.size(), 1u);
  EXPECT_EQ(desktop_->opened[0], "https://parse.example/?url=http://s/only.m3u8");
  QTest::mouseClick(W().按钮2, Qt::LeftButton);
  ASSERT_EQ(desktop_->clipboard.size(), 1u);
  EXPECT_EQ(desktop_->clipboard[0], "http://s/only.m3u8");
  EXPECT_EQ(messages_.back(), Gbk("已复制M3U8文件地址"));
}

TEST_F(TitleWindowTest, ASearchOverTwoLocalSitesFillsTheListAndTheTitle) {
  RecordingServer second;
  server_.Serve("/api", CannedResponse{.body = "{\"code\":1,\"page\":1,\"pagecount\":1,\"limit\":\"20\",\"total\":2,"
                                               "\"list\":[{\"vod_id\":1,\"vod_name\":\"天龙八部\"},"
                                               "{\"vod_id\":2,\"vod_name\":\"天龙八部2\"}]}"});
  second.Serve("/rss", CannedResponse{.body = "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"5.1\">"
                                              "<list page=\"1\" pagecount=\"1\" pagesize=\"20\" recordcount=\"1\">"
                                              "<video><last>x</last><id>9</id><tid>1</tid><name><![CDATA[天龙]]>"
                                              "</name></video></list></rss>"});
  dir_.WriteFile("源站配置.ini", Gbk("[源站配置]\r\n数量=2\r\n[源站]\r\n1=" + server_.Url("/api?wd=") +
                                     "|甲站\r\n2=" + second.Url("/rss?wd=") + "|乙站\r\n"));
  W().编辑框1->setText(Q("天龙"));
  QTest::keyClick(W().编辑框1, Qt::Key_Return);
  // The worker writes the final title, then hides the cover.
  ASSERT_TRUE(PumpUntil([&] { return !W().图片框2->isVisible(); }));
  EXPECT_EQ(W().windowTitle(), Q("青柚 - 木棉 - 天龙  共  3  个资源"));
  ASSERT_EQ(W().超级列表框1->rowCount(), 3);
  EXPECT_EQ(W().超级列表框1->item(0, 0)->text(), Q("天龙八部"));
  EXPECT_EQ(W().超级列表框1->item(1, 1)->text(), Q("甲站"));
  EXPECT_EQ(W().超级列表框1->item(2, 0)->text(), Q("天龙"));
  EXPECT_EQ(W().超级列表框1->item(2, 1)->text(), Q("乙站"));
  EXPECT_EQ(server_.Requests().back().target, "/api?wd=%E5%A4%A9%E9%BE%99");
}

}  // namespace
}  // namespace mm::test
