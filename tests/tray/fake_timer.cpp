#include "fake_timer.h"

#include <algorithm>

namespace pelnor::testing {

TFakeTimer::TFakeTimer(TFakeClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }

TFakeTimer::~TFakeTimer() { std::erase(clock_.timers_, this); }

void TFakeTimer::Start(int ms) {
  active_ = true;
  due_ = clock_.now_ + ms;
  armed_ = ++clock_.starts_;
}

std::unique_ptr<TTrayTimer> TFakeClock::CreateTimer() { return std::make_unique<TFakeTimer>(*this); }

TFakeTimer* TFakeClock::NextDue(long until) const {
  TFakeTimer* next = nullptr;
  for (TFakeTimer* t : timers_) {
    if (!t->active_ || t->due_ > until) continue;
    if (!next || t->due_ < next->due_ || (t->due_ == next->due_ && t->armed_ < next->armed_)) next = t;
  }
  return next;
}

void TFakeClock::Advance(long ms) {
  const long until = now_ + ms;
  while (TFakeTimer* t = NextDue(until)) {
    now_ = t->due_;
    t->active_ = false;
    auto fire = t->OnTimer;  // the timer may be destroyed by its own handler
    if (fire) fire();
  }
  now_ = until;
}

int TFakeClock::ActiveTimers() const {
  return static_cast<int>(std::count_if(timers_.begin(), timers_.end(), [](auto* t) { return t->active_; }));
}

}  // namespace pelnor::testing
