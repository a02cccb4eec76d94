#pragma once

// Reading the Date header of a mail.

#include <optional>
#include <string_view>

#include "core/print/clock.h"

namespace pelnor {

// Reads an RFC 5322 date-time (also the obsolete forms: no day name, one-
// digit day, two- or three-digit year, no seconds, comments, any zone text)
// and returns the date and time as the sender wrote them: the zone is not
// applied, so a printout shows the sender's wall-clock time. Returns nothing
// for text that holds no valid date and time.
std::optional<DateTime> ParseMailDate(std::string_view text);

}  // namespace pelnor
