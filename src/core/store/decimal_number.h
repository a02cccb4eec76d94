#pragma once

#include <optional>
#include <string_view>

namespace pelnor {

// Compares two texts read as decimal numbers with "." as the decimal point
// (blanks around, a sign and an "e" exponent allowed), exactly and without
// the locale, so "1.40" equals "1.4" and nothing is lost to binary fractions.
// Returns <0, 0 or >0; nothing when either text is not a decimal number.
std::optional<int> CompareDecimal(std::string_view a, std::string_view b);

}  // namespace pelnor
