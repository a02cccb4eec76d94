#include "core/store/account_record.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text/sjis.h"

namespace pelnor {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

const std::string kRecord = "alias|1|host|user|password|0|8|font|[]|10|1||1|1|0";

TEST(RecordField, ReadsEachFieldOfACurrentRecord) {
  EXPECT_EQ(RecordField(kRecord, afAlias), "alias");
  EXPECT_EQ(RecordField(kRecord, afEnabled), "1");
  EXPECT_EQ(RecordField(kRecord, afHost), "host");
  EXPECT_EQ(RecordField(kRecord, afPaper), "8");
  EXPECT_EQ(RecordField(kRecord, afFontStyle), "[]");
  EXPECT_EQ(RecordField(kRecord, afAttachDir), "");
  EXPECT_EQ(RecordField(kRecord, afFilterSenders), "0");
}

TEST(RecordField, BeyondTheLastFieldIsEmpty) {
  EXPECT_EQ(RecordField(kRecord, afFirstAddress), "");
  EXPECT_EQ(RecordField("solo", 1), "solo");
  EXPECT_EQ(RecordField("solo", 2), "");
  EXPECT_EQ(RecordField("", 1), "");
  EXPECT_EQ(RecordField("a|b", 0), "");
}

TEST(RecordField, EmptyFieldsAtBothEnds) {
  EXPECT_EQ(RecordField("|x|", 1), "");
  EXPECT_EQ(RecordField("|x|", 2), "x");
  EXPECT_EQ(RecordField("|x|", 3), "");
}

TEST(RecordField, SecondByteOfPoSplitsTheField) {
  // ポ is 0x83 0x7C: the byte search sees a separator in it.
  std::string record = Sjis("ポスト") + "|1";
  EXPECT_EQ(RecordField(record, 1), "\x83");
  EXPECT_EQ(RecordField(record, 2), Sjis("スト"));
  EXPECT_EQ(RecordField(record, 3), "1");
  // Other two-byte characters are left whole.
  EXPECT_EQ(RecordField(Sjis("会社|0"), 1), Sjis("会社"));
}

TEST(RecordFieldsFrom, ReceivingAddressesFollowField15) {
  EXPECT_THAT(RecordFieldsFrom("a|1|h|u|p|0|8|f|[]|10|1||1|1|1|x@example.jp|example.com",
                               afFirstAddress),
              ElementsAre("x@example.jp", "example.com"));
  EXPECT_THAT(RecordFieldsFrom(kRecord, afFirstAddress), IsEmpty());
  EXPECT_THAT(RecordFieldsFrom("a|b|", 2), ElementsAre("b", ""));
  EXPECT_THAT(RecordFieldsFrom("a|b", 1), ElementsAre("a", "b"));
}

}  // namespace
}  // namespace pelnor
