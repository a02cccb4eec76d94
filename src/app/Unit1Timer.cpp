#include "app/Unit1Timer.h"

namespace pelnor {

TTimer1::TTimer1() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
}

void TTimer1::SetEnabled(bool value) {
  enabled_ = value;
  Restart();
}

void TTimer1::SetInterval(int ms) {
  interval_ = ms;
  Restart();
}

void TTimer1::Restart() {
  if (enabled_ && interval_ > 0)
    timer_.start(interval_);
  else
    timer_.stop();
}

}  // namespace pelnor
