#pragma once

#include <string>
#include <string_view>

namespace pelnor {

// Every line of User.inf and of the history files is stored as 8 decimal
// digits per byte: the byte times six, zero-padded.
std::string EncodeDigits(std::string_view text);

// Reverses EncodeDigits, including its handling of a length that is not a
// multiple of 8 (the group count is rounded to nearest, ties to even, and a
// last shorter group is decoded like a full one). Expects IsDigitLine(digits);
// throws StoreError for a group that holds anything but digits.
std::string DecodeDigits(std::string_view digits);

// True when the line holds decimal digits only (an empty line counts).
bool IsDigitLine(std::string_view line);

}  // namespace pelnor
