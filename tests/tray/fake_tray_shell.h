#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tray/tray_owner.h"
#include "tray/tray_shell.h"

namespace pelnor::testing {

// A picture known by its name.
struct TNamedImage : TIconImage {
  explicit TNamedImage(std::string n) : name(std::move(n)) {}
  std::string name;
};

TIcon NamedIcon(const std::string& name);
std::string IconName(const TIcon& icon);  // "" for an empty icon

enum class TShellCall { Add, Modify, Delete };

struct TShellRequest {
  TShellCall call;
  TNotifyIconData data;
};

// Records every request and answers as told.
class TFakeTrayShell : public TTrayShell {
 public:
  bool Add(const TNotifyIconData& data) override { return Record(TShellCall::Add, data, acceptAdd); }
  bool Modify(const TNotifyIconData& data) override {
    return Record(TShellCall::Modify, data, acceptModify);
  }
  bool Delete(const TNotifyIconData& data) override { return Record(TShellCall::Delete, data, true); }
  TTrayPoint CursorPos() override { return cursor; }
  int DoubleClickTime() override { return doubleClickTime; }
  void SetForegroundWindow(TWindowHandle window) override { foreground.push_back(window); }
  void ProcessMessages() override {
    ++processed;
    if (onProcessMessages) onProcessMessages();
  }
  TIcon ApplicationIcon() override { return applicationIcon; }

  // Sends one mouse notification as the shell would.
  void Send(int iconId, TTrayMouseMessage message) {
    if (OnNotify) OnNotify(iconId, message);
  }
  std::vector<TShellRequest> Requests(TShellCall call) const;

  bool acceptAdd = true;
  bool acceptModify = true;
  TTrayPoint cursor{640, 480};
  int doubleClickTime = 500;
  TIcon applicationIcon;
  std::vector<TWindowHandle> foreground;
  int processed = 0;
  std::function<void()> onProcessMessages;
  std::vector<TShellRequest> requests;

 private:
  bool Record(TShellCall call, const TNotifyIconData& data, bool answer) {
    requests.push_back({call, data});
    return answer;
  }
};

class TFakeOwner : public TTrayOwner {
 public:
  TIcon FormIcon() const override { return formIcon; }
  TWindowHandle Handle() const override { return handle; }

  TIcon formIcon;
  TWindowHandle handle = 0;
};

class TFakeMenu : public TPopupMenu {
 public:
  void Popup(int x, int y) override { popups.push_back({x, y}); }
  std::vector<TTrayPoint> popups;
};

}  // namespace pelnor::testing
