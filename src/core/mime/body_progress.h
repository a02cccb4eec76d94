#pragma once

// Progress reporting of the attachment decoders: a percentage checked after
// each decoded group or line, reported once it reaches the next step.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace pelnor {

// num / den rounded to the nearest integer, halves to even; den > 0.
std::uint16_t RoundPercent(std::uint64_t num, std::uint64_t den);

class DecodeProgress {
 public:
  using Report = std::function<void(std::uint16_t)>;

  // `lines` is the number of lines the percentages are taken of; `last` is
  // the parser's last computed percentage, kept across decoders.
  DecodeProgress(std::uint16_t step, std::size_t lines, std::uint16_t& last,
                  const Report& report);

  // `checks` checks in a row at the percentage line × 100 / lines (one per
  // group completed on a line): each reports when the percentage has
  // reached the next step, and raises that step once.
  void Check(std::size_t line, std::size_t checks);

  // Stores the last computed percentage and sends the closing report: 100
  // unless the last percentage already was.
  void Finish();

 private:
  void RaiseStep(std::uint32_t next);

  std::uint64_t lines_;
  std::uint32_t step_;
  std::uint32_t next_ = 0;
  // Smallest line × 100 whose percentage rounds to next_ or more, so most
  // checks cost one comparison instead of a division.
  std::uint64_t threshold_ = 0;
  std::uint64_t lastLine_ = 0;
  bool checked_ = false;
  std::uint16_t& last_;
  const Report& report_;
};

}  // namespace pelnor
