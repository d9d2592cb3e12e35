#include "app/main_window.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>

#include "ui/busy_animation.h"
#include "ui/picture_frame.h"

namespace mm {

namespace {

struct Column {
  const char* header;
  int width;
};

// The result list's columns. Only the first two are shown; the others hold the rest of a row
// for the handlers that read it back.
constexpr Column kColumns[] = {
    {"影视名", 300}, {"来源", 100}, {"图片", 0},   {"导演", 0}, {"主演", 0}, {"类型", 0},
    {"地区语言", 0}, {"备注", 0},   {"简介", 0},   {"时长", 0}, {"集数", 0}, {"地址", 0},
};

template <class Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromUtf8(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const char* caption) {
  auto* label = Place(new QLabel(QString::fromUtf8(caption), parent), name, left, top, width,
                      height);
  // Captions come from catalogue sites too: never read them as markup.
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int left, int top, int width,
                        int height, const char* caption) {
  auto* button = Place(new QPushButton(QString::fromUtf8(caption), parent), name, left, top,
                       width, height);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

int KeyCodeOf(int qtKey) {
  if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter) return 13;
  if (qtKey == Qt::Key_Escape) return 27;
  if (qtKey == Qt::Key_Tab) return 9;
  if (qtKey == Qt::Key_Backspace) return 8;
  if (qtKey >= 0x20 && qtKey < 0x7F) return qtKey;
  return 0;
}

QFont WindowFont() {
  const QStringList families = QFontDatabase::families();
  QFont font;
  for (const char* candidate :
       {"WenQuanYi Micro Hei", "Microsoft YaHei", "SimSun", "Noto Sans CJK SC", "Source Han Sans SC"}) {
    const QString family = QString::fromUtf8(candidate);
    if (families.contains(family)) {
      font.setFamily(family);
      break;
    }
  }
  font.setPixelSize(12);
  return font;
}

void KeywordBox::keyPressEvent(QKeyEvent* event) {
  if (onKeyPress) onKeyPress(event->key());
  QLineEdit::keyPressEvent(event);
}

void KeywordBox::mouseReleaseEvent(QMouseEvent* event) {
  // After the box's own handling, which may drop a selection when the click ends a drag that
  // never started; the handler's selection must be the one that stays.
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && onLeftButtonReleased) onLeftButtonReleased();
}

MainWindow::MainWindow() {
  setFont(WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  move(kLeft, kTop);
  CreateControls();
  SetUpResultList();
  WireEvents();
}

void MainWindow::CreateControls() {
  标签1 = MakeLabel(this, "标签1", 8, 8, 56, 24, "影视名称");
  编辑框1 = Place(new KeywordBox(this), "编辑框1", 64, 8, 464, 24);
  按钮1 = MakeButton(this, "按钮1", 536, 8, 88, 24, "搜  索");
  超级列表框1 = Place(new QTableWidget(this), "超级列表框1", 8, 40, 416, 248);
  图片框1 = Place(new PictureFrame(this), "图片框1", 432, 40, 192, 248);
  标签2 = MakeLabel(this, "标签2", 8, 296, 200, 24, "导演");
  标签7 = MakeLabel(this, "标签7", 216, 288, 200, 24, "时长");
  标签3 = MakeLabel(this, "标签3", 8, 320, 200, 24, "主演");
  标签10 = MakeLabel(this, "标签10", 232, 312, 392, 104, "");
  标签4 = MakeLabel(this, "标签4", 8, 344, 200, 24, "类型");
  标签5 = MakeLabel(this, "标签5", 8, 368, 200, 24, "地区语言");
  标签9 = MakeLabel(this, "标签9", 8, 392, 200, 24, "备注");
  标签11 = MakeLabel(this, "标签11", 8, 424, 80, 24, "在线播放地址");
  编辑框2 = Place(new QLineEdit(this), "编辑框2", 88, 424, 448, 24);
  按钮3 = MakeButton(this, "按钮3", 544, 424, 80, 24, "直接播放");
  标签12 = MakeLabel(this, "标签12", 8, 448, 72, 24, "文件播放地址");
  编辑框3 = Place(new QLineEdit(this), "编辑框3", 88, 448, 448, 24);
  按钮2 = MakeButton(this, "按钮2", 544, 448, 80, 24, "复制地址");
  标签13 = MakeLabel(this, "标签13", 8, 480, 24, 20, "集数");
  组合框1 = Place(new QComboBox(this), "组合框1", 40, 480, 104, 20);
  标签6 = MakeLabel(this, "标签6", 152, 480, 56, 24, "投屏设备");
  组合框2 = Place(new QComboBox(this), "组合框2", 208, 480, 152, 20);
  按钮4 = MakeButton(this, "按钮4", 368, 478, 80, 24, "刷新设备");
  按钮5 = MakeButton(this, "按钮5", 456, 478, 80, 24, "投屏播放");
  按钮6 = MakeButton(this, "按钮6", 544, 478, 80, 24, "备用按钮");
  图片框2 = Place(new PictureFrame(this), "图片框2", 0, 40, 632, 472);

  图片框1->SetFramed(true);

  // The synopsis runs over several lines from the top.
  标签10->setWordWrap(true);
  标签10->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // The cover is opaque, created last and raised, so it lies over everything below the top row
  // and takes every click there; it starts hidden.
  图片框2->setAutoFillBackground(true);
  QPalette coverPalette = 图片框2->palette();
  coverPalette.setColor(QPalette::Window, BusyAnimationBackground());
  图片框2->setPalette(coverPalette);
  图片框2->SetAnimation(BusyAnimation());
  图片框2->raise();
  图片框2->hide();
  图片框2->installEventFilter(this);
}

void MainWindow::SetUpResultList() {
  QTableWidget* list = 超级列表框1;
  list->setColumnCount(static_cast<int>(std::size(kColumns)));
  QStringList headers;
  for (const Column& column : kColumns) headers << QString::fromUtf8(column.header);
  list->setHorizontalHeaderLabels(headers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setShowGrid(true);
  list->setWordWrap(false);
  list->setTabKeyNavigation(false);
  list->verticalHeader()->hide();
  QHeaderView* header = list->horizontalHeader();
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setMinimumSectionSize(0);
  for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
    // A column of width 0 is hidden, so no drag on the header can open it by accident.
    if (kColumns[c].width > 0) {
      list->setColumnWidth(c, kColumns[c].width);
    } else {
      list->setColumnHidden(c, true);
    }
  }
  list->installEventFilter(this);
}

void MainWindow::WireEvents() {
  auto fire = [](const std::function<void()>& slot) {
    if (slot) slot();
  };
  编辑框1->onKeyPress = [this](int qtKey) {
    if (events.keywordKeyPressed) events.keywordKeyPressed(KeyCodeOf(qtKey));
  };
  编辑框1->onLeftButtonReleased = [this, fire] { fire(events.keywordMouseReleased); };
  connect(按钮1, &QPushButton::clicked, this, [this, fire] { fire(events.searchClicked); });
  connect(超级列表框1, &QAbstractItemView::doubleClicked, this,
          [this, fire](const QModelIndex& index) {
            if (index.isValid()) fire(events.titleActivated);
          });
  // activated(), not currentIndexChanged(): selecting an entry from code raises nothing.
  connect(组合框1, &QComboBox::activated, this, [this, fire] { fire(events.episodeSelected); });
  connect(按钮3, &QPushButton::clicked, this, [this, fire] { fire(events.playClicked); });
  connect(按钮2, &QPushButton::clicked, this, [this, fire] { fire(events.copyClicked); });
  connect(按钮4, &QPushButton::clicked, this, [this, fire] { fire(events.refreshDevicesClicked); });
  connect(按钮5, &QPushButton::clicked, this, [this, fire] { fire(events.castClicked); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == 超级列表框1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        超级列表框1->selectionModel()->hasSelection() && events.titleActivated) {
      events.titleActivated();
    }
  } else if (watched == 图片框2 && event->type() == QEvent::Show) {
    // Keys must not reach a control the cover hides.
    QWidget* focused = focusWidget();
    if (focused && focused != 编辑框1 && focused != 按钮1) 编辑框1->setFocus(Qt::OtherFocusReason);
  }
  return QWidget::eventFilter(watched, event);
}

bool MainWindow::focusNextPrevChild(bool next) {
  if (图片框2->isHidden()) return QWidget::focusNextPrevChild(next);
  if (focusWidget() == 编辑框1) {
    按钮1->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  } else {
    编辑框1->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  }
  return true;
}

}  // namespace mm
