#include "core/text/japanese_code.h"

#include "core/text/japanese_code_escape.h"
#include "core/text/japanese_code_runs.h"

namespace pelnor {

using namespace jis;

std::string JisToSjis(std::string_view text) {
  const std::size_t n = text.size();
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  std::string out;
  out.resize(n + 1);  // pairs keep their size; only a lone last byte grows
  auto* const begin = reinterpret_cast<unsigned char*>(out.data());
  unsigned char* o = begin;
  JisMode mode = JisMode::Single;
  std::size_t i = 0;
  while (i < n) {
    i = mode == JisMode::Single ? CopySingleByteRun(in, n, i, o)
                                 : ConvertTwoByteRun(in, n, i, o);
    if (i >= n) break;
    // At an ESC. A sequence cut off by the end ends the conversion.
    if (n - i < kEscapeLength) break;
    mode = ModeAfterEscape(in[i + 1], mode);
    i += kEscapeLength;
  }
  out.resize(o - begin);
  return out;
}

std::string JisToEuc(std::string_view text) {
  const std::size_t n = text.size();
  std::string out;
  out.reserve(n);
  JisMode mode = JisMode::Single;
  std::size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kEsc) {
      if (n - i < kEscapeLength) break;
      mode = ModeAfterEscape(static_cast<unsigned char>(text[i + 1]), mode);
      i += kEscapeLength;
      continue;
    }
    const bool graphic = c >= 0x21 && c <= 0x7E;
    out.push_back(static_cast<char>(
        mode == JisMode::Double && graphic ? c | 0x80 : c));
    ++i;
  }
  return out;
}

}  // namespace pelnor
