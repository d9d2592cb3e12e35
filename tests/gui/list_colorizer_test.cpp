#include "ui/list_colorizer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace mm::test {
namespace {

constexpr ColorRef kRed = MakeColorRef(255, 0, 0);
constexpr ColorRef kYellow = MakeColorRef(255, 255, 0);
constexpr ColorRef kBlue = MakeColorRef(0, 0, 255);
constexpr ColorRef kWhite = MakeColorRef(255, 255, 255);
constexpr ColorRef kGreen = MakeColorRef(0, 160, 0);

// A small window with a 5 x 3 list, as the program's result list is set up.
class ListColorizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(360, 260);
    list_ = new QTableWidget(5, 3, window_.get());
    list_->setGeometry(0, 0, 360, 260);
    list_->setHorizontalHeaderLabels({"A", "B", "C"});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->verticalHeader()->hide();
    for (int r = 0; r < 5; ++r) {
      for (int c = 0; c < 3; ++c) list_->setItem(r, c, new QTableWidgetItem("WW"));
    }
    for (int c = 0; c < 3; ++c) list_->setColumnWidth(c, 100);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  void TearDown() override {
    colorizer_.reset();
    window_.reset();
  }

  void Install() {
    colorizer_->Attach(window_.get(), list_);
    colorizer_->Install();
    colorizer_->SetRowHeight(24);
  }

  // A background pixel of the cell: its lower right corner, clear of the text and grid.
  QColor CellBackground(int row, int column) {
    const QImage shot = list_->viewport()->grab().toImage();
    const QRect cell = list_->visualRect(list_->model()->index(row, column));
    return shot.pixelColor(cell.right() - 4, cell.bottom() - 3);
  }
  // Whether some pixel of the cell is close to `color` (the text's anti-aliased strokes).
  bool CellHasColor(int row, int column, QColor color) {
    const QImage shot = list_->viewport()->grab().toImage();
    const QRect cell = list_->visualRect(list_->model()->index(row, column));
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x) {
        QColor p = shot.pixelColor(x, y);
        if (std::abs(p.red() - color.red()) < 60 && std::abs(p.green() - color.green()) < 60 &&
            std::abs(p.blue() - color.blue()) < 60) {
          return true;
        }
      }
    }
    return false;
  }

  std::unique_ptr<QWidget> window_;
  QTableWidget* list_ = nullptr;
  std::unique_ptr<ListColorizer> colorizer_ = std::make_unique<ListColorizer>();
};

TEST_F(ListColorizerTest, RowHeightAndOwnColoursAfterInstall) {
  const QColor before = CellBackground(2, 1);
  Install();
  for (int r = 0; r < 5; ++r) EXPECT_EQ(list_->rowHeight(r), 24);
  EXPECT_EQ(list_->visualRect(list_->model()->index(3, 0)).top(), 3 * 24);
  EXPECT_EQ(CellBackground(2, 1), before);
  EXPECT_FALSE(CellHasColor(2, 1, Qt::red));
}

TEST_F(ListColorizerTest, CellColours) {
  struct Case {
    const char* name;
    std::function<void(ListColorizer&)> change;
    bool redOnYellow;  // cell (2, 1)
  };
  const Case cases[] = {
      {"set", [](ListColorizer& c) { c.SetCellColor(2, 1, kRed, kYellow); }, true},
      {"set twice, the second wins",
       [](ListColorizer& c) {
         c.SetCellColor(2, 1, kBlue, kGreen);
         c.SetCellColor(2, 1, kRed, kYellow);
       },
       true},
      {"set then removed",
       [](ListColorizer& c) {
         c.SetCellColor(2, 1, kRed, kYellow);
         c.RemoveCellColor(2, 1);
       },
       false},
      {"removing a cell never coloured changes nothing",
       [](ListColorizer& c) {
         c.SetCellColor(2, 1, kRed, kYellow);
         c.RemoveCellColor(4, 2);
       },
       true},
      {"cleared",
       [](ListColorizer& c) {
         c.SetCellColor(2, 1, kRed, kYellow);
         c.SetCellColor(0, 0, kRed, kYellow);
         c.ClearCellColors();
       },
       false},
      {"install empties the store",
       [](ListColorizer& c) {
         c.SetCellColor(2, 1, kRed, kYellow);
         c.Install();
       },
       false},
  };
  const QColor own = CellBackground(2, 1);
  Install();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    colorizer_->ClearCellColors();
    c.change(*colorizer_);
    QApplication::processEvents();
    if (c.redOnYellow) {
      EXPECT_EQ(CellBackground(2, 1), QColor(255, 255, 0));
      EXPECT_TRUE(CellHasColor(2, 1, Qt::red));
    } else {
      EXPECT_EQ(CellBackground(2, 1), own);
      EXPECT_FALSE(CellHasColor(2, 1, Qt::red));
    }
    // Its neighbours keep the list's colours.
    EXPECT_EQ(CellBackground(2, 0), own);
    EXPECT_EQ(CellBackground(1, 1), own);
  }
}

