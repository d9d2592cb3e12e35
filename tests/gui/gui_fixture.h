#pragma once
// Shared pieces of the window tests: the real Application with a stand-in search worker, and a
// wait that keeps the window thread's events flowing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "ui/message_box.h"
#include "util/encoding.h"

namespace mm::test {

// Processes events until `done` holds; false if it still does not after `limitMs` (a bound
// against a hang, not a speed check).
inline bool PumpUntil(const std::function<bool()>& done, int limitMs = 10000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// Records how often the worker ran; a test may give it a body.
struct WorkerProbe {
  std::atomic<int> runs{0};
  std::function<void(SearchContext&)> body;

  SearchRunner::Worker Worker() {
    return [this](SearchContext& context) {
      ++runs;
      if (body) body(context);
    };
  }
};

// The real window with the program-wide objects, a probe in place of the search worker, and
// messages collected instead of shown.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetInformationHook([this](const std::string& text) { messages_.push_back(text); });
    app_ = std::make_unique<Application>(probe_.Worker());
    app_->ShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app_->Window()));
  }
  void TearDown() override {
    app_.reset();
    SetInformationHook({});
  }

  MainWindow& W() { return app_->Window(); }
  MainForm& F() { return app_->Form(); }

  WorkerProbe probe_;
  std::vector<std::string> messages_;
  std::unique_ptr<Application> app_;
};

}  // namespace mm::test
