// Mail text into UTF-8: declared charsets, the Windows mapping of Japanese
// text, and the guess for text that declares nothing.

#include "core/text/text_decode.h"

#include <gtest/gtest.h>

#include "core/text/charset_converter.h"
#include "core/text/utf8.h"

namespace pelnor {
namespace {

struct DecodeCase {
  const char* name;
  const char* charset;
  std::string bytes;
  const char* utf8;
};

class DeclaredCharset : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DeclaredCharset, DecodesToUtf8) {
  EXPECT_EQ(DecodeText(GetParam().bytes, GetParam().charset), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, DeclaredCharset,
    ::testing::Values(
        // The Windows forms of the wave dash and the minus, not U+301C / U+2212.
        DecodeCase{"Cp932WaveDash", "Shift_JIS", "\x81\x60\x81\x7c", "～－"},
        DecodeCase{"JisWaveDash", "ISO-2022-JP", "\x1b$B!A\x1b(B", "～"},
        DecodeCase{"EucWaveDash", "euc-jp", "\xa1\xc1", "～"},
        // NEC row 13 and the NEC-selected IBM extensions of Windows.
        DecodeCase{"JisNecRow13", "iso-2022-jp", "\x1b$B-!-5\x1b(B", "①Ⅰ"},
        DecodeCase{"JisIbmExtension", "ISO-2022-JP", "\x1b$By!\x1b(B", "纊"},
        // Half-width katakana as iPhone and Windows send them.
        DecodeCase{"JisKatakanaEscape", "iso-2022-jp", "\x1b(I12\x1b(Ba", "ｱｲa"},
        DecodeCase{"JisKatakanaShiftOut", "ISO-2022-JP", "\x1b$B$\"\x0e" "1\x0f$\"\x1b(B",
                   "あｱあ"},
        DecodeCase{"JisSupplementaryIsGeta", "ISO-2022-JP", "\x1b$(D\"/\x1b(Bx", "〓x"},
        DecodeCase{"ShiftJisUnderAnIso2022JpLabel", "ISO-2022-JP", "\x93\xfa\x96\x7b\xb1", "日本ｱ"},
        DecodeCase{"JisPairCp932LacksIsOneReplacement", "ISO-2022-JP", "\x1b$B)!\x1b(Bx",
                   "\xEF\xBF\xBDx"},
        DecodeCase{"Jis2004", "ISO-2022-JP-3", "\x1b$(O.!\x1b(B", "俱"},
        DecodeCase{"Utf8", "UTF-8", "\xf0\xa0\xae\xb7\xe9\x87\x8e\xe5\xae\xb6", "𠮷野家"},
        DecodeCase{"Utf8BadBytes", "utf-8", "a\xff\xe3\x81z", "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz"},
        DecodeCase{"Latin1IsWindows1252", "ISO-8859-1", "Gr\xfc\xdf\x65 \x80", "Grüße €"},
        DecodeCase{"Latin2", "iso-8859-2", "\xb3\xf3\xbf\x6b\x6f", "łóżko"},
        DecodeCase{"Windows1251", "windows-1251", "\xcc\xe8\xf0", "Мир"},
        DecodeCase{"Koi8r", "KOI8-R", "\xed\xc9\xd2", "Мир"},
        DecodeCase{"Gb2312IsGb18030", "gb2312", "\xd6\xd0\xce\xc4", "中文"},
        DecodeCase{"Big5", "big5", "\xa4\xa4\xa4\xe5", "中文"},
        DecodeCase{"EucKr", "euc-kr", "\xc7\xd1\xb1\xb9", "한국"},
        DecodeCase{"QuotedName", "\"UTF-8\"", "\xc3\xa9", "é"},
        // Names iconv does not know, or that are more than a name, are guessed.
        DecodeCase{"UnknownName", "x-no-such-charset", "\x93\xfa\x96\x7b", "日本"},
        DecodeCase{"NameWithOptions", "utf-8//TRANSLIT", "\x93\xfa\x96\x7b", "日本"},
        DecodeCase{"AsciiLabelOnShiftJis", "us-ascii", "\x93\xfa\x96\x7b", "日本"}),
    [](const auto& info) { return std::string(info.param.name); });

class UnlabelledText : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(UnlabelledText, IsGuessed) {
  EXPECT_EQ(DecodeUnlabelledText(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Guesses, UnlabelledText,
    ::testing::Values(DecodeCase{"Ascii", "", "plain text", "plain text"},
                      DecodeCase{"Jis", "", "\x1b$BF|K\\\x1b(B", "日本"},
                      DecodeCase{"Utf8BeforeShiftJis", "", "\xe6\x97\xa5\xe6\x9c\xac", "日本"},
                      DecodeCase{"Euc", "", "\xc6\xfc\xcb\xdc\xa4\xce\xa5\xc6\xa5\xad\xa5\xb9\xa5\xc8",
                                 "日本のテキスト"},
                      DecodeCase{"ShiftJis", "", "\x93\xfa\x96\x7b", "日本"},
                      DecodeCase{"BadShiftJis", "", "a\x81", "a\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharsetConverter, ReportsAnUnknownCharsetAndSurvivesACutOffCharacter) {
  EXPECT_FALSE(CharsetConverter("NO-SUCH-CHARSET").IsOpen());
  CharsetConverter sjis("CP932");
  ASSERT_TRUE(sjis.IsOpen());
  EXPECT_EQ(sjis.ToUtf8("\x93\xfa\x96"), "日\xEF\xBF\xBD");
  // The same converter again starts from a clean state.
  EXPECT_EQ(sjis.ToUtf8("\x96\x7b"), "本");
}

TEST(Utf8, RejectsOverlongFormsSurrogatesAndCutOffCharacters) {
  EXPECT_TRUE(IsValidUtf8("a\xc3\xa9\xe3\x81\x82\xf0\x9f\x98\x80"));
  for (const char* bad : {"\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80",
                          "\xe3\x81", "\x80"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

}  // namespace
}  // namespace pelnor
