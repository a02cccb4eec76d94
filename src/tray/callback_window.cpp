#include "tray/callback_window.h"

#include "tray/tray_icon.h"
#include "tray/tray_registry.h"

namespace pelnor {

TCallbackWindow::TCallbackWindow(TTrayShell& shell, const TTrayIconRegistry& registry)
    : shell_(shell), registry_(registry) {
  shell_.OnNotify = [this](int id, TTrayMouseMessage message) { Notify(id, message); };
}

TCallbackWindow::~TCallbackWindow() { shell_.OnNotify = nullptr; }

void TCallbackWindow::Notify(int iconId, TTrayMouseMessage message) {
  TTrayIcon* icon = registry_.Find(iconId);
  if (icon == nullptr) return;
  current_ = icon;
  icon->HandleMouse(message);
}

void TCallbackWindow::Forget(const TTrayIcon& icon) {
  if (current_ == &icon) current_ = nullptr;
}

}  // namespace pelnor
