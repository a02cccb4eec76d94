// The program killed dead (SIGKILL) at each step of a mail's output, then
// started again: no mail is lost, and a mail that may have come out before
// the kill says so on its new printout ("（再出力）" after the title) instead
// of coming out twice unmarked. The killed run is a child process; the
// in-memory server keeps what it held, as a POP3 mailbox does when its
// session never reaches QUIT.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check_cycle_fakes.h"
#include "core/check/check_cycle.h"
#include "core/check/fault_point.h"
#include "core/store/history.h"
#include "support/fixed_clock.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

#ifndef PELNOR_TEST_HOOKS

TEST(CheckCycleCrash, NeedsTheFaultPoints) {
  GTEST_SKIP() << "*** built without PELNOR_TEST_HOOKS: the crash test did not run ***";
}

#else

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One program directory, printer and cycle, as one start of the program.
struct ProgramRun {
  explicit ProgramRun(const TempDir& dir, FakeMailWorld& world)
      : log(dir.Path() / "Log.txt", clock, [] { return true; }),
        printer(canvas, log, clock, dir.Path()),
        cycle(accounts, dir.Dir(), canvas, printer, log, tray, timer,
              [&world] { return std::make_unique<FakePop3Client>(world); }) {
    cycle.SetClock(clock);
    accounts.Add("a|1|mx-a|user|pass|0|0|Gothic|[]|10|1||1|0|0");  // deletes after output
  }
  // The titles and subjects drawn, in order.
  std::vector<std::string> Drawn() const {
    std::vector<std::string> texts;
    for (const DrawnText& text : canvas.Texts)
      if (text.Text.rfind("S-", 0) == 0 || text.Text.rfind("【", 0) == 0)
        texts.push_back(text.Text);
    return texts;
  }

  FixedClock clock{{2004, 12, 25, 15, 30, 0}};
  CommLog log;
  JammingCanvas canvas;
  MessagePrinter printer;
  AccountList accounts;
  FakeTray tray;
  FakeTimer timer;
  CheckCycle cycle;
};

// Runs a check in a child process that is killed at the first `point`;
// true when it was.
bool KilledAt(ProgramRun& run, const std::string& point) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    SetFaultHookForTesting([point](std::string_view reached) {
      if (reached == point) ::kill(::getpid(), SIGKILL);
    });
    run.cycle.OnCheckTimer();
    ::_exit(3);
  }
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(CheckCycleCrash, AKillAtAnyStepNeitherLosesNorSilentlyDoublesAMail) {
  const std::vector<std::string> marked = {"【 a 】（再出力）", "S-1", "【 a 】", "S-2"};
  const std::vector<std::string> notAgain = {"【 a 】", "S-2"};
  const struct {
    const char* point;
    bool uidl;
    const std::vector<std::string>& restart;
  } rows[] = {
      {"pending added", true, marked},  // the job may have been sent
      {"printed", true, marked},
      {"history recorded", true, notAgain},
      {"unique-id recorded", true, notAgain},
      {"pending removed", true, notAgain},
      {"deleted", true, notAgain},
      {"printed", false, marked},
      {"history recorded", false, notAgain},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.point) + (row.uidl ? " (UIDL)" : " (no UIDL)"));
    TempDir dir;
    FakeMailWorld world;
    FakeMailbox& box = world.Hosts["mx-a"];
    box.Uidl = row.uidl;
    box.Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
    {
      ProgramRun killed(dir, world);
      ASSERT_TRUE(KilledAt(killed, row.point));
    }
    ProgramRun restarted(dir, world);
    restarted.cycle.OnCheckTimer();
    EXPECT_EQ(restarted.Drawn(), row.restart);
    EXPECT_THAT(box.Mails, IsEmpty()) << "each mail deleted once it was out";
    EXPECT_FALSE(Exists(dir.Dir() + "a.pnd"));
    restarted.cycle.OnCheckTimer();
    EXPECT_EQ(restarted.Drawn(), row.restart) << "nothing more";
  }
}

#endif

}  // namespace
}  // namespace pelnor::test
