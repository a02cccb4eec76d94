#include "core/print/japanese_date.h"

#include <array>
#include <cstdio>

#include "core/print/mail_date.h"

namespace pelnor {
namespace {

struct Era {
  const char* Name;  // UTF-8
  int Year, Month, Day;
};

// Newest first.
constexpr std::array<Era, 5> kEras = {{
    {"令和", 2019, 5, 1},
    {"平成", 1989, 1, 8},
    {"昭和", 1926, 12, 25},
    {"大正", 1912, 7, 30},
    {"明治", 1868, 1, 1},
}};

constexpr std::array<const char*, 7> kDayNames = {"日", "月", "火", "水",
                                                  "木", "金", "土"};

bool OnOrAfter(const DateTime& t, const Era& era) {
  if (t.Year != era.Year) return t.Year > era.Year;
  if (t.Month != era.Month) return t.Month > era.Month;
  return t.Day >= era.Day;
}

// Era name and year in it; a date before Meiji keeps its Western year.
std::string EraYear(const DateTime& t) {
  for (const Era& era : kEras) {
    if (OnOrAfter(t, era)) return era.Name + std::to_string(t.Year - era.Year + 1);
  }
  return std::to_string(t.Year);
}

}  // namespace

std::string FormatJapaneseDate(const DateTime& t) {
  int hour12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
  return EraYear(t) + "年" + std::to_string(t.Month) + "月" +
                     std::to_string(t.Day) + "日（" +
                     kDayNames[DayOfWeek(t.Year, t.Month, t.Day)] + "）" +
                     (t.Hour < 12 ? "午前" : "午後") + std::to_string(hour12) + "時" +
                     std::to_string(t.Minute) + "分";
}

std::string FormatJapaneseDate(std::string_view dateText) {
  std::optional<DateTime> t = ParseMailDate(dateText);
  return t ? FormatJapaneseDate(*t) : std::string(dateText);
}

std::string FormatDateDirName(const DateTime& t) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d%02d%02d", t.Year % 100, t.Month, t.Day,
                t.Hour, t.Minute);
  return buf;
}

std::string FormatDateDirName(std::string_view dateText, const DateTime& whenUnreadable) {
  return FormatDateDirName(ParseMailDate(dateText).value_or(whenUnreadable));
}

}  // namespace pelnor
