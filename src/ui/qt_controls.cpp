#include "ui/qt_controls.h"

#include <QItemSelectionModel>
#include <QVariant>
#include <algorithm>

#include "ui/picture_decoder.h"
#include "util/encoding.h"

namespace mm {

QString ToQString(const std::string& programText) {
  return QString::fromStdString(AnsiToUtf8(programText));
}

std::string FromQString(const QString& text) { return Utf8ToAnsi(text.toStdString()); }

namespace {

// The UTF-16 position of character `characters` of `text` (clamped to its end).
int Utf16Position(const QString& text, int characters) {
  int position = 0;
  for (int c = 0; c < characters && position < text.size(); ++c) {
    position += (text.at(position).isHighSurrogate() && position + 1 < text.size() &&
                 text.at(position + 1).isLowSurrogate())
                    ? 2
                    : 1;
  }
  return position;
}

}  // namespace

void QtLabel::SetText(const std::string& text) {
  QString caption = ToQString(text);
  Run([&] { widget_->setText(caption); });
}

std::string QtLabel::Text() const {
  return FromQString(Get(QString(), [&] { return widget_->text(); }));
}

void QtButton::SetText(const std::string& text) {
  QString caption = ToQString(text);
  Run([&] { widget_->setText(caption); });
}

std::string QtButton::Text() const {
  return FromQString(Get(QString(), [&] { return widget_->text(); }));
}

void QtEditBox::SetText(const std::string& text) {
  QString value = ToQString(text);
  Run([&] { widget_->setText(value); });
}

std::string QtEditBox::Text() const {
  return FromQString(Get(QString(), [&] { return widget_->text(); }));
}

void QtEditBox::Select(int start, int length) {
  Run([&] {
    const QString text = widget_->text();
    const int from = Utf16Position(text, std::max(start, 0));
    const int to = Utf16Position(text, std::max(start, 0) + std::max(length, 0));
    // setSelection leaves the cursor at the end of the selection and scrolls it into view.
    widget_->setSelection(from, to - from);
  });
}

std::string QtEditBox::SelectedText() const {
  return FromQString(Get(QString(), [&] { return widget_->selectedText(); }));
}

bool QtPictureBox::SetPicture(const Bytes& data) {
  // Decoded on the caller's thread: a large poster does not hold up the window.
  QImage image = DecodePicture(data);
  Run([&] {
    if (image.isNull()) {
      widget_->Clear();
    } else {
      widget_->SetImage(image);
    }
  });
  return !image.isNull();
}

void QtPictureBox::ClearPicture() {
  Run([&] { widget_->Clear(); });
}

bool QtPictureBox::HasPicture() const {
  return Get(false, [&] { return widget_->HasPicture(); });
}

void QtComboBox::SetText(const std::string& text) {
  QString value = ToQString(text);
  // A drop-down list has no free text: this selects the entry of that text, if there is one.
  Run([&] { widget_->setCurrentText(value); });
}

std::string QtComboBox::Text() const {
  return FromQString(Get(QString(), [&] { return widget_->currentText(); }));
}

void QtComboBox::ClearItems() {
  Run([&] { widget_->clear(); });
}

int QtComboBox::AddItem(const std::string& text, int value) {
  QString entry = ToQString(text);
  return Get(-1, [&] {
    widget_->addItem(entry, QVariant(value));
    return widget_->count() - 1;
  });
}

int QtComboBox::ItemCount() const {
  return Get(0, [&] { return widget_->count(); });
}

std::string QtComboBox::ItemText(int index) const {
  return FromQString(Get(QString(), [&] { return widget_->itemText(index); }));
}

int QtComboBox::ItemValue(int index) const {
  return Get(0, [&] {
    if (index < 0 || index >= widget_->count()) return 0;
    return widget_->itemData(index).toInt();
  });
}

void QtComboBox::SetCurrentIndex(int index) {
  Run([&] { widget_->setCurrentIndex(index >= 0 && index < widget_->count() ? index : -1); });
}

int QtComboBox::CurrentIndex() const {
  return Get(-1, [&] { return widget_->currentIndex(); });
}

void QtListView::DeleteAllRows() {
  Run([&] { widget_->setRowCount(0); });
}

int QtListView::AppendRow() {
  return Get(-1, [&] {
    const int row = widget_->rowCount();
    widget_->insertRow(row);
    return row;
  });
}

void QtListView::SetCell(int row, int column, const std::string& text) {
  QString value = ToQString(text);
  Run([&] {
    if (row < 0 || row >= widget_->rowCount() || column < 0 || column >= widget_->columnCount()) {
      return;
    }
    if (QTableWidgetItem* item = widget_->item(row, column)) {
      item->setText(value);
      return;
    }
    auto* item = new QTableWidgetItem(value);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    widget_->setItem(row, column, item);
  });
}

std::string QtListView::Cell(int row, int column) const {
  return FromQString(Get(QString(), [&] {
    const QTableWidgetItem* item = widget_->item(row, column);
    return item ? item->text() : QString();
  }));
}

int QtListView::RowCount() const {
  return Get(0, [&] { return widget_->rowCount(); });
}

int QtListView::SelectedRow() const {
  return Get(-1, [&] {
    int first = -1;
    for (const QModelIndex& index : widget_->selectionModel()->selectedIndexes()) {
      if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
  });
}

void QtListView::SelectRow(int row) {
  Run([&] {
    if (row < 0 || row >= widget_->rowCount()) {
      widget_->clearSelection();
      return;
    }
    widget_->setCurrentCell(row, 0,
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  });
}

}  // namespace mm
