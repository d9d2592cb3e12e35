#include "app/window_form.h"

#include <QPushButton>
#include <utility>

#include "ui/message_box.h"

namespace mm {

WindowForm::WindowForm(MainWindow& w, const WindowThread& thread,
                       std::shared_ptr<const RunGate> gate)
    : window_(&w),
      thread_(thread),
      gate_(std::move(gate)),
      标签1_(w.标签1, thread, gate_.get()),
      编辑框1_(w.编辑框1, thread, gate_.get()),
      按钮1_(w.按钮1, thread, gate_.get()),
      超级列表框1_(w.超级列表框1, thread, gate_.get()),
      图片框1_(w.图片框1, thread, gate_.get()),
      标签2_(w.标签2, thread, gate_.get()),
      标签7_(w.标签7, thread, gate_.get()),
      标签3_(w.标签3, thread, gate_.get()),
      标签10_(w.标签10, thread, gate_.get()),
      标签4_(w.标签4, thread, gate_.get()),
      标签5_(w.标签5, thread, gate_.get()),
      标签9_(w.标签9, thread, gate_.get()),
      标签11_(w.标签11, thread, gate_.get()),
      编辑框2_(w.编辑框2, thread, gate_.get()),
      按钮3_(w.按钮3, thread, gate_.get()),
      标签12_(w.标签12, thread, gate_.get()),
      编辑框3_(w.编辑框3, thread, gate_.get()),
      按钮2_(w.按钮2, thread, gate_.get()),
      标签13_(w.标签13, thread, gate_.get()),
      组合框1_(w.组合框1, thread, gate_.get()),
      标签6_(w.标签6, thread, gate_.get()),
      组合框2_(w.组合框2, thread, gate_.get()),
      按钮4_(w.按钮4, thread, gate_.get()),
      按钮5_(w.按钮5, thread, gate_.get()),
      按钮6_(w.按钮6, thread, gate_.get()),
      图片框2_(w.图片框2, thread, gate_.get()) {}

void WindowForm::SetTitle(const std::string& title) {
  QString text = ToQString(title);
  thread_.Run(gate_.get(), [&] {
    if (window_) window_->setWindowTitle(text);
  });
}

std::string WindowForm::Title() const {
  return FromQString(thread_.Get(gate_.get(), QString(), [&] {
    return window_ ? window_->windowTitle() : QString();
  }));
}

void WindowForm::ShowMessage(const std::string& text) {
  thread_.Run(gate_.get(), [&] { ShowInformation(text); });
}

void WindowForm::PostToWindowThread(std::function<void()> task) {
  thread_.Post(gate_, std::move(task));
}

}  // namespace mm
