#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <map>

#include "core/tray/tray_shell.h"

namespace pelnor {

// The notification area on QSystemTrayIcon: one QSystemTrayIcon per icon
// identifier. An icon is accepted while the desktop has no tray host yet;
// Qt adds it when one appears, and again when the tray host comes back.
//
// The icons are given no context menu of their own, so the tray host never
// opens one behind the tray logic's back: every menu is the logic's
// decision (Enabled, AutoPopup).
class QtTrayShell : public TrayShell {
 public:
  QtTrayShell() = default;
  ~QtTrayShell() override = default;
  QtTrayShell(const QtTrayShell&) = delete;
  QtTrayShell& operator=(const QtTrayShell&) = delete;

  bool Add(const NotifyIconData& data) override;
  bool Modify(const NotifyIconData& data) override;
  bool Delete(const NotifyIconData& data) override;
  TrayPoint CursorPos() override;
  int DoubleClickTime() override;
  void SetForegroundWindow(WindowHandle window) override;
  void ProcessMessages() override;
  IconHandle ApplicationIcon() override;

  // Qt reports whole clicks; the tray logic wants the button messages the
  // notification area sends. A double click arrives as a click followed by
  // a double click, as it does there.
  void Activate(int iconId, QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon* SystemTrayIcon(int iconId) const;  // nullptr when not added

 private:
  static void Apply(QSystemTrayIcon& tray, const NotifyIconData& data);
  void Send(int iconId, TrayMouseMessage message);

  QObject root_;  // parent of every QSystemTrayIcon
  std::map<int, QPointer<QSystemTrayIcon>> icons_;
};

}  // namespace pelnor
