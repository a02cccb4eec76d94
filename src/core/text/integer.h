#pragma once

// Whole decimal numbers read from text: one parser, and one named rule for
// each kind of text the program reads a number from. Every rule wants at
// least one decimal digit and nothing but digits between the sign and the
// end (no base prefix, no fraction, no group separator), within its range;
// the rules differ in the blanks and the signs they let stand around them.

#include <climits>
#include <optional>
#include <string_view>

namespace pelnor {

// What may stand around the digits.
enum class IntegerBlanks {
  kNone,                  // nothing
  kLeadingSpaces,         // spaces before them
  kLeadingSpacesAndTabs,  // spaces and tabs before them
  kAround,                // any byte up to 0x20 before and after them
};

// Which sign may lead the digits.
enum class IntegerSign {
  kNone,
  kMinus,
  kPlusOrMinus,
};

struct IntegerRule {
  IntegerBlanks Blanks = IntegerBlanks::kNone;
  IntegerSign Sign = IntegerSign::kPlusOrMinus;
  long long Min = INT_MIN;
  long long Max = INT_MAX;
};

// "12", "-1", "+5" and nothing around them: the number fields of an
// account record, the words of a server reply.
inline constexpr IntegerRule kSignedNumber{IntegerBlanks::kNone, IntegerSign::kPlusOrMinus};
// The same after spaces: a number typed into a dialog, the mode of a
// uuencode "begin" line.
inline constexpr IntegerRule kNumberAfterSpaces{IntegerBlanks::kLeadingSpaces,
                                                IntegerSign::kPlusOrMinus};
// The same after spaces and tabs: an INI value.
inline constexpr IntegerRule kNumberAfterBlanks{IntegerBlanks::kLeadingSpacesAndTabs,
                                                IntegerSign::kPlusOrMinus};
// Blanks and control characters on both sides, "-" but no "+": the POP3
// port text.
inline constexpr IntegerRule kNumberInBlanks{IntegerBlanks::kAround, IntegerSign::kMinus};
// Digits only, 0 to 255: a part of a dotted IPv4 address.
inline constexpr IntegerRule kOctet{IntegerBlanks::kNone, IntegerSign::kNone, 0, 255};

// The number `text` holds by `rule`; nothing when it holds anything else or
// a number outside the rule's range.
std::optional<int> ParseInteger(std::string_view text, const IntegerRule& rule);

}  // namespace pelnor
