#include "fake_timer.h"

#include <algorithm>

namespace pelnor::testing {

FakeTimer::FakeTimer(FakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }

FakeTimer::~FakeTimer() { std::erase(clock_.timers_, this); }

void FakeTimer::Start(int ms) {
  active_ = true;
  due_ = clock_.now_ + ms;
  armed_ = ++clock_.starts_;
}

std::unique_ptr<TrayTimer> FakeClock::CreateTimer() { return std::make_unique<FakeTimer>(*this); }

FakeTimer* FakeClock::NextDue(long until) const {
  FakeTimer* next = nullptr;
  for (FakeTimer* t : timers_) {
    if (!t->active_ || t->due_ > until) continue;
    if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->armed_ < next->armed_)) next = t;
  }
  return next;
}

void FakeClock::Advance(long ms) {
  const long until = now_ + ms;
  while (FakeTimer* t = NextDue(until)) {
    now_ = t->due_;
    t->active_ = false;
    auto fire = t->OnTimer;  // the timer may be destroyed by its own handler
    if (fire) fire();
  }
  now_ = until;
}

int FakeClock::ActiveTimers() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [](auto* t) { return t->active_; }));
}

}  // namespace pelnor::testing
