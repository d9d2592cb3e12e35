#pragma once
// The form seam's control operations over real Qt widgets. Every operation runs on the window
// thread (see WindowThread), and every text crosses here between program text (code page 936)
// and Qt's Unicode: nowhere else in the program.
//
// An adapter is cheap and owns nothing: the window's form keeps one per control, and each search
// run gets its own set bound to that run's gate, so a superseded run's calls are dropped.

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QTableWidget>
#include <string>

#include "form/main_form.h"
#include "ui/picture_frame.h"
#include "ui/window_thread.h"

namespace mm {

QString ToQString(const std::string& programText);
std::string FromQString(const QString& text);

// What every adapter shares: the widget, the window thread and the gate of the run it serves.
template <class Interface, class Widget>
class QtControlBase : public Interface {
 public:
  QtControlBase(Widget* widget, const WindowThread& thread, const RunGate* gate)
      : widget_(widget), thread_(thread), gate_(gate) {}

  void SetVisible(bool visible) override {
    Run([&] { widget_->setVisible(visible); });
  }
  // The control's own flag: a control counts as shown even while its window is not.
  bool IsVisible() const override {
    return Get(false, [&] { return !widget_->isHidden(); });
  }

 protected:
  template <class Call>
  void Run(Call&& call) const {
    thread_.Run(gate_, [&] {
      if (widget_) call();
    });
  }
  template <class Result, class Call>
  Result Get(Result fallback, Call&& call) const {
    return thread_.Get(gate_, fallback, [&]() -> Result { return widget_ ? call() : fallback; });
  }

  QPointer<Widget> widget_;  // the window may go first while the program shuts down

 private:
  const WindowThread& thread_;
  const RunGate* gate_;
};

// A label or a button: its caption.
class QtLabel : public QtControlBase<Control, QLabel> {
 public:
  using QtControlBase::QtControlBase;
  void SetText(const std::string& text) override;
  std::string Text() const override;
};

class QtButton : public QtControlBase<Control, QAbstractButton> {
 public:
  using QtControlBase::QtControlBase;
  void SetText(const std::string& text) override;
  std::string Text() const override;
};

class QtEditBox : public QtControlBase<EditBox, QLineEdit> {
 public:
  using QtControlBase::QtControlBase;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  // Positions count characters, never the halves of a surrogate pair.
  void Select(int start, int length) override;
  std::string SelectedText() const override;
};

// A picture box has no caption: SetText is ignored and Text is empty.
class QtPictureBox : public QtControlBase<PictureBox, PictureFrame> {
 public:
  using QtControlBase::QtControlBase;
  void SetText(const std::string&) override {}
  std::string Text() const override { return {}; }
  bool SetPicture(const Bytes& data) override;
  void ClearPicture() override;
  bool HasPicture() const override;
};

// Entries carry their item value in Qt::UserRole. The text is the current entry's.
class QtComboBox : public QtControlBase<ComboBox, QComboBox> {
 public:
  using QtControlBase::QtControlBase;
  void SetText(const std::string& text) override;
  std::string Text() const override;
  void ClearItems() override;
  int AddItem(const std::string& text, int value) override;
  int ItemCount() const override;
  std::string ItemText(int index) const override;
  int ItemValue(int index) const override;
  // An index outside the entries selects nothing. Raises no activated() signal, so the
  // list-item-selected handler, which listens to activated(), does not run.
  void SetCurrentIndex(int index) override;
  int CurrentIndex() const override;
};

// The result list. Cells outside the rows and columns are neither written nor read.
class QtListView : public QtControlBase<ListView, QTableWidget> {
 public:
  using QtControlBase::QtControlBase;
  // A list has no caption of its own.
  void SetText(const std::string&) override {}
  std::string Text() const override { return {}; }
  void DeleteAllRows() override;
  int AppendRow() override;
  void SetCell(int row, int column, const std::string& text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override;
  int SelectedRow() const override;
  void SelectRow(int row) override;
};

}  // namespace mm
