#include "core/store/history.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/text/sjis.h"
#include "core/store/atomic_file.h"
#include "core/store/digit_codec.h"
#include "core/store/output_history.h"
#include "core/store/store_error.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

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
  std::string Path() const { return dir.Dir() + "main.dat"; }
  TempDir dir;
};

TEST_F(History, PathIsAliasWithDatInTheProgramDirectory) {
  EXPECT_EQ(HistoryPath(dir.Dir(), "main"), dir.Dir() + "main.dat");
  EXPECT_EQ(HistoryPath("/p/", Sjis("会社")), "/p/会社.dat");
  EXPECT_EQ(HistoryPath("/p/", ".."), "/p/...dat");
  EXPECT_THROW(HistoryPath("/p/", "../escape"), StoreError);
  EXPECT_THROW(HistoryPath("/p/", std::string("a\0b", 3)), StoreError);
}

TEST_F(History, CreateWritesTheRecordLineOnce) {
  CreateHistory(dir.Dir(), "main", "main|1|host");
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
  CreateHistory(dir.Dir(), "main", "main|0|other");  // existing file untouched
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host"}));
}

TEST_F(History, IsNewMessageTwiceAppendsOneLine) {
  CreateHistory(dir.Dir(), "main", "main|1|host");
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<1@example.jp>"));
  EXPECT_FALSE(IsNewMessage(dir.Dir(), "main", "<1@example.jp>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"main|1|host", "<1@example.jp>"}));
}

TEST_F(History, IdentifiersCompareWithLetterCase) {
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<a@x>"));
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<A@x>"));
  EXPECT_FALSE(IsNewMessage(dir.Dir(), "main", "<a@x>"));
}

TEST_F(History, MissingFileIsCreatedOwnerOnly) {
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<1@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
}

TEST_F(History, EmptyIdentifierIsStoredAsAnEmptyLine) {
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", ""));
  EXPECT_EQ(ReadBytes(Path()), "\r\n");
  // Every later message without a Message-ID counts as printed before.
  EXPECT_FALSE(IsNewMessage(dir.Dir(), "main", ""));
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<1@x>"));
}

TEST_F(History, WasOutputOnlyReadsAndRecordOutputAddsOnce) {
  EXPECT_FALSE(WasOutput(dir.Dir(), "main", "<1@x>"));
  EXPECT_FALSE(Exists(Path()));  // a question leaves no file behind
  RecordOutput(dir.Dir(), "main", "<1@x>");
  RecordOutput(dir.Dir(), "main", "<1@x>");
  EXPECT_TRUE(WasOutput(dir.Dir(), "main", "<1@x>"));
  EXPECT_FALSE(WasOutput(dir.Dir(), "main", "<2@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
  // A line cut by an interrupted append does not swallow the next record.
  WriteBytes(Path(), Lines({"<1@x>"}) + "0000039");
  RecordOutput(dir.Dir(), "main", "<2@x>");
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}) + "0000039\r\n" + Lines({"<2@x>"}));
}

TEST_F(History, AppendAfterACutLineStartsANewLine) {
  WriteBytes(Path(), EncodeDigits("<1@x>") + "\r\n" + "0000039");  // cut mid-line
  EXPECT_TRUE(IsNewMessage(dir.Dir(), "main", "<2@x>"));
  EXPECT_FALSE(IsNewMessage(dir.Dir(), "main", "<2@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>"}) + "0000039\r\n" + Lines({"<2@x>"}));
}

TEST_F(History, NonDigitLineIsSkippedWithAWarning) {
  WriteBytes(Path(), "garbage\r\n" + Lines({"<1@x>"}));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(IsNewMessage(dir.Dir(), "main", "<1@x>"));
  EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(Path() + ":1:"));
}

TEST_F(History, PruneKeepsOnlyIdsStillOnTheServerInServerOrder) {
  WriteBytes(Path(), Lines({"main|1|host", "<a>", "<b>", "<c>"}));
  PruneHistory(dir.Dir(), "main", {"<c>", "<new>", "<a>"});
  EXPECT_EQ(ReadBytes(Path()), Lines({"<c>", "<a>"}));
}

TEST_F(History, PruneHoldsEachIdentifierOnce) {
  // Repeats left by earlier rewrites, and two messages sharing "<b>".
  WriteBytes(Path(), Lines({"<a>", "<a>", "<b>", "<b>"}));
  for (int cycle = 0; cycle < 3; ++cycle) {
    PruneHistory(dir.Dir(), "main", {"<b>", "<a>", "<b>", ""});
    EXPECT_EQ(ReadBytes(Path()), Lines({"<b>", "<a>"})) << "cycle " << cycle;
  }
}

