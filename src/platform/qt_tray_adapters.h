#pragma once

#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

#include "core/tray/tray_image.h"
#include "core/tray/tray_owner.h"

namespace pelnor {

// A Qt icon as the tray logic's icon handle.
class QtIconImage : public IconImage {
 public:
  explicit QtIconImage(QIcon icon) : icon_(std::move(icon)) {}
  const QIcon& Icon() const { return icon_; }

 private:
  QIcon icon_;
};

IconHandle QtTrayIcon(const QIcon& icon);  // empty for a null icon
QIcon ToQIcon(const IconHandle& icon);     // null for an empty icon

// The tray keeps Shift_JIS text; the desktop wants Unicode.
QString TipToQString(const std::string& sjis);

// A QMenu the tray icon can pop up. The menu stays owned by its widget; once
// it is gone, Popup does nothing.
class QtTrayMenu : public TrayMenu {
 public:
  explicit QtTrayMenu(QMenu* menu) : menu_(menu) {}
  void Popup(int x, int y) override;
  QMenu* Menu() const { return menu_; }

 private:
  QPointer<QMenu> menu_;
};

// The widget that owns a tray icon (the main form).
class QtTrayOwner : public TrayOwner {
 public:
  explicit QtTrayOwner(QWidget* widget) : widget_(widget) {}
  IconHandle FormIcon() const override;
  WindowHandle Handle() const override;

 private:
  QPointer<QWidget> widget_;
};

}  // namespace pelnor
