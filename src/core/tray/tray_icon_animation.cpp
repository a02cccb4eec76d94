#include "core/tray/tray_icon.h"

namespace pelnor {

void TrayIcon::StartAnimation(bool step) {
  if (animating_) return;
  const std::shared_ptr<ImageList> images = animateIcons_.lock();
  if (!images || images->Count() == 0) return;
  if (!animate_) animate_ = std::make_unique<TrayIconAnimation>(*this, host_.Timers().CreateTimer());
  animating_ = true;
  animateStep_ = step;
  animate_->Run();
}

void TrayIcon::StopAnimation() {
  if (!animating_) return;
  animating_ = false;
  animate_->Park();
  UpdateIcon();
}

}  // namespace pelnor
