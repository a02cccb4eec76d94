// ISO-2022-JP as Windows and phones send it, into CP932 bytes: JIS X 0208
// with the vendor rows (NEC row 13, the IBM extensions) through the same
// arithmetic as JisToSjis, and half-width katakana by ESC "(I" or SO / SI.

#include "core/text/japanese_code.h"

#include <algorithm>
#include <cstring>

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

bool IsGraphic(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

// True for text JisToSjis reads the same way, only faster: nothing but
// ESC "$B", "$@", "(B" and "(J", whole pairs of graphic bytes in two-byte
// mode, and no SO or SI. Almost all mail is such text.
bool IsPlainJis(std::string_view text) {
  if (std::memchr(text.data(), kShiftOut, text.size()) ||
      std::memchr(text.data(), kShiftIn, text.size()))
    return false;
  bool twoByte = false;
  std::size_t i = text.find(kEsc);
  if (i == std::string_view::npos) return true;
  while (i < text.size()) {
    const std::string_view sequence = text.substr(i + 1, 2);
    if (sequence == "$B" || sequence == "$@") {
      twoByte = true;
    } else if (sequence == "(B" || sequence == "(J") {
      twoByte = false;
    } else {
      return false;
    }
    i += 3;
    const std::size_t next = std::min(text.find(kEsc, i), text.size());
    if (twoByte) {
      if ((next - i) % 2 != 0) return false;
      const auto* run = reinterpret_cast<const unsigned char*>(text.data());
      bool graphic = true;
      for (std::size_t k = i; k < next; ++k) graphic &= IsGraphic(run[k]);
      if (!graphic) return false;
    }
    i = next;
  }
  return true;
}

}  // namespace

std::string WindowsJisToCp932(std::string_view text) {
  if (IsPlainJis(text)) return JisToSjis(text);
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
    if (!IsGraphic(c) || set == Set::Ascii) {
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
