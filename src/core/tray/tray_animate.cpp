#include "core/tray/tray_animate.h"

#include "core/tray/tray_icon.h"

namespace pelnor {

TrayIconAnimation::TrayIconAnimation(TrayIcon& icon, std::unique_ptr<TrayTimer> timer)
    : icon_(icon), timer_(std::move(timer)) {
  timer_->OnTimer = [this] { Tick(); };
}

void TrayIconAnimation::Run() {
  ShowFrame();
  if (!icon_.AnimateStep()) timer_->Start(icon_.AnimateRate());
}

void TrayIconAnimation::Park() {
  const bool stepping = icon_.AnimateStep();
  timer_->Stop();
  // A stepped animation goes on where it stopped at its next start; a
  // continuous one begins again with the first frame.
  if (!stepping) index_ = 0;
}

void TrayIconAnimation::Tick() {
  if (!icon_.Animating() || icon_.AnimateStep()) return;
  ShowFrame();
  timer_->Start(icon_.AnimateRate());
}

void TrayIconAnimation::ShowFrame() {
  // The list can be emptied or destroyed under a running animation; there
  // is then no frame to show until it has images again.
  const std::shared_ptr<ImageList> images = icon_.AnimateIcons();
  if (!images || images->Count() == 0) return;
  if (index_ >= images->Count()) index_ = 0;
  frame_ = images->GetIcon(index_);
  if (icon_.Added()) icon_.host_.Shell().Modify(icon_.MakeNotifyData(frame_));  // a refused frame is skipped
  index_ = (index_ + 1) % images->Count();
}

}  // namespace pelnor
