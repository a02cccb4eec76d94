#include "core/text/japanese_code.h"

#include <gtest/gtest.h>

#include <string>

namespace pelnor {
namespace {

// 日本語のメール、ABC。カナ in the three codes (written by iconv). The JIS
// form is as a mailer writes it; our own JIS output leaves two-byte mode
// with ESC "(J" and does not close the text.
const std::string kJis =
    "\x1B$B\x46\x7C\x4B\x5C\x38\x6C\x24\x4E\x25\x61\x21\x3C\x25\x6B\x21\x22"
    "\x1B(BABC\x1B$B\x21\x23\x25\x2B\x25\x4A\x1B(B";
const std::string kOwnJis =
    "\x1B$B\x46\x7C\x4B\x5C\x38\x6C\x24\x4E\x25\x61\x21\x3C\x25\x6B\x21\x22"
    "\x1B(JABC\x1B$B\x21\x23\x25\x2B\x25\x4A";
const std::string kSjis =
    "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x81\x81\x5B\x83\x8B\x81\x41"
    "ABC\x81\x42\x83\x4A\x83\x69";
const std::string kEuc =
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xE1\xA1\xBC\xA5\xEB\xA1\xA2"
    "ABC\xA1\xA3\xA5\xAB\xA5\xCA";

TEST(JConvertPairs, AConvertsBothWays) {
  EXPECT_EQ(SjisPairToJis(0x88, 0x9F), (BytePair{0x30, 0x21}));
  EXPECT_EQ(JisPairToSjis(0x30, 0x21), (BytePair{0x88, 0x9F}));
}

TEST(JConvertPairs, RowAndCellBoundaries) {
  EXPECT_EQ(JisPairToSjis(0x21, 0x21), (BytePair{0x81, 0x40}));  // 　
  EXPECT_EQ(JisPairToSjis(0x21, 0x60), (BytePair{0x81, 0x80}));  // ÷, skips 0x7F
  EXPECT_EQ(JisPairToSjis(0x21, 0x7E), (BytePair{0x81, 0x9E}));
  EXPECT_EQ(JisPairToSjis(0x22, 0x21), (BytePair{0x81, 0x9F}));
  EXPECT_EQ(JisPairToSjis(0x5E, 0x7E), (BytePair{0x9F, 0xFC}));
  EXPECT_EQ(JisPairToSjis(0x5F, 0x21), (BytePair{0xE0, 0x40}));  // jumps A0-DF
  EXPECT_EQ(JisPairToSjis(0x74, 0x26), (BytePair{0xEA, 0xA4}));  // 熙
  EXPECT_EQ(SjisPairToJis(0xEA, 0xA4), (BytePair{0x74, 0x26}));
  EXPECT_EQ(SjisPairToJis(0x81, 0x80), (BytePair{0x21, 0x60}));
}

TEST(JConvertPairs, OutOfRangeUsesSameArithmeticModulo256) {
  // The user-defined area F040 sits past row 94; no check anywhere.
  EXPECT_EQ(SjisPairToJis(0xF0, 0x40), (BytePair{0x7F, 0x21}));
  EXPECT_EQ(JisPairToSjis(0x7F, 0x21), (BytePair{0xF0, 0x40}));
  EXPECT_EQ(JisPairToSjis(0x75, 0x21), (BytePair{0xEB, 0x40}));
  // Control bytes pair too (a CR LF inside two-byte mode).
  EXPECT_EQ(JisPairToSjis(0x0D, 0x0A), (BytePair{0x77, 0x29}));
  // Sums past 255 wrap.
  EXPECT_EQ(JisPairToSjis(0xFE, 0xFE), (BytePair{0x2F, 0x7C}));
  EXPECT_EQ(SjisPairToJis(0x00, 0x00), (BytePair{0x1F, 0xE1}));
}

TEST(ConvertCode, ToShiftJis) {
  EXPECT_EQ(ConvertCode(kJis, jcSjis), kSjis);
  EXPECT_EQ(ConvertCode(kEuc, jcSjis), kSjis);
  std::string old = kJis;
  old[2] = '@';  // ESC "$@" at the start
  EXPECT_EQ(ConvertCode(old, jcSjis), kSjis);
  EXPECT_EQ(ConvertCode(kSjis, jcSjis), kSjis);
}

TEST(ConvertCode, ToJisAndEuc) {
  EXPECT_EQ(ConvertCode(kSjis, jcJis), kOwnJis);
  EXPECT_EQ(ConvertCode(kEuc, jcJis), kOwnJis);
  EXPECT_EQ(ConvertCode(kJis, jcJis), kJis);
  EXPECT_EQ(ConvertCode(kJis, jcEuc), kEuc);
  EXPECT_EQ(ConvertCode(kSjis, jcEuc), kEuc);
  EXPECT_EQ(ConvertCode(kEuc, jcEuc), kEuc);
}

TEST(ConvertCode, LeavesUndetectedTextAlone) {
  const std::string ambiguous = "\xB0\xA1\xB0\xA1";  // 亜亜 in EUC-JP, or ｰ｡ｰ｡
  ASSERT_EQ(DetectCode(ambiguous), jcEucOrSjis);
  EXPECT_EQ(ConvertCode(ambiguous, jcSjis), ambiguous);
  EXPECT_EQ(ConvertCode(ambiguous, jcJis), ambiguous);
  EXPECT_EQ(ConvertCode("plain text", jcSjis), "plain text");
  const std::string binary("\x1B$B\x00\x01\x24\x22", 7);
  EXPECT_EQ(ConvertCode(binary, jcSjis), binary);
  EXPECT_EQ(ConvertCode("", jcSjis), "");
}

TEST(ConvertCode, OtherTargetsLeaveTextAlone) {
  for (int target : {int{jcAscii}, int{jcBinary}, int{jcJisOld}, int{jcEucOrSjis}, 42, -1}) {
    EXPECT_EQ(ConvertCode(kJis, target), kJis) << target;
    EXPECT_EQ(ConvertCode(kSjis, target), kSjis) << target;
  }
}

TEST(JisToSjis, EscapeSequences) {
  EXPECT_EQ(JisToSjis("a\x1B$B\x30\x21\x1B(Bb"), "a\x88\x9F" "b");
  // Leaving with (J or (I works like (B; (I katakana reads as ASCII.
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\x1B(J1\x1B(I2"), "\x88\x9F" "12");
  // Any ESC "$" x enters two-byte mode.
  EXPECT_EQ(JisToSjis("\x1B$A\x30\x21"), "\x88\x9F");
  // Only three bytes belong to the sequence: the "D" of ESC "$(D" is data.
  EXPECT_EQ(JisToSjis("\x1B$(D\x21"), "\x92\x9F");
  // Other escapes are skipped with their two bytes, mode unchanged.
  EXPECT_EQ(JisToSjis("ab\x1BNxcd"), "abcd");
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\x1B.A\x30\x21"), "\x88\x9F\x88\x9F");
}

TEST(JisToSjis, EndOfText) {
  // A closing escape at the very end adds nothing.
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\x1B(B"), "\x88\x9F");
  // A sequence cut off by the end ends the conversion.
  EXPECT_EQ(JisToSjis("ab\x1B$"), "ab");
  EXPECT_EQ(JisToSjis("ab\x1B"), "ab");
  // A lone first byte is paired with 0.
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\x30"), "\x88\x9F\x88\x7E");
  EXPECT_EQ(JisToSjis(""), "");
}

TEST(JisToSjis, TwoByteModePairsWhateverComes) {
  // CR LF inside two-byte mode is paired, not copied, and the mode stays.
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x21\r\nx"), "\x88\x9F\x77\x29\xEC\x7E");
  // An ESC as second byte of a pair is data.
  EXPECT_EQ(JisToSjis("\x1B$B\x30\x1B(B"),
            std::string("\x88\x99") + std::string(JisToSjis("\x1B$B(B")));
}

TEST(JisToEuc, SetsTopBitOfGraphicBytesInTwoByteMode) {
  EXPECT_EQ(JisToEuc("a\x1B$B\x30\x21\x1B(Bb"), "a\xB0\xA1" "b");
  EXPECT_EQ(JisToEuc("\x1B$B\x30\x21\r\n\x24\x22"), "\xB0\xA1\r\n\xA4\xA2");
  EXPECT_EQ(JisToEuc("\x1B$B\x20\x7F\x21\x7E"), "\x20\x7F\xA1\xFE");
  EXPECT_EQ(JisToEuc("a\x1B(B"), "a");
  EXPECT_EQ(JisToEuc("a\x1B$"), "a");
}

TEST(EucToSjis, Bytes) {
  EXPECT_EQ(EucToSjis("\xB0\xA1"), "\x88\x9F");
  EXPECT_EQ(EucToSjis("\x8E\xB6\x8E\xDE"), "\xB6\xDE");  // ｶﾞ stays half-width
  EXPECT_EQ(EucToSjis("a\x80\xFFz"), "a\x80\xFFz");
  // JIS X 0212 is not known: 0x8F starts an ordinary pair.
  EXPECT_EQ(EucToSjis("\x8F\xA2\xAF\xA1"), "\x78\x41\x88\x40");
  // A lead byte at the end is paired with 0; a prefix alone stays.
  EXPECT_EQ(EucToSjis("\xB0"), "\x88\x7E");
  EXPECT_EQ(EucToSjis("a\x8E"), "a\x8E");
}

TEST(SjisToJis, ModeSwitches) {
  EXPECT_EQ(SjisToJis("a\x82\xA0" "b\r\n\x82\xA2"),
            "a\x1B$B\x24\x22\x1B(Jb\r\n\x1B$B\x24\x24");
  // A line end leaves two-byte mode before it is copied.
  EXPECT_EQ(SjisToJis("\x82\xA0\r\n"), "\x1B$B\x24\x22\x1B(J\r\n");
  EXPECT_EQ(SjisToJis("abc"), "abc");
  EXPECT_EQ(SjisToJis(""), "");
  // Kana and kanji share one two-byte stretch.
  EXPECT_EQ(SjisToJis("\xB1\x88\x9F"), "\x1B$B\x25\x22\x30\x21");
  // A lead byte at the end is paired with 0.
  EXPECT_EQ(SjisToJis("\x88"), "\x1B$B\x2F\xE1");
}

TEST(SjisToJis, HalfWidthKatakanaBecomeFullWidth) {
  EXPECT_EQ(SjisToJis("\xB6\xDE"), "\x1B$B\x25\x2C");      // ｶﾞ -> ガ
  EXPECT_EQ(JisToSjis(SjisToJis("\xB6\xDE")), "\x83\x4B");  // ガ in Shift_JIS
  EXPECT_EQ(SjisToJis("\xCA\xDF"), "\x1B$B\x25\x51");      // ﾊﾟ -> パ
  EXPECT_EQ(SjisToJis("\xCA\xDE"), "\x1B$B\x25\x50");      // ﾊﾞ -> バ
  EXPECT_EQ(SjisToJis("\xB3\xDE"), "\x1B$B\x25\x74");      // ｳﾞ -> ヴ
  EXPECT_EQ(SjisToJis("\xC4\xDE"), "\x1B$B\x25\x49");      // ﾄﾞ -> ド
  // Marks that do not combine stay characters of their own.
  EXPECT_EQ(SjisToJis("\xB1\xDE"), "\x1B$B\x25\x22\x21\x2B");  // ｱ゛
  EXPECT_EQ(SjisToJis("\xB6\xDF"), "\x1B$B\x25\x2B\x21\x2C");  // カ゜
  EXPECT_EQ(SjisToJis("\xC5\xDE"), "\x1B$B\x25\x4A\x21\x2B");  // ナ゛
  EXPECT_EQ(SjisToJis("\xDE"), "\x1B$B\x21\x2B");
  EXPECT_EQ(SjisToJis("\xDF\xDE"), "\x1B$B\x21\x2C\x21\x2B");
  EXPECT_EQ(SjisToJis("\xB0\xB6"), "\x1B$B\x21\x3C\x25\x2B");  // ーカ
}

TEST(SjisToJis, MarksCombineOnlyInsideTheirRanges) {
  struct Case {
    const char* name;
    std::string sjis;
    std::string jis;
  };
  const Case cases[] = {
      {"BeforeKaVoiced", "\xB5\xDE", "\x25\x2A\x21\x2B"},  // オ゛
      {"KaVoiced", "\xB6\xDE", "\x25\x2C"},                // ガ
      {"ToVoiced", "\xC4\xDE", "\x25\x49"},                // ド
      {"AfterToVoiced", "\xC5\xDE", "\x25\x4A\x21\x2B"},   // ナ゛
      {"BeforeHaSemi", "\xC9\xDF", "\x25\x4E\x21\x2C"},    // ノ゜
      {"HaSemi", "\xCA\xDF", "\x25\x51"},                  // パ
      {"HoSemi", "\xCE\xDF", "\x25\x5D"},                  // ポ
      {"HoVoiced", "\xCE\xDE", "\x25\x5C"},                // ボ
      {"AfterHoVoiced", "\xCF\xDE", "\x25\x5E\x21\x2B"},   // マ゛
      {"AfterHoSemi", "\xCF\xDF", "\x25\x5E\x21\x2C"},     // マ゜
      {"KaSemi", "\xB6\xDF", "\x25\x2B\x21\x2C"},          // カ゜
      {"USemi", "\xB3\xDF", "\x25\x26\x21\x2C"},           // ウ゜
      {"MarkUsedOnce", "\xB6\xDE\xDE", "\x25\x2C\x21\x2B"},  // ガ゛
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SjisToJis(c.sjis), "\x1B$B" + c.jis) << c.name;
  }
}

TEST(EucToJis, Bytes) {
  EXPECT_EQ(EucToJis("a\xB0\xA1\r\n"), "a\x1B$B\x30\x21\x1B(J\r\n");
  EXPECT_EQ(EucToJis("\x8E\xB6\x8E\xDE"), "\x1B$B\x25\x2C");  // ｶﾞ -> ガ
  EXPECT_EQ(EucToJis("\x8E\xCA\x8E\xDF" "b"), "\x1B$B\x25\x51\x1B(Jb");
  EXPECT_EQ(EucToJis("\x8E\xB6\xDE"), std::string("\x1B$B\x25\x2B\x5E\x00", 7));
  // 0x8E before a byte that is no kana is an ordinary pair.
  EXPECT_EQ(EucToJis("\x8E\x41"), "\x1B$B\x0E\x41");
  EXPECT_EQ(EucToJis("\x8E"), std::string("\x1B$B\x0E\x00", 5));
}

TEST(SjisToEuc, Bytes) {
  EXPECT_EQ(SjisToEuc("a\x88\x9F\xB1"), "a\xB0\xA1\x8E\xB1");
  EXPECT_EQ(SjisToEuc(kSjis), kEuc);
}

TEST(HankakuToJis, MovesPastConsumedBytes) {
  std::size_t pos = 1;
  EXPECT_EQ(HankakuToJis("a\xB6\xDE" "b", pos), (BytePair{0x25, 0x2C}));
  EXPECT_EQ(pos, 3u);
  pos = 0;
  EXPECT_EQ(HankakuToJis("\xB6\xB6", pos), (BytePair{0x25, 0x2B}));
  EXPECT_EQ(pos, 1u);
  pos = 0;
  EXPECT_EQ(HankakuToJis("\xB6", pos), (BytePair{0x25, 0x2B}));
  EXPECT_EQ(pos, 1u);
}

TEST(HankakuToJis, EucForm) {
  std::size_t pos = 0;
  EXPECT_EQ(HankakuToJis("\x8E\xCA\x8E\xDF", pos, hkEuc), (BytePair{0x25, 0x51}));
  EXPECT_EQ(pos, 4u);
  pos = 0;
  // A bare 0xDF is no EUC-JP mark.
  EXPECT_EQ(HankakuToJis("\x8E\xCA\xDF", pos, hkEuc), (BytePair{0x25, 0x4F}));
  EXPECT_EQ(pos, 2u);
  pos = 0;
  EXPECT_EQ(HankakuToJis("\x8E\xB3\x8E\xDE", pos, hkEuc), (BytePair{0x25, 0x74}));
  EXPECT_EQ(pos, 4u);
}

TEST(HankakuToJis, NonKanaGivesGetaWithoutReadingPastEnd) {
  std::size_t pos = 0;
  EXPECT_EQ(HankakuToJis("A", pos), (BytePair{0x22, 0x2E}));
  EXPECT_EQ(pos, 1u);
  pos = 5;
  EXPECT_EQ(HankakuToJis("ab", pos), (BytePair{0x22, 0x2E}));
  EXPECT_EQ(pos, 2u);
  pos = 0;
  EXPECT_EQ(HankakuToJis("\x8E", pos, hkEuc), (BytePair{0x22, 0x2E}));
  EXPECT_EQ(pos, 1u);
}

TEST(Base64DecodeText, Groups) {
  // こんにちは in ISO-2022-JP.
  EXPECT_EQ(Base64DecodeText("GyRCJDMkcyRLJEEkTxsoQg=="),
            "\x1B$B\x24\x33\x24\x73\x24\x4B\x24\x41\x24\x4F\x1B(B");
  EXPECT_EQ(Base64DecodeText("YWJj"), "abc");
  EXPECT_EQ(Base64DecodeText("YWI="), "ab");
  EXPECT_EQ(Base64DecodeText("YQ=="), "a");
  EXPECT_EQ(Base64DecodeText("+/+/"), "\xFB\xFF\xBF");
  EXPECT_EQ(Base64DecodeText(""), "");
}

TEST(Base64DecodeText, LineBreaksAndBrokenInput) {
  EXPECT_EQ(Base64DecodeText("YWJj\r\nZGVm\n"), "abcdef");
  EXPECT_EQ(Base64DecodeText("\r\n\r\nYQ=="), "a");
  // The third character is looked at first: "=" there means one byte.
  EXPECT_EQ(Base64DecodeText("YW=j"), "a");
  // Cut-off groups read as padded; a lone character holds no byte.
  EXPECT_EQ(Base64DecodeText("YWJjZA"), "abcd");
  EXPECT_EQ(Base64DecodeText("YWJjZGU"), "abcde");
  EXPECT_EQ(Base64DecodeText("YWJjZ"), "abc");
  // Characters outside the alphabet count as zero bits.
  EXPECT_EQ(Base64DecodeText("Y*Jj"), std::string("\x60\x02\x63", 3));
}

}  // namespace
}  // namespace pelnor
