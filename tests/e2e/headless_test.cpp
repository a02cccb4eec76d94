// The built program without a desktop, as a service manager runs it: no X
// server, no DISPLAY, a plain background process with its standard output
// and error kept apart, Dovecot on 127.0.0.1:110 and a private CUPS. Only
// the outside is looked at: print jobs, the files in the folder given on the
// command line, the output, the exit status.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "core/store/digit_codec.h"
#include "core/text/sjis.h"
#include "e2e_rig.h"
#include "support/cups_fixture.h"
#include "support/dovecot_fixture.h"
#include "support/pdf_probe.h"
#include "support/temp_dir.h"
#include "support/test_mails.h"
#include "support/test_process.h"

namespace pelnor::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

// 会社 prints on printer 99, beyond the list: the system default.
const std::string kCompany = "会社|1|127.0.0.1|taro|secret|99|0|IPAGothic|[]|10|1||1|1|0";
// Nothing listens on this loopback address.
const std::string kBroken = "broken|1|127.0.0.2|taro|secret|99|0|IPAGothic|[]|10|1||1|1|0";

class HeadlessProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = MissingForWholeProgram(); !missing.empty())
      GTEST_SKIP() << "*** " << missing << ": test did not run ***";

    cups_ = std::make_unique<CupsFixture>("pelnor-headless");
    dovecot_.SetPort(110);
    dovecot_.AddUser("taro", "secret");
    dovecot_.Start();
    for (const char* dir : {"files", "home", "run", "tmp"}) fs::create_directories(base_.Path() / dir);
    fs::permissions(base_.Path() / "run", fs::perms::owner_all, fs::perm_options::replace);
  }

  fs::path Files() const { return base_.Path() / "files"; }
  fs::path Out() const { return base_.Path() / "out.txt"; }
  fs::path Err() const { return base_.Path() / "err.txt"; }

  void WriteAccounts(const std::vector<std::string>& records) {
    std::string text;
    for (const std::string& record : records) text += EncodeDigits(Sjis(record)) + "\r\n";
    WriteBytes(Files() / "User.inf", text);
  }

  // Ten minutes between timed checks, the log on.
  void WriteSettings() {
    WriteBytes(Files() / "Defult.ini",
               "[File]\r\nTime=600000\r\n[Config]\r\nCH2=1\r\n[System]\r\nFirstStart=0\r\n"
               "version=1.7\r\n");
  }

  // Whatever display the test runs under is kept from the program.
  std::unique_ptr<ChildProcess> Run(const std::string& mode) {
    const std::vector<std::string> env = EnvironmentWithout(
        EnvironmentWith({"HOME=" + (base_.Path() / "home").string(),
                         "XDG_RUNTIME_DIR=" + (base_.Path() / "run").string(),
                         "TMPDIR=" + (base_.Path() / "tmp").string(),
                         LeakSuppressions(base_.Path())}),
        {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"});
    const char* other = std::getenv("PELNOR_E2E_EXECUTABLE");
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{other ? other : PELNOR_EXECUTABLE, mode, "--program-dir",
                                 Files().string()},
        env, Out(), Err());
  }

  int RunOnce() {
    auto program = Run("--check-once");
    EXPECT_TRUE(WaitUntil([&] { return !program->Running(); }, 60s)) << Output();
    return program->Wait();
  }

  std::string Output() const {
    return "\n--- stdout ---\n" + ReadBytesIfExists(Out()) + "\n--- stderr ---\n" +
           ReadBytesIfExists(Err()) + "\n--- dovecot ---\n" + dovecot_.LogText();
  }

  std::unique_ptr<CupsFixture> cups_;
  DovecotServer dovecot_;
  TempDir base_{"pelnor-headless-"};
};

TEST_F(HeadlessProgram, ChecksSoonAfterStartReportsErrorsAndSavesOnSigterm) {
  WriteAccounts({kBroken, kCompany});
  WriteSettings();
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "夜間の注文", {"本文"}));
  auto program = Run("--headless");

  // The first check comes about ten seconds after start, not ten minutes.
  const std::vector<fs::path> jobs = cups_->WaitForJobs(1, 45s);
  EXPECT_THAT(PdfToText(jobs.front()), HasSubstr("夜間の注文"));
  ASSERT_TRUE(WaitUntil([&] { return ReadBytesIfExists(Out()).find("<出力終了>") != std::string::npos; },
                        10s))
      << Output();
  EXPECT_THAT(ReadBytesIfExists(Out()), HasSubstr("[会社]山田太郎"));
  EXPECT_THAT(ReadBytesIfExists(Err()), HasSubstr("[broken]接続エラー<エラー発生>"));
  EXPECT_THAT(ReadBytesIfExists(Out()), Not(HasSubstr("接続エラー")));
  EXPECT_THAT(SjisToUtf8(ReadBytes(Files() / "Log.txt")), HasSubstr("[broken]接続エラー"));
  ASSERT_TRUE(program->Running()) << Output();

  fs::remove(Files() / "Defult.ini");
  ASSERT_EQ(::kill(program->Pid(), SIGTERM), 0);
  ASSERT_TRUE(WaitUntil([&] { return !program->Running(); }, 15s)) << "SIGTERM did not end it";
  EXPECT_EQ(program->Wait(), 0) << Output();
  const std::string saved = ReadBytesIfExists(Files() / "Defult.ini");
  EXPECT_THAT(saved, HasSubstr("Time=600000\r\n"));
  EXPECT_THAT(saved, HasSubstr("FirstStart=0\r\n"));
  EXPECT_FALSE(fs::exists(base_.Path() / "run" / "EX_PELNOR.lock"));
  EXPECT_TRUE(fs::is_empty(base_.Path() / "tmp"));
  EXPECT_EQ(cups_->Jobs().size(), 1u);
}

TEST_F(HeadlessProgram, CheckOnceTellsInItsExitStatusWhetherEveryAccountWasChecked) {
  WriteAccounts({kCompany});
  WriteSettings();
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "一件目", {"本文"}));
  EXPECT_EQ(RunOnce(), 0) << Output();
  EXPECT_THAT(PdfToText(cups_->WaitForJobs(1).back()), HasSubstr("一件目"));

  // An account that cannot be reached fails the run; the others are
  // checked all the same, and what was printed is not printed again.
  WriteAccounts({kBroken, kCompany});
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "二件目", {"本文"}));
  EXPECT_EQ(RunOnce(), 1) << Output();
  const std::vector<fs::path> jobs = cups_->WaitForJobs(2);
  EXPECT_THAT(PdfToText(jobs.back()), HasSubstr("二件目"));
  EXPECT_THAT(ReadBytesIfExists(Err()), HasSubstr("[broken]接続エラー"));

  // Nothing to check is no success either.
  WriteAccounts({});
  EXPECT_EQ(RunOnce(), 1) << Output();
  EXPECT_EQ(cups_->Jobs().size(), 2u);
}

}  // namespace
}  // namespace pelnor::test
