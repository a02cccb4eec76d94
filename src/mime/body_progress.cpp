#include "mime/body_progress.h"

namespace pelnor {

std::uint16_t RoundPercent(std::uint64_t num, std::uint64_t den) {
  std::uint64_t q = num / den;
  const std::uint64_t twice = (num % den) * 2;
  if (twice > den || (twice == den && q % 2 == 1)) ++q;
  return static_cast<std::uint16_t>(q);
}

void TDecodeProgress::Check(std::uint16_t percent, std::size_t checks) {
  if (checks == 0) return;
  last_ = percent;
  // Later checks on the same line see the same percentage, so they can only
  // report while it still reaches the raised step.
  for (; checks > 0 && percent >= next_; --checks) {
    if (report_) report_(percent);
    next_ += step_;
  }
}

void TDecodeProgress::Finish() {
  if (last_ < 100 && report_) report_(100);
}

}  // namespace pelnor
