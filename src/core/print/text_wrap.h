#pragma once

// Wrapping a Shift_JIS text into pieces that fit a width.

#include <functional>
#include <string_view>
#include <vector>

namespace pelnor {

using TextMeasure = std::function<int(std::string_view)>;

// True for a Shift_JIS lead byte (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Byte offsets where the characters of `text` end, read from the front: a
// lead byte and the byte after it are one character; a lead byte at the very
// end stands alone.
std::vector<std::size_t> SjisCharEnds(std::string_view text);

// Splits `text` into pieces: each piece is the longest run of whole
// characters, from where the previous one ended, whose measured width does
// not exceed `width`. A character wider than `width` on its own is a piece by
// itself (it is clipped when drawn), so every piece holds at least one
// character. An empty text gives one empty piece.
//
// Widths are measured on whole candidate pieces (kerning counts), found by a
// galloping and then binary search, so a long line costs O(n log p)
// measured bytes for pieces of p bytes. Widths are assumed not to shrink
// when a character is added.
std::vector<std::string_view> WrapText(std::string_view text, int width,
                                       const TextMeasure& measure);

}  // namespace pelnor
