#pragma once

#include <cstdint>

namespace pelnor {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum class TShift : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};

// A set of TShift values.
class TShiftState {
 public:
  constexpr TShiftState() = default;
  constexpr TShiftState(TShift s) : bits_(static_cast<std::uint8_t>(s)) {}

  constexpr bool Contains(TShift s) const { return (bits_ & static_cast<std::uint8_t>(s)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TShiftState, TShiftState) = default;

 private:
  std::uint8_t bits_ = 0;
};

}  // namespace pelnor
