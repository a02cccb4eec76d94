#include "platform/qt_tray_timer.h"

namespace pelnor {

QtTrayTimer::QtTrayTimer() : timer_(std::make_unique<QTimer>()) {
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { Fire(); });
}

QtTrayTimer::~QtTrayTimer() {
  timer_->disconnect();
  timer_->stop();
  // A handler may free its own timer (an OnClick that frees the icon); the
  // QTimer is then still inside its timeout and must go later.
  if (firing_) timer_.release()->deleteLater();
}

void QtTrayTimer::Fire() {
  firing_ = true;
  const std::weak_ptr<int> alive = alive_;
  const auto fire = OnTimer;  // this object may be gone when fire returns
  if (fire) fire();
  if (!alive.expired()) firing_ = false;
}

}  // namespace pelnor
