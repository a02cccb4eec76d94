#include "tray/tray_icon.h"

namespace pelnor {

void TTrayIcon::HandleMouse(TTrayMouseMessage message) {
  if (!enabled_) return;
  const TTrayPoint pos = host_.Shell().CursorPos();
  const int x = pos.X;
  const int y = pos.Y;
  switch (message) {
    case TTrayMouseMessage::tmMouseMove:
      if (OnMouseMove) OnMouseMove(*this, TShiftState(), x, y);
      break;
    case TTrayMouseMessage::tmLButtonDown:
      if (auto menu = lbPopupMenu_.lock(); menu && autoPopup_)
        PopupMenu(menu, x, y);
      else
        MouseDown(TMouseButton::mbLeft, TShift::ssLeft, x, y);
      break;
    case TTrayMouseMessage::tmLButtonUp:
      if (OnMouseUp)
        OnMouseUp(*this, TMouseButton::mbLeft, TShift::ssLeft, x, y);
      else
        LeftButtonUp(x, y);
      break;
    case TTrayMouseMessage::tmLButtonDblClk:
      clickPending_ = true;  // makes the release that follows end the click
      if (OnDblClick) OnDblClick(*this);
      break;
    case TTrayMouseMessage::tmRButtonDown:
      if (auto menu = rbPopupMenu_.lock(); menu && autoPopup_)
        PopupMenu(menu, x, y);
      else
        MouseDown(TMouseButton::mbRight, TShift::ssRight, x, y);
      break;
    case TTrayMouseMessage::tmRButtonUp:
      MouseUp(TMouseButton::mbRight, TShift::ssRight, x, y);
      break;
    case TTrayMouseMessage::tmRButtonDblClk:
      break;
    case TTrayMouseMessage::tmMButtonDown:
      MouseDown(TMouseButton::mbMiddle, TShift::ssMiddle, x, y);
      break;
    case TTrayMouseMessage::tmMButtonUp:
      MouseUp(TMouseButton::mbMiddle, TShift::ssMiddle, x, y);
      break;
  }
}

void TTrayIcon::MouseDown(TMouseButton button, TShift shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TTrayIcon::MouseUp(TMouseButton button, TShift shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TTrayIcon::PopupMenu(const std::shared_ptr<TPopupMenu>& menu, int x, int y) {
  // The menu only closes properly when its window is in the foreground.
  // Pending events run here, so they may free this icon or disable it.
  if (owner_ != nullptr && owner_->Handle() != 0) {
    const std::weak_ptr<int> alive = alive_;
    TTrayShell& shell = host_.Shell();
    shell.SetForegroundWindow(owner_->Handle());
    shell.ProcessMessages();
    if (alive.expired() || !enabled_) return;
  }
  menu->Popup(x, y);
}

void TTrayIcon::LeftButtonUp(int /*x*/, int /*y*/) {
  if (!OnClick) {
    clickPending_ = false;
  } else if (!clickPending_) {
    clickPending_ = true;
    singleClick_->Start(host_.Shell().DoubleClickTime() + kSingleClickSlack);
  } else {
    clickPending_ = false;  // the second release of a double click
  }
}

void TTrayIcon::SingleClickEnded() {
  if (OnClick && clickPending_) {
    const std::weak_ptr<int> alive = alive_;
    OnClick(*this);
    if (alive.expired()) return;
  }
  clickPending_ = false;
}

}  // namespace pelnor
