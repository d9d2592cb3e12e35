#include "ui/message_box.h"

#include <QMessageBox>
#include <QString>
#include <utility>

#include "ui/qt_controls.h"

namespace mm {

namespace {

std::function<void(const std::string&)>& Hook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

}  // namespace

void ShowInformation(const std::string& text) {
  if (Hook()) {
    Hook()(text);
    return;
  }
  QMessageBox box(QMessageBox::Information, QString::fromUtf8("信息："),
                  ToQString(text), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void SetInformationHook(std::function<void(const std::string&)> hook) { Hook() = std::move(hook); }

}  // namespace mm
