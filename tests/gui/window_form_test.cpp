#include <QBuffer>
#include <QComboBox>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

#include "gui_fixture.h"
#include "ui/picture_decoder.h"
#include "ui/picture_frame.h"

namespace mm::test {
namespace {

using WindowFormTest = WindowTest;

// Runs `body` on a thread of its own while the window thread keeps serving its calls.
void OnWorkerThread(const std::function<void()>& body) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    body();
    done = true;
  });
  const bool ended = PumpUntil([&] { return done.load(); });
  worker.join();
  ASSERT_TRUE(ended);
}

TEST_F(WindowFormTest, WorkerCallsRunOnTheWindowThreadInOrder) {
  std::vector<QThread*> changedOn;
  QObject::connect(W().编辑框2, &QLineEdit::textChanged,
                   [&] { changedOn.push_back(QThread::currentThread()); });
  std::string keyword, cell, missingCell, title;
  int row = -1, rows = 0, index = -1, value = 0;
  OnWorkerThread([&] {
    MainForm& f = F();
    f.编辑框1().SetText(Gbk("天龙八部"));
    keyword = f.编辑框1().Text();
    f.编辑框2().SetText("first");
    f.编辑框2().SetText("second");
    f.超级列表框1().DeleteAllRows();
    row = f.超级列表框1().AppendRow();
    f.超级列表框1().SetCell(row, 11, Gbk("第01集$http://a"));
    cell = f.超级列表框1().Cell(row, 11);
    missingCell = f.超级列表框1().Cell(row + 1, 0);
    rows = f.超级列表框1().RowCount();
    index = f.组合框2().AddItem(Gbk("客厅电视"), 7);
    value = f.组合框2().ItemValue(index);
    f.SetTitle(Gbk("青柚 - 木棉 - 天龙八部"));
    title = f.Title();
  });
  EXPECT_EQ(keyword, Gbk("天龙八部"));
  EXPECT_EQ(W().编辑框1->text(), Q("天龙八部"));
  ASSERT_EQ(changedOn.size(), 2u);
  EXPECT_EQ(changedOn[0], QApplication::instance()->thread());
  EXPECT_EQ(W().编辑框2->text(), QString("second"));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(cell, Gbk("第01集$http://a"));
  EXPECT_EQ(W().超级列表框1->item(0, 11)->text(), Q("第01集$http://a"));
  EXPECT_EQ(missingCell, "");
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(W().组合框2->itemText(0), Q("客厅电视"));
  EXPECT_EQ(title, Gbk("青柚 - 木棉 - 天龙八部"));
}

TEST_F(WindowFormTest, TextCrossesAsCodePage936) {
  struct Case {
    const char* name;
    QString shown;
    std::string programText;
  };
  const Case cases[] = {
      {"ASCII", "abc 123", "abc 123"},
      {"Chinese", Q("影视名称"), Gbk("影视名称")},
      {"full-width colon", Q("导演："), "\xB5\xBC\xD1\xDD\xA3\xBA"},
      {"outside code page 936", QString::fromUcs4(U"a😀b"), "a?b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    W().标签2->setText(c.shown);
    EXPECT_EQ(F().标签2().Text(), c.programText);
  }
  F().按钮6().SetText(Gbk("备用"));
  EXPECT_EQ(W().按钮6->text(), Q("备用"));
  // Catalogue text is shown as it is, never read as markup.
  F().标签10().SetText("<b>bold</b>");
  EXPECT_EQ(W().标签10->text(), QString("<b>bold</b>"));
  EXPECT_EQ(W().标签10->textFormat(), Qt::PlainText);
}

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

// A 1 x 1 GIF: Qt reads GIF but cannot write it.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                              0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01,
                              0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

// The GIF with a logical screen of 65535 x 65535.
QByteArray HugeGif() {
  QByteArray gif(reinterpret_cast<const char*>(kGif), sizeof kGif);
  for (int i = 6; i < 10; ++i) gif[i] = static_cast<char>(0xFF);
  return gif;
}

// A PNG whose header claims 100000 x 100000 pixels.
QByteArray HugePng() {
  QImage small(1, 1, QImage::Format_RGB32);
  small.fill(Qt::green);
  QByteArray png = Encode(small, "PNG");
  // IHDR's width and height follow the signature (8), length (4) and type (4). The checksum
  // is left wrong on purpose: the size is read before it matters.
  const unsigned char side[4] = {0x00, 0x01, 0x86, 0xA0};
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<char>(side[i]);
    png[20 + i] = static_cast<char>(side[i]);
  }
  return png;
}

