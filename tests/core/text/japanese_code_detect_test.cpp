#include "core/text/japanese_code.h"

#include <gtest/gtest.h>

#include <string>

namespace pelnor {
namespace {

struct DetectCase {
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

class DetectCodeTable : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectCodeTable, Classifies) {
  EXPECT_EQ(DetectCode(GetParam().text), GetParam().code);
}

std::string CaseName(const testing::TestParamInfo<DetectCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, DetectCodeTable,
    testing::Values(
        DetectCase{"JisAtStart", "\x1B$B\x46\x7C\x1B(B", jcJis},
        DetectCase{"JisOldAtStart", "\x1B$@\x46\x7C\x1B(B", jcJisOld},
        DetectCase{"JisAfterAscii", "Subject: \x1B$B\x24\x22\x1B(B", jcJis},
        DetectCase{"OnlyLeaveEscapeIsAscii", "abc\x1B(Bdef", jcAscii},
        DetectCase{"OtherTwoByteSetIsAscii", "\x1B$A\x30\x21", jcAscii},
        DetectCase{"EscapeCutOffAtEnd", "ab\x1B$", jcAscii},
        DetectCase{"EscapeDollarAtVeryEnd", "ab\x1B$B", jcJis},
        // The byte after a lone ESC is skipped unseen, even a Shift_JIS lead.
        DetectCase{"ByteAfterEscIsSkipped", "\x1B\x88" "abc", jcAscii}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Binary, DetectCodeTable,
    testing::Values(
        DetectCase{"ControlByteBeforeEscape", "a\x01\x1B$B\x24\x22", jcBinary},
        DetectCase{"ControlByteAfterEscape", "\x1B$B\x24\x22\x01\x24", jcBinary},
        DetectCase{"FfByte", "abc\xFF" "def", jcBinary},
        DetectCase{"SevenIsBinary", "ab\x07" "c", jcBinary},
        DetectCase{"EightIsText", "ab\x08" "c", jcAscii},
        DetectCase{"NulByte", std::string("ab\0cd", 5), jcBinary},
        // Neither scan looks at the last byte.
        DetectCase{"ControlByteLast", "abc\x01", jcAscii},
        // Past the window the main scan still sees a control byte...
        DetectCase{"ControlByteAt600", Ascii(599) + "\x01" + Ascii(10), jcBinary},
        // ...unless a decisive byte came first.
        DetectCase{"ControlByteAt600AfterSjis",
                    "\x88\x9F" + Ascii(597) + "\x01" + Ascii(10), jcSjis}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    EightBit, DetectCodeTable,
    testing::Values(
        DetectCase{"Empty", "", jcAscii},
        DetectCase{"PlainAscii", "Hello, world\r\n", jcAscii},
        DetectCase{"OnlyLastByteHigh", "abc\x88", jcAscii},
        DetectCase{"SingleHighByte", "\x88", jcAscii},
        DetectCase{"SjisKanji", "\x88\x9F", jcSjis},
        DetectCase{"SjisLeadNine", "a\x9F\x40", jcSjis},
        DetectCase{"EucKanjiSecondHigh", "\xC6\xFC\xCB\xDC", jcEuc},
        DetectCase{"EucLeadF0", "a\xF0\xA1", jcEuc},
        DetectCase{"AmbiguousPair", "\xB0\xA1", jcEucOrSjis},
        DetectCase{"HalfWidthKanaThenAscii", "\xB1" "a", jcSjis},
        DetectCase{"HalfWidthKanaThenFf", std::string(520, 'a') + "\xB1\xFF", jcAscii},
        DetectCase{"SingleShiftKana", "\x8E\xB1", jcEucOrSjis},
        DetectCase{"SingleShiftSjisTrail", "\x8E\x40", jcSjis},
        DetectCase{"SingleShiftHighTrail", "\x8E\xE0", jcSjis},
        DetectCase{"SingleShiftLowTrail", "\x8E\x30z", jcAscii},
        DetectCase{"HighLeadSjisTrail", "\xE0\x40", jcSjis},
        DetectCase{"HighLeadEucTrail", "\xE0\xFD", jcEuc},
        DetectCase{"HighLeadAmbiguous", "\xE0\xA1", jcEucOrSjis},
        DetectCase{"EightyAndA0Neutral", "\x80\xA0z", jcAscii},
        // Kana + 0xE0-0xEF: the following run decides.
        DetectCase{"RunFindsSjisTrail", "\xB1\xE1\xE2\x81", jcSjis},
        DetectCase{"RunFindsEucByte", "\xB1\xE1\xE2\xFD", jcEuc},
        DetectCase{"RunUndecided", "\xB1\xE1\xE2\xE3", jcEucOrSjis},
        DetectCase{"RunStopsAtLowByte", "\xB1\xE1 \x88\x9F", jcSjis},
        // The byte that ends the run is still looked at.
        DetectCase{"RunStopByteClassified",
                    Ascii(600) + "\xB1\xE1\x01" + "ab", jcBinary},
        DetectCase{"UndecidedThenEscape", "\xB0\xA1\x1B$B\x24\x22", jcJis},
        DetectCase{"UndecidedThenSjis", "\xB0\xA1\x88\x9F", jcSjis},
        // The first decisive byte wins.
        DetectCase{"SjisBeforeEscape", "\x88\x9F\x1B$B\x24\x22", jcSjis},
        DetectCase{"EscapeBeforeSjis", "\x1B$B\x24\x22\x88\x9F", jcJis}),
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
