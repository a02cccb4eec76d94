// ISO-2022-JP as Windows and phones send it, into UTF-8 with the Windows
// mapping: JIS X 0208 with the vendor rows (NEC row 13, the IBM extensions)
// through the same arithmetic as JisToSjis and then CP932, and half-width
// katakana by ESC "(I" or SO / SI.

#include "core/text/japanese_code.h"

#include <cstring>

#include "core/text/cp932_table.h"

namespace pelnor {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;  // half-width katakana follow
constexpr unsigned char kShiftIn = 0x0F;   // back to the set before
constexpr Cp932Char kGeta{{'\xE3', '\x80', '\x93'}, 3};         // 〓: what CP932 cannot hold
constexpr Cp932Char kReplacement{{'\xEF', '\xBF', '\xBD'}, 3};  // U+FFFD

enum class Set { Ascii, Kanji, Katakana, Supplementary };

bool IsGraphic(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

// The set an escape sequence at `text[i]` selects, and its length; length 1
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

// A byte CP932 reads alone; U+FFFD when it reads none so.
const Cp932Char& SingleByte(const Cp932Table& table, unsigned char c) {
  const Cp932Char& single = table.Single(c);
  return single.length ? single : kReplacement;
}

// An 8-bit byte in ISO-2022-JP text: half-width katakana as some mailers
// send them, or Shift_JIS in a mail that says ISO-2022-JP. Returns the
// number of bytes read.
std::size_t EightBitChar(const Cp932Table& table, const unsigned char* in, std::size_t left,
                         const Cp932Char*& c) {
  c = &table.Single(in[0]);
  if (c->length) return 1;
  if (left > 1 && table.Pair(in[0], in[1]).length) {
    c = &table.Pair(in[0], in[1]);
    return 2;
  }
  c = &kReplacement;
  return 1;
}

// A JIS X 0208 pair (vendor rows included) as CP932 reads its Shift_JIS
// form; U+FFFD for a pair CP932 does not assign.
const Cp932Char& KanjiPair(const Cp932Table& table, unsigned char j1, unsigned char j2) {
  const Cp932Char& c = j2 < 0x80 ? table.Jis(j1, j2) : kReplacement;
  return c.length ? c : kReplacement;
}

}  // namespace

std::string WindowsJisToUtf8(std::string_view text) {
  // A byte gives at most three: the bound is written into, then cut.
  std::string out(text.size() * 3 + 3, '\0');
  char* o = out.data();
  auto put = [&o](const Cp932Char& c) {
    std::memcpy(o, c.bytes, 3);
    o += c.length;
  };
  const Cp932Table& table = Cp932Table::Get();
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  Set set = Set::Ascii;
  Set beforeShiftOut = Set::Ascii;
  bool shiftedOut = false;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const unsigned char c = in[i];
    // The two common cases first: a kanji pair, an ASCII byte.
    if (set == Set::Kanji && IsGraphic(c) && i + 1 < n) {
      put(KanjiPair(table, c, in[i + 1]));
      i += 2;
    } else if (set == Set::Ascii && c < 0x80 && c != kEsc && c != kShiftOut && c != kShiftIn) {
      *o++ = static_cast<char>(c);
      ++i;
    } else if (c == kEsc) {
      i += ReadEscape(text, i, set);
      shiftedOut = false;
    } else if (c == kShiftOut || c == kShiftIn) {
      if (c == kShiftOut && !shiftedOut) beforeShiftOut = set;
      shiftedOut = c == kShiftOut;
      set = shiftedOut ? Set::Katakana : beforeShiftOut;
      ++i;
    } else if (c < 0x80 && (!IsGraphic(c) || set == Set::Ascii)) {
      *o++ = static_cast<char>(c);  // line ends keep their place in every set
      ++i;
    } else if (c >= 0x80) {
      const Cp932Char* eightBit = nullptr;
      i += EightBitChar(table, in + i, text.size() - i, eightBit);
      put(*eightBit);
    } else if (set == Set::Katakana) {
      put(SingleByte(table, c <= 0x5F ? c | 0x80 : c));
      ++i;
    } else if (i + 1 >= text.size()) {
      put(kGeta);  // half a character at the very end
      ++i;
    } else {
      put(set == Set::Supplementary ? kGeta : KanjiPair(table, c, in[i + 1]));
      i += 2;
    }
  }
  out.resize(o - out.data());
  return out;
}

}  // namespace pelnor
