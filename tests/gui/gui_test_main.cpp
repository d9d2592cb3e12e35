// The window tests need a QApplication before any widget exists. Without a display they run on
// the offscreen platform, which is also what CI has.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(mm::WindowFont());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
