#include "core/store/migration.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/store/account_store.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::Exists;
using test::TempDir;
using testing::ElementsAre;
using testing::HasSubstr;

// Stands in for the printer layer: counts its calls and reports a paper.
struct PaperLookup {
  int found = -1;  // -1: the printer lists no paper, the index is left alone
  int calls = 0;
  LoadPaperNamesFn Fn() {
    return [this](int& paperIndex) {
      ++calls;
      if (found >= 0) paperIndex = found;
    };
  }
};

class Migration : public testing::Test {
 protected:
  bool Run(std::string& version) {
    return MigrateAccounts(dir.Dir(), version, list, paperIndex, paper.Fn());
  }
  AccountList Saved() const {
    AccountList saved;
    LoadAccounts(dir.Dir(), saved);
    return saved;
  }
  TempDir dir;
  AccountList list;
  int paperIndex = 0;
  PaperLookup paper;
};

TEST_F(Migration, OldRecordGoesThroughAllThreeSteps) {
  list.Add("alias,1,host,user,pass,0,font,[fsBold],10,1,,1,0");
  paper.found = 9;
  std::string version = "old";
  EXPECT_TRUE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre("alias|1|host|user|pass|0|9|font|[fsBold]|10|1||1|1|0"));
  EXPECT_THAT(Saved().Records(), ElementsAre("alias|1|host|user|pass|0|9|font|[fsBold]|10|1||1|1|0"));
}

TEST_F(Migration, WithoutPrinterEveryRecordGetsTheStartingPaperIndex) {
  list.Add("a,1,h,u,p,0,f,[],10,1,,1,0");
  list.Add("b,1,h,u,p,3,f,[],10,1,,1,0");
  std::string version = "old";
  Run(version);
  EXPECT_THAT(list.Records(), ElementsAre("a|1|h|u|p|0|0|f|[]|10|1||1|1|0",
                                          "b|1|h|u|p|3|0|f|[]|10|1||1|1|0"));
  EXPECT_EQ(paper.calls, 2);  // asked once per record all the same
}

TEST_F(Migration, CommasInsideTheStyleSplitIt) {
  list.Add("a,1,h,u,p,0,f,[fsBold,fsItalic],10,1,,1,0");
  std::string version = "old";
  Run(version);
  // The style now spans two fields, so the inserted fields land one early.
  EXPECT_THAT(list.Records(), ElementsAre("a|1|h|u|p|0|0|f|[fsBold|fsItalic]|10|1|1||1|0"));
}

TEST_F(Migration, Version10RecordGainsField12ThenField7) {
  list.Add("alias|1|host|user|pass|0|font|[]|10|1||1|0");
  paper.found = 4;
  std::string version = "1.0";
  EXPECT_TRUE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre("alias|1|host|user|pass|0|4|font|[]|10|1||1|1|0"));
}

TEST_F(Migration, AnyNumberBelow14TakesTheLastTwoSteps) {
  list.Add("alias|1|host|user|pass|0|font|[]|10|0|/d/|1|1|x@y");
  std::string version = "1.39";
  Run(version);
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre("alias|1|host|user|pass|0|0|font|[]|10|0|/d/|1|1|1|x@y"));
}

TEST_F(Migration, Version14RecordGainsOnlyField7) {
  list.Add("alias|1|host|user|pass|2|font|[]|10|1||1|1|0");
  paper.found = 5;
  std::string version = "1.4";
  EXPECT_TRUE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre("alias|1|host|user|pass|2|5|font|[]|10|1||1|1|0"));
  EXPECT_EQ(paper.calls, 1);
}

struct UntouchedCase {
  const char* name;
  const char* version;
};

class MigrationUntouched : public Migration, public testing::WithParamInterface<UntouchedCase> {};

TEST_P(MigrationUntouched, NoStepRunsAndNothingIsSaved) {
  const std::string record = "a,1|1|host|user|pass|0|8|font|[]|10|1||1|1|0";
  list.Add(record);
  std::string version = GetParam().version;
  EXPECT_FALSE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre(record));
  EXPECT_EQ(paper.calls, 0);
  EXPECT_FALSE(Exists(dir.Dir() + "User.inf"));
}

INSTANTIATE_TEST_SUITE_P(
    Migration, MigrationUntouched,
    testing::Values(UntouchedCase{"Current", "1.7"}, UntouchedCase{"Newer", "1.8"},
                    UntouchedCase{"SameNumberOtherText", "1.40"},
                    UntouchedCase{"NotANumber", "abc"}, UntouchedCase{"Empty", ""},
                    UntouchedCase{"OldInOtherCase", "OLD"},
                    UntouchedCase{"CommaDecimal", "1,0"}),
    [](const auto& info) { return info.param.name; });

