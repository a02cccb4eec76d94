#include "core/check/comm_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <utility>
#include <vector>

#include "core/text/sjis.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "support/fixed_clock.h"

namespace pelnor {
namespace {

using test::FixedClock;
using test::ReadBytes;
using test::TempDir;

class CommLogTest : public testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dir.Path() / "Log.txt";
  FixedClock clock{{2004, 12, 25, 15, 30, 4}};
  bool enabled = true;
  CommLog log{file, clock, [this] { return enabled; }};
};

TEST_F(CommLogTest, OutputLineInShiftJisWithCrLf) {
  log.WriteLog(Sjis("[main]山田 [Sat, 25 Dec 2004 15:29:58 ]"), lkOutput);
  EXPECT_EQ(ReadBytes(file),
            Sjis("2004/12/25 15:30:04 : [main]山田 [Sat, 25 Dec 2004 15:29:58 ]<出力終了>\r\n"));
}

TEST_F(CommLogTest, ErrorLinesAreAppendedInOrder) {
  log.WriteLog("-ERR invalid password", lkError);
  clock.Time.Second = 5;
  log.WriteLog(Sjis("ログインエラー"), lkError);
  EXPECT_EQ(ReadBytes(file), Sjis("2004/12/25 15:30:04 : -ERR invalid password<エラー発生>\r\n"
                                "2004/12/25 15:30:05 : ログインエラー<エラー発生>\r\n"));
}

TEST_F(CommLogTest, AppendsToAnExistingLog) {
  std::ofstream(file, std::ios::binary) << "old line\r\n";
  log.WriteLog(Sjis("接続エラー"), lkError);
  EXPECT_EQ(ReadBytes(file), "old line\r\n" + Sjis("2004/12/25 15:30:04 : 接続エラー<エラー発生>\r\n"));
}

TEST_F(CommLogTest, SwitchedOffCreatesNoFile) {
  enabled = false;
  log.WriteLog("x", lkOutput);
  log.WriteLog("y", lkError);
  EXPECT_FALSE(std::filesystem::exists(file));
}

// A program without a desktop copies the entries elsewhere, also while
// the file is switched off.
TEST_F(CommLogTest, EveryEntryReachesOnEntryWithoutTheFile) {
  std::vector<std::pair<std::string, int>> entries;
  log.OnEntry = [&](const std::string& entry, int kind) { entries.emplace_back(entry, kind); };
  enabled = false;
  log.WriteLog(Sjis("[会社]接続エラー"), lkError);
  log.WriteLog("[a]b\nc", lkOutput);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(entries, (std::vector<std::pair<std::string, int>>{
                         {Sjis("[会社]接続エラー<エラー発生>"), lkError},
                         {Sjis("[a]b c<出力終了>"), lkOutput}}));
}

TEST_F(CommLogTest, TheLiveSwitchCounts) {
  log.WriteLog("one", lkOutput);
  enabled = false;
  log.WriteLog("two", lkOutput);
  enabled = true;
  log.WriteLog("three", lkOutput);
  std::string text = ReadBytes(file);
  EXPECT_NE(text.find("one"), std::string::npos);
  EXPECT_EQ(text.find("two"), std::string::npos);
  EXPECT_NE(text.find("three"), std::string::npos);
}

TEST_F(CommLogTest, UnwritableLogGoesToTheHandler) {
  std::filesystem::create_directory(file);  // a directory cannot be appended to
  std::string reported;
  log.OnWriteError = [&](const std::string& message) { reported = message; };
  EXPECT_NO_THROW(log.WriteLog("x", lkError));
  EXPECT_NE(reported.find("Log.txt"), std::string::npos);
}

TEST_F(CommLogTest, UnwritableLogWithoutHandlerThrows) {
  std::filesystem::create_directory(file);
  EXPECT_THROW(log.WriteLog("x", lkError), ELogError);
}

TEST(FormatLogTimeStamp, ShortDateAndLongTime) {
  EXPECT_EQ(FormatLogTimeStamp({2004, 12, 25, 15, 29, 58}), "2004/12/25 15:29:58");
  EXPECT_EQ(FormatLogTimeStamp({2005, 1, 2, 3, 4, 5}), "2005/01/02 3:04:05");
  EXPECT_EQ(FormatLogTimeStamp({2005, 1, 2, 0, 0, 0}), "2005/01/02 0:00:00");
}

}  // namespace
}  // namespace pelnor
