#include "core/mime/body_progress.h"

namespace pelnor {

std::uint16_t RoundPercent(std::uint64_t num, std::uint64_t den) {
  std::uint64_t q = num / den;
  const std::uint64_t twice = (num % den) * 2;
  if (twice > den || (twice == den && q % 2 == 1)) ++q;
  return static_cast<std::uint16_t>(q);
}

DecodeProgress::DecodeProgress(std::uint16_t step, std::size_t lines, std::uint16_t& last,
                                 const Report& report)
    : lines_(lines), step_(step), last_(last), report_(report) {
  RaiseStep(step);
}

void DecodeProgress::RaiseStep(std::uint32_t next) {
  next_ = next;
  if (next_ == 0 || lines_ == 0) {
    threshold_ = 0;
    return;
  }
  // round(n / lines) >= next  <=>  2n > (2 next - 1) lines, or equal with
  // next even (the half rounds to the even next).
  const std::uint64_t bound = (2ull * next_ - 1) * lines_;
  threshold_ = bound / 2 + 1;
  if (bound % 2 == 0 && next_ % 2 == 0) threshold_ = bound / 2;
}

void DecodeProgress::Check(std::size_t line, std::size_t checks) {
  if (checks == 0) return;
  checked_ = true;
  lastLine_ = line;
  // Later checks on the same line see the same percentage, so they can only
  // report while it still reaches the raised step.
  const std::uint64_t scaled = static_cast<std::uint64_t>(line) * 100;
  for (; checks > 0 && scaled >= threshold_; --checks) {
    const std::uint16_t percent = RoundPercent(scaled, lines_);
    if (report_) report_(percent);
    RaiseStep(next_ + step_);
  }
}

void DecodeProgress::Finish() {
  if (checked_) last_ = RoundPercent(lastLine_ * 100, lines_);
  if (last_ < 100 && report_) report_(100);
}

}  // namespace pelnor
