#pragma once

// Progress reporting of the attachment decoders: a percentage checked after
// each decoded group or line, reported once it reaches the next step.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace pelnor {

// num / den rounded to the nearest integer, halves to even; den > 0.
std::uint16_t RoundPercent(std::uint64_t num, std::uint64_t den);

class TDecodeProgress {
 public:
  using TReport = std::function<void(std::uint16_t)>;

  // `last` is the parser's last computed percentage, kept across decoders.
  TDecodeProgress(std::uint16_t step, std::uint16_t& last, const TReport& report)
      : step_(step), next_(step), last_(last), report_(report) {}

  // `checks` checks in a row at `percent` (one per group completed on a
  // line): each reports when the percentage has reached the next step, and
  // raises that step once.
  void Check(std::uint16_t percent, std::size_t checks);

  // The closing report: 100 unless the last percentage already was.
  void Finish();

 private:
  std::uint32_t step_;
  std::uint32_t next_;
  std::uint16_t& last_;
  const TReport& report_;
};

}  // namespace pelnor
