#pragma once
// The seam between the handlers and the window. Handlers change controls only through these
// plain operations, so searching, showing a title and casting are tested against an in-memory
// form, and the Qt window is tested on its own.
//
// All text crossing this seam is program text (code page 936); the Qt window converts at its
// own boundary. Calls may come from any thread: an implementation carries each one out on the
// window thread, synchronously and in the order issued.

#include <functional>
#include <string>

#include "util/text.h"

namespace mm {

// What every control has: a caption (label, button) or text (edit box), and visibility.
class Control {
 public:
  virtual ~Control() = default;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool IsVisible() const = 0;
};

class EditBox : public Control {
 public:
  // Selects `length` characters from character `start` (0-based), clamped to the text, and
  // scrolls the caret into view.
  virtual void Select(int start, int length) = 0;
  virtual std::string SelectedText() const = 0;
};

class PictureBox : public Control {
 public:
  // Shows the picture encoded in `data` (JPEG, PNG, BMP, GIF, icon, cursor). Bytes that do not
  // decode leave the box without a picture; the result says which happened.
  virtual bool SetPicture(const Bytes& data) = 0;
  virtual void ClearPicture() = 0;
  virtual bool HasPicture() const = 0;
};

// A drop-down list whose entries carry an integer item value.
class ComboBox : public Control {
 public:
  virtual void ClearItems() = 0;
  // Appends an entry; returns its index.
  virtual int AddItem(const std::string& text, int value) = 0;
  virtual int ItemCount() const = 0;
  virtual std::string ItemText(int index) const = 0;
  virtual int ItemValue(int index) const = 0;
  // Selecting from code does not raise the list-item-selected event (a user's choice does).
  virtual void SetCurrentIndex(int index) = 0;
  virtual int CurrentIndex() const = 0;  // -1 when nothing is selected
};

// The report-style result list.
class ListView : public Control {
 public:
  virtual void DeleteAllRows() = 0;
  virtual int AppendRow() = 0;  // an empty row at the end; returns its index
  virtual void SetCell(int row, int column, const std::string& text) = 0;
  virtual std::string Cell(int row, int column) const = 0;  // empty outside the rows
  virtual int RowCount() const = 0;
  virtual int SelectedRow() const = 0;  // -1 when no row is selected
  virtual void SelectRow(int row) = 0;
};

// One accessor per control, named as on the window form.
class MainForm {
 public:
  virtual ~MainForm() = default;

  virtual void SetTitle(const std::string& title) = 0;
  virtual std::string Title() const = 0;

  virtual Control& 标签1() = 0;
  virtual EditBox& 编辑框1() = 0;
  virtual Control& 按钮1() = 0;
  virtual ListView& 超级列表框1() = 0;
  virtual PictureBox& 图片框1() = 0;
  virtual Control& 标签2() = 0;
  virtual Control& 标签7() = 0;
  virtual Control& 标签3() = 0;
  virtual Control& 标签10() = 0;
  virtual Control& 标签4() = 0;
  virtual Control& 标签5() = 0;
  virtual Control& 标签9() = 0;
  virtual Control& 标签11() = 0;
  virtual EditBox& 编辑框2() = 0;
  virtual Control& 按钮3() = 0;
  virtual Control& 标签12() = 0;
  virtual EditBox& 编辑框3() = 0;
  virtual Control& 按钮2() = 0;
  virtual Control& 标签13() = 0;
  virtual ComboBox& 组合框1() = 0;
  virtual Control& 标签6() = 0;
  virtual ComboBox& 组合框2() = 0;
  virtual Control& 按钮4() = 0;
  virtual Control& 按钮5() = 0;
  virtual Control& 按钮6() = 0;
  virtual PictureBox& 图片框2() = 0;

  // The program's only kind of message: caption "信息：", OK only, no owner, modal. Returns
  // when the user has dismissed it.
  virtual void ShowMessage(const std::string& text) = 0;

  // Runs `task` on the window thread later, after what is already queued, without waiting.
  // Work that must not block the window (the poster fetch) hands its result back this way.
  virtual void PostToWindowThread(std::function<void()> task) = 0;
};

}  // namespace mm
