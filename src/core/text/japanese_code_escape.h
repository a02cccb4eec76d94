#pragma once

// Reading and writing the ISO-2022-JP escape sequences, shared by the
// converters.

#include <cstddef>
#include <cstring>
#include <string_view>

namespace pelnor::jis {

constexpr unsigned char kEsc = 0x1B;
constexpr std::size_t kEscapeLength = 3;  // every ESC is read as ESC + 2 bytes
constexpr std::string_view kEnterTwoByte = "\x1B$B";
constexpr std::string_view kLeaveTwoByte = "\x1B(J";

enum class JisMode { Single, Double };

// ESC "$" x enters two-byte mode, ESC "(" x leaves it (so ESC "(I" katakana
// reads as ASCII); anything else changes nothing.
inline JisMode ModeAfterEscape(unsigned char intermediate, JisMode mode) {
  if (intermediate == '$') return JisMode::Double;
  if (intermediate == '(') return JisMode::Single;
  return mode;
}

// Length of the stretch up to the next ESC (or the end).
inline std::size_t SingleByteRun(const unsigned char* p, std::size_t n) {
  const void* esc = std::memchr(p, kEsc, n);
  return esc ? static_cast<const unsigned char*>(esc) - p : n;
}

}  // namespace pelnor::jis
