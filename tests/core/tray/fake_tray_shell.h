#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/tray/tray_owner.h"
#include "core/tray/tray_shell.h"

namespace pelnor::testing {

// A picture known by its name.
struct NamedImage : IconImage {
  explicit NamedImage(std::string n) : name(std::move(n)) {}
  std::string name;
};

IconHandle NamedIcon(const std::string& name);
std::string IconName(const IconHandle& icon);  // "" for an empty icon

enum class ShellCall { Add, Modify, Delete };

struct ShellRequest {
  ShellCall call;
  NotifyIconData data;
};

// Records every request and answers as told.
class FakeTrayShell : public TrayShell {
 public:
  bool Add(const NotifyIconData& data) override { return Record(ShellCall::Add, data, acceptAdd); }
  bool Modify(const NotifyIconData& data) override {
    return Record(ShellCall::Modify, data, acceptModify);
  }
  bool Delete(const NotifyIconData& data) override { return Record(ShellCall::Delete, data, true); }
  TrayPoint CursorPos() override { return cursor; }
  int DoubleClickTime() override { return doubleClickTime; }
  void SetForegroundWindow(WindowHandle window) override { foreground.push_back(window); }
  void ProcessMessages() override {
    ++processed;
    if (onProcessMessages) onProcessMessages();
  }
  IconHandle ApplicationIcon() override { return applicationIcon; }

  // Sends one mouse notification as the shell would.
  void Send(int iconId, TrayMouseMessage message) {
    if (OnNotify) OnNotify(iconId, message);
  }
  std::vector<ShellRequest> Requests(ShellCall call) const;

  bool acceptAdd = true;
  bool acceptModify = true;
  TrayPoint cursor{640, 480};
  int doubleClickTime = 500;
  IconHandle applicationIcon;
  std::vector<WindowHandle> foreground;
  int processed = 0;
  std::function<void()> onProcessMessages;
  std::vector<ShellRequest> requests;

 private:
  bool Record(ShellCall call, const NotifyIconData& data, bool answer) {
    requests.push_back({call, data});
    return answer;
  }
};

class FakeOwner : public TrayOwner {
 public:
  IconHandle FormIcon() const override { return formIcon; }
  WindowHandle Handle() const override { return handle; }

  IconHandle formIcon;
  WindowHandle handle = 0;
};

class FakeMenu : public TrayMenu {
 public:
  void Popup(int x, int y) override { popups.push_back({x, y}); }
  std::vector<TrayPoint> popups;
};

}  // namespace pelnor::testing
