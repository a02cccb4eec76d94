#pragma once

#include <memory>
#include <vector>

#include "tray/tray_timer.h"

namespace pelnor::testing {

class TFakeClock;

class TFakeTimer : public TTrayTimer {
 public:
  explicit TFakeTimer(TFakeClock& clock);
  ~TFakeTimer() override;

  void Start(int ms) override;
  void Stop() override { active_ = false; }
  bool Active() const override { return active_; }

 private:
  friend class TFakeClock;
  TFakeClock& clock_;
  bool active_ = false;
  long due_ = 0;
  long armed_ = 0;  // order of Start calls, to break ties
};

// Virtual milliseconds. Advance fires the due timers in time order, each at
// its own moment, including timers started by an earlier one in the same
// Advance.
class TFakeClock : public TTrayTimerFactory {
 public:
  std::unique_ptr<TTrayTimer> CreateTimer() override;
  void Advance(long ms);
  long Now() const { return now_; }
  int ActiveTimers() const;

 private:
  friend class TFakeTimer;
  TFakeTimer* NextDue(long until) const;

  long now_ = 0;
  long starts_ = 0;
  std::vector<TFakeTimer*> timers_;
};

}  // namespace pelnor::testing