TEST_F(ListColorizerTest, NoCellColoursWithoutInstall) {
  const QColor own = CellBackground(2, 1);
  colorizer_->Attach(window_.get(), list_);
  colorizer_->SetCellColor(2, 1, kRed, kYellow);
  EXPECT_EQ(CellBackground(2, 1), own);
}

TEST_F(ListColorizerTest, UninstallAndDestructionGiveTheListBack) {
  QAbstractItemDelegate* own = list_->itemDelegate();
  colorizer_->Attach(window_.get(), list_);
  colorizer_.reset();  // never installed: nothing to give back
  EXPECT_EQ(list_->itemDelegate(), own);

  colorizer_ = std::make_unique<ListColorizer>();
  Install();
  EXPECT_NE(list_->itemDelegate(), own);
  colorizer_->SetCellColor(2, 1, kRed, kYellow);
  colorizer_->Uninstall();
  EXPECT_EQ(list_->itemDelegate(), own);
  EXPECT_NE(CellBackground(2, 1), QColor(255, 255, 0));

  Install();
  colorizer_.reset();
  EXPECT_EQ(list_->itemDelegate(), own);
}

TEST_F(ListColorizerTest, HeaderColours) {
  Install();
  QHeaderView* header = list_->horizontalHeader();
  const int ownHeight = header->height();
  colorizer_->SetHeaderColors(30, {{0, kWhite, kBlue}});
  QApplication::processEvents();
  EXPECT_EQ(header->height(), 30);
  EXPECT_EQ(list_->viewport()->geometry().top() - header->geometry().top(), 30);

  QImage shot = header->viewport()->grab().toImage();
  auto sectionPixel = [&](int column) {
    return shot.pixelColor(header->sectionViewportPosition(column) + 4, 3);
  };
  EXPECT_EQ(sectionPixel(0), QColor(0, 0, 255));
  EXPECT_EQ(sectionPixel(1), QColor(192, 192, 192));
  EXPECT_EQ(sectionPixel(2), QColor(192, 192, 192));
  // Centred text: the middle of a section holds some text pixels of its colour.
  auto hasText = [&](int column, QColor color) {
    const int left = header->sectionViewportPosition(column);
    for (int y = 0; y < 30; ++y) {
      for (int x = left + 30; x < left + 70; ++x) {
        QColor p = shot.pixelColor(x, y);
        if (std::abs(p.red() - color.red()) < 50 && std::abs(p.green() - color.green()) < 50 &&
            std::abs(p.blue() - color.blue()) < 50) {
          return true;
        }
      }
    }
    return false;
  };
  EXPECT_TRUE(hasText(0, Qt::white));
  EXPECT_TRUE(hasText(1, Qt::black));

  EXPECT_EQ(colorizer_->FindHeaderColor(0).column, 0);
  EXPECT_EQ(colorizer_->FindHeaderColor(0).backColor, kBlue);
  EXPECT_EQ(colorizer_->FindHeaderColor(1).column, -1);

  colorizer_->RemoveHeaderHooks();
  QApplication::processEvents();
  EXPECT_EQ(header->height(), ownHeight);
  EXPECT_EQ(colorizer_->FindHeaderColor(0).column, -1);
  shot = header->viewport()->grab().toImage();
  EXPECT_NE(sectionPixel(0), QColor(0, 0, 255));
  // A second removal, like one without SetHeaderColors, does nothing.
  colorizer_->RemoveHeaderHooks();
  EXPECT_EQ(header->height(), ownHeight);
}

TEST_F(ListColorizerTest, ScrollEdges) {
  Install();
  list_->setRowCount(60);
  QApplication::processEvents();
  struct Case {
    const char* name;
    std::function<void(QTableWidget&)> scroll;
    bool atTop, atBottom;
  };
  const Case cases[] = {
      {"first row shown", [](QTableWidget& l) { l.scrollToTop(); }, true, false},
      {"middle", [](QTableWidget& l) { l.scrollTo(l.model()->index(30, 0), QAbstractItemView::PositionAtTop); },
       false, false},
      {"scrolled to the end", [](QTableWidget& l) { l.scrollToBottom(); }, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.scroll(*list_);
    EXPECT_EQ(colorizer_->IsAtScrollEdge(true), c.atTop);
    EXPECT_EQ(colorizer_->IsAtScrollEdge(false), c.atBottom);
  }
  ListColorizer unattached;
  EXPECT_FALSE(unattached.IsAtScrollEdge(true));
}

TEST_F(ListColorizerTest, FramelessOnlyWhileInstalled) {
  colorizer_->Attach(window_.get(), list_);
  colorizer_->SetFrameless(true);
  EXPECT_FALSE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
  colorizer_->Install();
  EXPECT_TRUE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(window_->isVisible());
  colorizer_->SetFrameless(false);
  EXPECT_FALSE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
  colorizer_->SetFrameless(true);
  colorizer_->Uninstall();
  EXPECT_FALSE(window_->windowFlags().testFlag(Qt::FramelessWindowHint));
}

}  // namespace
}  // namespace mm::test
