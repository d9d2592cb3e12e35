#pragma once
// Colours and row height for one report-style list and the window that holds it: a fixed row
// height, per-cell text and background colours, a coloured column header of a chosen height,
// and a parent window without a frame. It can also tell whether the list is scrolled to its top
// or its bottom.
//
// The program keeps one for the result list and only fixes the row height with it; the colour
// operations leave every cell in the list's own colours until someone sets one.
//
// Colours are COLORREF values, 0x00BBGGRR. Window thread only.

#include <QColor>
#include <QPointer>
#include <QTableView>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QAbstractItemDelegate;

namespace mm {

using ColorRef = std::uint32_t;

QColor FromColorRef(ColorRef color);
inline constexpr ColorRef MakeColorRef(int red, int green, int blue) {
  return static_cast<ColorRef>(red & 0xFF) | static_cast<ColorRef>(green & 0xFF) << 8 |
         static_cast<ColorRef>(blue & 0xFF) << 16;
}

// The colours of one header item; column -1 marks "no record".
struct HeaderColor {
  int column = -1;
  ColorRef textColor = 0;
  ColorRef backColor = 0;
};

struct CellColor {
  ColorRef textColor = 0;
  ColorRef backColor = 0;
};

class ListColorizer {
 public:
  ListColorizer();
  // Uninstall, then RemoveHeaderHooks.
  ~ListColorizer();
  ListColorizer(const ListColorizer&) = delete;
  ListColorizer& operator=(const ListColorizer&) = delete;

  // Remembers the window and the list; nothing else.
  void Attach(QWidget* parent, QTableView* list);
  // Empties the colour store and takes over the drawing of the list's cells (with the list's
  // own colours wherever no cell colour is set) and the frame of the parent.
  void Install();
  // Gives the list its previous cell drawing back and the parent its frame.
  void Uninstall();
  bool IsInstalled() const { return installed_; }

  // A later call for the same cell replaces its colours. Cells draw in their colours only while
  // installed.
  void SetCellColor(int row, int column, ColorRef textColor, ColorRef backColor);
  void RemoveCellColor(int row, int column);  // a cell without colours changes nothing
  void ClearCellColors();
  std::optional<CellColor> FindCellColor(int row, int column) const;

  void SetRowHeight(int height);
  int RowHeight() const { return rowHeight_; }

  // While installed and the flag is set, the parent window has no frame.
  void SetFrameless(bool frameless);

  // Makes the column header `headerHeight` pixels high and draws each item itself: centred
  // single-line text over the item's background, in the record's colours for a column that has
  // one, black on silver for the others.
  void SetHeaderColors(int headerHeight, std::vector<HeaderColor> colors);
  // Empties the header colours and gives the header back its own drawing and height; nothing
  // when SetHeaderColors has not run.
  void RemoveHeaderHooks();
  HeaderColor FindHeaderColor(int column) const;
  // Has every header item drawn by this object again (repaints the header); nothing without
  // header hooks. SetHeaderColors does it itself.
  void SetHeaderOwnerDraw();

  // With `top`: the list shows its first row. Without: it is scrolled to its end. False when
  // nothing is attached.
  bool IsAtScrollEdge(bool top) const;

 private:
  class CellDelegate;
  class HeaderPainter;

  void ApplyFrameless();
  void Repaint() const;
  void RelayOut() const;

  QPointer<QWidget> parent_;
  QPointer<QTableView> list_;
  bool installed_ = false;
  std::map<std::pair<int, int>, CellColor> cells_;  // the colour store, by (row, column)
  int rowHeight_ = 0;
  QPointer<QAbstractItemDelegate> previousDelegate_;
  QPointer<CellDelegate> delegate_;  // owned by the list while installed
  bool frameless_ = false;
  bool framelessApplied_ = false;

  int headerHeight_ = 0;
  std::vector<HeaderColor> headerColors_;
  std::unique_ptr<HeaderPainter> headerPainter_;  // set while the header hooks exist
  int previousHeaderMinimum_ = 0;
  int previousHeaderMaximum_ = 0;
};

}  // namespace mm
