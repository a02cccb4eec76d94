#include "core/print/japanese_date.h"

#include <gtest/gtest.h>

#include "core/print/mail_date.h"
#include "core/text/sjis.h"

namespace pelnor {
namespace {

struct DateCase {
  const char* Name;
  const char* Text;
  DateTime Expected;
};

class ParseMailDateReads : public testing::TestWithParam<DateCase> {};

TEST_P(ParseMailDateReads, TheSendersWallClockTime) {
  std::optional<DateTime> t = ParseMailDate(GetParam().Text);
  ASSERT_TRUE(t.has_value()) << GetParam().Text;
  EXPECT_EQ(*t, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseMailDateReads,
    testing::Values(
        DateCase{"Usual", "Sat, 25 Dec 2004 15:29:58 +0900", {2004, 12, 25, 15, 29, 58}},
        DateCase{"ZoneIsNotApplied", "Sat, 25 Dec 2004 15:29:58 -0500",
                  {2004, 12, 25, 15, 29, 58}},
        DateCase{"ZoneName", "Sat, 25 Dec 2004 15:29:58 JST", {2004, 12, 25, 15, 29, 58}},
        DateCase{"NoZone", "Sat, 25 Dec 2004 15:29:58", {2004, 12, 25, 15, 29, 58}},
        DateCase{"NoDayName", "25 Dec 2004 15:29:58 +0900", {2004, 12, 25, 15, 29, 58}},
        DateCase{"OneDigitDay", "Wed, 1 Dec 2004 08:05:09 +0900", {2004, 12, 1, 8, 5, 9}},
        DateCase{"TwoDigitYear", "Sat, 25 Dec 04 15:29:58 +0900", {2004, 12, 25, 15, 29, 58}},
        DateCase{"TwoDigitYearLastCentury", "Fri, 24 Dec 99 23:59:59 +0900",
                  {1999, 12, 24, 23, 59, 59}},
        DateCase{"ThreeDigitYear", "25 Dec 104 15:29 +0900", {2004, 12, 25, 15, 29, 0}},
        DateCase{"NoSeconds", "Sat, 25 Dec 2004 15:29 +0900", {2004, 12, 25, 15, 29, 0}},
        DateCase{"OneDigitHour", "Sat, 25 Dec 2004 5:29:58 +0900", {2004, 12, 25, 5, 29, 58}},
        DateCase{"DayNameWithoutComma", "Sat 25 Dec 2004 15:29:58", {2004, 12, 25, 15, 29, 58}},
        DateCase{"FoldedAndExtraBlanks", "  Sat,\r\n 25  Dec   2004\t15:29:58 +0900",
                  {2004, 12, 25, 15, 29, 58}},
        DateCase{"Comments", "Sat, 25 (xmas) Dec 2004 15:29:58 +0900 (JST)",
                  {2004, 12, 25, 15, 29, 58}},
        DateCase{"MonthInOtherCase", "sat, 25 DEC 2004 15:29:58", {2004, 12, 25, 15, 29, 58}},
        DateCase{"Hyphens", "25-Dec-2004 15:29:58", {2004, 12, 25, 15, 29, 58}},
        DateCase{"LeapDay", "Sun, 29 Feb 2004 00:00:00 +0000", {2004, 2, 29, 0, 0, 0}},
        DateCase{"LeapSecond", "Sat, 31 Dec 2016 23:59:60 +0000", {2016, 12, 31, 23, 59, 59}}),
    [](const testing::TestParamInfo<DateCase>& info) { return info.param.Name; });

class ParseMailDateRefuses : public testing::TestWithParam<const char*> {};

TEST_P(ParseMailDateRefuses, TextWithoutAValidDate) {
  EXPECT_FALSE(ParseMailDate(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Garbage, ParseMailDateRefuses,
                         testing::Values("", "yesterday", "Sat, 25 Foo 2004 15:29:58",
                                         "Sat, 30 Feb 2004 15:29:58", "Sat, 25 Dec 2004",
                                         "Sat, 25 Dec 2004 24:00:00", "Sat, 25 Dec 2004 15:60",
                                         "Sat, 25 Dec 20041 15:29:58", "2004-12-25T15:29:58",
                                         "Sat, 0 Dec 2004 15:29:58", "(unclosed comment"));

TEST(FormatJapaneseDate, TheUsualDate) {
  EXPECT_EQ(FormatJapaneseDate("Sat, 25 Dec 2004 15:29:58 +0900"),
            "平成16年12月25日（土）午後3時29分");
}

TEST(FormatJapaneseDate, UnreadableDateComesBackAsWritten) {
  EXPECT_EQ(FormatJapaneseDate("sometime last week"), "sometime last week");
  EXPECT_EQ(FormatJapaneseDate(""), "");
}

struct EraCase {
  DateTime When;
  const char* Expected;
};

class FormatJapaneseDateEras : public testing::TestWithParam<EraCase> {};

TEST_P(FormatJapaneseDateEras, EraYearDayNameAndHalfDay) {
  EXPECT_EQ(FormatJapaneseDate(GetParam().When), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FormatJapaneseDateEras,
    testing::Values(
        EraCase{{1868, 1, 1, 9, 0, 0}, "明治1年1月1日（水）午前9時0分"},
        EraCase{{1912, 7, 29, 9, 0, 0}, "明治45年7月29日（月）午前9時0分"},
        EraCase{{1912, 7, 30, 9, 0, 0}, "大正1年7月30日（火）午前9時0分"},
        EraCase{{1926, 12, 24, 9, 0, 0}, "大正15年12月24日（金）午前9時0分"},
        EraCase{{1926, 12, 25, 9, 0, 0}, "昭和1年12月25日（土）午前9時0分"},
        EraCase{{1989, 1, 7, 23, 59, 0}, "昭和64年1月7日（土）午後11時59分"},
        EraCase{{1989, 1, 8, 0, 0, 0}, "平成1年1月8日（日）午前12時0分"},
        EraCase{{2019, 4, 30, 12, 0, 0}, "平成31年4月30日（火）午後12時0分"},
        EraCase{{2019, 5, 1, 11, 59, 0}, "令和1年5月1日（水）午前11時59分"},
        EraCase{{2026, 12, 8, 13, 5, 0}, "令和8年12月8日（火）午後1時5分"},
        EraCase{{1850, 3, 1, 10, 0, 0}, "1850年3月1日（金）午前10時0分"}));

TEST(FormatDateDirName, TheUsualDate) {
  EXPECT_EQ(FormatDateDirName("Sat, 25 Dec 2004 15:29:58 +0900", {}), "0412251529");
}

TEST(FormatDateDirName, PadsEveryPartToTwoDigits) {
  EXPECT_EQ(FormatDateDirName("Mon, 1 Feb 2010 03:04:05 +0900", {}), "1002010304");
}

TEST(FormatDateDirName, UnreadableDateTakesTheRetrievalTime) {
  EXPECT_EQ(FormatDateDirName("garbage", {2026, 12, 8, 1, 2, 3}), "2612080102");
}

TEST(DayOfWeek, KnownDays) {
  EXPECT_EQ(DayOfWeek(2004, 12, 25), 6);
  EXPECT_EQ(DayOfWeek(2000, 1, 1), 6);
  EXPECT_EQ(DayOfWeek(2000, 2, 29), 2);
  EXPECT_EQ(DayOfWeek(1970, 1, 1), 4);
}

}  // namespace
}  // namespace pelnor
