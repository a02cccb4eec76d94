#include "platform/qt_shell_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace pelnor {

bool QtShellOpener::Open(const std::string& target) {
  return QDesktopServices::openUrl(QUrl(QString::fromStdString(target), QUrl::TolerantMode));
}

}  // namespace pelnor
