#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "gui_fixture.h"
#include "ui/picture_frame.h"

namespace mm::test {
namespace {

QPoint CentreOf(const QWidget* w) { return w->geometry().center(); }

struct Placement {
  const char* name;
  QRect rect;
  const char* caption;  // null for controls without one
};

// Client positions, sizes and design captions of all 26 controls.
const Placement kPlacements[] = {
    {"标签1", {8, 8, 56, 24}, "影视名称"},
    {"编辑框1", {64, 8, 464, 24}, ""},
    {"按钮1", {536, 8, 88, 24}, "搜  索"},
    {"超级列表框1", {8, 40, 416, 248}, nullptr},
    {"图片框1", {432, 40, 192, 248}, nullptr},
    {"标签2", {8, 296, 200, 24}, "导演"},
    {"标签7", {216, 288, 200, 24}, "时长"},
    {"标签3", {8, 320, 200, 24}, "主演"},
    {"标签10", {232, 312, 392, 104}, ""},
    {"标签4", {8, 344, 200, 24}, "类型"},
    {"标签5", {8, 368, 200, 24}, "地区语言"},
    {"标签9", {8, 392, 200, 24}, "备注"},
    {"标签11", {8, 424, 80, 24}, "在线播放地址"},
    {"编辑框2", {88, 424, 448, 24}, ""},
    {"按钮3", {544, 424, 80, 24}, "直接播放"},
    {"标签12", {8, 448, 72, 24}, "文件播放地址"},
    {"编辑框3", {88, 448, 448, 24}, ""},
    {"按钮2", {544, 448, 80, 24}, "复制地址"},
    {"标签13", {8, 480, 24, 20}, "集数"},
    {"组合框1", {40, 480, 104, 20}, ""},
    {"标签6", {152, 480, 56, 24}, "投屏设备"},
    {"组合框2", {208, 480, 152, 20}, ""},
    {"按钮4", {368, 478, 80, 24}, "刷新设备"},
    {"按钮5", {456, 478, 80, 24}, "投屏播放"},
    {"按钮6", {544, 478, 80, 24}, "备用按钮"},
    {"图片框2", {0, 40, 632, 472}, nullptr},
};

QString CaptionOf(const QWidget* w) {
  if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
  if (auto* combo = qobject_cast<const QComboBox*>(w)) return combo->currentText();
  return {};
}

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, WindowPlaceAndClientSize) {
  EXPECT_EQ(W().pos(), QPoint(50, 50));
  EXPECT_EQ(W().size(), QSize(632, 512));
}

TEST_F(MainWindowTest, EveryControlAtItsPlaceWithItsCaption) {
  EXPECT_EQ(std::size(kPlacements), 26u);
  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(p.name);
    auto* w = W().findChild<QWidget*>(Q(p.name));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), &W());
    EXPECT_EQ(w->geometry(), p.rect);
    if (p.caption) {
      EXPECT_EQ(CaptionOf(w), Q(p.caption));
    }
  }
}

TEST_F(MainWindowTest, ResultListColumnsAndStyle) {
  struct Column {
    const char* header;
    int width;
  };
  const Column columns[] = {{"影视名", 300}, {"来源", 100}, {"图片", 0},   {"导演", 0},
                            {"主演", 0},     {"类型", 0},   {"地区语言", 0}, {"备注", 0},
                            {"简介", 0},     {"时长", 0},   {"集数", 0},   {"地址", 0}};
  QTableWidget* list = W().超级列表框1;
  ASSERT_EQ(list->columnCount(), 12);
  for (int c = 0; c < 12; ++c) {
    SCOPED_TRACE(columns[c].header);
    EXPECT_EQ(list->horizontalHeaderItem(c)->text(), Q(columns[c].header));
    EXPECT_EQ(list->columnWidth(c), columns[c].width);
  }
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_TRUE(list->showGrid());
  EXPECT_TRUE(list->verticalHeader()->isHidden());
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(MainWindowTest, TitleAfterCreationEndsInABlank) {
  EXPECT_EQ(W().windowTitle(), Q("青柚 - 木棉 - "));
  EXPECT_EQ(F().Title(), Gbk("青柚 - 木棉 - "));
}

TEST_F(MainWindowTest, RowsAre24PixelsHigh) {
  ListView& list = F().超级列表框1();
  for (int r = 0; r < 3; ++r) list.SetCell(list.AppendRow(), 0, "row");
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(W().超级列表框1->rowHeight(r), 24);
    EXPECT_EQ(W().超级列表框1->rowViewportPosition(r), 24 * r);
  }
}

