#include "core/store/account_editor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/text/sjis.h"
#include "core/store/account_record.h"
#include "core/store/digit_codec.h"
#include "core/store/history.h"
#include "core/store/store_error.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::Exists;
using test::ReadBytes;
using test::TempDir;
using testing::ElementsAre;

Account NewAccount() {
  Account d;
  d.Alias = "a";
  d.Host = "h";
  d.User = "u";
  d.Password = "p";
  d.PrinterIndex = 0;
  d.PaperIndex = 8;
  d.FontName = "font";
  d.FontStyle = "[]";
  d.SetField(afFontSize, "10");
  return d;
}

// --- building ------------------------------------------------------------------

TEST(BuildAccountRecord, FieldByField) {
  struct Row {
    const char* name;
    void (*change)(Account&);
    const char* record;
  } rows[] = {
      {"new account", [](Account&) {}, "a|1|h|u|p|0|8|font|[]|10|1||1|1|0"},
      {"flags on", [](Account& d) {
         d.SaveAttachments = d.DateSubDir = d.DeleteOnServer = true;
         d.AttachDir = "/x/";
       }, "a|1|h|u|p|0|8|font|[]|10|0|/x/|0|0|0"},
      {"no selection", [](Account& d) { d.PrinterIndex = d.PaperIndex = -1; },
       "a|1|h|u|p|-1|-1|font|[]|10|1||1|1|0"},
      {"two addresses", [](Account& d) {
         d.ReceiveAll = false;
         d.Addresses = {"x@y.jp", "z.jp"};
       }, "a|1|h|u|p|0|8|font|[]|10|1||1|1|1|x@y.jp|z.jp"},
      {"filter without address receives all", [](Account& d) { d.ReceiveAll = false; },
       "a|1|h|u|p|0|8|font|[]|10|1||1|1|0"},
      {"receive all drops addresses", [](Account& d) { d.Addresses = {"x@y.jp"}; },
       "a|1|h|u|p|0|8|font|[]|10|1||1|1|0"},
      {"empty address", [](Account& d) {
         d.ReceiveAll = false;
         d.Addresses = {""};
       }, "a|1|h|u|p|0|8|font|[]|10|1||1|1|1|"},
      {"empty texts", [](Account& d) {
         d.Alias = d.Host = "";
         d.SetField(afFontSize, "");
       },
       "|1||u|p|0|8|font|[]||1||1|1|0"},
  };
  for (const Row& row : rows) {
    Account d = NewAccount();
    row.change(d);
    EXPECT_EQ(BuildAccountRecord(d), row.record) << row.name;
  }
}

// --- reading -------------------------------------------------------------------

TEST(ReadRecordForEditor, AddressesOnlyWhenFiltering) {
  EXPECT_THAT(ReadRecordForEditor("a|0|h|u|p|0|0|f|[]|10|1||1|1|0|stray").Shown.Addresses,
              testing::IsEmpty());
  EXPECT_THAT(ReadRecordForEditor("a|1|h|u|p|0|0|f|[]|10|1||1|1|1").Shown.Addresses,
              testing::IsEmpty());
  EXPECT_THAT(ReadRecordForEditor("a|1|h|u|p|0|0|f|[]|10|1||1|1|1|").Shown.Addresses,
              ElementsAre(""));
}

TEST(ReadRecordForEditor, NumbersThatAreNotWholeReadAsZero) {
  const LoadedAccount loaded = ReadRecordForEditor("a|1|h|u|p|x|2.5|f|[]|10|1||1|1|0");
  EXPECT_EQ(loaded.Shown.PrinterIndex, 0);
  EXPECT_EQ(loaded.Shown.PaperIndex, 0);
  EXPECT_THAT(loaded.NotWholeFields, ElementsAre(afPrinter, afPaper));

  const LoadedAccount fine = ReadRecordForEditor("a|1|h|u|p|-1|7|f|[]|abc|1||1|1|0");
  EXPECT_EQ(fine.Shown.PrinterIndex, -1);
  EXPECT_EQ(fine.Shown.PaperIndex, 7);
  EXPECT_EQ(fine.Shown.Field(afFontSize), "abc");  // shown as stored, never checked
  EXPECT_TRUE(fine.NotWholeFields.empty());
}

// --- texts -------------------------------------------------------------------------

