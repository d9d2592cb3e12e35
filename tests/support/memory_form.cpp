#include "support/memory_form.h"

#include <chrono>
#include <condition_variable>

#include "util/encoding.h"

namespace mm::test {

namespace {

// Picture boxes here cannot decode; they accept what starts like one of the formats the window
// decodes, which is what the handlers' tests need to tell "a picture" from "no picture".
bool LooksLikePicture(const Bytes& data) {
  auto starts = [&](std::string_view magic) { return data.compare(0, magic.size(), magic) == 0; };
  return starts("\x89PNG") || starts("\xFF\xD8") || starts("GIF8") || starts("BM") ||
         starts(std::string_view("\0\0\1\0", 4)) || starts(std::string_view("\0\0\2\0", 4));
}

}  // namespace

struct MemoryFormControls;

struct MemoryForm::State {
  ~State();
  mutable std::recursive_mutex mutex;
  std::unique_ptr<MemoryFormControls> controls;
  std::condition_variable_any posted;
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::deque<std::function<void()>> tasks;
  std::string title;
  void Write(std::string entry) { log.push_back(std::move(entry)); }
};

namespace {

using State = MemoryForm::State;

template <class Base>
class MemoryControl : public Base {
 public:
  MemoryControl(State& state, std::string name, std::string text = {})
      : state_(state), name_(std::move(name)), text_(std::move(text)) {}
  void SetText(const std::string& text) override {
    std::lock_guard lock(state_.mutex);
    text_ = text;
    state_.Write(name_ + " SetText " + text);
  }
  std::string Text() const override {
    std::lock_guard lock(state_.mutex);
    return text_;
  }
  void SetVisible(bool visible) override {
    std::lock_guard lock(state_.mutex);
    visible_ = visible;
    state_.Write(name_ + (visible ? " Show" : " Hide"));
  }
  bool IsVisible() const override {
    std::lock_guard lock(state_.mutex);
    return visible_;
  }

 protected:
  State& state_;
  std::string name_;
  std::string text_;
  bool visible_ = true;
};

class MemoryEdit : public MemoryControl<EditBox> {
 public:
  using MemoryControl::MemoryControl;
  void Select(int start, int length) override {
    std::lock_guard lock(state_.mutex);
    selStart_ = start;
    selLength_ = length;
    state_.Write(name_ + " Select " + std::to_string(start) + " " + std::to_string(length));
  }
  // Counts characters as the window does (a GBK pair is one character).
  std::string SelectedText() const override {
    std::lock_guard lock(state_.mutex);
    std::size_t pos = 0;
    int index = 0;
    std::string out;
    while (pos < text_.size()) {
      std::size_t len = CharLength(text_, pos);
      if (index >= selStart_ && index < selStart_ + selLength_) out.append(text_, pos, len);
      pos += len;
      ++index;
    }
    return out;
  }

 private:
  int selStart_ = 0;
  int selLength_ = 0;
};

class MemoryPicture : public MemoryControl<PictureBox> {
 public:
  using MemoryControl::MemoryControl;
  bool SetPicture(const Bytes& data) override {
    std::lock_guard lock(state_.mutex);
    lastBytes_ = data;
    hasPicture_ = LooksLikePicture(data);
    state_.Write(name_ + " SetPicture " + std::to_string(data.size()));
    return hasPicture_;
  }
  void ClearPicture() override {
    std::lock_guard lock(state_.mutex);
    hasPicture_ = false;
    state_.Write(name_ + " ClearPicture");
  }
  bool HasPicture() const override {
    std::lock_guard lock(state_.mutex);
    return hasPicture_;
  }
  Bytes LastBytes() const {
    std::lock_guard lock(state_.mutex);
    return lastBytes_;
  }

 private:
  bool hasPicture_ = false;
  Bytes lastBytes_;
};

class MemoryCombo : public MemoryControl<ComboBox> {
 public:
  using MemoryControl::MemoryControl;
  void ClearItems() override {
    std::lock_guard lock(state_.mutex);
    items_.clear();
    current_ = -1;
    state_.Write(name_ + " ClearItems");
  }
  int AddItem(const std::string& text, int value) override {
    std::lock_guard lock(state_.mutex);
    items_.emplace_back(text, value);
    state_.Write(name_ + " AddItem " + text + " " + std::to_string(value));
    return static_cast<int>(items_.size()) - 1;
  }
  int ItemCount() const override {
    std::lock_guard lock(state_.mutex);
    return static_cast<int>(items_.size());
  }
  std::string ItemText(int index) const override {
    std::lock_guard lock(state_.mutex);
    return InRange(index) ? items_[index].first : std::string();
  }
  int ItemValue(int index) const override {
    std::lock_guard lock(state_.mutex);
    return InRange(index) ? items_[index].second : 0;
  }
  void SetCurrentIndex(int index) override {
    std::lock_guard lock(state_.mutex);
    current_ = InRange(index) ? index : -1;
    state_.Write(name_ + " SetCurrentIndex " + std::to_string(index));
  }
  int CurrentIndex() const override {
    std::lock_guard lock(state_.mutex);
    return current_;
  }

