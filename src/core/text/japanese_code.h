#pragma once

// Japanese code detection and conversion between ISO-2022-JP ("JIS"),
// Shift_JIS and EUC-JP, on raw bytes. Mail text is read into UTF-8 through
// CP932 (see text_decode.h); the stored files stay Shift_JIS.
// Nothing here fails: unknown bytes are copied or transformed arithmetically.

#include <cstddef>
#include <string>
#include <string_view>

namespace pelnor {

// Code numbers returned by DetectCode and taken as ConvertCode's target.
enum JapaneseCode : int {
  jcAscii = 0,      // 7-bit text without ESC "$B" / ESC "$@"
  jcBinary = 1,     // binary data
  jcJis = 2,        // ISO-2022-JP, two-byte mode entered by ESC "$B"
  jcJisOld = 3,     // ISO-2022-JP, two-byte mode entered by ESC "$@"
  jcEuc = 4,        // EUC-JP
  jcSjis = 5,       // Shift_JIS
  jcEucOrSjis = 6,  // EUC-JP or Shift_JIS, not decided
};

// One two-byte character (a JIS X 0208 pair or its Shift_JIS form).
struct BytePair {
  unsigned char first = 0;
  unsigned char second = 0;
  friend bool operator==(const BytePair&, const BytePair&) = default;
};

// Which byte layout HankakuToJis reads half-width katakana in.
enum HankakuForm : int {
  hkSjis = 0,  // the single byte 0xA1-0xDF
  hkEuc = 1,   // 0x8E followed by that byte
};

// Guesses the code of `text`. The first decisive byte settles it; only the
// first 512 bytes are scanned for binary data.
int DetectCode(std::string_view text);

// Converts `text` to the code `target` (jcSjis, jcJis or jcEuc). Text that
// is ASCII, binary, undecided (jcEucOrSjis) or already in the target code,
// and any other target, come back unchanged.
std::string ConvertCode(std::string_view text, int target);

std::string JisToSjis(std::string_view text);
std::string EucToSjis(std::string_view text);
std::string SjisToJis(std::string_view text);
std::string EucToJis(std::string_view text);
std::string JisToEuc(std::string_view text);
std::string SjisToEuc(std::string_view text);

// ISO-2022-JP of mail into UTF-8 as Windows reads it (each pair through
// its Shift_JIS form and CP932, so vendor rows and the Windows mapping are
// kept). Beyond JisToSjis it reads half-width katakana (ESC "(I", SO / SI)
// and ESC "$(Q" / "$(O" (taken as JIS X 0208), gives "〓" for JIS X 0212
// (ESC "$(D"), which CP932 lacks, and U+FFFD for a pair CP932 does not
// assign, and keeps CR and LF as line ends in every mode.
std::string WindowsJisToUtf8(std::string_view text);

// The arithmetic mapping between a JIS X 0208 pair and its Shift_JIS form.
// No range checks: user-defined or invalid pairs go through the same sums,
// each byte taken modulo 256.
constexpr BytePair JisPairToSjis(unsigned char j1, unsigned char j2) {
  const int s1 = ((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0);
  int s2 = j2;
  if (j1 % 2 == 0) {
    s2 += 0x7E;
  } else {
    s2 += j2 > 0x5F ? 0x20 : 0x1F;
  }
  return {static_cast<unsigned char>(s1), static_cast<unsigned char>(s2)};
}

constexpr BytePair SjisPairToJis(unsigned char s1, unsigned char s2) {
  int j1 = (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)) * 2;
  int j2 = 0;
  if (s2 < 0x9F) {
    j1 -= 1;
    j2 = s2 - (s2 > 0x7F ? 0x20 : 0x1F);
  } else {
    j2 = s2 - 0x7E;
  }
  return {static_cast<unsigned char>(j1), static_cast<unsigned char>(j2)};
}

// Reads the half-width katakana at `pos` (0-based; in the EUC-JP form `pos`
// is at its 0x8E) and returns the full-width JIS X 0208 pair. A following
// voiced or semi-voiced mark that combines with it (ｶﾞ -> ガ, ﾊﾟ -> パ,
// ｳﾞ -> ヴ) is consumed too; `pos` moves past every consumed byte. A byte
// outside 0xA1-0xDF, or nothing at `pos`, gives 〓 (0x22 0x2E).
BytePair HankakuToJis(std::string_view text, std::size_t& pos,
                       HankakuForm form = hkSjis);

// Standard base64 for ISO-2022-JP encoded words. CR and LF are skipped where
// a group would begin; a group ending in "=" or "==" gives two or one bytes.
std::string Base64DecodeText(std::string_view text);

}  // namespace pelnor
