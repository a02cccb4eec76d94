#pragma once

#include <cstddef>
#include <memory>

#include "tray/tray_image.h"
#include "tray/tray_timer.h"

namespace pelnor {

class TTrayIcon;

// Shows the frames of one icon's animation. In continuous mode a frame goes
// out at once and then one every AnimateRate milliseconds; in step mode each
// Run shows one frame and the next Run the one after it.
class TTrayIconAnimate {
 public:
  TTrayIconAnimate(TTrayIcon& icon, std::unique_ptr<TTrayTimer> timer);

  void Run();   // the icon has just started animating
  void Park();  // the icon has just stopped; no frame goes out after this

  // The frame on screen while the icon animates.
  const TIcon& Frame() const { return frame_; }

 private:
  void ShowFrame();
  void Tick();

  TTrayIcon& icon_;
  std::unique_ptr<TTrayTimer> timer_;
  std::size_t index_ = 0;
  TIcon frame_;
};

}  // namespace pelnor