TEST(FontStyleText, MembersInTheirOrder) {
  EXPECT_EQ(FontStyleText(0b0000), "[]");
  EXPECT_EQ(FontStyleText(0b0001), "[fsBold]");
  EXPECT_EQ(FontStyleText(0b1010), "[fsItalic,fsStrikeOut]");
  EXPECT_EQ(FontStyleText(0b1111), "[fsBold,fsItalic,fsUnderline,fsStrikeOut]");
}

TEST(FieldBreakingChar, FindsTheSeparatorByteWhereverItStands) {
  struct Row {
    const char* name;
    std::string text;
    std::string found;
  } rows[] = {
      {"plain", "abc@example.jp", ""},
      {"bar", "a|b", "|"},
      {"po", Sjis("アポロ"), Sjis("ポ")},
      {"backslash byte is harmless", Sjis("表示"), ""},
      {"half-width kana are one byte", Sjis("ﾎﾟｰﾄ|"), "|"},
      {"lead byte at the end", "ab\x83", ""},
      {"second byte that looks like a lead", Sjis("＝") + "|", "|"},
      {"first of several", Sjis("ポ") + "|", Sjis("ポ")},
  };
  for (const Row& row : rows) EXPECT_EQ(FieldBreakingChar(row.text), row.found) << row.name;
}

// --- aliases and storing -----------------------------------------------------------

AccountList ThreeAccounts() {
  AccountList list;
  for (const char* r : {"main|1|h|u|p|0|0|f|[]|10|1||1|1|0", "Shop|0|h|u|p|0|0|f|[]|10|1||1|1|0",
                        "work|1|h|u|p|0|0|f|[]|10|1||1|1|0"})
    list.Add(r);
  return list;
}

TEST(DuplicateAliases, ExactComparisonLeavingOutTheEditedRecord) {
  const AccountList list = ThreeAccounts();
  EXPECT_THAT(DuplicateAliases(list, "work", std::nullopt), ElementsAre(2u));
  EXPECT_THAT(DuplicateAliases(list, "work", 2u), testing::IsEmpty());
  EXPECT_THAT(DuplicateAliases(list, "work", 0u), ElementsAre(2u));
  EXPECT_THAT(DuplicateAliases(list, "shop", std::nullopt), testing::IsEmpty());
  EXPECT_THAT(DuplicateAliases(list, "wor", std::nullopt), testing::IsEmpty());
}

TEST(StoreAccountRecord, NewAccountGetsItsHistory) {
  TempDir dir;
  AccountList list = ThreeAccounts();
  const std::string record = "new|1|h|u|p|0|0|f|[]|10|1||1|1|0";
  ASSERT_TRUE(StoreAccountRecord(list, dir.Dir(), "new", record, std::nullopt));
  EXPECT_EQ(list.size(), 4u);
  EXPECT_EQ(list[1], record);
  EXPECT_EQ(ReadBytes(dir.Dir() + "new.dat"), EncodeDigits(record) + "\r\n");
}

TEST(StoreAccountRecord, EditReplacesAndKeepsAnExistingHistory) {
  TempDir dir;
  AccountList list = ThreeAccounts();
  test::WriteBytes(dir.Dir() + "work.dat", "old\r\n");
  const std::string record = "work|1|other|u|p|0|0|f|[]|10|1||1|1|0";
  ASSERT_TRUE(StoreAccountRecord(list, dir.Dir(), "work", record, 2u));
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2], record);
  EXPECT_EQ(ReadBytes(dir.Dir() + "work.dat"), "old\r\n");
}

TEST(StoreAccountRecord, RefusesARecordThatWouldMergeWithAnother) {
  TempDir dir;
  AccountList list = ThreeAccounts();
  const std::vector<std::string> before = list.Records();
  // "MAIN" is a different alias, but the sorted list holds records equal
  // but for letter case once: storing it would lose the edited "work".
  EXPECT_FALSE(StoreAccountRecord(list, dir.Dir(), "MAIN", "MAIN|1|H|U|P|0|0|F|[]|10|1||1|1|0", 2u));
  EXPECT_EQ(list.Records(), before);
  EXPECT_FALSE(Exists(dir.Dir() + "MAIN.dat"));
}

TEST(StoreAccountRecord, AFailedHistoryKeepsTheEditedRecord) {
  TempDir dir;
  AccountList list = ThreeAccounts();
  const std::vector<std::string> before = list.Records();
  EXPECT_THROW(StoreAccountRecord(list, dir.Dir(), "a/b", "a/b|1|h|u|p|0|0|f|[]|10|1||1|1|0", 0u),
               StoreError);
  EXPECT_EQ(list.Records(), before);
}

}  // namespace
}  // namespace pelnor