// A BMP whose header claims 30000 x 30000 pixels but holds a handful of bytes.
QByteArray HugeBmp() {
  QImage small(2, 2, QImage::Format_RGB32);
  small.fill(Qt::blue);
  QByteArray bmp = Encode(small, "BMP");
  const int side = 30000;
  for (int i = 0; i < 4; ++i) {
    bmp[18 + i] = static_cast<char>((side >> (8 * i)) & 0xFF);
    bmp[22 + i] = static_cast<char>((side >> (8 * i)) & 0xFF);
  }
  return bmp;
}

TEST_F(WindowFormTest, PosterBoxDecodesPicturesAndRefusesBadBytes) {
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(QColor(10, 200, 30));
  const QByteArray png = Encode(picture, "PNG");
  QByteArray ico = Encode(QImage(picture).scaled(32, 32), "ICO");
  QByteArray cur = ico;
  cur[2] = 2;  // a cursor is an icon file with type 2
  struct Case {
    const char* name;
    QByteArray bytes;
    bool decodes;
  };
  const Case cases[] = {
      {"PNG", png, true},
      {"JPEG", Encode(picture, "JPEG"), true},
      {"BMP", Encode(picture, "BMP"), true},
      {"GIF", QByteArray(reinterpret_cast<const char*>(kGif), sizeof kGif), true},
      {"icon", ico, true},
      {"cursor", cur, true},
      {"empty", QByteArray(), false},
      {"HTML error page", "<html><body>404</body></html>", false},
      {"truncated PNG", png.left(png.size() / 3), false},
      {"PNG claiming 100000 x 100000", HugePng(), false},
      {"BMP claiming 30000 x 30000", HugeBmp(), false},
      {"GIF claiming 65535 x 65535", HugeGif(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A picture from before is replaced either way.
    W().图片框1->SetImage(picture);
    const Bytes bytes(c.bytes.constData(), static_cast<std::size_t>(c.bytes.size()));
    bool shown = false;
    OnWorkerThread([&] { shown = F().图片框1().SetPicture(bytes); });
    EXPECT_EQ(shown, c.decodes);
    EXPECT_EQ(F().图片框1().HasPicture(), c.decodes);
    EXPECT_EQ(DecodePicture(bytes).isNull(), !c.decodes);
  }
  F().图片框1().ClearPicture();
  EXPECT_FALSE(W().图片框1->HasPicture());
}

// Pictures cut off anywhere decode to something within the limits or to nothing.
TEST(DecodePictureTest, CutOffPicturesNeverBreakTheDecoder) {
  QImage picture(64, 48, QImage::Format_RGB32);
  picture.fill(QColor(200, 40, 90));
  for (const char* format : {"PNG", "JPEG", "BMP", "ICO"}) {
    SCOPED_TRACE(format);
    const QByteArray whole = Encode(picture, format);
    ASSERT_FALSE(whole.isEmpty());
    for (int cut = 1; cut < 20; ++cut) {
      const QByteArray part = whole.left(whole.size() * cut / 20);
      const QImage image = DecodePicture(Bytes(part.constData(), std::size_t(part.size())));
      EXPECT_LE(image.width(), kMaxPictureSide);
      EXPECT_LE(image.height(), kMaxPictureSide);
    }
  }
}

TEST_F(WindowFormTest, MessagesGoThroughTheHook) {
  OnWorkerThread([&] { F().ShowMessage(Gbk("发送失败")); });
  F().ShowMessage(Gbk("已复制M3U8文件地址"));
  EXPECT_EQ(messages_, (std::vector<std::string>{Gbk("发送失败"), Gbk("已复制M3U8文件地址")}));
}

// The real dialog, closed by a timer as a user would: caption, text, OK only, no owner, modal
// for the whole program.
TEST(InformationBoxTest, ShowsCaptionTextAndOkOnly) {
  QString caption, text;
  QWidget* owner = reinterpret_cast<QWidget*>(1);
  Qt::WindowModality modality = Qt::NonModal;
  QList<QAbstractButton*> buttons;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      ADD_FAILURE() << "the box is not the active modal window";
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* other = qobject_cast<QMessageBox*>(w)) other->done(0);
      }
      return;
    }
    caption = box->windowTitle();
    text = box->text();
    owner = box->parentWidget();
    modality = box->windowModality();
    buttons = box->buttons();
    box->button(QMessageBox::Ok)->click();
  });
  ShowInformation(Gbk("已复制M3U8文件地址"));
  EXPECT_EQ(caption, Q("信息："));
  EXPECT_EQ(text, Q("已复制M3U8文件地址"));
  EXPECT_EQ(owner, nullptr);
  EXPECT_EQ(modality, Qt::ApplicationModal);
  EXPECT_EQ(buttons.size(), 1);
}

