#include "core/store/decimal_number.h"

#include <string>

namespace pelnor {
namespace {

// The value 0.<digits> x 10^exponent; no leading or trailing zero digits, so
// zero has no digits at all.
struct Decimal {
  bool negative = false;
  std::string digits;
  long long exponent = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool TakeSign(std::string_view& s) {
  if (s.empty() || (s.front() != '+' && s.front() != '-')) return false;
  bool minus = s.front() == '-';
  s.remove_prefix(1);
  return minus;
}

// Reads "e[sign]digits"; false when the exponent is malformed.
bool TakeExponent(std::string_view s, long long& exponent) {
  if (s.empty()) return true;
  if (s.front() != 'e' && s.front() != 'E') return false;
  s.remove_prefix(1);
  bool minus = TakeSign(s);
  if (s.empty()) return false;
  long long value = 0;
  for (char c : s) {
    if (!IsDigit(c)) return false;
    if (value < 1000000000) value = value * 10 + (c - '0');  // saturates far out
  }
  exponent = minus ? -value : value;
  return true;
}

std::optional<Decimal> Parse(std::string_view s) {
  s = TrimBlanks(s);
  Decimal d;
  d.negative = TakeSign(s);
  std::string all;  // every mantissa digit, point removed
  long long pointAt = -1;
  size_t i = 0;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      all += s[i];
    } else if (s[i] == '.' && pointAt < 0) {
      pointAt = static_cast<long long>(all.size());
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (all.empty() || !TakeExponent(s.substr(i), exponent)) return std::nullopt;
  if (pointAt < 0) pointAt = static_cast<long long>(all.size());
  size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return Decimal{};  // zero
  size_t last = all.find_last_not_of('0');
  d.digits = all.substr(first, last - first + 1);
  d.exponent = pointAt - static_cast<long long>(first) + exponent;
  return d;
}

int Sign(const Decimal& d) { return d.digits.empty() ? 0 : (d.negative ? -1 : 1); }

}  // namespace

std::optional<int> CompareDecimal(std::string_view a, std::string_view b) {
  std::optional<Decimal> x = Parse(a);
  std::optional<Decimal> y = Parse(b);
  if (!x || !y) return std::nullopt;
  int sx = Sign(*x), sy = Sign(*y);
  if (sx != sy) return sx < sy ? -1 : 1;
  if (sx == 0) return 0;
  int magnitude = 0;
  if (x->exponent != y->exponent) {
    magnitude = x->exponent < y->exponent ? -1 : 1;
  } else {
    int c = x->digits.compare(y->digits);
    magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return sx * magnitude;
}

}  // namespace pelnor
