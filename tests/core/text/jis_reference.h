#pragma once

// A plain byte-by-byte reading of the JIS to Shift_JIS rules, which the
// block-wise JisToSjis is held to by the tests and the fuzzer.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/text/japanese_code.h"

namespace pelnor {

// ESC + 2 bytes switch the mode, single bytes are copied, two-byte mode
// pairs (a lone last byte with 0).
inline std::string ReferenceJisToSjis(std::string_view text) {
  std::string out;
  bool twoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0x1B) {
      if (i + 2 >= text.size()) break;
      if (text[i + 1] == '$') twoByte = true;
      if (text[i + 1] == '(') twoByte = false;
      i += 3;
    } else if (!twoByte) {
      out += text[i++];
    } else {
      const auto c2 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
      const BytePair p = JisPairToSjis(c, c2);
      out += static_cast<char>(p.first);
      out += static_cast<char>(p.second);
      i += 2;
    }
  }
  return out;
}

}  // namespace pelnor
