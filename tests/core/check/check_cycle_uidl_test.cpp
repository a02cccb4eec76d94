// The check cycle over the real POP3 client against a scripted server on
// loopback: only mail the server's unique-ids do not show as handled is
// fetched, nothing is printed twice, and nothing wanted is left out, also
// when the server has no UIDL, changes its ids, loses a mail between its
// listing and the fetch, or holds more mail than 16 bits can count.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "check_cycle_fakes.h"
#include "core/check/check_cycle.h"
#include "core/check/mailbox_check.h"
#include "core/check/pop3_check_client.h"
#include "core/store/uidl_store.h"
#include "log_lines.h"
#include "support/fake_pop3_server.h"
#include "support/fixed_clock.h"
#include "support/session_test_util.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kRecord[] = "a|1|127.0.0.1|user|pass|0|0|Gothic|[]|10|1||1|1|0";

std::vector<std::string> Mail(const std::string& subject) {
  return PlainMail(subject, "body of " + subject);
}

// Greeting, login, STAT of `count` mails and the answer to UIDL: the
// listing of `uids` (message n has uids[n - 1]), or a refusal when empty.
Pop3Script Listed(std::size_t count, const std::vector<std::string>& uids) {
  Pop3Script script = Pop3Script()
                          .Send("+OK ready\r\n")
                          .On("USER user", "+OK\r\n")
                          .On("PASS pass", "+OK\r\n")
                          .On("STAT", "+OK " + std::to_string(count) + " 1000\r\n");
  if (uids.empty()) return script.On("UIDL", "-ERR command not implemented\r\n");
  std::string listing = "+OK\r\n";
  for (std::size_t n = 1; n <= uids.size(); ++n)
    listing += std::to_string(n) + " " + uids[n - 1] + "\r\n";
  return script.On("UIDL", listing + ".\r\n");
}

class CheckCycleUidlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cycle_.SetClock(clock_);
    accounts_.Add(kRecord);
  }

  // One cycle against a server playing `script`, which must be met exactly.
  void RunCycle(const Pop3Script& script) {
    FakePop3Server server(script);
    port_ = server.Port();
    cycle_.OnCheckTimer();
    EXPECT_TRUE(server.Finish());
    EXPECT_THAT(server.Mismatches(), IsEmpty()) << server.Received();
  }
  std::vector<std::string> Printed() const {
    std::vector<std::string> subjects;
    for (const DrawnText& text : canvas_.Texts)
      if (text.Text.rfind("S-", 0) == 0) subjects.push_back(text.Text);
    return subjects;
  }
  std::vector<std::string> LogLines() const { return LogLinesOf(dir_.Path() / "Log.txt"); }

  TempDir dir_;
  FixedClock clock_{{2004, 12, 25, 15, 30, 0}};
  CommLog log_{dir_.Path() / "Log.txt", clock_, [] { return true; }};
  JammingCanvas canvas_;
  MessagePrinter printer_{canvas_, log_, clock_, dir_.Path()};
  AccountList accounts_;
  FakeTray tray_;
  FakeTimer timer_;
  int port_ = 0;
  CheckCycle cycle_{accounts_, dir_.Dir(), canvas_, printer_, log_, tray_, timer_, [this] {
                      auto pop = std::make_unique<Pop3SessionClient>(nullptr, std::to_string(port_));
                      pop->Pop().ReplyTimeoutMs = 5000;  // a broken script fails fast
                      return pop;
                    }};
};

TEST_F(CheckCycleUidlTest, ServerWithoutUidlIsCheckedAsBeforeByTheHistory) {
  auto everything = [] {
    Pop3Script script = Listed(2, {});
    AddFetch(script, 1, Mail("S-A"));
    AddFetch(script, 2, Mail("S-B"));
    return script.On("QUIT", "+OK\r\n");
  };
  RunCycle(everything());
  RunCycle(everything());
  EXPECT_THAT(Printed(), ElementsAre("S-A", "S-B"));
}

TEST_F(CheckCycleUidlTest, UniqueIdsThatChangeNeitherLoseNorDoubleAMail) {
  Pop3Script first = Listed(2, {"a1", "b1"});
  AddFetch(first, 1, Mail("S-A"));
  AddFetch(first, 2, Mail("S-B"));
  RunCycle(first.On("QUIT", "+OK\r\n"));

  // New ids for the same two mails, and a third mail.
  Pop3Script renamed = Listed(3, {"a2", "b2", "c2"});
  AddFetch(renamed, 1, Mail("S-A"));
  AddFetch(renamed, 2, Mail("S-B"));
  AddFetch(renamed, 3, Mail("S-C"));
  RunCycle(renamed.On("QUIT", "+OK\r\n"));

  RunCycle(Listed(3, {"a2", "b2", "c2"}).On("QUIT", "+OK\r\n"));
  EXPECT_THAT(Printed(), ElementsAre("S-A", "S-B", "S-C"));
}

TEST_F(CheckCycleUidlTest, AMailDeletedByAnotherClientAfterTheListingLeavesNoGap) {
  Pop3Script first = Listed(3, {"a", "b", "c"});
  AddFetch(first, 1, Mail("S-A"));
  first.On("LIST 2", "-ERR no such message\r\n").On("RETR 2", "-ERR no such message\r\n");
  RunCycle(first);
  EXPECT_THAT(LogLines(), ElementsAre(::testing::HasSubstr("<出力終了>"),
                                      "[a]no such message<エラー発生>"));

  Pop3Script second = Listed(2, {"a", "c"});
  AddFetch(second, 2, Mail("S-C"));
  RunCycle(second.On("QUIT", "+OK\r\n"));
  EXPECT_THAT(Printed(), ElementsAre("S-A", "S-C"));
}

// 70 000 mails kept on the server, all handled but the last: a count held
// in 16 bits wraps to 4 464 and never reaches it.
TEST_F(CheckCycleUidlTest, SeventyThousandMailsAreCountedWhole) {
  constexpr std::size_t kCount = 70000;
  std::vector<std::string> uids;
  for (std::size_t n = 1; n <= kCount; ++n) uids.push_back("u" + std::to_string(n));
  {
    UidlStore handled(dir_.Dir(), "a", UidlMailboxOf(Account::FromRecord(kRecord)));
    for (std::size_t n = 0; n + 1 < kCount; ++n) handled.Record(uids[n], "");
  }
  Pop3Script script = Listed(kCount, uids);
  AddFetch(script, kCount, Mail("S-last"));
  RunCycle(script.On("QUIT", "+OK\r\n"));
  EXPECT_THAT(Printed(), ElementsAre("S-last"));
  EXPECT_TRUE(UidlStore(dir_.Dir(), "a", UidlMailboxOf(Account::FromRecord(kRecord)))
                  .Handled("u70000"));
}

}  // namespace
}  // namespace pelnor::test