TEST_F(Migration, EmptyListStillAdvances) {
  std::string version = "old";
  EXPECT_FALSE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(Exists(dir.Dir() + "User.inf"));
}

TEST_F(Migration, ShortRecordsAreCopiedUnchanged) {
  list.Add("a|1|h|u|p|0|f|[]|10|1");  // 9 separators: no field 12
  list.Add("b|1|h|u|p");              // 4 separators: no field 7 either
  MigrateTo14(list);
  MigrateTo17(list, paperIndex, paper.Fn());
  EXPECT_THAT(list.Records(), ElementsAre("a|1|h|u|p|0|0|f|[]|10|1", "b|1|h|u|p"));
  EXPECT_EQ(paper.calls, 1);
}

TEST_F(Migration, CurrentRecordUnderAStaleOldVersionIsKeptByteForByte) {
  const std::string current = "main|1|pop.example.jp|user|pw|0|8|IPAGothic|[]|10|1||1|1|0";
  list.Add(current);
  SaveAccounts(dir.Dir(), list);
  const std::string file = test::ReadBytes(dir.Dir() + "User.inf");
  std::string version = "old";  // Defult.ini not written at the last exit
  EXPECT_FALSE(Run(version));
  EXPECT_EQ(version, "1.7");
  EXPECT_THAT(list.Records(), ElementsAre(current));
  EXPECT_EQ(test::ReadBytes(dir.Dir() + "User.inf"), file);
  EXPECT_EQ(paper.calls, 0);
}

TEST_F(Migration, RecordOfNoKnownLayoutIsKeptWithAWarning) {
  // What an upgrade run twice made of a current record.
  const std::string shifted = "main|1|h|u|p|0|0|8|IPAGothic|[]|10|1|1||1|1|0";
  list.Add(shifted);
  std::string version = "1.7";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Run(version));
  EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("\"main\""));
  EXPECT_THAT(list.Records(), ElementsAre(shifted));
  EXPECT_FALSE(Exists(dir.Dir() + "User.inf"));
}

TEST_F(Migration, EachRecordIsConvertedFromItsOwnLayout) {
  list.Add("cur|1|h|u|p|2|5|font|[fsBold]|10|0|/d/|0|1|1|x@y|z.jp");
  list.Add("old,1,h,u,p,0,font,[],9,1,,1,0");
  list.Add("v10|1|h|u|p|0|font|[]|10|1||1|1|a@b");
  list.Add("v14|1|h|u|p|0|font|[]|10|1||0|1|0");
  paper.found = 3;
  std::string version = "1.4";
  EXPECT_TRUE(Run(version));
  EXPECT_THAT(list.Records(), ElementsAre("cur|1|h|u|p|2|5|font|[fsBold]|10|0|/d/|0|1|1|x@y|z.jp",
                                          "old|1|h|u|p|0|3|font|[]|9|1||1|1|0",
                                          "v10|1|h|u|p|0|3|font|[]|10|1||1|1|1|a@b",
                                          "v14|1|h|u|p|0|3|font|[]|10|1||0|1|0"));
  EXPECT_EQ(Saved().Records(), list.Records());
  EXPECT_EQ(paper.calls, 3);
}

TEST_F(Migration, RecordsThatBecomeEqualMerge) {
  list.Add("a,1");
  list.Add("a|1");
  MigrateOldTo10(list);
  EXPECT_THAT(list.Records(), ElementsAre("a|1"));
}

TEST_F(Migration, StepsKeepTheListSorted) {
  list.Add("b,1");
  list.Add("a|x,1");  // sorts after "a,..." only once the comma is a "|"
  list.Add("a,2");
  MigrateOldTo10(list);
  EXPECT_THAT(list.Records(), ElementsAre("a|2", "a|x|1", "b|1"));
}

TEST_F(Migration, PaperLookupMayBeUnset) {
  list.Add("a|1|h|u|p|0|f|[]|10|1||1|1|0");
  paperIndex = 2;
  MigrateTo17(list, paperIndex, nullptr);
  EXPECT_THAT(list.Records(), ElementsAre("a|1|h|u|p|0|2|f|[]|10|1||1|1|0"));
}

}  // namespace
}  // namespace pelnor
