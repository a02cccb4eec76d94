#include "core/store/account.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/store/digit_codec.h"
#include "core/text/sjis.h"
#include "support/store_test_util.h"

namespace pelnor {
namespace {

using testing::ElementsAre;

// The records of the golden User.inf, decoded.
std::vector<std::string> GoldenRecords() {
  const std::string file = test::ReadBytes(test::GoldenPath("User.inf"));
  std::vector<std::string> records;
  for (size_t start = 0, end; (end = file.find("\r\n", start)) != std::string::npos;
       start = end + 2)
    records.push_back(DecodeDigits(file.substr(start, end - start)));
  return records;
}

TEST(Account, EveryRecordReadAndWrittenBackKeepsItsBytes) {
  struct Row {
    std::string name;
    std::string record;
  };
  std::vector<Row> rows = {
      {"field 2 neither 0 nor 1", "a|yes|h|u|p|0|0|f|[]|10|1||1|1|0"},
      {"field 2 empty", "a||h|u|p|0|0|f|[]|10|1||1|1|0"},
      {"printer, paper and size no numbers", "a|1|h|u|p|x|2.0|f|[]|big|1||1|1|0"},
      {"numbers with a sign or zeros", "a|1|h|u|p|+1|007|f|[]|-0|1||1|1|0"},
      {"flags neither 0 nor 1", "a|1|h|u|p|0|0|f|[]|10|2||yes||1"},
      {"font style in its own order", "a|1|h|u|p|0|0|f|[fsItalic,fsBold]|10|1||1|1|0"},
      {"a bar inside a Shift_JIS character", Sjis("ポスト|1|h|u|p|0|0|f|[]|10|1||1|1|0")},
      {"ends at field 15", "a|1|h|u|p|0|0|f|[]|10|1||1|1|1"},
      {"an empty address", "a|1|h|u|p|0|0|f|[]|10|1||1|1|1|"},
      {"addresses although receiving all", "a|0|h|u|p|0|0|f|[]|10|1||1|1|0|stray"},
      {"the 1.4 layout", "a|1|h|u|p|0|f|[]|10|1||1|1|0"},
      {"the old layout", "a,1,h,u,p,0,f,[],10,1,,1,1"},
      {"two fields, the second empty", "a|"},
      {"one field", "solo"},
      {"empty", ""},
  };
  int n = 0;
  for (const std::string& record : GoldenRecords())
    rows.push_back({"golden record " + std::to_string(++n), record});
  ASSERT_EQ(n, 4);
  for (const Row& row : rows)
    EXPECT_EQ(Account::FromRecord(row.record).ToRecord(), row.record) << row.name;
}

TEST(Account, ReadsEveryFieldTyped) {
  const Account a = Account::FromRecord(GoldenRecords().at(3));
  EXPECT_EQ(a.Alias, Sjis("会社"));
  EXPECT_TRUE(a.Enabled);
  EXPECT_EQ(a.Host, "pop.example.co.jp");
  EXPECT_EQ(a.User, "taro");
  EXPECT_EQ(a.Password, "p@ss word");
  EXPECT_EQ(a.PrinterIndex, 0);
  EXPECT_EQ(a.PaperIndex, 8);
  EXPECT_EQ(a.FontName, Sjis("ＭＳ ゴシック"));
  EXPECT_EQ(a.FontStyle, "[fsBold]");
  EXPECT_EQ(a.FontSize, 10);
  EXPECT_TRUE(a.SaveAttachments);
  EXPECT_EQ(a.AttachDir, Sjis("/home/taro/添付ファイル/"));
  EXPECT_TRUE(a.DateSubDir);
  EXPECT_FALSE(a.DeleteOnServer);
  EXPECT_FALSE(a.ReceiveAll);
  EXPECT_THAT(a.Addresses, ElementsAre("yamada@example.jp", "example.com"));
}

// A record cut short reads its missing fields as empty texts: the flags off,
// field 2 on, the sender filter on, no numbers.
TEST(Account, MissingFieldsReadAsEmptyTexts) {
  const Account a = Account::FromRecord("solo");
  EXPECT_EQ(a.Alias, "solo");
  EXPECT_TRUE(a.Enabled);
  EXPECT_EQ(a.PrinterIndex, std::nullopt);
  EXPECT_EQ(a.FontSize, std::nullopt);
  EXPECT_FALSE(a.SaveAttachments);
  EXPECT_FALSE(a.ReceiveAll);
  EXPECT_TRUE(a.Addresses.empty());
}

TEST(Account, AChangedFieldIsWrittenAsTheEditorWritesIt) {
  Account a = Account::FromRecord("a|yes|h|u|p|007|x|f|[]|10|2||1|1|0");
  a.PrinterIndex = 7;  // the same value: the stored text stays
  EXPECT_EQ(a.ToRecord(), "a|yes|h|u|p|007|x|f|[]|10|2||1|1|0");
  a.Enabled = false;
  a.PrinterIndex = 3;
  a.PaperIndex.reset();  // no number, as before: "x" stays
  a.SaveAttachments = true;
  a.ReceiveAll = false;
  a.Addresses = {"x@y.jp"};
  EXPECT_EQ(a.ToRecord(), "a|0|h|u|p|3|x|f|[]|10|0||1|1|1|x@y.jp");
  EXPECT_EQ(a.Field(afPrinter), "3");

  Account solo = Account::FromRecord("solo");
  solo.Enabled = false;
  EXPECT_EQ(solo.ToRecord(), "solo|0");  // grows only as far as it must
}

TEST(Account, ANewAccountWritesEveryField) {
  Account a;
  a.Alias = "new";
  EXPECT_EQ(a.ToRecord(), "new|1|||||||||1||1|1|0");
  EXPECT_THROW(a.SetField(afFirstAddress, "x"), std::range_error);
}

}  // namespace
}  // namespace pelnor
