#pragma once
// The program's one window and its 26 controls, placed at their client positions with their
// design captions. The window holds no logic: every control event goes to a slot in
// WindowEvents, which the application fills.

#include <QFont>
#include <QLineEdit>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace mm {

class PictureFrame;

// Every control event of the window, in one place. An empty slot ignores its event.
struct WindowEvents {
  std::function<void(int keyCode)> keywordKeyPressed;  // 编辑框1, before the box gets the key
  std::function<void()> keywordMouseReleased;          // 编辑框1, left button, after the box
  std::function<void()> searchClicked;                 // 按钮1
  std::function<void()> titleActivated;   // 超级列表框1: double-click, or Enter on a selected row
  std::function<void()> episodeSelected;  // 组合框1: the user chose an entry
  std::function<void()> playClicked;      // 按钮3
  std::function<void()> copyClicked;      // 按钮2
  std::function<void()> refreshDevicesClicked;  // 按钮4
  std::function<void()> castClicked;            // 按钮5
  // 按钮6 is a spare button without a handler.
};

// The key code of a key press as the keyword box's handler expects it: 13 for Enter (either
// key), the character code for the ASCII keys, 0 for the others.
int KeyCodeOf(int qtKey);

// A CJK font, so that the Chinese captions never come out as boxes: WenQuanYi Micro Hei where
// it is installed, else another common CJK face, 12 pixels high (the controls are 20 to 24
// pixels high).
QFont WindowFont();

// The keyword box: reports a key before handling it, and a left-button release after it.
class KeywordBox : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void(int qtKey)> onKeyPress;
  std::function<void()> onLeftButtonReleased;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class MainWindow : public QWidget {
 public:
  // Client area 632 x 512 (with a Windows frame the outer size is 638 x 539), at (50, 50).
  static constexpr int kClientWidth = 632;
  static constexpr int kClientHeight = 512;
  static constexpr int kLeft = 50;
  static constexpr int kTop = 50;

  MainWindow();

  WindowEvents events;

  // The controls, named as on the window form. Owned by the window.
  QLabel* 标签1;
  KeywordBox* 编辑框1;
  QPushButton* 按钮1;
  QTableWidget* 超级列表框1;
  PictureFrame* 图片框1;
  QLabel* 标签2;
  QLabel* 标签7;
  QLabel* 标签3;
  QLabel* 标签10;
  QLabel* 标签4;
  QLabel* 标签5;
  QLabel* 标签9;
  QLabel* 标签11;
  QLineEdit* 编辑框2;
  QPushButton* 按钮3;
  QLabel* 标签12;
  QLineEdit* 编辑框3;
  QPushButton* 按钮2;
  QLabel* 标签13;
  QComboBox* 组合框1;
  QLabel* 标签6;
  QComboBox* 组合框2;
  QPushButton* 按钮4;
  QPushButton* 按钮5;
  QPushButton* 按钮6;
  PictureFrame* 图片框2;  // the busy cover, above every other control

 protected:
  // While the cover is up, Tab moves only between the keyword box and Search.
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void SetUpResultList();
  void WireEvents();
};

}  // namespace mm
