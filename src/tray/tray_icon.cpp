#include "tray/tray_icon.h"

#include <algorithm>

#include "tray/notify_icon_error.h"
#include "tray/tip_help.h"

namespace pelnor {

TTrayIcon::TRegistration::TRegistration(TTrayIconRegistry& registry, TTrayIcon& icon)
    : registry_(registry), id_(registry.Register(icon)) {}

TTrayIcon::TRegistration::~TRegistration() { registry_.Unregister(id_); }

TTrayIcon::TTrayIcon(TTrayHost& host, TTrayOwner* owner)
    : host_(host),
      owner_(owner),
      registration_(host.Registry(), *this),
      iconId_(registration_.Id()),
      singleClick_(host.Timers().CreateTimer()) {
  host_.CallbackWindow();
  singleClick_->OnTimer = [this] { SingleClickEnded(); };
}

TTrayIcon::~TTrayIcon() {
  singleClick_->Stop();
  if (animate_) animate_->Park();
  animating_ = false;
  if (added_) NotifyShell(TNotifyAction::naDelete);
  host_.CallbackWindow().Forget(*this);
}

void TTrayIcon::ReadState() {
  loading_ = true;
  tipHelp_.clear();
}

void TTrayIcon::Loaded() {
  loading_ = false;
  NotifyShell(TNotifyAction::naAdd);
}

TIcon TTrayIcon::GetIconHandle() const {
  if (!icon_.Empty()) return icon_;
  if (owner_ != nullptr) {
    TIcon formIcon = owner_->FormIcon();
    if (!formIcon.Empty()) return formIcon;
  }
  return host_.Shell().ApplicationIcon();
}

TNotifyIconData TTrayIcon::MakeNotifyData(const TIcon& icon) const {
  TNotifyIconData data;
  data.uID = static_cast<std::uint32_t>(iconId_);
  data.uFlags = tipHelp_.empty() ? (NIF_MESSAGE | NIF_ICON) : (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.hIcon = icon;
  data.szTip = tipHelp_;
  return data;
}

void TTrayIcon::NotifyShell(TNotifyAction action) {
  const TNotifyIconData data =
      MakeNotifyData(animating_ && animate_ ? animate_->Frame() : GetIconHandle());
  TTrayShell& shell = host_.Shell();
  switch (action) {
    case TNotifyAction::naAdd:
      if (!visible_) return;
      if (!shell.Add(data)) throw ENotifyIconError();
      added_ = true;
      return;
    case TNotifyAction::naModify:
      if (!shell.Modify(data)) throw ENotifyIconError();
      return;
    case TNotifyAction::naDelete:
      shell.Delete(data);  // a refused delete leaves nothing we could do
      added_ = false;
      return;
  }
}

void TTrayIcon::UpdateIcon() {
  if (added_ && !(animating_ && !animateStep_)) NotifyShell(TNotifyAction::naModify);
}

void TTrayIcon::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value && !GetIconHandle().Empty();
  if (loading_) return;
  if (visible_)
    NotifyShell(TNotifyAction::naAdd);
  else if (added_)
    NotifyShell(TNotifyAction::naDelete);
}

void TTrayIcon::SetIcon(const TIcon& icon) {
  icon_ = icon;
  UpdateIcon();
}

void TTrayIcon::SetTipHelp(std::string_view tip) {
  std::string kept = TruncateTip(tip);
  if (kept == tipHelp_) return;
  tipHelp_ = std::move(kept);
  UpdateIcon();
}

void TTrayIcon::SetEnabled(bool value) {
  enabled_ = value;
  if (!value) clickPending_ = false;
}

void TTrayIcon::SetAnimateRate(int ms) { animateRate_ = std::max(ms, kMinAnimateRate); }

void TTrayIcon::SetAnimateIcons(const std::shared_ptr<TImageList>& images) {
  if (!animating_) animateIcons_ = images;
}

}  // namespace pelnor
