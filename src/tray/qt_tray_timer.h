#pragma once

#include <QTimer>

#include <memory>

#include "tray/tray_timer.h"

namespace pelnor {

// A tray timer on a single-shot QTimer of the UI thread.
class TQtTrayTimer : public TTrayTimer {
 public:
  TQtTrayTimer();
  ~TQtTrayTimer() override;

  void Start(int ms) override { timer_->start(ms); }
  void Stop() override { timer_->stop(); }
  bool Active() const override { return timer_->isActive(); }

 private:
  void Fire();

  std::unique_ptr<QTimer> timer_;
  bool firing_ = false;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

class TQtTrayTimerFactory : public TTrayTimerFactory {
 public:
  std::unique_ptr<TTrayTimer> CreateTimer() override { return std::make_unique<TQtTrayTimer>(); }
};

}  // namespace pelnor
