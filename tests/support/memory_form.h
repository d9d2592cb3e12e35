#pragma once
// An in-memory MainForm for handler tests: every control keeps its state in plain members, and
// every change is also written to a log ("SetCell 0 2 text", "ShowMessage text", ...) so a test
// can check the order in which a handler did things. Safe to use from several threads.

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "form/main_form.h"

namespace mm::test {

class MemoryForm : public MainForm {
 public:
  MemoryForm();
  ~MemoryForm() override;

  void SetTitle(const std::string& title) override;
  std::string Title() const override;

  Control& 标签1() override;
  EditBox& 编辑框1() override;
  Control& 按钮1() override;
  ListView& 超级列表框1() override;
  PictureBox& 图片框1() override;
  Control& 标签2() override;
  Control& 标签7() override;
  Control& 标签3() override;
  Control& 标签10() override;
  Control& 标签4() override;
  Control& 标签5() override;
  Control& 标签9() override;
  Control& 标签11() override;
  EditBox& 编辑框2() override;
  Control& 按钮3() override;
  Control& 标签12() override;
  EditBox& 编辑框3() override;
  Control& 按钮2() override;
  Control& 标签13() override;
  ComboBox& 组合框1() override;
  Control& 标签6() override;
  ComboBox& 组合框2() override;
  Control& 按钮4() override;
  Control& 按钮5() override;
  Control& 按钮6() override;
  PictureBox& 图片框2() override;

  void ShowMessage(const std::string& text) override;
  void PostToWindowThread(std::function<void()> task) override;

  // Test side.
  std::vector<std::string> Messages() const;
  std::vector<std::string> Log() const;  // entries in program text, "Op args"
  void ClearLog();
  // Runs the posted tasks (and any they post) in order; returns how many ran.
  int RunPostedTasks();
  // Waits up to `timeoutMs` for at least one posted task, then runs all; returns how many ran.
  int WaitAndRunPostedTasks(int timeoutMs);
  // Every row of the result list, cells 0 to 11.
  std::vector<std::vector<std::string>> Rows() const;
  // The bytes last given to a picture box, whether or not they looked like a picture.
  Bytes LastPictureBytes(PictureBox& box) const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace mm::test
