#pragma once

// The sending date as the printout shows it and as attachment folders are
// named. Both read the Date header with ParseMailDate and show the sender's
// wall-clock time (the zone is not applied).

#include <string>
#include <string_view>

#include "core/print/clock.h"

namespace pelnor {

// "平成16年12月25日（土）午後3時29分": era, year in the era, month, day, day
// name, 午前/午後, hour on the 12-hour clock, minutes; UTF-8.
std::string FormatJapaneseDate(const DateTime& t);

// As above for a Date header text; a text that holds no readable date comes
// back unchanged, so the printout still shows what the sender wrote.
std::string FormatJapaneseDate(std::string_view dateText);

// "0412251529": yymmddhhmm of `t`.
std::string FormatDateDirName(const DateTime& t);

// As above for a Date header text; an unreadable one is named after
// `whenUnreadable` (the local time the message was retrieved).
std::string FormatDateDirName(std::string_view dateText, const DateTime& whenUnreadable);

}  // namespace pelnor
