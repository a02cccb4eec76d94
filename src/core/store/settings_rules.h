#pragma once

// The rules behind the settings dialog, apart from its widgets: reading the
// numbers typed into it and changing the account list the way its handlers
// do. Plain C++; texts are Shift_JIS.

#include <optional>
#include <string>
#include <string_view>

#include "core/store/account_list.h"

namespace pelnor {

// A whole number as the dialog accepts it: blanks before it, an optional
// sign, decimal digits, nothing after, within 32 bits. Nothing otherwise.
std::optional<int> ParseWholeNumber(std::string_view text);

// The check interval typed in minutes, in milliseconds. A negative number,
// or one whose milliseconds leave 32 bits, is refused like a non-number:
// the timer would otherwise run backwards or wrap round.
std::optional<int> IntervalFromMinutes(std::string_view text);

// The interval the timer runs with, from the one stored: 0 stays 0 (no
// timed checks); anything else below a minute becomes a minute, as the
// dialog offers whole minutes and a server is not to be polled in a loop.
int TimedCheckInterval(int storedMs);

// Minutes shown for an interval: whole minutes, rounded toward zero.
int MinutesFromInterval(int ms);

// A check mark changed in the account list: every record whose alias is
// `alias` gets field 2 "1" (checked) or "0", the rest of the record kept.
void SetAccountChecked(AccountList& list, const std::string& alias, bool checked);

}  // namespace pelnor