 private:
  bool InRange(int index) const { return index >= 0 && index < static_cast<int>(items_.size()); }
  std::vector<std::pair<std::string, int>> items_;
  int current_ = -1;
};

class MemoryList : public MemoryControl<ListView> {
 public:
  using MemoryControl::MemoryControl;
  void DeleteAllRows() override {
    std::lock_guard lock(state_.mutex);
    rows_.clear();
    selected_ = -1;
    state_.Write(name_ + " DeleteAllRows");
  }
  int AppendRow() override {
    std::lock_guard lock(state_.mutex);
    rows_.emplace_back(12);
    state_.Write(name_ + " AppendRow " + std::to_string(rows_.size() - 1));
    return static_cast<int>(rows_.size()) - 1;
  }
  void SetCell(int row, int column, const std::string& text) override {
    std::lock_guard lock(state_.mutex);
    state_.Write(name_ + " SetCell " + std::to_string(row) + " " + std::to_string(column) + " " +
                 text);
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= 12) return;
    rows_[row][column] = text;
  }
  std::string Cell(int row, int column) const override {
    std::lock_guard lock(state_.mutex);
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= 12) return {};
    return rows_[row][column];
  }
  int RowCount() const override {
    std::lock_guard lock(state_.mutex);
    return static_cast<int>(rows_.size());
  }
  int SelectedRow() const override {
    std::lock_guard lock(state_.mutex);
    return selected_;
  }
  void SelectRow(int row) override {
    std::lock_guard lock(state_.mutex);
    selected_ = (row >= 0 && row < static_cast<int>(rows_.size())) ? row : -1;
  }
  std::vector<std::vector<std::string>> Rows() const {
    std::lock_guard lock(state_.mutex);
    return rows_;
  }

 private:
  std::vector<std::vector<std::string>> rows_;
  int selected_ = -1;
};

}  // namespace

// The controls live in one block owned by the state; each accessor hands out its member.
struct MemoryFormControls {
  MemoryFormControls(State& s)
      : l1(s, "标签1", Gbk("影视名称")),
        e1(s, "编辑框1"),
        b1(s, "按钮1", Gbk("搜  索")),
        list(s, "超级列表框1"),
        p1(s, "图片框1"),
        l2(s, "标签2", Gbk("导演")),
        l7(s, "标签7", Gbk("时长")),
        l3(s, "标签3", Gbk("主演")),
        l10(s, "标签10"),
        l4(s, "标签4", Gbk("类型")),
        l5(s, "标签5", Gbk("地区语言")),
        l9(s, "标签9", Gbk("备注")),
        l11(s, "标签11", Gbk("在线播放地址")),
        e2(s, "编辑框2"),
        b3(s, "按钮3", Gbk("直接播放")),
        l12(s, "标签12", Gbk("文件播放地址")),
        e3(s, "编辑框3"),
        b2(s, "按钮2", Gbk("复制地址")),
        l13(s, "标签13", Gbk("集数")),
        c1(s, "组合框1"),
        l6(s, "标签6", Gbk("投屏设备")),
        c2(s, "组合框2"),
        b4(s, "按钮4", Gbk("刷新设备")),
        b5(s, "按钮5", Gbk("投屏播放")),
        b6(s, "按钮6", Gbk("备用按钮")),
        p2(s, "图片框2") {}
  MemoryControl<Control> l1;
  MemoryEdit e1;
  MemoryControl<Control> b1;
  MemoryList list;
  MemoryPicture p1;
  MemoryControl<Control> l2, l7, l3, l10, l4, l5, l9, l11;
  MemoryEdit e2;
  MemoryControl<Control> b3, l12;
  MemoryEdit e3;
  MemoryControl<Control> b2, l13;
  MemoryCombo c1;
  MemoryControl<Control> l6;
  MemoryCombo c2;
  MemoryControl<Control> b4, b5, b6;
  MemoryPicture p2;
};

