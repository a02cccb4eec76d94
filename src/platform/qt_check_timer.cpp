#include "platform/qt_check_timer.h"

namespace pelnor {

QtCheckTimer::QtCheckTimer() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    // After an early tick the interval counts again, whatever the handler does.
    if (timer_.interval() != interval_) timer_.start(interval_);
    if (OnTimer) OnTimer();
  });
}

void QtCheckTimer::TickSoon(std::chrono::milliseconds delay) {
  if (!timer_.isActive() || delay.count() >= timer_.remainingTime()) return;
  timer_.start(static_cast<int>(delay.count()));
}

void QtCheckTimer::SetEnabled(bool value) {
  enabled_ = value;
  Restart();
}

void QtCheckTimer::SetInterval(int ms) {
  interval_ = ms;
  Restart();
}

void QtCheckTimer::Restart() {
  if (enabled_ && interval_ > 0)
    timer_.start(interval_);
  else
    timer_.stop();
}

}  // namespace pelnor
