#pragma once

// The wrapping rule done literally: start from the whole rest of the text
// and drop one character from its end until it fits, measuring each
// candidate. Quadratic per piece; the reference the fast WrapText must match
// and the peer it is benchmarked against. Characters are read from the front
// (CharEnds), and a character wider than the width is a piece alone.

#include <string_view>
#include <vector>

#include "core/print/text_wrap.h"

namespace pelnor::test {

inline std::vector<std::string_view> LiteralWrapText(std::string_view text, int width,
                                                     const TextMeasure& measure) {
  if (text.empty()) return {text};
  std::vector<std::size_t> ends = CharEnds(text);
  std::vector<std::string_view> pieces;
  std::size_t first = 0;
  while (first < ends.size()) {
    std::size_t start = first == 0 ? 0 : ends[first - 1];
    std::size_t last = ends.size() - 1;  // index of the candidate's last character
    while (last > first && measure(text.substr(start, ends[last] - start)) > width) --last;
    pieces.push_back(text.substr(start, ends[last] - start));
    first = last + 1;
  }
  return pieces;
}

}  // namespace pelnor::test