MemoryForm::State::~State() = default;

namespace {
MemoryFormControls& ControlsOf(const MemoryForm::State& state) { return *state.controls; }
}  // namespace

MemoryForm::MemoryForm() : state_(std::make_unique<State>()) {
  state_->controls = std::make_unique<MemoryFormControls>(*state_);
  state_->controls->p2.SetVisible(false);  // the busy cover starts hidden
  state_->log.clear();
}

MemoryForm::~MemoryForm() = default;

void MemoryForm::SetTitle(const std::string& title) {
  std::lock_guard lock(state_->mutex);
  state_->title = title;
  state_->Write("SetTitle " + title);
}

std::string MemoryForm::Title() const {
  std::lock_guard lock(state_->mutex);
  return state_->title;
}

Control& MemoryForm::标签1() { return ControlsOf(*state_).l1; }
EditBox& MemoryForm::编辑框1() { return ControlsOf(*state_).e1; }
Control& MemoryForm::按钮1() { return ControlsOf(*state_).b1; }
ListView& MemoryForm::超级列表框1() { return ControlsOf(*state_).list; }
PictureBox& MemoryForm::图片框1() { return ControlsOf(*state_).p1; }
Control& MemoryForm::标签2() { return ControlsOf(*state_).l2; }
Control& MemoryForm::标签7() { return ControlsOf(*state_).l7; }
Control& MemoryForm::标签3() { return ControlsOf(*state_).l3; }
Control& MemoryForm::标签10() { return ControlsOf(*state_).l10; }
Control& MemoryForm::标签4() { return ControlsOf(*state_).l4; }
Control& MemoryForm::标签5() { return ControlsOf(*state_).l5; }
Control& MemoryForm::标签9() { return ControlsOf(*state_).l9; }
Control& MemoryForm::标签11() { return ControlsOf(*state_).l11; }
EditBox& MemoryForm::编辑框2() { return ControlsOf(*state_).e2; }
Control& MemoryForm::按钮3() { return ControlsOf(*state_).b3; }
Control& MemoryForm::标签12() { return ControlsOf(*state_).l12; }
EditBox& MemoryForm::编辑框3() { return ControlsOf(*state_).e3; }
Control& MemoryForm::按钮2() { return ControlsOf(*state_).b2; }
Control& MemoryForm::标签13() { return ControlsOf(*state_).l13; }
ComboBox& MemoryForm::组合框1() { return ControlsOf(*state_).c1; }
Control& MemoryForm::标签6() { return ControlsOf(*state_).l6; }
ComboBox& MemoryForm::组合框2() { return ControlsOf(*state_).c2; }
Control& MemoryForm::按钮4() { return ControlsOf(*state_).b4; }
Control& MemoryForm::按钮5() { return ControlsOf(*state_).b5; }
Control& MemoryForm::按钮6() { return ControlsOf(*state_).b6; }
PictureBox& MemoryForm::图片框2() { return ControlsOf(*state_).p2; }

void MemoryForm::ShowMessage(const std::string& text) {
  std::lock_guard lock(state_->mutex);
  state_->messages.push_back(text);
  state_->Write("ShowMessage " + text);
}

void MemoryForm::PostToWindowThread(std::function<void()> task) {
  {
    std::lock_guard lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
  }
  state_->posted.notify_all();
}

std::vector<std::string> MemoryForm::Messages() const {
  std::lock_guard lock(state_->mutex);
  return state_->messages;
}

std::vector<std::string> MemoryForm::Log() const {
  std::lock_guard lock(state_->mutex);
  return state_->log;
}

void MemoryForm::ClearLog() {
  std::lock_guard lock(state_->mutex);
  state_->log.clear();
}

int MemoryForm::RunPostedTasks() {
  int ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(state_->mutex);
      if (state_->tasks.empty()) return ran;
      task = std::move(state_->tasks.front());
      state_->tasks.pop_front();
    }
    task();
    ++ran;
  }
}

int MemoryForm::WaitAndRunPostedTasks(int timeoutMs) {
  {
    std::unique_lock lock(state_->mutex);
    state_->posted.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return !state_->tasks.empty(); });
  }
  return RunPostedTasks();
}

std::vector<std::vector<std::string>> MemoryForm::Rows() const {
  return ControlsOf(*state_).list.Rows();
}

Bytes MemoryForm::LastPictureBytes(PictureBox& box) const {
  return static_cast<MemoryPicture&>(box).LastBytes();
}

}  // namespace mm::test
