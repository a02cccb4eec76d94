#include "core/tray/tray_icon.h"

namespace pelnor {

void TrayIcon::HandleMouse(TrayMouseMessage message) {
  if (!enabled_) return;
  const TrayPoint pos = host_.Shell().CursorPos();
  const int x = pos.X;
  const int y = pos.Y;
  switch (message) {
    case TrayMouseMessage::tmMouseMove:
      if (OnMouseMove) OnMouseMove(*this, ShiftState(), x, y);
      break;
    case TrayMouseMessage::tmLButtonDown:
      if (auto menu = lbPopupMenu_.lock(); menu && autoPopup_)
        PopupMenu(menu, x, y);
      else
        MouseDown(MouseButton::mbLeft, Shift::ssLeft, x, y);
      break;
    case TrayMouseMessage::tmLButtonUp:
      if (OnMouseUp)
        OnMouseUp(*this, MouseButton::mbLeft, Shift::ssLeft, x, y);
      else
        LeftButtonUp(x, y);
      break;
    case TrayMouseMessage::tmLButtonDblClk:
      clickPending_ = true;  // makes the release that follows end the click
      if (OnDblClick) OnDblClick(*this);
      break;
    case TrayMouseMessage::tmRButtonDown:
      if (auto menu = rbPopupMenu_.lock(); menu && autoPopup_)
        PopupMenu(menu, x, y);
      else
        MouseDown(MouseButton::mbRight, Shift::ssRight, x, y);
      break;
    case TrayMouseMessage::tmRButtonUp:
      MouseUp(MouseButton::mbRight, Shift::ssRight, x, y);
      break;
    case TrayMouseMessage::tmRButtonDblClk:
      break;
    case TrayMouseMessage::tmMButtonDown:
      MouseDown(MouseButton::mbMiddle, Shift::ssMiddle, x, y);
      break;
    case TrayMouseMessage::tmMButtonUp:
      MouseUp(MouseButton::mbMiddle, Shift::ssMiddle, x, y);
      break;
  }
}

void TrayIcon::MouseDown(MouseButton button, Shift shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TrayIcon::MouseUp(MouseButton button, Shift shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TrayIcon::PopupMenu(const std::shared_ptr<TrayMenu>& menu, int x, int y) {
  // The menu only closes properly when its window is in the foreground.
  // Pending events run here, so they may free this icon or disable it.
  if (owner_ != nullptr && owner_->Handle() != 0) {
    const std::weak_ptr<int> alive = alive_;
    TrayShell& shell = host_.Shell();
    shell.SetForegroundWindow(owner_->Handle());
    shell.ProcessMessages();
    if (alive.expired() || !enabled_) return;
  }
  menu->Popup(x, y);
}

void TrayIcon::LeftButtonUp(int /*x*/, int /*y*/) {
  if (!OnClick) {
    clickPending_ = false;
  } else if (!clickPending_) {
    clickPending_ = true;
    singleClick_->Start(host_.Shell().DoubleClickTime() + kSingleClickSlack);
  } else {
    clickPending_ = false;  // the second release of a double click
  }
}

void TrayIcon::SingleClickEnded() {
  if (OnClick && clickPending_) {
    const std::weak_ptr<int> alive = alive_;
    OnClick(*this);
    if (alive.expired()) return;
  }
  clickPending_ = false;
}

}  // namespace pelnor
