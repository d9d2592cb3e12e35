#include "ui/list_colorizer.h"

#include <QEvent>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace mm {

QColor FromColorRef(ColorRef color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// Draws a cell in its stored colours, or exactly as the list would when it has none.
class ListColorizer::CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(const ListColorizer& owner, QObject* parent)
      : QStyledItemDelegate(parent), owner_(owner) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (auto color = owner_.FindCellColor(index.row(), index.column())) {
      option->backgroundBrush = QBrush(FromColorRef(color->backColor));
      option->palette.setColor(QPalette::Text, FromColorRef(color->textColor));
    }
  }

 private:
  const ListColorizer& owner_;
};

// Paints the header's items in place of the header's own drawing: the Qt form of an
// owner-drawn header.
class ListColorizer::HeaderPainter : public QObject {
 public:
  HeaderPainter(const ListColorizer& owner, QHeaderView* header)
      : owner_(owner), header_(header) {
    header_->viewport()->installEventFilter(this);
  }
  ~HeaderPainter() override {
    if (header_) header_->viewport()->removeEventFilter(this);
  }
  QHeaderView* Header() const { return header_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!header_ || watched != header_->viewport() || event->type() != QEvent::Paint) {
      return false;
    }
    Paint();
    return true;
  }

 private:
  void Paint() {
    QWidget* viewport = header_->viewport();
    QPainter painter(viewport);
    painter.fillRect(viewport->rect(), header_->palette().button());
    const int height = viewport->height();
    for (int visual = 0; visual < header_->count(); ++visual) {
      const int column = header_->logicalIndex(visual);
      if (header_->isSectionHidden(column) || header_->sectionSize(column) <= 0) continue;
      const QRect item(header_->sectionViewportPosition(column), 0, header_->sectionSize(column),
                       height);
      const HeaderColor color = owner_.FindHeaderColor(column);
      const bool found = color.column >= 0;
      painter.fillRect(item, found ? FromColorRef(color.backColor) : QColor(192, 192, 192));
      // A darker line between items keeps neighbouring columns of one colour apart.
      painter.setPen(QColor(128, 128, 128));
      painter.drawLine(item.topRight(), item.bottomRight());
      painter.setPen(found ? FromColorRef(color.textColor) : QColor(0, 0, 0));
      const QString text =
          header_->model() ? header_->model()->headerData(column, header_->orientation()).toString()
                           : QString();
      painter.drawText(item, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
  }

  const ListColorizer& owner_;
  QPointer<QHeaderView> header_;
};

ListColorizer::ListColorizer() = default;

ListColorizer::~ListColorizer() {
  Uninstall();
  RemoveHeaderHooks();
}

void ListColorizer::Attach(QWidget* parent, QTableView* list) {
  parent_ = parent;
  list_ = list;
}

void ListColorizer::Install() {
  cells_.clear();
  if (!list_ || installed_) {
    Repaint();
    return;
  }
  previousDelegate_ = list_->itemDelegate();
  delegate_ = new CellDelegate(*this, list_);
  list_->setItemDelegate(delegate_);
  installed_ = true;
  ApplyFrameless();
  Repaint();
}

void ListColorizer::Uninstall() {
  if (!installed_) return;
  installed_ = false;
  if (list_ && delegate_) {
    // A list always needs a delegate; if its old one has gone, it gets a plain one.
    QAbstractItemDelegate* previous = previousDelegate_;
    list_->setItemDelegate(previous ? previous : new QStyledItemDelegate(list_));
    delete delegate_;
  }
  ApplyFrameless();
  Repaint();
}

void ListColorizer::SetCellColor(int row, int column, ColorRef textColor, ColorRef backColor) {
  cells_[{row, column}] = {textColor, backColor};
  Repaint();
}

void ListColorizer::RemoveCellColor(int row, int column) {
  if (cells_.erase({row, column}) > 0) Repaint();
}

void ListColorizer::ClearCellColors() {
  if (cells_.empty()) return;
  cells_.clear();
  Repaint();
}

std::optional<CellColor> ListColorizer::FindCellColor(int row, int column) const {
  auto found = cells_.find({row, column});
  if (found == cells_.end()) return std::nullopt;
  return found->second;
}

void ListColorizer::SetRowHeight(int height) {
  rowHeight_ = height;
  if (!list_ || height <= 0) return;
  QHeaderView* rows = list_->verticalHeader();
  // The style's minimum can exceed a small height; the height asked for wins.
  rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), height));
  rows->setDefaultSectionSize(height);
  rows->setSectionResizeMode(QHeaderView::Fixed);
}

void ListColorizer::SetFrameless(bool frameless) {
  frameless_ = frameless;
  ApplyFrameless();
}

void ListColorizer::ApplyFrameless() {
  const bool wanted = installed_ && frameless_;
  if (!parent_ || wanted == framelessApplied_) return;
  // Changing window flags hides a shown window; show it again where it was.
  const bool shown = parent_->isVisible();
  parent_->setWindowFlag(Qt::FramelessWindowHint, wanted);
  if (shown) parent_->show();
  framelessApplied_ = wanted;
}

void ListColorizer::SetHeaderColors(int headerHeight, std::vector<HeaderColor> colors) {
  headerHeight_ = headerHeight;
  headerColors_ = std::move(colors);
  if (!list_) return;
  QHeaderView* header = list_->horizontalHeader();
  if (!headerPainter_) {
    previousHeaderMinimum_ = header->minimumHeight();
    previousHeaderMaximum_ = header->maximumHeight();
    headerPainter_ = std::make_unique<HeaderPainter>(*this, header);
  }
  if (headerHeight_ > 0) header->setFixedHeight(headerHeight_);
  RelayOut();
  SetHeaderOwnerDraw();
}

void ListColorizer::RemoveHeaderHooks() {
  headerColors_.clear();
  if (!headerPainter_) return;
  QHeaderView* header = headerPainter_->Header();
  headerPainter_.reset();
  if (header) {
    header->setMinimumHeight(previousHeaderMinimum_);
    header->setMaximumHeight(previousHeaderMaximum_);
    RelayOut();
    header->viewport()->update();
  }
}

HeaderColor ListColorizer::FindHeaderColor(int column) const {
  for (const HeaderColor& color : headerColors_) {
    if (color.column == column) return color;
  }
  return {};
}

void ListColorizer::SetHeaderOwnerDraw() {
  if (!headerPainter_ || !headerPainter_->Header()) return;
  headerPainter_->Header()->viewport()->update();
}

bool ListColorizer::IsAtScrollEdge(bool top) const {
  if (!list_) return false;
  const QScrollBar* bar = list_->verticalScrollBar();
  return top ? bar->value() == bar->minimum() : bar->value() == bar->maximum();
}

// The list places its header and rows anew only in updateGeometries(), a protected slot.
void ListColorizer::RelayOut() const {
  if (list_) QMetaObject::invokeMethod(list_, "updateGeometries");
}

void ListColorizer::Repaint() const {
  if (list_) list_->viewport()->update();
}

}  // namespace mm