// Search and Enter in the keyword box start the same reset sequence and one worker, whatever
// the keyword; other keys only reach the box.
TEST_F(MainWindowTest, EnterAndSearchResetTheDetailsAndStartOneWorker) {
  struct Case {
    const char* name;
    const char* keyword;
    std::function<void(MainWindow&)> trigger;
    bool starts;
  };
  const Case cases[] = {
      {"search click", "天龙", [](MainWindow& w) { QTest::mouseClick(w.按钮1, Qt::LeftButton); },
       true},
      {"search click, empty keyword", "",
       [](MainWindow& w) { QTest::mouseClick(w.按钮1, Qt::LeftButton); }, true},
      {"Enter", "天龙", [](MainWindow& w) { QTest::keyClick(w.编辑框1, Qt::Key_Return); }, true},
      {"Enter, empty keyword", "",
       [](MainWindow& w) { QTest::keyClick(w.编辑框1, Qt::Key_Return); }, true},
      {"keypad Enter", "天龙",
       [](MainWindow& w) { QTest::keyClick(w.编辑框1, Qt::Key_Enter, Qt::KeypadModifier); }, true},
      {"a letter", "天龙", [](MainWindow& w) { QTest::keyClick(w.编辑框1, Qt::Key_A); }, false},
  };
  QImage poster(8, 8, QImage::Format_RGB32);
  poster.fill(Qt::red);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app_->Searches().StopAll();
    probe_.runs = 0;
    MainWindow& w = W();
    w.图片框2->hide();
    w.图片框1->SetImage(poster);
    for (QLabel* label : {w.标签2, w.标签3, w.标签4, w.标签5, w.标签7, w.标签9, w.标签10}) {
      label->setText(Q("旧"));
    }
    w.编辑框2->setText("http://old/online");
    w.编辑框3->setText("http://old/file.m3u8");
    w.组合框1->clear();
    w.组合框1->addItem(Q("第01集"), 1);
    w.组合框2->clear();
    w.组合框2->addItem(Q("电视"), 1);
    w.超级列表框1->setRowCount(1);
    w.编辑框1->setText(Q(c.keyword));
    w.编辑框1->setFocus();

    c.trigger(w);
    ASSERT_TRUE(PumpUntil([&] { return app_->Searches().ActiveRuns() == 0; }));

    if (!c.starts) {
      EXPECT_EQ(probe_.runs, 0);
      EXPECT_TRUE(w.图片框2->isHidden());
      EXPECT_EQ(w.标签2->text(), Q("旧"));
      EXPECT_EQ(w.编辑框1->text(), Q(c.keyword) + "a");
      continue;
    }
    EXPECT_EQ(probe_.runs, 1);
    EXPECT_FALSE(w.图片框2->isHidden());
    EXPECT_FALSE(w.图片框1->HasPicture());
    EXPECT_EQ(w.标签10->text(), QString());
    EXPECT_EQ(w.标签2->text(), Q("导演："));
    EXPECT_EQ(w.标签3->text(), Q("主演："));
    EXPECT_EQ(w.标签4->text(), Q("类型："));
    EXPECT_EQ(w.标签5->text(), Q("地区语言："));
    EXPECT_EQ(w.标签7->text(), Q("时长："));
    EXPECT_EQ(w.标签9->text(), Q("备注："));
    EXPECT_EQ(w.编辑框2->text(), QString());
    EXPECT_EQ(w.编辑框3->text(), QString());
    // Not touched by the reset: the worker clears the list itself.
    EXPECT_EQ(w.组合框1->count(), 1);
    EXPECT_EQ(w.组合框2->count(), 1);
    EXPECT_EQ(w.超级列表框1->rowCount(), 1);
    EXPECT_EQ(w.编辑框1->text(), Q(c.keyword));
  }
}

