#pragma once

// Wrapping a UTF-8 text into pieces that fit a width.

#include <functional>
#include <string_view>
#include <vector>

namespace pelnor {

using TextMeasure = std::function<int(std::string_view)>;

// Byte offsets where the characters of the UTF-8 `text` end, read from the
// front. A character is a code point together with what belongs to it on
// paper: combining marks, variation selectors, emoji skin tones and the
// code points joined to it by a zero-width joiner (👨‍👩‍👧 is one). A byte that
// starts no well-formed UTF-8 sequence is a character alone.
std::vector<std::size_t> CharEnds(std::string_view text);

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
