#pragma once
// The form seam over the real window. The program keeps one for the window thread's handlers
// (and later the discovery thread); every search run gets its own, bound to that run's gate, so
// that once the run is superseded none of its calls reaches the window.

#include <QPointer>
#include <memory>

#include "app/main_window.h"
#include "form/main_form.h"
#include "ui/qt_controls.h"
#include "ui/window_thread.h"

namespace mm {

class WindowForm : public MainForm {
 public:
  WindowForm(MainWindow& window, const WindowThread& thread,
             std::shared_ptr<const RunGate> gate = nullptr);

  void SetTitle(const std::string& title) override;
  std::string Title() const override;

  Control& 标签1() override { return 标签1_; }
  EditBox& 编辑框1() override { return 编辑框1_; }
  Control& 按钮1() override { return 按钮1_; }
  ListView& 超级列表框1() override { return 超级列表框1_; }
  PictureBox& 图片框1() override { return 图片框1_; }
  Control& 标签2() override { return 标签2_; }
  Control& 标签7() override { return 标签7_; }
  Control& 标签3() override { return 标签3_; }
  Control& 标签10() override { return 标签10_; }
  Control& 标签4() override { return 标签4_; }
  Control& 标签5() override { return 标签5_; }
  Control& 标签9() override { return 标签9_; }
  Control& 标签11() override { return 标签11_; }
  EditBox& 编辑框2() override { return 编辑框2_; }
  Control& 按钮3() override { return 按钮3_; }
  Control& 标签12() override { return 标签12_; }
  EditBox& 编辑框3() override { return 编辑框3_; }
  Control& 按钮2() override { return 按钮2_; }
  Control& 标签13() override { return 标签13_; }
  ComboBox& 组合框1() override { return 组合框1_; }
  Control& 标签6() override { return 标签6_; }
  ComboBox& 组合框2() override { return 组合框2_; }
  Control& 按钮4() override { return 按钮4_; }
  Control& 按钮5() override { return 按钮5_; }
  Control& 按钮6() override { return 按钮6_; }
  PictureBox& 图片框2() override { return 图片框2_; }

  // Through ShowInformation, so tests can replace the dialog.
  void ShowMessage(const std::string& text) override;
  void PostToWindowThread(std::function<void()> task) override;

 private:
  QPointer<MainWindow> window_;
  const WindowThread& thread_;
  std::shared_ptr<const RunGate> gate_;

  QtLabel 标签1_;
  QtEditBox 编辑框1_;
  QtButton 按钮1_;
  QtListView 超级列表框1_;
  QtPictureBox 图片框1_;
  QtLabel 标签2_;
  QtLabel 标签7_;
  QtLabel 标签3_;
  QtLabel 标签10_;
  QtLabel 标签4_;
  QtLabel 标签5_;
  QtLabel 标签9_;
  QtLabel 标签11_;
  QtEditBox 编辑框2_;
  QtButton 按钮3_;
  QtLabel 标签12_;
  QtEditBox 编辑框3_;
  QtButton 按钮2_;
  QtLabel 标签13_;
  QtComboBox 组合框1_;
  QtLabel 标签6_;
  QtComboBox 组合框2_;
  QtButton 按钮4_;
  QtButton 按钮5_;
  QtButton 按钮6_;
  QtPictureBox 图片框2_;
};

}  // namespace mm
