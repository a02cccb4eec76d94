#pragma once

#include <cstddef>
#include <memory>

#include "core/tray/tray_image.h"
#include "core/tray/tray_timer.h"

namespace pelnor {

class TrayIcon;

// Shows the frames of one icon's animation. In continuous mode a frame goes
// out at once and then one every AnimateRate milliseconds; in step mode each
// Run shows one frame and the next Run the one after it.
class TrayIconAnimation {
 public:
  TrayIconAnimation(TrayIcon& icon, std::unique_ptr<TrayTimer> timer);

  void Run();   // the icon has just started animating
  void Park();  // the icon has just stopped; no frame goes out after this

  // The frame on screen while the icon animates.
  const IconHandle& Frame() const { return frame_; }

 private:
  void ShowFrame();
  void Tick();

  TrayIcon& icon_;
  std::unique_ptr<TrayTimer> timer_;
  std::size_t index_ = 0;
  IconHandle frame_;
};

}  // namespace pelnor
