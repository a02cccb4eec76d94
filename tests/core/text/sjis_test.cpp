#include "core/text/sjis.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelnor {
namespace {

TEST(SjisLiteral, ConvertsJapaneseAndHalfWidthKatakana) {
  EXPECT_EQ(Sjis("送信日時："), "\x91\x97\x90\x4d\x93\xfa\x8e\x9e\x81\x46");
  EXPECT_EQ(Sjis("ﾒｰﾙ"), "\xd2\xb0\xd9");
  EXPECT_EQ(Sjis("ASCII stays"), "ASCII stays");
  EXPECT_EQ(Sjis(""), "");
}

TEST(SjisLiteral, CodePage932ExtensionsAreKept) {
  // The circled one and the wave dash differ between JIS and code page 932.
  EXPECT_EQ(Sjis("①"), "\x87\x40");
  EXPECT_EQ(Sjis("～"), "\x81\x60");
}

TEST(SjisLiteral, TextWithoutShiftJisFormThrows) {
  EXPECT_THROW(Sjis("emoji \xF0\x9F\x98\x80"), std::runtime_error);
}

TEST(SjisLiteral, LossyFormMarksWhatShiftJisLacks) {
  EXPECT_EQ(Utf8ToSjisLossy("a\xF0\x9F\x98\x80" "b\xFF\xE3\x81"), "a\x81\xAC" "b\x81\xAC\x81\xAC\x81\xAC");
  EXPECT_EQ(Utf8ToSjisLossy("印刷"), Sjis("印刷"));
}

TEST(SjisLiteral, BackToUtf8ReplacesBrokenBytes) {
  EXPECT_EQ(SjisToUtf8("\x83\x7c\x83\x58"), "ポス");
  EXPECT_EQ(SjisToUtf8("a\x81"), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace pelnor
