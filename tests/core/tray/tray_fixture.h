#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fake_timer.h"
#include "fake_tray_shell.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_icon.h"

namespace pelnor::testing {

// A host over the fake shell and the fake clock. Icons made here go before
// the host does.
class TrayTest : public ::testing::Test {
 protected:
  std::unique_ptr<TrayIcon> MakeIcon(TrayOwner* owner = nullptr) {
    return std::make_unique<TrayIcon>(host, owner);
  }
  // An icon with its own picture, shown, with the add request cleared.
  std::unique_ptr<TrayIcon> MakeShownIcon(TrayOwner* owner = nullptr) {
    auto icon = MakeIcon(owner);
    icon->SetIcon(NamedIcon("static"));
    icon->SetVisible(true);
    shell.requests.clear();
    return icon;
  }

  FakeTrayShell shell;
  FakeClock clock;
  TrayHost host{shell, clock};
};

}  // namespace pelnor::testing
