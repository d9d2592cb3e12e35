#include "app/application.h"

#include <QApplication>
#include <utility>

#include "search/search_worker.h"
#include "title/episode_list.h"
#include "title/play_and_copy.h"
#include "ui/qt_desktop.h"

namespace mm {

Application::Application(SearchRunner::Worker searchWorker, std::unique_ptr<Desktop> desktop)
    : desktop_(desktop ? std::move(desktop) : std::make_unique<QtDesktop>()) {
  objects_.Create();
  windowThread_ = std::make_unique<WindowThread>();
  window_ = std::make_unique<MainWindow>();
  form_ = std::make_unique<WindowForm>(*window_, *windowThread_);
  searches_ = std::make_unique<SearchRunner>(
      [this](std::shared_ptr<const RunGate> gate) -> std::unique_ptr<MainForm> {
        return std::make_unique<WindowForm>(*window_, *windowThread_, std::move(gate));
      },
      *objects_.searchXml, objects_.searchCounts, std::move(searchWorker));
  titleDetails_ = std::make_unique<TitleDetails>(*form_);
  WireEvents();
}

Application::~Application() {
  Shutdown();
  titleDetails_.reset();
  searches_.reset();
  form_.reset();
  window_.reset();
  windowThread_.reset();
}

// Every control event reaches its handler here; the devices and the cast are wired when
// discovery and casting arrive.
void Application::WireEvents() {
  WindowEvents& events = window_->events;
  events.keywordKeyPressed = [this](int keyCode) { OnKeywordKeyPressed(keyCode); };
  events.keywordMouseReleased = [this] { OnKeywordMouseReleased(); };
  events.searchClicked = [this] { StartSearch(); };
  events.titleActivated = [this] {
    if (!shutDown_) titleDetails_->ShowTitleDetails();
  };
  events.episodeSelected = [this] {
    if (!shutDown_) SelectEpisode(*form_);
  };
  events.playClicked = [this] {
    if (!shutDown_) PlayEpisode(*form_, *desktop_);
  };
  events.copyClicked = [this] {
    if (!shutDown_) CopyFileAddress(*form_, *desktop_);
  };
}

void Application::ShowWindow() {
  OnWindowCreated();
  window_->show();
}

void Application::OnWindowCreated() {
  form_->SetTitle(WindowTitlePrefix());
  ListColorizer& colorizer = *objects_.listColorizer;
  colorizer.Attach(window_.get(), window_->超级列表框1);
  colorizer.Install();
  colorizer.SetRowHeight(24);
  // Discovery starts here (StartDiscovery with AddDeviceToBox) once it exists.
}

void Application::StartSearch() {
  if (shutDown_) return;
  // A poster still loading belongs to the details this search clears; it must not bring
  // them back when it arrives.
  titleDetails_->CancelPending();
  MainForm& form = *form_;
  form.图片框2().SetVisible(true);
  form.图片框1().ClearPicture();
  ShowDetailTexts(form, {});  // the labels keep only their prefixes
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
  titleDetails_->Shutdown();
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
