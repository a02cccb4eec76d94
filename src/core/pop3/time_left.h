#pragma once

// The connection layer's limits are deadlines on the steady clock; poll
// wants the milliseconds left, rounded up so that no wait ends early.

#include <algorithm>
#include <chrono>
#include <climits>

namespace pelnor {

inline int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
  return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

}  // namespace pelnor
