#pragma once

// Local wall-clock time as the program formats it, and the clock it comes
// from. Tests hand in a fixed clock; the program uses LocalClock.

namespace pelnor {

struct DateTime {
  int Year = 0;
  int Month = 1;   // 1-12
  int Day = 1;     // 1-31
  int Hour = 0;    // 0-23
  int Minute = 0;
  int Second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// 0 = Sunday ... 6 = Saturday, proleptic Gregorian calendar.
int DayOfWeek(int year, int month, int day);

// Number of days of `month` in `year`.
int DaysInMonth(int year, int month);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;  // local time
};

class LocalClock : public Clock {
 public:
  DateTime Now() const override;
};

// One system clock for whoever needs no other.
const Clock& DefaultClock();

}  // namespace pelnor
