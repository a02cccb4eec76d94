#pragma once

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <map>

#include "tray/tray_shell.h"

namespace pelnor {

// The notification area on QSystemTrayIcon: one QSystemTrayIcon per icon
// identifier. An icon is accepted while the desktop has no tray host yet;
// Qt adds it when one appears, and again when the tray host comes back.
//
// The icons are given no context menu of their own, so the tray host never
// opens one behind the tray logic's back: every menu is the logic's
// decision (Enabled, AutoPopup).
class TQtTrayShell : public TTrayShell {
 public:
  TQtTrayShell() = default;
  ~TQtTrayShell() override = default;
  TQtTrayShell(const TQtTrayShell&) = delete;
  TQtTrayShell& operator=(const TQtTrayShell&) = delete;

  bool Add(const TNotifyIconData& data) override;
  bool Modify(const TNotifyIconData& data) override;
  bool Delete(const TNotifyIconData& data) override;
  TTrayPoint CursorPos() override;
  int DoubleClickTime() override;
  void SetForegroundWindow(TWindowHandle window) override;
  void ProcessMessages() override;
  TIcon ApplicationIcon() override;

  // Qt reports whole clicks; the tray logic wants the button messages the
  // notification area sends. A double click arrives as a click followed by
  // a double click, as it does there.
  void Activate(int iconId, QSystemTrayIcon::ActivationReason reason);

  QSystemTrayIcon* TrayIcon(int iconId) const;  // nullptr when not added

 private:
  static void Apply(QSystemTrayIcon& tray, const TNotifyIconData& data);
  void Send(int iconId, TTrayMouseMessage message);

  QObject root_;  // parent of every QSystemTrayIcon
  std::map<int, QPointer<QSystemTrayIcon>> icons_;
};

}  // namespace pelnor
