#include "core/store/history.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/text/sjis.h"
#include "core/store/atomic_file.h"
#include "core/store/digit_codec.h"
#include "core/store/store_error.h"
#include "store_test_util.h"

namespace pelnor {
namespace {

using test::Exists;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;
using testing::HasSubstr;

std::string Lines(std::initializer_list<std::string> ids) {
  std::string text;
  for (const std::string& id : ids) text += EncodeDigits(id) + "\r\n";
  return text;
}

class History : public testing::Test {
 protected:
  std::string Path() const { return dir.path() + "main.dat"; }
  TempDir dir;
};

TEST_F(History, PathIsAliasWithDatInTheProgramDirectory) {
  EXPECT_EQ(HistoryPath(dir.path(), "main"), dir.path() + "main.dat");
  EXPECT_EQ(HistoryPath("/p/", Sjis("会社")), "/p/会社.dat");
  EXPECT_EQ(HistoryPath("/p/", ".."), "/p/...dat");
  EXPECT_THROW(HistoryPath("/p/", "../escape"), StoreError);
  EXPECT_THROW(HistoryPath("/p/", std::string("a\0b", 3)), StoreError);
}

TEST_F(History, CreateWritesTheRecordLineOnce) {
  CreateHistory(dir.path(), "main", "main|1|host");
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
  CreateHistory(dir.path(), "main", "main|0|other");  // existing file untouched
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host"}));
}

TEST_F(History, IsNewMessageTwiceAppendsOneLine) {
  CreateHistory(dir.path(), "main", "main|1|host");
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<1@example.jp>"));
  EXPECT_FALSE(IsNewMessage(dir.path(), "main", "<1@example.jp>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host", "<1@example.jp>"}));
}

TEST_F(History, IdentifiersCompareWithLetterCase) {
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<a@x>"));
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<A@x>"));
  EXPECT_FALSE(IsNewMessage(dir.path(), "main", "<a@x>"));
}

TEST_F(History, MissingFileIsCreatedOwnerOnly) {
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<1@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
}

TEST_F(History, EmptyIdentifierIsStoredAsAnEmptyLine) {
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", ""));
  EXPECT_EQ(ReadBytes(Path()), "\r\n");
  // Every later message without a Message-ID counts as printed before.
  EXPECT_FALSE(IsNewMessage(dir.path(), "main", ""));
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<1@x>"));
}

TEST_F(History, WasOutputOnlyReadsAndRecordOutputAddsOnce) {
  EXPECT_FALSE(WasOutput(dir.path(), "main", "<1@x>"));
  EXPECT_FALSE(Exists(Path()));  // a question leaves no file behind
  RecordOutput(dir.path(), "main", "<1@x>");
  RecordOutput(dir.path(), "main", "<1@x>");
  EXPECT_TRUE(WasOutput(dir.path(), "main", "<1@x>"));
  EXPECT_FALSE(WasOutput(dir.path(), "main", "<2@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
  // A line cut by an interrupted append does not swallow the next record.
  WriteBytes(Path(), Lines({"<1@x>"}) + "0000039");
  RecordOutput(dir.path(), "main", "<2@x>");
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}) + "0000039\r\n" + Lines({"<2@x>"}));
}