// A click that ends in the keyword box selects its first 100 characters, so typing replaces a
// keyword of up to 100 characters.
TEST_F(MainWindowTest, ClickInKeywordBoxSelectsFirstHundredCharacters) {
  struct Case {
    const char* name;
    QString text;
    QString selected;
    int clicks;
  };
  const QString hundred(100, QChar('x'));
  const QString chinese = QString(120, QChar(0x5F71));  // 影 x 120
  const QString emoji = QString::fromUcs4(U"😀").repeated(101);
  const Case cases[] = {
      {"empty", "", "", 1},
      {"short", "abc", "abc", 1},
      {"exactly 100", hundred, hundred, 1},
      {"150 characters", hundred + QString(50, QChar('y')), hundred, 1},
      {"Chinese counted as characters", chinese, chinese.left(100), 1},
      {"characters outside the basic plane stay whole", emoji, emoji.left(200), 1},
      {"second click inside the selection", "abc", "abc", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    W().编辑框1->setText(c.text);
    W().编辑框1->setCursorPosition(0);
    for (int i = 0; i < c.clicks; ++i) {
      QTest::mouseClick(W().编辑框1, Qt::LeftButton, {}, QPoint(6, 12));
      QApplication::processEvents();
    }
    EXPECT_EQ(W().编辑框1->selectedText(), c.selected);
    EXPECT_EQ(F().编辑框1().SelectedText(), FromQString(c.selected));
  }
  // Typing now replaces the selected keyword.
  W().编辑框1->setText("old keyword");
  QTest::mouseClick(W().编辑框1, Qt::LeftButton, {}, QPoint(6, 12));
  QTest::keyClicks(W().编辑框1, "new");
  EXPECT_EQ(W().编辑框1->text(), QString("new"));
}

// Clicks through the window, routed to whatever control lies at the point.
void ClickAt(MainWindow& w, QPoint point) {
  QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, point);
  QApplication::processEvents();
}

TEST_F(MainWindowTest, CoverHidesEverythingBelowTheTopRow) {
  EXPECT_TRUE(W().图片框2->isHidden());
  probe_.body = [](SearchContext& context) {
    // Keep the search running until the test ends it.
    while (!context.abort->IsAborted()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  };
  QTest::mouseClick(W().按钮1, Qt::LeftButton);
  ASSERT_FALSE(W().图片框2->isHidden());

  for (const Placement& p : kPlacements) {
    SCOPED_TRACE(p.name);
    QWidget* w = W().findChild<QWidget*>(Q(p.name));
    QWidget* hit = W().childAt(CentreOf(w));
    const bool topRow = p.rect.top() < 40;
    if (topRow) {
      EXPECT_EQ(hit, w);
    } else if (w != W().图片框2) {
      EXPECT_EQ(hit, W().图片框2);
    }
  }

  int plays = 0;
  W().events.playClicked = [&] { ++plays; };
  ClickAt(W(), CentreOf(W().按钮3));
  EXPECT_EQ(plays, 0);

  // Search and the keyword box still work under a visible cover.
  QTest::keyClicks(W().编辑框1, "abc");
  EXPECT_EQ(W().编辑框1->text(), QString("abc"));
  const int before = probe_.runs;
  ClickAt(W(), CentreOf(W().按钮1));
  ASSERT_TRUE(PumpUntil([&] { return probe_.runs == before + 1; }));

  // Tab only moves between the keyword box and Search.
  W().编辑框1->setFocus();
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == W().编辑框1 || focus == W().按钮1);
  }

  // With the cover gone, the same click reaches Play.
  F().图片框2().SetVisible(false);
  ClickAt(W(), CentreOf(W().按钮3));
  EXPECT_EQ(plays, 1);
}

