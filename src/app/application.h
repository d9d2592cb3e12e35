#pragma once
// The program's frame: start-up, the window's own handlers (Search, the keyword box), and
// shutdown. Its handlers do the first visible steps of an action and hand the work on.

#include <memory>

#include "app/main_window.h"
#include "app/program_objects.h"
#include "app/search_runner.h"
#include "app/window_form.h"
#include "title/desktop.h"
#include "title/title_details.h"
#include "ui/window_thread.h"

namespace mm {

class Application {
 public:
  // Needs a QApplication. Creates the program-wide objects, then the window (not yet shown).
  // Tests pass a worker and a desktop of their own; without one the real desktop is used.
  explicit Application(SearchRunner::Worker searchWorker = RunSearch,
                       std::unique_ptr<Desktop> desktop = nullptr);
  ~Application();  // Shutdown(), then the window goes
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  MainWindow& Window() { return *window_; }
  MainForm& Form() { return *form_; }
  ProgramObjects& Objects() { return objects_; }
  SearchRunner& Searches() { return *searches_; }
  TitleDetails& Title() { return *titleDetails_; }

  // Runs OnWindowCreated, then shows the window.
  void ShowWindow();

  void OnWindowCreated();
  void StartSearch();
  void OnKeywordKeyPressed(int keyCode);
  void OnKeywordMouseReleased();

  // After the window has closed: stops the workers, then ShutdownGlobals. Later calls do nothing.
  void Shutdown();
  void ShutdownGlobals();

 private:
  void WireEvents();

  ProgramObjects objects_;
  std::unique_ptr<WindowThread> windowThread_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<WindowForm> form_;
  std::unique_ptr<SearchRunner> searches_;
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<TitleDetails> titleDetails_;
  bool shutDown_ = false;
};

// The program's entry: returns 0 when the window has been closed and everything has stopped.
int RunApplication(int& argc, char** argv);

}  // namespace mm
