#pragma once

// The check timer on a QTimer. Like the timer the program was designed
// with, an interval of 0 (or below) never fires while the timer still
// counts as enabled; a QTimer would fire continuously instead.

#include <QTimer>

#include <chrono>
#include <functional>

#include "core/check/check_ports.h"

namespace pelnor {

class QtCheckTimer : public CheckTimer {
 public:
  QtCheckTimer();

  bool Enabled() const override { return enabled_; }
  // Enabling starts a new full interval.
  void SetEnabled(bool value) override;
  int Interval() const { return interval_; }
  // A running timer starts its new interval at once.
  void SetInterval(int ms);
  // Whether a tick is actually due some time (enabled with an interval).
  bool Armed() const { return timer_.isActive(); }
  // An armed timer ticks next after `delay` when that comes sooner, then
  // at its interval again. Disabling it or a new interval drops the early
  // tick; an unarmed timer (disabled, or interval 0) gets none.
  void TickSoon(std::chrono::milliseconds delay);
  // Milliseconds to the next tick; -1 when none is due.
  int RemainingTime() const { return timer_.remainingTime(); }

  std::function<void()> OnTimer;

 private:
  void Restart();

  QTimer timer_;
  int interval_ = 1000;
  bool enabled_ = false;
};

}  // namespace pelnor