TEST_F(WindowFormTest, PostedTasksRunLaterInOrder) {
  std::vector<int> ran;
  F().PostToWindowThread([&] { ran.push_back(1); });
  OnWorkerThread([&] { F().PostToWindowThread([&] { ran.push_back(2); }); });
  F().PostToWindowThread([&] { ran.push_back(3); });
  // Posting from the window thread never runs the task at once.
  ASSERT_TRUE(PumpUntil([&] { return ran.size() == 3; }));
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST_F(WindowFormTest, PostDoesNotRunTheTaskAtOnce) {
  bool ran = false;
  F().PostToWindowThread([&] { ran = true; });
  EXPECT_FALSE(ran);
  ASSERT_TRUE(PumpUntil([&] { return ran; }));
}

TEST_F(WindowFormTest, ComboBoxAndListBounds) {
  ComboBox& box = F().组合框1();
  box.AddItem("a", 10);
  box.AddItem("b", 20);
  struct Case {
    const char* name;
    int index;
    int current;
  };
  const Case cases[] = {{"first", 0, 0}, {"last", 1, 1}, {"none", -1, -1}, {"past the end", 2, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    box.SetCurrentIndex(c.index);
    EXPECT_EQ(box.CurrentIndex(), c.current);
  }
  EXPECT_EQ(box.ItemValue(5), 0);
  EXPECT_EQ(box.ItemText(5), "");
  box.SetCurrentIndex(1);
  EXPECT_EQ(box.Text(), "b");
  box.ClearItems();
  EXPECT_EQ(box.ItemCount(), 0);
  EXPECT_EQ(box.CurrentIndex(), -1);

  ListView& list = F().超级列表框1();
  list.SetCell(0, 0, "no such row");
  EXPECT_EQ(list.RowCount(), 0);
  const int row = list.AppendRow();
  list.SetCell(row, 12, "no such column");
  list.SetCell(row, -1, "no such column");
  EXPECT_EQ(list.Cell(row, 12), "");
  EXPECT_EQ(list.SelectedRow(), -1);
  list.SelectRow(row);
  EXPECT_EQ(list.SelectedRow(), row);
  list.SelectRow(7);
  EXPECT_EQ(list.SelectedRow(), -1);
}

TEST_F(WindowFormTest, EditBoxSelectClampsToTheText) {
  struct Case {
    const char* name;
    int start, length;
    QString selected;
  };
  const QString text = Q("影视abc");
  const Case cases[] = {
      {"inside", 1, 3, Q("视ab")},
      {"past the end", 3, 100, "bc"},
      {"start past the end", 10, 5, ""},
      {"negative start", -4, 2, Q("影视")},
      {"negative length", 1, -3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    W().编辑框3->setText(text);
    F().编辑框3().Select(c.start, c.length);
    EXPECT_EQ(W().编辑框3->selectedText(), c.selected);
  }
}

// A run's form stops reaching the window the moment its gate is shut, and every form stops
// once the window is closing; reads then give empty values.
TEST_F(WindowFormTest, ShutGateAndClosingDropCalls) {
  WindowThread thread;
  auto gate = std::make_shared<RunGate>();
  WindowForm runForm(W(), thread, gate);
  runForm.标签2().SetText("open");
  EXPECT_EQ(W().标签2->text(), QString("open"));
  gate->Shut();
  std::string read = "unset";
  int rows = -5;
  OnWorkerThread([&] {
    runForm.标签2().SetText("late");
    runForm.超级列表框1().AppendRow();
    runForm.SetTitle("late title");
    read = runForm.标签2().Text();
    rows = runForm.超级列表框1().RowCount();
    runForm.ShowMessage("late");
  });
  EXPECT_EQ(W().标签2->text(), QString("open"));
  EXPECT_EQ(W().超级列表框1->rowCount(), 0);
  EXPECT_NE(W().windowTitle(), QString("late title"));
  EXPECT_EQ(read, "");
  EXPECT_EQ(rows, 0);
  EXPECT_TRUE(messages_.empty());

  WindowForm plainForm(W(), thread);
  thread.BeginClosing();
  bool posted = false;
  OnWorkerThread([&] {
    plainForm.标签3().SetText("closing");
    plainForm.PostToWindowThread([&] { posted = true; });
  });
  QApplication::processEvents();
  EXPECT_NE(W().标签3->text(), QString("closing"));
  EXPECT_FALSE(posted);
}

}  // namespace
}  // namespace mm::test
