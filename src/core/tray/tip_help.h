#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelnor {

// Longest tool tip the notification record holds, in bytes.
inline constexpr std::size_t kMaxTipLength = 62;

// The first kMaxTipLength bytes of a Shift_JIS tip. A double-byte character
// that would be cut in half is dropped whole, so the tip never ends in a
// stray lead byte.
std::string TruncateTip(std::string_view tip);

}  // namespace pelnor
