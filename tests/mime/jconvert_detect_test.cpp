#include "mime/jconvert.h"

#include <gtest/gtest.h>

#include <string>

namespace pelnor {
namespace {

struct TDetectCase {
  const char* name;
  std::string text;
  int code;
};

std::string Ascii(std::size_t count) { return std::string(count, 'a'); }

// Two-byte JIS text of `pairs` characters (あ).
std::string JisPairs(std::size_t pairs) {
  std::string s;
  for (std::size_t i = 0; i < pairs; ++i) s += "\x24\x22";
  return s;
}

class DetectCodeTable : public testing::TestWithParam<TDetectCase> {};

TEST_P(DetectCodeTable, Classifies) {
  EXPECT_EQ(DetectCode(GetParam().text), GetParam().code);
}

std::string CaseName(const testing::TestParamInfo<TDetectCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, DetectCodeTable,
    testing::Values(
        TDetectCase{"JisAtStart", "\x1B$B\x46\x7C\x1B(B", jcJis},
        TDetectCase{"JisOldAtStart", "\x1B$@\x46\x7C\x1B(B", jcJisOld},
        TDetectCase{"JisAfterAscii", "Subject: \x1B$B\x24\x22\x1B(B", jcJis},
        TDetectCase{"OnlyLeaveEscapeIsAscii", "abc\x1B(Bdef", jcAscii},
        TDetectCase{"OtherTwoByteSetIsAscii", "\x1B$A\x30\x21", jcAscii},
        TDetectCase{"EscapeCutOffAtEnd", "ab\x1B$", jcAscii},
        TDetectCase{"EscapeDollarAtVeryEnd", "ab\x1B$B", jcJis},
        // The byte after a lone ESC is skipped unseen, even a Shift_JIS lead.
        TDetectCase{"ByteAfterEscIsSkipped", "\x1B\x88" "abc", jcAscii}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Binary, DetectCodeTable,
    testing::Values(
        TDetectCase{"ControlByteBeforeEscape", "a\x01\x1B$B\x24\x22", jcBinary},
        TDetectCase{"ControlByteAfterEscape", "\x1B$B\x24\x22\x01\x24", jcBinary},
        TDetectCase{"FfByte", "abc\xFF" "def", jcBinary},
        TDetectCase{"SevenIsBinary", "ab\x07" "c", jcBinary},
        TDetectCase{"EightIsText", "ab\x08" "c", jcAscii},
        TDetectCase{"NulByte", std::string("ab\0cd", 5), jcBinary},
        // Neither scan looks at the last byte.
        TDetectCase{"ControlByteLast", "abc\x01", jcAscii},
        // Past the window the main scan still sees a control byte...
        TDetectCase{"ControlByteAt600", Ascii(599) + "\x01" + Ascii(10), jcBinary},
        // ...unless a decisive byte came first.
        TDetectCase{"ControlByteAt600AfterSjis",
                    "\x88\x9F" + Ascii(597) + "\x01" + Ascii(10), jcSjis}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    EightBit, DetectCodeTable,
    testing::Values(
        TDetectCase{"Empty", "", jcAscii},
        TDetectCase{"PlainAscii", "Hello, world\r\n", jcAscii},
        TDetectCase{"OnlyLastByteHigh", "abc\x88", jcAscii},
        TDetectCase{"SingleHighByte", "\x88", jcAscii},
        TDetectCase{"SjisKanji", "\x88\x9F", jcSjis},
        TDetectCase{"SjisLeadNine", "a\x9F\x40", jcSjis},
        TDetectCase{"EucKanjiSecondHigh", "\xC6\xFC\xCB\xDC", jcEuc},
        TDetectCase{"EucLeadF0", "a\xF0\xA1", jcEuc},
        TDetectCase{"AmbiguousPair", "\xB0\xA1", jcEucOrSjis},
        TDetectCase{"HalfWidthKanaThenAscii", "\xB1" "a", jcSjis},
        TDetectCase{"HalfWidthKanaThenFf", std::string(520, 'a') + "\xB1\xFF", jcAscii},
        TDetectCase{"SingleShiftKana", "\x8E\xB1", jcEucOrSjis},
        TDetectCase{"SingleShiftSjisTrail", "\x8E\x40", jcSjis},
        TDetectCase{"SingleShiftHighTrail", "\x8E\xE0", jcSjis},
        TDetectCase{"SingleShiftLowTrail", "\x8E\x30z", jcAscii},
        TDetectCase{"HighLeadSjisTrail", "\xE0\x40", jcSjis},
        TDetectCase{"HighLeadEucTrail", "\xE0\xFD", jcEuc},
        TDetectCase{"HighLeadAmbiguous", "\xE0\xA1", jcEucOrSjis},
        TDetectCase{"EightyAndA0Neutral", "\x80\xA0z", jcAscii},
        // Kana + 0xE0-0xEF: the following run decides.
        TDetectCase{"RunFindsSjisTrail", "\xB1\xE1\xE2\x81", jcSjis},
        TDetectCase{"RunFindsEucByte", "\xB1\xE1\xE2\xFD", jcEuc},
        TDetectCase{"RunUndecided", "\xB1\xE1\xE2\xE3", jcEucOrSjis},
        TDetectCase{"RunStopsAtLowByte", "\xB1\xE1 \x88\x9F", jcSjis},
        // The byte that ends the run is still looked at.
        TDetectCase{"RunStopByteClassified",
                    Ascii(600) + "\xB1\xE1\x01" + "ab", jcBinary},
        TDetectCase{"UndecidedThenEscape", "\xB0\xA1\x1B$B\x24\x22", jcJis},
        TDetectCase{"UndecidedThenSjis", "\xB0\xA1\x88\x9F", jcSjis},
        // The first decisive byte wins.
        TDetectCase{"SjisBeforeEscape", "\x88\x9F\x1B$B\x24\x22", jcSjis},
        TDetectCase{"EscapeBeforeSjis", "\x1B$B\x24\x22\x88\x9F", jcJis}),
    CaseName);

TEST(DetectCode, EscapeStopsScanBeforeControlByteAt600) {
  // ESC "$B" at the start, byte 0x01 at position 600: the window of 512
  // bytes holds no control byte and the main scan stops at the escape.
  std::string text = "\x1B$B" + JisPairs(298);
  ASSERT_EQ(text.size(), 599u);
  text += '\x01';
  text += JisPairs(20) + "\x1B(B";
  EXPECT_EQ(DetectCode(text), jcJis);

  // The same control byte moved into the window makes it binary.
  std::string inWindow = text;
  std::swap(inWindow[599], inWindow[511]);
  EXPECT_EQ(DetectCode(inWindow), jcBinary);
}

TEST(DetectCode, WindowEndsAtPosition512) {
  EXPECT_EQ(DetectCode("\x1B$B" + std::string(508, 'x') + "\x01" + "tail"),
            jcBinary);  // position 512
  EXPECT_EQ(DetectCode("\x1B$B" + std::string(509, 'x') + "\x01" + "tail"),
            jcJis);  // position 513
}

}  // namespace
}  // namespace pelnor
