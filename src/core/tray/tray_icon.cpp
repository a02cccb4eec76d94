#include "core/tray/tray_icon.h"

#include <algorithm>

#include "core/tray/notify_icon_error.h"
#include "core/tray/tip_help.h"

namespace pelnor {

TrayIcon::Registration::Registration(TrayIconRegistry& registry, TrayIcon& icon)
    : registry_(registry), id_(registry.Register(icon)) {}

TrayIcon::Registration::~Registration() { registry_.Unregister(id_); }

TrayIcon::TrayIcon(TrayHost& host, TrayOwner* owner)
    : host_(host),
      owner_(owner),
      registration_(host.Registry(), *this),
      iconId_(registration_.Id()),
      singleClick_(host.Timers().CreateTimer()) {
  host_.Callbacks();
  singleClick_->OnTimer = [this] { SingleClickEnded(); };
}

TrayIcon::~TrayIcon() {
  singleClick_->Stop();
  if (animate_) animate_->Park();
  animating_ = false;
  if (added_) NotifyShell(NotifyAction::naDelete);
  host_.Callbacks().Forget(*this);
}

void TrayIcon::ReadState() {
  loading_ = true;
  tipHelp_.clear();
}

void TrayIcon::Loaded() {
  loading_ = false;
  NotifyShell(NotifyAction::naAdd);
}

IconHandle TrayIcon::GetIconHandle() const {
  if (!icon_.Empty()) return icon_;
  if (owner_ != nullptr) {
    IconHandle formIcon = owner_->FormIcon();
    if (!formIcon.Empty()) return formIcon;
  }
  return host_.Shell().ApplicationIcon();
}

NotifyIconData TrayIcon::MakeNotifyData(const IconHandle& icon) const {
  NotifyIconData data;
  data.uID = static_cast<std::uint32_t>(iconId_);
  data.uFlags = tipHelp_.empty() ? (NIF_MESSAGE | NIF_ICON) : (NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.hIcon = icon;
  data.szTip = tipHelp_;
  return data;
}

void TrayIcon::NotifyShell(NotifyAction action) {
  const NotifyIconData data =
      MakeNotifyData(animating_ && animate_ ? animate_->Frame() : GetIconHandle());
  TrayShell& shell = host_.Shell();
  switch (action) {
    case NotifyAction::naAdd:
      if (!visible_) return;
      if (!shell.Add(data)) throw ENotifyIconError();
      added_ = true;
      return;
    case NotifyAction::naModify:
      if (!shell.Modify(data)) throw ENotifyIconError();
      return;
    case NotifyAction::naDelete:
      shell.Delete(data);  // a refused delete leaves nothing we could do
      added_ = false;
      return;
  }
}

void TrayIcon::UpdateIcon() {
  if (added_ && !(animating_ && !animateStep_)) NotifyShell(NotifyAction::naModify);
}

void TrayIcon::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value && !GetIconHandle().Empty();
  if (loading_) return;
  if (visible_)
    NotifyShell(NotifyAction::naAdd);
  else if (added_)
    NotifyShell(NotifyAction::naDelete);
}

void TrayIcon::SetIcon(const IconHandle& icon) {
  icon_ = icon;
  UpdateIcon();
}

void TrayIcon::SetTipHelp(std::string_view tip) {
  std::string kept = TruncateTip(tip);
  if (kept == tipHelp_) return;
  tipHelp_ = std::move(kept);
  UpdateIcon();
}

void TrayIcon::SetEnabled(bool value) {
  enabled_ = value;
  if (!value) clickPending_ = false;
}

void TrayIcon::SetAnimateRate(int ms) { animateRate_ = std::max(ms, kMinAnimateRate); }

void TrayIcon::SetAnimateIcons(const std::shared_ptr<ImageList>& images) {
  if (!animating_) animateIcons_ = images;
}

}  // namespace pelnor
