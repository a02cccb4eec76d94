#include "mime/jconvert.h"

#include "mime/jconvert_escape.h"

namespace pelnor {

std::string JisToSjis(std::string_view text) {
  const std::size_t n = text.size();
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  std::string out;
  out.resize(n + 1);  // pairs keep their size; only an odd last byte grows
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  TJisMode mode = TJisMode::Single;
  std::size_t i = 0;
  while (i < n) {
    if (in[i] == kEsc) {
      if (n - i < kEscapeLength) break;  // cut-off sequence: nothing follows
      mode = ModeAfterEscape(in[i + 1], mode);
      i += kEscapeLength;
    } else if (mode == TJisMode::Single) {
      const std::size_t run = SingleByteRun(in + i, n - i);
      std::memcpy(o, in + i, run);
      o += run;
      i += run;
    } else {
      const unsigned char j2 = i + 1 < n ? in[i + 1] : 0;
      const TBytePair s = JisPairToSjis(in[i], j2);
      *o++ = s.first;
      *o++ = s.second;
      i += 2;
    }
  }
  out.resize(o - reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

std::string JisToEuc(std::string_view text) {
  const std::size_t n = text.size();
  std::string out;
  out.reserve(n);
  TJisMode mode = TJisMode::Single;
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
        mode == TJisMode::Double && graphic ? c | 0x80 : c));
    ++i;
  }
  return out;
}

}  // namespace pelnor
