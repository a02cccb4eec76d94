#pragma once

#include "core/print/clock.h"

namespace pelnor::test {

// A clock that always tells the time it was given.
class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime now) : Time(now) {}
  DateTime Now() const override { return Time; }
  DateTime Time;
};

}  // namespace pelnor::test