TEST_F(History, PruneWithNoOldIdOnTheServerLeavesAnEmptyFile) {
  WriteBytes(Path(), Lines({"main|1|host", "<a>"}));
  PruneHistory(dir.Dir(), "main", {"<x>", "<y>"});
  EXPECT_EQ(ReadBytes(Path()), "");
}

TEST_F(History, PruneOfAnEmptyHistoryWritesNothing) {
  WriteBytes(Path(), "");
  PruneHistory(dir.Dir(), "main", {"<a>", ""});
  EXPECT_EQ(ReadBytes(Path()), "");
  PruneHistory(dir.Dir(), "other", {"<a>"});  // missing file: created empty
  EXPECT_EQ(ReadBytes(dir.Dir() + "other.dat"), "");
  EXPECT_EQ(test::PermissionBits(dir.Dir() + "other.dat"), 0600u);
}

TEST_F(History, PruneKeepsTheEmptyIdentifier) {
  WriteBytes(Path(), Lines({"", "<a>"}));
  PruneHistory(dir.Dir(), "main", {"<a>", ""});
  EXPECT_EQ(ReadBytes(Path()), Lines({"<a>", ""}));
}

TEST_F(History, InterruptedPruneLeavesTheOldFileIntact) {
  std::string old = Lines({"<a>", "<b>"});
  WriteBytes(Path(), old);
  SetBeforeRenameHookForTesting([](const std::string&) { throw StoreError("crash"); });
  EXPECT_THROW(PruneHistory(dir.Dir(), "main", {"<b>"}), StoreError);
  SetBeforeRenameHookForTesting({});
  EXPECT_EQ(ReadBytes(Path()), old);
  EXPECT_EQ(test::EntryCount(dir.Dir()), 1);
}

TEST_F(History, ShiftJisAliasNamesAUtf8File) {
  std::string alias = Sjis("会社ポスト");
  CreateHistory(dir.Dir(), alias, alias + "|1");
  EXPECT_TRUE(Exists(dir.Dir() + "会社ポスト.dat"));
  EXPECT_TRUE(DeleteHistory(dir.Dir(), alias));
  EXPECT_FALSE(Exists(dir.Dir() + "会社ポスト.dat"));
}

// Deleting an account takes every file the program kept for it, so a new
// account of the same name does not inherit what the old one had seen.
TEST_F(History, DeleteTakesTheAccountsOtherFilesWithIt) {
  CreateHistory(dir.Dir(), "main", "main|1");
  WriteBytes(dir.Dir() + "main.uidl", "x");
  WriteBytes(dir.Dir() + "main.pnd", "x");
  EXPECT_TRUE(DeleteHistory(dir.Dir(), "main"));
  EXPECT_EQ(test::EntryCount(dir.Dir()), 0);
}

TEST_F(History, DeleteOfAMissingFileIsNoError) {
  EXPECT_TRUE(DeleteHistory(dir.Dir(), "main"));
  EXPECT_TRUE(DeleteHistory(dir.Dir(), "a/b"));
}

TEST_F(History, DeleteFailureIsReportedWithTheMessageText) {
  // A non-empty directory in the file's place cannot be unlinked.
  ASSERT_EQ(::mkdir(Path().c_str(), 0700), 0);
  WriteBytes(Path() + "/x", "");
  EXPECT_FALSE(DeleteHistory(dir.Dir(), "main"));
  EXPECT_EQ(HistoryDeleteFailedText("main"), "main" + Sjis(".datを削除出来ませんでした。"));
}

// The history as a check holds it: read once, appended to, and rewritten
// by a prune only when the prune changes it.
TEST_F(History, HeldHistoryAppendsEachIdentifierOnceAndPrunesOnlyWhatChanged) {
  WriteBytes(Path(), Lines({"<1@x>", "<2@x>"}));
  OutputHistory history(dir.Dir(), "main");
  EXPECT_TRUE(history.Contains("<2@x>"));
  history.Record("<3@x>");
  history.Record("<3@x>");
  EXPECT_TRUE(history.Contains("<3@x>"));
  EXPECT_EQ(ReadBytes(Path()), Lines({"<1@x>", "<2@x>", "<3@x>"}));

  struct stat before {};
  ASSERT_EQ(::stat(Path().c_str(), &before), 0);
  history.Prune({"<9@x>", "<1@x>", "<2@x>", "<3@x>"});
  struct stat after {};
  ASSERT_EQ(::stat(Path().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "nothing to prune: not rewritten";

  history.Prune({"<3@x>", "<1@x>"});
  EXPECT_EQ(ReadBytes(Path()), Lines({"<3@x>", "<1@x>"}));
  EXPECT_FALSE(history.Contains("<2@x>"));
  EXPECT_EQ(test::PermissionBits(Path()), 0600u);
}

}  // namespace
}  // namespace pelnor
