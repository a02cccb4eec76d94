#include "core/store/account_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text/sjis.h"

namespace pelnor {
namespace {

using testing::ElementsAre;

TEST(AccountList, KeepsRecordsSortedWithoutRegardToCase) {
  AccountList list;
  EXPECT_TRUE(list.Add("beta|1"));
  EXPECT_TRUE(list.Add("Alpha|1"));
  EXPECT_TRUE(list.Add("gamma|0"));
  EXPECT_TRUE(list.Add("ALPHB|1"));
  EXPECT_THAT(list.Records(), ElementsAre("Alpha|1", "ALPHB|1", "beta|1", "gamma|0"));
}

TEST(AccountList, RecordEqualButForCaseIsIgnored) {
  AccountList list;
  EXPECT_TRUE(list.Add("main|1|host"));
  EXPECT_FALSE(list.Add("MAIN|1|HOST"));
  EXPECT_FALSE(list.Add("main|1|host"));
  EXPECT_TRUE(list.Add("main|0|host"));
  EXPECT_THAT(list.Records(), ElementsAre("main|0|host", "main|1|host"));
}

TEST(AccountList, JapaneseSortsAfterAsciiAndIsNeverCaseFolded) {
  // ア (0x83 0x41) and ヂ (0x83 0x61) differ only in a second byte that looks
  // like A / a: folding it would make two different accounts one.
  AccountList list;
  EXPECT_TRUE(list.Add(Sjis("ヂ|1")));
  EXPECT_TRUE(list.Add(Sjis("ア|1")));
  EXPECT_TRUE(list.Add("zeta|1"));
  EXPECT_THAT(list.Records(), ElementsAre("zeta|1", Sjis("ア|1"), Sjis("ヂ|1")));
  // A single-byte letter after a two-byte character is folded again.
  EXPECT_TRUE(list.Add(Sjis("アb|1")));
  EXPECT_FALSE(list.Add(Sjis("アB|1")));
}

TEST(AccountList, PrefixSortsFirst) {
  EXPECT_LT(CompareRecords("ab", "abc"), 0);
  EXPECT_GT(CompareRecords("abc", "AB"), 0);
  EXPECT_EQ(CompareRecords("", ""), 0);
  // Bytes compare unsigned: a half-width katakana (0xB1) follows ASCII.
  EXPECT_GT(CompareRecords("\xB1", "z"), 0);
}

TEST(AccountList, DeleteAndClear) {
  AccountList list;
  list.Add("a");
  list.Add("b");
  list.Delete(0);
  EXPECT_THAT(list.Records(), ElementsAre("b"));
  EXPECT_THROW(list.Delete(1), std::out_of_range);
  list.Clear();
  EXPECT_TRUE(list.empty());
}

TEST(AccountCheckItems, CaptionIsTheAliasAndOnlyZeroUnchecks) {
  AccountList list;
  list.Add("main|1|host");
  list.Add("off|0|host");
  list.Add("odd|yes|host");
  list.Add("bare");
  EXPECT_THAT(AccountCheckItems(list),
              ElementsAre(AccountCheckItem{"bare", true}, AccountCheckItem{"main", true},
                          AccountCheckItem{"odd", true}, AccountCheckItem{"off", false}));
}

}  // namespace
}  // namespace pelnor
