#include "core/print/clock.h"

#include <ctime>

namespace pelnor {

int DayOfWeek(int year, int month, int day) {
  // Sakamoto's method.
  static const int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  int dow = (year + year / 4 - year / 100 + year / 400 + kOffset[month - 1] + day) % 7;
  return dow < 0 ? dow + 7 : dow;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

DateTime LocalClock::Now() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

const Clock& DefaultClock() {
  static const LocalClock clock;
  return clock;
}

}  // namespace pelnor
