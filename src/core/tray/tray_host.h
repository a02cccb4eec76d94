#pragma once

#include <memory>

#include "core/tray/callback_window.h"
#include "core/tray/tray_registry.h"
#include "core/tray/tray_shell.h"
#include "core/tray/tray_timer.h"

namespace pelnor {

// The program-wide side of the tray: the shell, the timers, the icon
// registry and the one callback window. The program makes one; every
// TrayIcon is created with it and must be destroyed before it. On the
// desktop:
//
//   QtTrayShell shell;              // tray/qt_tray_shell.h
//   QtTrayTimerFactory timers;      // tray/qt_tray_timer.h
//   TrayHost host(shell, timers);
//   QtTrayOwner owner(form);        // tray/qt_tray_adapters.h
//   TrayIcon trayIcon(host, &owner);
class TrayHost {
 public:
  TrayHost(TrayShell& shell, TrayTimerFactory& timers) : shell_(shell), timers_(timers) {}
  TrayHost(const TrayHost&) = delete;
  TrayHost& operator=(const TrayHost&) = delete;

  TrayShell& Shell() { return shell_; }
  TrayTimerFactory& Timers() { return timers_; }
  TrayIconRegistry& Registry() { return registry_; }

  // Made by the first icon; notifications before that have no icon to go to.
  CallbackWindow& Callbacks();
  bool HasCallbackWindow() const { return window_ != nullptr; }

 private:
  TrayShell& shell_;
  TrayTimerFactory& timers_;
  TrayIconRegistry registry_;
  std::unique_ptr<CallbackWindow> window_;
};

}  // namespace pelnor
