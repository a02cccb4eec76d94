#pragma once

#include "core/tray/tray_shell.h"

namespace pelnor {

class TrayIcon;
class TrayIconRegistry;

// Receives the shell's notifications for every tray icon of the program and
// hands each to its icon.
class CallbackWindow {
 public:
  CallbackWindow(TrayShell& shell, const TrayIconRegistry& registry);
  ~CallbackWindow();
  CallbackWindow(const CallbackWindow&) = delete;
  CallbackWindow& operator=(const CallbackWindow&) = delete;

  // One notification: the icon's identifier and the mouse message.
  void Notify(int iconId, TrayMouseMessage message);

  // The icon of the last notification handled, nullptr once it is gone.
  TrayIcon* CurrentIcon() const { return current_; }
  void Forget(const TrayIcon& icon);

 private:
  TrayShell& shell_;
  const TrayIconRegistry& registry_;
  TrayIcon* current_ = nullptr;
};

}  // namespace pelnor
