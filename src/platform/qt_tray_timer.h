#pragma once

#include <QTimer>

#include <memory>

#include "core/tray/tray_timer.h"

namespace pelnor {

// A tray timer on a single-shot QTimer of the UI thread.
class QtTrayTimer : public TrayTimer {
 public:
  QtTrayTimer();
  ~QtTrayTimer() override;

  void Start(int ms) override { timer_->start(ms); }
  void Stop() override { timer_->stop(); }
  bool Active() const override { return timer_->isActive(); }

 private:
  void Fire();

  std::unique_ptr<QTimer> timer_;
  bool firing_ = false;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

class QtTrayTimerFactory : public TrayTimerFactory {
 public:
  std::unique_ptr<TrayTimer> CreateTimer() override { return std::make_unique<QtTrayTimer>(); }
};

}  // namespace pelnor
