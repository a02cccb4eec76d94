#pragma once

// Every CP932 (Windows Shift_JIS) character in UTF-8, read once from
// iconv's CP932 and then looked up: mail text passes through here, and a
// table is many times faster than asking iconv character by character.

#include <vector>

namespace pelnor {

// A character in UTF-8: at most 3 bytes, since CP932 holds nothing beyond
// U+FFFF. Length 0 marks bytes that form no character.
struct Cp932Char {
  char bytes[3] = {};
  unsigned char length = 0;
};

class Cp932Table {
 public:
  // The one table, made on first use.
  static const Cp932Table& Get();

  // A single byte: ASCII, half-width katakana (0xA1-0xDF) and the few other
  // bytes iconv reads alone; length 0 for a lead byte.
  const Cp932Char& Single(unsigned char byte) const { return single_[byte]; }
  // A lead byte (0x81-0x9F, 0xE0-0xFC) with its trail byte; length 0 when
  // they form no character.
  const Cp932Char& Pair(unsigned char lead, unsigned char trail) const {
    return pair_[(lead << 8) | trail];
  }
  // A JIS X 0208 pair of 7-bit bytes as CP932 reads its Shift_JIS form
  // (JisPairToSjis), so the vendor rows come out as Windows prints them.
  const Cp932Char& Jis(unsigned char j1, unsigned char j2) const {
    return jis_[((j1 & 0x7F) << 7) | (j2 & 0x7F)];
  }

 private:
  Cp932Table();

  std::vector<Cp932Char> single_;
  std::vector<Cp932Char> pair_;
  std::vector<Cp932Char> jis_;
};

}  // namespace pelnor
