#include "core/text/integer.h"

namespace pelnor {
namespace {

bool IsControlOrSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view WithoutBlanks(std::string_view text, IntegerBlanks blanks) {
  auto dropLeading = [&text](auto isBlank) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  };
  switch (blanks) {
    case IntegerBlanks::kNone:
      break;
    case IntegerBlanks::kLeadingSpaces:
      dropLeading([](char c) { return c == ' '; });
      break;
    case IntegerBlanks::kLeadingSpacesAndTabs:
      dropLeading([](char c) { return c == ' ' || c == '\t'; });
      break;
    case IntegerBlanks::kAround:
      dropLeading(IsControlOrSpace);
      while (!text.empty() && IsControlOrSpace(text.back())) text.remove_suffix(1);
      break;
  }
  return text;
}

bool IsAllowedSign(char c, IntegerSign sign) {
  if (c == '-') return sign != IntegerSign::kNone;
  return c == '+' && sign == IntegerSign::kPlusOrMinus;
}

}  // namespace

std::optional<int> ParseInteger(std::string_view text, const IntegerRule& rule) {
  text = WithoutBlanks(text, rule.Blanks);
  bool negative = false;
  if (!text.empty() && IsAllowedSign(text.front(), rule.Sign)) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // The magnitude stops at the rule's bound, so it never overflows.
  const long long bound = negative ? -rule.Min : rule.Max;
  long long magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > bound) return std::nullopt;
  }
  const long long value = negative ? -magnitude : magnitude;
  if (value < rule.Min || value > rule.Max) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace pelnor
