#pragma once

#include <memory>
#include <vector>

#include "core/tray/tray_timer.h"

namespace pelnor::testing {

class FakeClock;

class FakeTimer : public TrayTimer {
 public:
  explicit FakeTimer(FakeClock& clock);
  ~FakeTimer() override;

  void Start(int ms) override;
  void Stop() override { active_ = false; }
  bool Active() const override { return active_; }

 private:
  friend class FakeClock;
  FakeClock& clock_;
  bool active_ = false;
  long due_ = 0;
  long armed_ = 0;  // order of Start calls, to break ties
};

// Virtual milliseconds. Advance fires the due timers in time order, each at
// its own moment, including timers started by an earlier one in the same
// Advance.
class FakeClock : public TrayTimerFactory {
 public:
  std::unique_ptr<TrayTimer> CreateTimer() override;
  void Advance(long ms);
  long Now() const { return now_; }
  int ActiveTimers() const;

 private:
  friend class FakeTimer;
  FakeTimer* NextDue(long until) const;

  long now_ = 0;
  long starts_ = 0;
  std::vector<FakeTimer*> timers_;
};

}  // namespace pelnor::testing
