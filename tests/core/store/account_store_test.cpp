#include "core/store/account_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/text/sjis.h"
#include "core/store/atomic_file.h"
#include "core/store/digit_codec.h"
#include "core/store/store_error.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::Exists;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

class AccountStore : public testing::Test {
 protected:
  std::string UserInf() const { return dir.Dir() + "User.inf"; }
  TempDir dir;
};

TEST_F(AccountStore, MissingFileGivesAnEmptyList) {
  AccountList list;
  LoadAccounts(dir.Dir(), list);
  EXPECT_TRUE(list.empty());
}

TEST_F(AccountStore, GoldenFileReadsAndWritesBackByteForByte) {
  std::string golden = ReadBytes(test::GoldenPath("User.inf"));
  WriteBytes(UserInf(), golden);
  AccountList list;
  LoadAccounts(dir.Dir(), list);
  EXPECT_THAT(
      list.Records(),
      ElementsAre(
          "main|1|pop.example.jp|user|secret|1|0|IPAGothic|[]|10|1||1|1|0",
          "Sub|0|mail.example.net|sub|pa,ss|0|2|Sans|[fsBold,fsItalic]|12|1||1|0|0",
          Sjis("テスト|1|127.0.0.1|test|テスト用|5|3|ＭＳ 明朝|[fsUnderline]|9|0|/tmp/添付/|1|1|0"),
          Sjis("会社|1|pop.example.co.jp|taro|p@ss word|0|8|ＭＳ ゴシック|[fsBold]|10|0|"
               "/home/taro/添付ファイル/|0|1|1|yamada@example.jp|example.com")));
  SaveAccounts(dir.Dir(), list);
  EXPECT_EQ(ReadBytes(UserInf()), golden);
  EXPECT_FALSE(Exists(UserInf() + ".bak"));
}

TEST_F(AccountStore, SavedFileIsOwnerOnly) {
  WriteBytes(UserInf(), "");  // an old file with a wider mode is narrowed too
  AccountList list;
  list.Add("a|1|h|u|secret");
  SaveAccounts(dir.Dir(), list);
  EXPECT_EQ(test::PermissionBits(UserInf()), 0600u);
  EXPECT_EQ(ReadBytes(UserInf()), EncodeDigits("a|1|h|u|secret") + "\r\n");
}

TEST_F(AccountStore, EmptyListWritesAnEmptyFile) {
  SaveAccounts(dir.Dir(), AccountList{});
  EXPECT_EQ(ReadBytes(UserInf()), "");
}

TEST_F(AccountStore, LoadSortsAndDropsEqualRecords) {
  WriteBytes(UserInf(), EncodeDigits("zed|1") + "\r\n" + EncodeDigits("Alpha|1") + "\n" +
                            EncodeDigits("ALPHA|1"));  // LF and no final line end too
  AccountList list;
  LoadAccounts(dir.Dir(), list);
  EXPECT_THAT(list.Records(), ElementsAre("Alpha|1", "zed|1"));
}

TEST_F(AccountStore, NonDigitLineIsSkippedWithAWarningAndBackedUp) {
  std::string damaged =
      EncodeDigits("a|1") + "\r\n" + "0000039O\r\n" + EncodeDigits("b|1") + "\r\n";
  WriteBytes(UserInf(), damaged);
  AccountList list;
  testing::internal::CaptureStderr();
  LoadAccounts(dir.Dir(), list);
  std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_THAT(warning, HasSubstr(UserInf() + ":2:"));
  EXPECT_THAT(list.Records(), ElementsAre("a|1", "b|1"));

  SaveAccounts(dir.Dir(), list);
  EXPECT_EQ(ReadBytes(UserInf() + ".bak"), damaged);
  EXPECT_EQ(test::PermissionBits(UserInf() + ".bak"), 0600u);
  EXPECT_EQ(ReadBytes(UserInf()), EncodeDigits("a|1") + "\r\n" + EncodeDigits("b|1") + "\r\n");

  // The next save replaces a clean file and leaves the backup alone.
  list.Add("c|1");
  SaveAccounts(dir.Dir(), list);
  EXPECT_EQ(ReadBytes(UserInf() + ".bak"), damaged);
}

TEST_F(AccountStore, InterruptedRewriteLeavesTheOldFileIntact) {
  std::string old = EncodeDigits("old|1") + "\r\n";
  WriteBytes(UserInf(), old);
  AccountList list;
  list.Add("new|1");
  std::string tempSeen;
  SetBeforeRenameHookForTesting([&](const std::string& temp) {
    tempSeen = temp;
    // The new text is complete in the temporary file when the failure strikes.
    EXPECT_EQ(ReadBytes(temp), EncodeDigits("new|1") + "\r\n");
    throw StoreError("power cut");
  });
  EXPECT_THROW(SaveAccounts(dir.Dir(), list), StoreError);
  SetBeforeRenameHookForTesting({});
  EXPECT_EQ(ReadBytes(UserInf()), old);
  EXPECT_FALSE(tempSeen.empty());
  EXPECT_FALSE(Exists(tempSeen));
  EXPECT_EQ(test::EntryCount(dir.Dir()), 1);
}

TEST_F(AccountStore, UnwritableDirectoryIsReported) {
  AccountList list;
  list.Add("a|1");
  EXPECT_THROW(SaveAccounts(dir.Dir() + "missing/", list), StoreError);
}

TEST_F(AccountStore, UnreadableFileIsReportedNotTakenAsEmpty) {
  // A directory in its place cannot be read as a file; an empty list here
  // would let the next save wipe the accounts.
  ASSERT_EQ(::mkdir(UserInf().c_str(), 0700), 0);
  AccountList list;
  EXPECT_THROW(LoadAccounts(dir.Dir(), list), StoreError);
  EXPECT_THAT(list.Records(), IsEmpty());
}

}  // namespace
}  // namespace pelnor
