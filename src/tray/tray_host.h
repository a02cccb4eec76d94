#pragma once

#include <memory>

#include "tray/callback_window.h"
#include "tray/tray_registry.h"
#include "tray/tray_shell.h"
#include "tray/tray_timer.h"

namespace pelnor {

// The program-wide side of the tray: the shell, the timers, the icon
// registry and the one callback window. The program makes one; every
// TTrayIcon is created with it and must be destroyed before it. On the
// desktop:
//
//   TQtTrayShell shell;              // tray/qt_tray_shell.h
//   TQtTrayTimerFactory timers;      // tray/qt_tray_timer.h
//   TTrayHost host(shell, timers);
//   TQtTrayOwner owner(form);        // tray/qt_tray_adapters.h
//   TTrayIcon TrayIcon1(host, &owner);
class TTrayHost {
 public:
  TTrayHost(TTrayShell& shell, TTrayTimerFactory& timers) : shell_(shell), timers_(timers) {}
  TTrayHost(const TTrayHost&) = delete;
  TTrayHost& operator=(const TTrayHost&) = delete;

  TTrayShell& Shell() { return shell_; }
  TTrayTimerFactory& Timers() { return timers_; }
  TTrayIconRegistry& Registry() { return registry_; }

  // Made by the first icon; notifications before that have no icon to go to.
  TCallbackWindow& CallbackWindow();
  bool HasCallbackWindow() const { return window_ != nullptr; }

 private:
  TTrayShell& shell_;
  TTrayTimerFactory& timers_;
  TTrayIconRegistry registry_;
  std::unique_ptr<TCallbackWindow> window_;
};

}  // namespace pelnor
