#include "tray/qt_tray_adapters.h"

#include <QPoint>

#include <memory>

#include "platform/sjis_literal.h"

namespace pelnor {

TIcon QtTrayIcon(const QIcon& icon) {
  if (icon.isNull()) return TIcon();
  return TIcon(std::make_shared<TQtIconImage>(icon));
}

QIcon ToQIcon(const TIcon& icon) {
  const auto* image = dynamic_cast<const TQtIconImage*>(icon.Image());
  return image ? image->Icon() : QIcon();
}

QString TipToQString(const std::string& sjis) { return QString::fromStdString(SjisToUtf8(sjis)); }

void TQtPopupMenu::Popup(int x, int y) {
  if (menu_) menu_->popup(QPoint(x, y));
}

TIcon TQtTrayOwner::FormIcon() const {
  if (!widget_ || !widget_->isWindow()) return TIcon();
  return QtTrayIcon(widget_->windowIcon());
}

TWindowHandle TQtTrayOwner::Handle() const { return reinterpret_cast<TWindowHandle>(widget_.data()); }

}  // namespace pelnor
