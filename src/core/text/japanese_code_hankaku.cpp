#include "core/text/japanese_code.h"

#include <algorithm>
#include <array>

namespace pelnor {
namespace {

constexpr unsigned char kSingleShift = 0x8E;  // EUC-JP prefix of half-width kana
constexpr unsigned char kKanaFirst = 0xA1;
constexpr unsigned char kKanaLast = 0xDF;
constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ
constexpr BytePair kGeta{0x22, 0x2E};           // 〓, for a byte that is no kana

// Second JIS byte of the full-width form of each half-width byte 0xA1-0xDF.
// The punctuation 。「」、・, ー and the two marks are in row 1, the rest in
// row 5 (katakana).
constexpr std::array<unsigned char, 63> kSecondByte = {
    0x23, 0x56, 0x57, 0x22, 0x26,                          // 。「」、・
    0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67,  // ヲァィゥェォャュョ
    0x43, 0x3C,                                            // ッー
    0x22, 0x24, 0x26, 0x28, 0x2A,                          // アイウエオ
    0x2B, 0x2D, 0x2F, 0x31, 0x33,                          // カキクケコ
    0x35, 0x37, 0x39, 0x3B, 0x3D,                          // サシスセソ
    0x3F, 0x41, 0x44, 0x46, 0x48,                          // タチツテト
    0x4A, 0x4B, 0x4C, 0x4D, 0x4E,                          // ナニヌネノ
    0x4F, 0x52, 0x55, 0x58, 0x5B,                          // ハヒフヘホ
    0x5E, 0x5F, 0x60, 0x61, 0x62,                          // マミムメモ
    0x64, 0x66, 0x68,                                      // ヤユヨ
    0x69, 0x6A, 0x6B, 0x6C, 0x6D,                          // ラリルレロ
    0x6F, 0x73,                                            // ワン
    0x2B, 0x2C,                                            // ゛゜
};

bool IsKana(unsigned char h) { return h >= kKanaFirst && h <= kKanaLast; }

bool IsRowOne(unsigned char h) {
  return h <= 0xA5 || h == 0xB0 || h == kVoicedMark || h == kSemiVoicedMark;
}

// How many bytes a mark adds to the base character: 0 when it does not
// combine with it.
int Voicing(unsigned char h, unsigned char mark) {
  const bool voiced = mark == kVoicedMark;
  const bool semiVoiced = mark == kSemiVoicedMark;
  if (h >= 0xB6 && h <= 0xC4) return voiced ? 1 : 0;
  if (h >= 0xCA && h <= 0xCE) return voiced ? 1 : semiVoiced ? 2 : 0;
  return 0;
}

class KanaReader {
 public:
  KanaReader(std::string_view text, HankakuForm form)
      : text_(text), width_(form == hkEuc ? 2 : 1) {}

  // The kana byte of the character starting at `pos`, 0 if it is missing.
  unsigned char KanaAt(std::size_t pos) const {
    const std::size_t at = pos + width_ - 1;
    if (at >= text_.size()) return 0;
    if (width_ == 2 && static_cast<unsigned char>(text_[pos]) != kSingleShift) {
      return 0;
    }
    return static_cast<unsigned char>(text_[at]);
  }

  std::size_t Width() const { return width_; }
  std::size_t End() const { return text_.size(); }

 private:
  std::string_view text_;
  std::size_t width_;
};

}  // namespace

BytePair HankakuToJis(std::string_view text, std::size_t& pos,
                       HankakuForm form) {
  const KanaReader reader(text, form);
  const unsigned char h = reader.KanaAt(pos);
  if (!IsKana(h)) {
    pos = std::min(pos + reader.Width(), reader.End());
    return kGeta;
  }
  pos += reader.Width();
  const unsigned char first = IsRowOne(h) ? 0x21 : 0x25;
  unsigned char second = kSecondByte[h - kKanaFirst];
  const unsigned char mark = reader.KanaAt(pos);
  if (h == 0xB3 && mark == kVoicedMark) {
    second = 0x74;  // ｳﾞ is ヴ, which has no unvoiced neighbour
    pos += reader.Width();
  } else if (const int step = Voicing(h, mark); step != 0) {
    second += step;
    pos += reader.Width();
  }
  return {first, second};
}

}  // namespace pelnor