TEST_F(History, AppendAfterACutLineStartsANewLine) {
  WriteBytes(Path(), EncodeDigits("<1@x>") + "\r\n" + "0000039");  // cut mid-line
  EXPECT_TRUE(IsNewMessage(dir.path(), "main", "<2@x>"));
  EXPECT_FALSE(IsNewMessage(dir.path(), "main", "<2@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}) + "0000039\r\n" + Lines({"<2@x>"}));
}

TEST_F(History, NonDigitLineIsSkippedWithAWarning) {
  WriteBytes(Path(), "garbage\r\n" + Lines({"<1@x>"}));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(IsNewMessage(dir.path(), "main", "<1@x>"));
  EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(Path() + ":1:"));
}

TEST_F(History, PruneKeepsOnlyIdsStillOnTheServerInServerOrder) {
  WriteBytes(Path(), Lines({"main|1|host", "<a>", "<b>", "<c>"}));
  PruneHistory(dir.path(), "main", {"<c>", "<new>", "<a>"});
  EXPECT_EQ(ReadBytes(Path()), Lines({"<c>", "<a>"}));
}

TEST_F(History, PruneHoldsEachIdentifierOnce) {
  // Repeats left by earlier rewrites, and two messages sharing "<b>".
  WriteBytes(Path(), Lines({"<a>", "<a>", "<b>", "<b>"}));
  for (int cycle = 0; cycle < 3; ++cycle) {
    PruneHistory(dir.path(), "main", {"<b>", "<a>", "<b>", ""});
    EXPECT_EQ(ReadBytes(Path()), Lines({"<b>", "<a>"})) << "cycle " << cycle;
  }
}

TEST_F(History, PruneWithNoOldIdOnTheServerLeavesAnEmptyFile) {
  WriteBytes(Path(), Lines({"main|1|host", "<a>"}));
  PruneHistory(dir.path(), "main", {"<x>", "<y>"});
  EXPECT_EQ(ReadBytes(Path()), "");
}

TEST_F(History, PruneOfAnEmptyHistoryWritesNothing) {
  WriteBytes(Path(), "");
  PruneHistory(dir.path(), "main", {"<a>", ""});
  EXPECT_EQ(ReadBytes(Path()), "");
  PruneHistory(dir.path(), "other", {"<a>"});  // missing file: created empty
  EXPECT_EQ(ReadBytes(dir.path() + "other.dat"), "");
  EXPECT_EQ(test::PermissionBits(dir.path() + "other.dat"), 0600u);
}

TEST_F(History, PruneKeepsTheEmptyIdentifier) {
  WriteBytes(Path(), Lines({"", "<a>"}));
  PruneHistory(dir.path(), "main", {"<a>", ""});
  EXPECT_EQ(ReadBytes(Path()), Lines({"<a>", ""}));
}

TEST_F(History, InterruptedPruneLeavesTheOldFileIntact) {
  std::string old = Lines({"<a>", "<b>"});
  WriteBytes(Path(), old);
  SetBeforeRenameHookForTesting([](const std::string&) { throw StoreError("crash"); });
  EXPECT_THROW(PruneHistory(dir.path(), "main", {"<b>"}), StoreError);
  SetBeforeRenameHookForTesting({});
  EXPECT_EQ(ReadBytes(Path()), old);
  EXPECT_EQ(test::EntryCount(dir.path()), 1);
}

TEST_F(History, ShiftJisAliasNamesAUtf8File) {
  std::string alias = Sjis("会社ポスト");
  CreateHistory(dir.path(), alias, alias + "|1");
  EXPECT_TRUE(Exists(dir.path() + "会社ポスト.dat"));
  EXPECT_TRUE(DeleteHistory(dir.path(), alias));
  EXPECT_FALSE(Exists(dir.path() + "会社ポスト.dat"));
}

TEST_F(History, DeleteOfAMissingFileIsNoError) {
  EXPECT_TRUE(DeleteHistory(dir.path(), "main"));
  EXPECT_TRUE(DeleteHistory(dir.path(), "a/b"));
}

TEST_F(History, DeleteFailureIsReportedWithTheMessageText) {
  // A non-empty directory in the file's place cannot be unlinked.
  ASSERT_EQ(::mkdir(Path().c_str(), 0700), 0);
  WriteBytes(Path() + "/x", "");
  EXPECT_FALSE(DeleteHistory(dir.path(), "main"));
  EXPECT_EQ(HistoryDeleteFailedText("main"), "main" + Sjis(".datを削除出来ませんでした。"));
}

}  // namespace
}  // namespace pelnor
