#include "platform/qt_check_timer.h"

namespace pelnor {

QtCheckTimer::QtCheckTimer() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
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
