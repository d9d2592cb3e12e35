#include "ui/qt_desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "ui/qt_controls.h"

namespace mm {

void QtDesktop::Open(const std::string& target) {
  // The address is already in its wire form where the site escaped it; TolerantMode keeps what
  // a browser would accept, so the handler receives it as the site gave it.
  QDesktopServices::openUrl(QUrl(ToQString(target), QUrl::TolerantMode));
}

void QtDesktop::SetClipboardText(const std::string& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(ToQString(text));
}

}  // namespace mm
