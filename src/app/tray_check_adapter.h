#pragma once

// The check cycle's tray over the real TrayIcon. The icon component has no
// message balloon of its own, so passing notifications go to `notify`
// (the program shows them through the system tray).

#include <functional>
#include <string>
#include <utility>

#include "core/check/check_ports.h"
#include "core/tray/tray_icon.h"

namespace pelnor {

class TrayIconCheckTray : public CheckTray {
 public:
  TrayIconCheckTray(TrayIcon& icon, std::function<void(const std::string&)> notify)
      : icon_(icon), notify_(std::move(notify)) {}

  bool Enabled() const override { return icon_.Enabled(); }
  void SetEnabled(bool value) override { icon_.SetEnabled(value); }
  bool Animating() const override { return icon_.Animating(); }
  void StartAnimation() override { icon_.StartAnimation(false); }
  void StopAnimation() override { icon_.StopAnimation(); }
  void Notify(const std::string& text) override {
    if (notify_) notify_(text);
  }
  void SetTip(const std::string& text) override { icon_.SetTipHelp(text); }

 private:
  TrayIcon& icon_;
  std::function<void(const std::string&)> notify_;
};

}  // namespace pelnor
