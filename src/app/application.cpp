#include "app/application.h"

#include <QApplication>
#include <utility>

#include "util/encoding.h"

namespace mm {

namespace {

const std::string& TitlePrefix() {
  static const std::string prefix = Gbk("青柚 - 木棉 - ");
  return prefix;
}

}  // namespace

Application::Application(SearchRunner::Worker searchWorker) {
  objects_.Create();
  windowThread_ = std::make_unique<WindowThread>();
  window_ = std::make_unique<MainWindow>();
  form_ = std::make_unique<WindowForm>(*window_, *windowThread_);
  searches_ = std::make_unique<SearchRunner>(
      [this](std::shared_ptr<const RunGate> gate) -> std::unique_ptr<MainForm> {
        return std::make_unique<WindowForm>(*window_, *windowThread_, std::move(gate));
      },
      *objects_.searchXml, objects_.searchCounts, std::move(searchWorker));
  WireEvents();
}

Application::~Application() {
  Shutdown();
  searches_.reset();
  form_.reset();
  window_.reset();
  windowThread_.reset();
}

// The handlers of the later parts (title details, episodes, play, copy, devices, cast) are
// wired here too, as they arrive.
void Application::WireEvents() {
  WindowEvents& events = window_->events;
  events.keywordKeyPressed = [this](int keyCode) { OnKeywordKeyPressed(keyCode); };
  events.keywordMouseReleased = [this] { OnKeywordMouseReleased(); };
  events.searchClicked = [this] { StartSearch(); };
}

void Application::ShowWindow() {
  OnWindowCreated();
  window_->show();
}

void Application::OnWindowCreated() {
  form_->SetTitle(TitlePrefix());
  ListColorizer& colorizer = *objects_.listColorizer;
  colorizer.Attach(window_.get(), window_->超级列表框1);
  colorizer.Install();
  colorizer.SetRowHeight(24);
  // Discovery starts here (StartDiscovery with AddDeviceToBox) once it exists.
}

void Application::StartSearch() {
  if (shutDown_) return;
  MainForm& form = *form_;
  form.图片框2().SetVisible(true);
  form.图片框1().ClearPicture();
  form.标签10().SetText("");
  form.标签2().SetText(Gbk("导演："));
  form.标签3().SetText(Gbk("主演："));
  form.标签4().SetText(Gbk("类型："));
  form.标签5().SetText(Gbk("地区语言："));
  form.标签7().SetText(Gbk("时长："));
  form.标签9().SetText(Gbk("备注："));
  form.编辑框2().SetText("");
  form.编辑框3().SetText("");
  // The worker reads the keyword from the box itself; a search still running is superseded.
  searches_->Start();
}

void Application::OnKeywordKeyPressed(int keyCode) {
  if (keyCode == 13) StartSearch();
}

void Application::OnKeywordMouseReleased() { form_->编辑框1().Select(0, 100); }

void Application::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  // Calls still on their way from workers now return at once, so no worker can wait for this
  // thread while this thread waits for it.
  windowThread_->BeginClosing();
  searches_->StopAll();
  // The discovery receive thread is stopped here (close its socket, join it) once it exists.
  ShutdownGlobals();
}

void Application::ShutdownGlobals() { objects_.Destroy(); }

int RunApplication(int& argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(WindowFont());
  Application application;
  application.ShowWindow();
  app.exec();
  // Shutdown runs here, on the window thread after the loop, rather than from a handler at
  // process exit: the workers must be stopped while the objects they use still exist.
  application.Shutdown();
  return 0;
}

}  // namespace mm
