#pragma once

#include <cstdint>

namespace pelnor {

enum class MouseButton { mbLeft, mbRight, mbMiddle };

enum class Shift : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};

// A set of Shift values.
class ShiftState {
 public:
  constexpr ShiftState() = default;
  constexpr ShiftState(Shift s) : bits_(static_cast<std::uint8_t>(s)) {}

  constexpr bool Contains(Shift s) const { return (bits_ & static_cast<std::uint8_t>(s)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(ShiftState, ShiftState) = default;

 private:
  std::uint8_t bits_ = 0;
};

}  // namespace pelnor
