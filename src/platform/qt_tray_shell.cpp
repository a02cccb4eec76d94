#include "platform/qt_tray_shell.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>

#include "platform/qt_tray_adapters.h"

namespace pelnor {

void QtTrayShell::Apply(QSystemTrayIcon& tray, const NotifyIconData& data) {
  tray.setIcon(ToQIcon(data.hIcon));
  // Without a tip the icon shows none, rather than an outdated one.
  tray.setToolTip((data.uFlags & NIF_TIP) ? TipToQString(data.szTip) : QString());
}

bool QtTrayShell::Add(const NotifyIconData& data) {
  const int id = static_cast<int>(data.uID);
  if (SystemTrayIcon(id) != nullptr) return false;
  // Accepted with or without a tray host: Qt embeds the icon once one
  // appears, as a panel started after us does.
  auto* tray = new QSystemTrayIcon(&root_);  // owned by root_
  Apply(*tray, data);
  QObject::connect(tray, &QSystemTrayIcon::activated, &root_,
                   [this, id](QSystemTrayIcon::ActivationReason reason) { Activate(id, reason); });
  tray->show();
  icons_[id] = tray;
  return true;
}

bool QtTrayShell::Modify(const NotifyIconData& data) {
  QSystemTrayIcon* tray = SystemTrayIcon(static_cast<int>(data.uID));
  if (tray == nullptr) return false;
  Apply(*tray, data);
  return true;
}

bool QtTrayShell::Delete(const NotifyIconData& data) {
  const auto it = icons_.find(static_cast<int>(data.uID));
  if (it == icons_.end()) return false;
  if (QSystemTrayIcon* tray = it->second) {
    tray->hide();
    tray->deleteLater();  // we may be inside one of its own signals
  }
  icons_.erase(it);
  return true;
}

QSystemTrayIcon* QtTrayShell::SystemTrayIcon(int iconId) const {
  const auto it = icons_.find(iconId);
  return it == icons_.end() ? nullptr : it->second.data();
}

TrayPoint QtTrayShell::CursorPos() {
  const QPoint pos = QCursor::pos();
  return {pos.x(), pos.y()};
}

int QtTrayShell::DoubleClickTime() { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); }

void QtTrayShell::SetForegroundWindow(WindowHandle window) {
  auto* widget = reinterpret_cast<QWidget*>(window);
  if (widget == nullptr || !widget->isVisible()) return;
  widget->raise();
  widget->activateWindow();
}

void QtTrayShell::ProcessMessages() { QCoreApplication::processEvents(); }

IconHandle QtTrayShell::ApplicationIcon() { return QtTrayIcon(QGuiApplication::windowIcon()); }

void QtTrayShell::Send(int iconId, TrayMouseMessage message) {
  if (OnNotify) OnNotify(iconId, message);
}

void QtTrayShell::Activate(int iconId, QSystemTrayIcon::ActivationReason reason) {
  using M = TrayMouseMessage;
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      Send(iconId, M::tmLButtonDown);
      Send(iconId, M::tmLButtonUp);
      break;
    case QSystemTrayIcon::DoubleClick:
      Send(iconId, M::tmLButtonDblClk);
      Send(iconId, M::tmLButtonUp);
      break;
    case QSystemTrayIcon::Context:
      Send(iconId, M::tmRButtonDown);
      Send(iconId, M::tmRButtonUp);
      break;
    case QSystemTrayIcon::MiddleClick:
      Send(iconId, M::tmMButtonDown);
      Send(iconId, M::tmMButtonUp);
      break;
    case QSystemTrayIcon::Unknown:
      break;
  }
}

}  // namespace pelnor
