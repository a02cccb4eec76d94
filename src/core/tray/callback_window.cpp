#include "core/tray/callback_window.h"

#include "core/tray/tray_icon.h"
#include "core/tray/tray_registry.h"

namespace pelnor {

CallbackWindow::CallbackWindow(TrayShell& shell, const TrayIconRegistry& registry)
    : shell_(shell), registry_(registry) {
  shell_.OnNotify = [this](int id, TrayMouseMessage message) { Notify(id, message); };
}

CallbackWindow::~CallbackWindow() { shell_.OnNotify = nullptr; }

void CallbackWindow::Notify(int iconId, TrayMouseMessage message) {
  TrayIcon* icon = registry_.Find(iconId);
  if (icon == nullptr) return;
  current_ = icon;
  icon->HandleMouse(message);
}

void CallbackWindow::Forget(const TrayIcon& icon) {
  if (current_ == &icon) current_ = nullptr;
}

}  // namespace pelnor
