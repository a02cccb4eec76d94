// ISO-2022-JP as Windows and phones send it, into CP932 bytes: JIS X 0208
// with the vendor rows (NEC row 13, the IBM extensions) through the same
// arithmetic as JisToSjis, and half-width katakana by ESC "(I" or SO / SI.

#include "core/text/japanese_code.h"

namespace pelnor {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;  // half-width katakana follow
constexpr unsigned char kShiftIn = 0x0F;   // back to the set before
constexpr char kGeta[] = "\x81\xAC";      // 〓, for what CP932 cannot hold

enum class Set { Ascii, Kanji, Katakana, Supplementary };

// The set an escape sequence at `text[i]` selects, and its length; length 0
// for an ESC that starts no sequence we know (it is then dropped alone).
std::size_t ReadEscape(std::string_view text, std::size_t i, Set& set) {
  const std::string_view rest = text.substr(i + 1);
  auto starts = [&](std::string_view s) { return rest.substr(0, s.size()) == s; };
  if (starts("$B") || starts("$@")) return set = Set::Kanji, 3;
  if (starts("$(Q") || starts("$(O") || starts("$(B")) return set = Set::Kanji, 4;
  if (starts("$(D")) return set = Set::Supplementary, 4;
  if (starts("(I")) return set = Set::Katakana, 3;
  if (starts("(B") || starts("(J") || starts("(H")) return set = Set::Ascii, 3;
  return 1;
}

}  // namespace

std::string WindowsJisToCp932(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  Set set = Set::Ascii;
  Set beforeShiftOut = Set::Ascii;
  bool shiftedOut = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kEsc) {
      i += ReadEscape(text, i, set);
      shiftedOut = false;
      continue;
    }
    if (c == kShiftOut || c == kShiftIn) {
      if (c == kShiftOut && !shiftedOut) beforeShiftOut = set;
      shiftedOut = c == kShiftOut;
      set = shiftedOut ? Set::Katakana : beforeShiftOut;
      ++i;
      continue;
    }
    const bool graphic = c >= 0x21 && c <= 0x7E;
    if (!graphic || set == Set::Ascii) {
      out += static_cast<char>(c);
      ++i;
    } else if (set == Set::Katakana) {
      out += static_cast<char>(c <= 0x5F ? c | 0x80 : c);
      ++i;
    } else if (i + 1 >= text.size()) {
      out += kGeta;  // half a character at the very end
      ++i;
    } else if (set == Set::Supplementary) {
      out += kGeta;
      i += 2;
    } else {
      const BytePair pair = JisPairToSjis(c, static_cast<unsigned char>(text[i + 1]));
      out += static_cast<char>(pair.first);
      out += static_cast<char>(pair.second);
      i += 2;
    }
  }
  return out;
}

}  // namespace pelnor
