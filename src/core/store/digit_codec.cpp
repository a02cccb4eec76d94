#include "core/store/digit_codec.h"

#include "core/store/store_error.h"

namespace pelnor {
namespace {

constexpr size_t kGroup = 8;

// length / 8 rounded to the nearest whole number, an exact tie (remainder 4)
// going to the even neighbour.
size_t GroupCount(size_t length) {
  size_t whole = length / kGroup;
  size_t rest = length % kGroup;
  if (rest > kGroup / 2) return whole + 1;
  if (rest == kGroup / 2 && whole % 2 == 1) return whole + 1;
  return whole;
}

unsigned long GroupValue(std::string_view group) {
  unsigned long v = 0;
  for (char c : group) {
    if (c < '0' || c > '9') throw StoreError("digit line holds a non-digit");
    v = v * 10 + static_cast<unsigned long>(c - '0');
  }
  return v;
}

}  // namespace

std::string EncodeDigits(std::string_view text) {
  std::string out;
  out.reserve(text.size() * kGroup);
  for (unsigned char b : text) {
    std::string number = std::to_string(6u * b);
    out.append(kGroup - number.size(), '0');
    out += number;
  }
  return out;
}

std::string DecodeDigits(std::string_view digits) {
  size_t groups = GroupCount(digits.size());
  std::string out;
  out.reserve(groups);
  for (size_t i = 0; i < groups; ++i) {
    unsigned long v = GroupValue(digits.substr(i * kGroup, kGroup));
    // round(v / 3): v / 3 never ends in exactly one half, so this is exact.
    unsigned long third = (v + 1) / 3;
    out += static_cast<char>((third >> 1) & 0xFF);
  }
  return out;
}

bool IsDigitLine(std::string_view line) {
  for (char c : line)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace pelnor
