#pragma once

#include "tray/tray_shell.h"

namespace pelnor {

class TTrayIcon;
class TTrayIconRegistry;

// Receives the shell's notifications for every tray icon of the program and
// hands each to its icon.
class TCallbackWindow {
 public:
  TCallbackWindow(TTrayShell& shell, const TTrayIconRegistry& registry);
  ~TCallbackWindow();
  TCallbackWindow(const TCallbackWindow&) = delete;
  TCallbackWindow& operator=(const TCallbackWindow&) = delete;

  // One notification: the icon's identifier and the mouse message.
  void Notify(int iconId, TTrayMouseMessage message);

  // The icon of the last notification handled, nullptr once it is gone.
  TTrayIcon* CurrentIcon() const { return current_; }
  void Forget(const TTrayIcon& icon);

 private:
  TTrayShell& shell_;
  const TTrayIconRegistry& registry_;
  TTrayIcon* current_ = nullptr;
};

}  // namespace pelnor
