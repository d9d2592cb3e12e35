#include "ui/message_box.h"

#include <QMessageBox>
#include <QString>
#include <utility>

#include "util/encoding.h"

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
                  QString::fromStdString(AnsiToUtf8(text)), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void SetInformationHook(std::function<void(const std::string&)> hook) { Hook() = std::move(hook); }

}  // namespace mm
