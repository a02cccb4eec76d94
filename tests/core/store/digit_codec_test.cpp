#include "core/store/digit_codec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/text/sjis.h"
#include "core/store/store_error.h"

namespace pelnor {
namespace {

struct CodecExample {
  const char* name;
  std::string text;
  std::string digits;
};

class DigitCodecExamples : public testing::TestWithParam<CodecExample> {};

TEST_P(DigitCodecExamples, EncodesAndDecodes) {
  EXPECT_EQ(EncodeDigits(GetParam().text), GetParam().digits);
  EXPECT_EQ(DecodeDigits(GetParam().digits), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codec, DigitCodecExamples,
    testing::Values(CodecExample{"LetterA", "A", "00000390"},
                    CodecExample{"Abc", "abc", "000005820000058800000594"},
                    CodecExample{"Empty", "", ""},
                    CodecExample{"ZeroByte", std::string(1, '\0'), "00000000"},
                    CodecExample{"HighestByte", "\xFF", "00001530"},
                    CodecExample{"Separator", "|", "00000744"}),
    [](const auto& info) { return info.param.name; });

TEST(DigitCodec, EveryByteValueSurvives) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string digits = EncodeDigits(all);
  ASSERT_EQ(digits.size(), all.size() * 8);
  EXPECT_TRUE(IsDigitLine(digits));
  EXPECT_EQ(DecodeDigits(digits), all);
}

TEST(DigitCodec, ShiftJisAliasRoundTripsByteForByte) {
  // ポ ends in 0x7C and 表 in 0x5C: both must come back unchanged.
  std::string alias = Sjis("会社ポスト表ﾒｰﾙ");
  EXPECT_EQ(DecodeDigits(EncodeDigits(alias)), alias);
  EXPECT_EQ(EncodeDigits("\x83\x7C"), "0000078600000744");
}

struct RemainderCase {
  const char* name;
  std::string digits;
  std::string text;
};

class DigitCodecRemainders : public testing::TestWithParam<RemainderCase> {};

TEST_P(DigitCodecRemainders, RoundsTheGroupCountToEven) {
  EXPECT_EQ(DecodeDigits(GetParam().digits), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codec, DigitCodecRemainders,
    testing::Values(
        // 12 digits: 1.5 groups, a tie rounded up to 2; "0000" decodes to 0.
        RemainderCase{"TieUpToEven", "000003900000", std::string("A\0", 2)},
        // 20 digits: 2.5 groups, a tie rounded down to 2; the last 4 ignored.
        RemainderCase{"TieDownToEven", "00000390000003969999", "AB"},
        RemainderCase{"ElevenDigits", "00000390999", "A"},
        RemainderCase{"NineDigits", "000003909", "A"},
        // 13 digits: remainder 5, decoded as a short last group: 390 -> "A".
        RemainderCase{"FiveLeftOver", "0000039000390", "AA"},
        RemainderCase{"SevenLeftOver", "000003900000390", "AA"},
        RemainderCase{"FourDigitsAlone", "0390", ""},
        RemainderCase{"FiveDigitsAlone", "00390", "A"}),
    [](const auto& info) { return info.param.name; });

TEST(DigitCodec, ValuesOffTheGridRoundToNearestThird) {
  // round(v / 3) >> 1: 391 -> 130 -> 65, 392 -> 131 -> 65, 393 -> 131 -> 65,
  // 394 -> 131 -> 65, 395 -> 132 -> 66.
  EXPECT_EQ(DecodeDigits("00000391"), "A");
  EXPECT_EQ(DecodeDigits("00000394"), "A");
  EXPECT_EQ(DecodeDigits("00000395"), "B");
  // Values past 1535 keep only the low 8 bits.
  EXPECT_EQ(DecodeDigits("00001536"), std::string(1, '\0'));
  EXPECT_EQ(DecodeDigits("99999999"), std::string(1, static_cast<char>((33333333 >> 1) & 0xFF)));
}

TEST(DigitCodec, NonDigitLinesAreRecognised) {
  EXPECT_TRUE(IsDigitLine(""));
  EXPECT_TRUE(IsDigitLine("0123456789"));
  EXPECT_FALSE(IsDigitLine("00000390 "));
  EXPECT_FALSE(IsDigitLine("0000039a"));
  EXPECT_FALSE(IsDigitLine("-0000390"));
  EXPECT_THROW(DecodeDigits("0000039x"), StoreError);
}

}  // namespace
}  // namespace pelnor
