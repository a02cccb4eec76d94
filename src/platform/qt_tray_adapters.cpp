#include "platform/qt_tray_adapters.h"

#include <QPoint>

#include <memory>

#include "core/text/sjis.h"

namespace pelnor {

IconHandle QtTrayIcon(const QIcon& icon) {
  if (icon.isNull()) return IconHandle();
  return IconHandle(std::make_shared<QtIconImage>(icon));
}

QIcon ToQIcon(const IconHandle& icon) {
  const auto* image = dynamic_cast<const QtIconImage*>(icon.Image());
  return image ? image->Icon() : QIcon();
}

QString TipToQString(const std::string& sjis) { return QString::fromStdString(SjisToUtf8(sjis)); }

void QtTrayMenu::Popup(int x, int y) {
  if (menu_) menu_->popup(QPoint(x, y));
}

IconHandle QtTrayOwner::FormIcon() const {
  if (!widget_ || !widget_->isWindow()) return IconHandle();
  return QtTrayIcon(widget_->windowIcon());
}

WindowHandle QtTrayOwner::Handle() const { return reinterpret_cast<WindowHandle>(widget_.data()); }

}  // namespace pelnor
