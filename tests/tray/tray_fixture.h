#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fake_timer.h"
#include "fake_tray_shell.h"
#include "tray/tray_host.h"
#include "tray/tray_icon.h"

namespace pelnor::testing {

// A host over the fake shell and the fake clock. Icons made here go before
// the host does.
class TrayTest : public ::testing::Test {
 protected:
  std::unique_ptr<TTrayIcon> MakeIcon(TTrayOwner* owner = nullptr) {
    return std::make_unique<TTrayIcon>(host, owner);
  }
  // An icon with its own picture, shown, with the add request cleared.
  std::unique_ptr<TTrayIcon> MakeShownIcon(TTrayOwner* owner = nullptr) {
    auto icon = MakeIcon(owner);
    icon->SetIcon(NamedIcon("static"));
    icon->SetVisible(true);
    shell.requests.clear();
    return icon;
  }

  TFakeTrayShell shell;
  TFakeClock clock;
  TTrayHost host{shell, clock};
};

}  // namespace pelnor::testing