TEST_F(MainWindowTest, CoverAnimatesOnlyWhileShown) {
  PictureFrame* cover = W().图片框2;
  EXPECT_TRUE(cover->HasPicture());
  EXPECT_FALSE(cover->IsAnimating());
  F().图片框2().SetVisible(true);
  EXPECT_TRUE(cover->IsAnimating());
  const int first = cover->CurrentFrame();
  ASSERT_TRUE(PumpUntil([&] { return cover->CurrentFrame() != first; }));
  // The cover is opaque: none of the list shows through it.
  const QImage shot = W().grab().toImage();
  const QColor covered = shot.pixelColor(CentreOf(W().超级列表框1));
  EXPECT_EQ(covered, shot.pixelColor(QPoint(20, 60)));
  F().图片框2().SetVisible(false);
  EXPECT_FALSE(cover->IsAnimating());
}

// A double-click or Enter on a selected row activates it; a single click only selects.
TEST_F(MainWindowTest, ResultListActivation) {
  struct Case {
    const char* name;
    std::function<void(QTableWidget&)> gesture;
    int activations;
    int selectedRow;
  };
  auto cellCentre = [](QTableWidget& list, int row) {
    return list.visualRect(list.model()->index(row, 0)).center();
  };
  const Case cases[] = {
      {"double-click",
       [&](QTableWidget& l) {
         // Through the window, so the press that starts the double-click arrives too.
         QTest::mouseDClick(l.window()->windowHandle(), Qt::LeftButton, {},
                            l.viewport()->mapTo(l.window(), cellCentre(l, 1)));
       },
       1, 1},
      {"single click",
       [&](QTableWidget& l) { QTest::mouseClick(l.viewport(), Qt::LeftButton, {}, cellCentre(l, 2)); },
       0, 2},
      {"Enter on a selected row",
       [&](QTableWidget& l) {
         l.selectRow(0);
         QTest::keyClick(&l, Qt::Key_Return);
       },
       1, 0},
      {"Enter without a selection",
       [&](QTableWidget& l) {
         l.clearSelection();
         QTest::keyClick(&l, Qt::Key_Return);
       },
       0, -1},
      {"arrow key moves the selection only",
       [&](QTableWidget& l) {
         l.selectRow(0);
         QTest::keyClick(&l, Qt::Key_Down);
       },
       0, 1},
  };
  ListView& list = F().超级列表框1();
  for (int r = 0; r < 3; ++r) list.SetCell(list.AppendRow(), 0, Gbk("影片") + std::to_string(r));
  int activations = 0;
  W().events.titleActivated = [&] { ++activations; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    activations = 0;
    W().超级列表框1->setFocus();
    c.gesture(*W().超级列表框1);
    QApplication::processEvents();
    EXPECT_EQ(activations, c.activations);
    EXPECT_EQ(list.SelectedRow(), c.selectedRow);
  }
}

TEST_F(MainWindowTest, EpisodeBoxRaisesItsEventOnlyForTheUsersChoice) {
  int selected = 0;
  W().events.episodeSelected = [&] { ++selected; };
  ComboBox& box = F().组合框1();
  box.AddItem(Gbk("第01集"), 1);
  box.AddItem(Gbk("第02集"), 2);
  box.SetCurrentIndex(1);
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(box.CurrentIndex(), 1);
  W().组合框1->setFocus();
  QTest::keyClick(W().组合框1, Qt::Key_Up);
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(box.CurrentIndex(), 0);
}

TEST_F(MainWindowTest, ButtonsReachTheirSlots) {
  std::vector<std::string> fired;
  WindowEvents& e = W().events;
  e.playClicked = [&] { fired.push_back("play"); };
  e.copyClicked = [&] { fired.push_back("copy"); };
  e.refreshDevicesClicked = [&] { fired.push_back("refresh"); };
  e.castClicked = [&] { fired.push_back("cast"); };
  for (QPushButton* b : {W().按钮3, W().按钮2, W().按钮4, W().按钮5, W().按钮6}) {
    QTest::mouseClick(b, Qt::LeftButton);
  }
  EXPECT_EQ(fired, (std::vector<std::string>{"play", "copy", "refresh", "cast"}));
}

}  // namespace
}  // namespace mm::test
