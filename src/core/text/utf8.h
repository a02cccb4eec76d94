#pragma once

// UTF-8 basics on byte strings: validity, character lengths, encoding one
// code point.

#include <cstddef>
#include <string>
#include <string_view>

namespace pelnor {

// True when all of `text` is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The length of the well-formed UTF-8 character at the start of `rest`; 0
// when `rest` is empty or starts with a byte that begins none.
std::size_t Utf8CharLength(std::string_view rest);

// The code point of the well-formed character of `length` bytes at `p`.
char32_t Utf8Decode(const char* p, std::size_t length);

void AppendUtf8(std::string& out, char32_t codePoint);

// U+FFFD, what undecodable input becomes.
inline constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";

}  // namespace pelnor
