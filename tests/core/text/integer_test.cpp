#include "core/text/integer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace pelnor {
namespace {

struct Row {
  const char* name;
  IntegerRule rule;
  std::string text;
  std::optional<int> value;
};

constexpr IntegerRule kMinutes{IntegerBlanks::kLeadingSpaces, IntegerSign::kPlusOrMinus, 0, 35791};

TEST(ParseInteger, EachRuleTakesItsOwnBlanksSignsAndRange) {
  const Row rows[] = {
      // Record fields and reply words: a sign and digits, nothing else.
      {"signed: zero", kSignedNumber, "0", 0},
      {"signed: digits", kSignedNumber, "12", 12},
      {"signed: minus", kSignedNumber, "-1", -1},
      {"signed: plus", kSignedNumber, "+5", 5},
      {"signed: leading zeros", kSignedNumber, "00000000000000000007", 7},
      {"signed: largest", kSignedNumber, "2147483647", 2147483647},
      {"signed: smallest", kSignedNumber, "-2147483648", -2147483647 - 1},
      {"signed: one past the largest", kSignedNumber, "2147483648", std::nullopt},
      {"signed: one past the smallest", kSignedNumber, "-2147483649", std::nullopt},
      {"signed: far too large", kSignedNumber, "99999999999999999999999", std::nullopt},
      {"signed: empty", kSignedNumber, "", std::nullopt},
      {"signed: plus alone", kSignedNumber, "+", std::nullopt},
      {"signed: minus alone", kSignedNumber, "-", std::nullopt},
      {"signed: two signs", kSignedNumber, "+-1", std::nullopt},
      {"signed: fraction", kSignedNumber, "1.0", std::nullopt},
      {"signed: blank before", kSignedNumber, " 1", std::nullopt},
      {"signed: blank after", kSignedNumber, "1 ", std::nullopt},
      {"signed: letters", kSignedNumber, "abc", std::nullopt},
      {"signed: hexadecimal", kSignedNumber, "0x10", std::nullopt},
      {"signed: full-width digit", kSignedNumber, "\x82\x50", std::nullopt},
      // Typed into a dialog: spaces may lead, nothing else.
      {"spaces: spaces and minus", kNumberAfterSpaces, "  -7", -7},
      {"spaces: plus", kNumberAfterSpaces, "+3", 3},
      {"spaces: tab before", kNumberAfterSpaces, "\t5", std::nullopt},
      {"spaces: blank after", kNumberAfterSpaces, "1 ", std::nullopt},
      {"spaces: blank after the sign", kNumberAfterSpaces, "- 5", std::nullopt},
      {"spaces: spaces only", kNumberAfterSpaces, "   ", std::nullopt},
      // An INI value: spaces and tabs may lead.
      {"blanks: tab and space before", kNumberAfterBlanks, "\t 42", 42},
      {"blanks: blank after", kNumberAfterBlanks, "12 ", std::nullopt},
      {"blanks: two signs", kNumberAfterBlanks, "+-5", std::nullopt},
      // The port text: trimmed of blanks and control bytes, no plus.
      {"port: line end and blanks", kNumberInBlanks, " 995\r\n", 995},
      {"port: control byte before", kNumberInBlanks, "\x01 110", 110},
      {"port: minus", kNumberInBlanks, "-1", -1},
      {"port: plus", kNumberInBlanks, "+995", std::nullopt},
      {"port: blanks only", kNumberInBlanks, " \t", std::nullopt},
      // A part of a dotted address: digits only, 0 to 255.
      {"octet: largest", kOctet, "255", 255},
      {"octet: past the largest", kOctet, "256", std::nullopt},
      {"octet: minus", kOctet, "-4", std::nullopt},
      {"octet: plus", kOctet, "+1", std::nullopt},
      // A range narrower than an int, as the check interval's minutes have.
      {"range: upper end", kMinutes, "35791", 35791},
      {"range: past the upper end", kMinutes, "35792", std::nullopt},
      {"range: below the lower end", kMinutes, "-1", std::nullopt},
      {"range: minus zero", kMinutes, "-0", 0},
  };
  for (const Row& row : rows) EXPECT_EQ(ParseInteger(row.text, row.rule), row.value) << row.name;
}

}  // namespace
}  // namespace pelnor
