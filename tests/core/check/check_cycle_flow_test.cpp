// The check cycle over in-memory POP3 servers and a recording printer:
// the order of work per account, the early ends, deletion after output,
// the output history across cycles and the state of tray and timer.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/check/check_cycle.h"
#include "core/check/program_ending.h"
#include "check_cycle_fakes.h"
#include "log_lines.h"
#include "core/text/sjis.h"
#include "core/store/certificate_pins.h"
#include "core/store/digit_file.h"
#include "core/store/history.h"
#include "support/temp_dir.h"
#include "support/fixed_clock.h"

namespace pelnor::test {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

struct TestAccount {
  std::string Alias;
  std::string Host;
  std::string Delete = "1";      // "0": delete after output
  std::string ReceiveAll = "0";  // "0": no sender filter
  std::vector<std::string> Addresses = {};
  std::string Enabled = "1";
};

std::string Record(const TestAccount& a) {
  std::string record = a.Alias + "|" + a.Enabled + "|" + a.Host +
                       "|user|pass|0|0|Gothic|[]|10|1||1|" + a.Delete + "|" + a.ReceiveAll;
  for (const std::string& address : a.Addresses) record += "|" + address;
  return record;
}

class CheckCycleTest : public ::testing::Test {
 protected:
  void Add(const TestAccount& account) { accounts_.Add(Record(account)); }
  FakeMailbox& Box(const std::string& host) { return world_.Hosts[host]; }

  // Subjects ("S-...") drawn on the printer, in order.
  std::vector<std::string> Printed() const {
    std::vector<std::string> subjects;
    for (const DrawnText& text : canvas_.Texts)
      if (text.Text.rfind("S-", 0) == 0) subjects.push_back(text.Text);
    return subjects;
  }
  // Log lines without their time stamp, in UTF-8.
  std::vector<std::string> LogLines() const { return LogLinesOf(dir_.Path() / "Log.txt"); }
  std::vector<std::string> WireOf(const std::string& host) const {
    std::vector<std::string> commands;
    for (const std::string& line : world_.Wire)
      if (line.rfind(host + " ", 0) == 0) commands.push_back(line.substr(host.size() + 1));
    return commands;
  }
  std::string Dir() const { return dir_.Path().string() + "/"; }
  void ExpectIdle() const {
    EXPECT_TRUE(tray_.IsEnabled);
    EXPECT_FALSE(tray_.IsAnimating);
    EXPECT_TRUE(timer_.IsEnabled);
    EXPECT_FALSE(cycle_.Running());
  }

  TempDir dir_;
  FixedClock clock_{{2004, 12, 25, 15, 30, 0}};
  CommLog log_{dir_.Path() / "Log.txt", clock_, [] { return true; }};
  JammingCanvas canvas_;
  MessagePrinter printer_{canvas_, log_, clock_, dir_.Path()};
  AccountList accounts_;
  FakeMailWorld world_;
  FakeTray tray_;
  FakeTimer timer_;
  CheckCycle cycle_{accounts_, Dir(), canvas_, printer_, log_, tray_, timer_,
                     [this] { return std::make_unique<FakePop3Client>(world_); }};

  void SetUp() override { cycle_.SetClock(clock_); }
};

TEST_F(CheckCycleTest, EmptyAccountListOnlyTogglesTrayAndTimer) {
  cycle_.OnCheckTimer();
  EXPECT_THAT(world_.Wire, IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "Log.txt"));
  EXPECT_THAT(tray_.Events, ElementsAre("animate", "enabled 1", "still"));
  EXPECT_THAT(timer_.Changes, ElementsAre(false, true));
  ExpectIdle();
}

TEST_F(CheckCycleTest, UnreachableSecondAccountIsLoggedAndTheThirdStillChecked) {
  Add({"a", "mx-a"});
  Add({"b", "mx-b"});  // no such server
  Add({"c", "mx-c"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-a"}};
  Box("mx-c").Mails = {{"<x@c.jp>", "<1@c>", "S-c"}};

  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-a", "S-c"));
  EXPECT_THAT(WireOf("mx-a"), ElementsAre("CONNECT", "USER user", "PASS pass", "STAT", "UIDL",
                                          "RETR 1", "QUIT"));
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("[a]"), "[b]接続エラー<エラー発生>",
                                      HasSubstr("[c]")));
  ExpectIdle();

  cycle_.OnCheckNow();
  EXPECT_THAT(WireOf("mx-c"), Contains("CONNECT").Times(2));
  EXPECT_THAT(Printed(), ElementsAre("S-a", "S-c"));  // output once only
}

TEST_F(CheckCycleTest, DisabledAccountIsReadButNotContacted) {
  accounts_.Add("z|0|mx-z|user|pass|0|0|Mincho|[fsBold]|12|1||1|1|0");
  Box("mx-z").Mails = {{"<x@z.jp>", "<1@z>", "S-z"}};
  cycle_.OnCheckTimer();
  EXPECT_THAT(world_.Wire, IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "Log.txt"));
  EXPECT_EQ(canvas_.Font().Name, "Mincho");
  EXPECT_TRUE(canvas_.Font().Style.test(fsBold));
  EXPECT_EQ(canvas_.Font().Size, 12);
  EXPECT_EQ(cycle_.Session.Alias, "z");
}

TEST_F(CheckCycleTest, DeleteOptionDeletesEveryRetrievedMessageAfterItsOutput) {
  Add({"a", "mx-a", "0", "1", {"want@a.jp"}});
  Box("mx-a").Mails = {{"<want@a.jp>", "<1@a>", "S-1"},
                       {"<other@a.jp>", "<2@a>", "S-2"},  // filtered out
                       {"<want@a.jp>", "<3@a>", "S-3"}};  // output before
  ASSERT_TRUE(IsNewMessage(Dir(), "a", "<3@a>"));

  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1"));
  EXPECT_THAT(WireOf("mx-a"), ElementsAre("CONNECT", "USER user", "PASS pass", "STAT", "UIDL",
                                          "RETR 1", "DELE 1", "RETR 2", "DELE 2", "RETR 3",
                                          "DELE 3", "QUIT"));
  EXPECT_THAT(Box("mx-a").Mails, IsEmpty());
}

TEST_F(CheckCycleTest, EachAccountFiltersWithItsOwnAddresses) {
  Add({"a", "mx-a", "1", "1", {"a.jp"}});
  Add({"b", "mx-b", "1", "1", {"boss@b.jp"}});
  const std::vector<FakeMail> mails = {{"<x@a.jp>", "<1>", "S-from-a"},
                                        {"<boss@b.jp>", "<2>", "S-from-b"}};
  Box("mx-a").Mails = mails;
  Box("mx-b").Mails = mails;
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-from-a", "S-from-b"));
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("[a]"), HasSubstr("[b]")));
  EXPECT_THAT(cycle_.Session.Addresses, IsEmpty());  // emptied after the cycle
}

TEST_F(CheckCycleTest, MessagesWithoutMessageIdArePrintedOnceEach) {
  Add({"a", "mx-a"});
  Box("mx-a").Mails = {{"<x@a.jp>", "", "S-1"}, {"<x@a.jp>", "", "S-2"}};
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-2"));
  Box("mx-a").Mails.push_back({"<x@a.jp>", "", "S-3"});
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-2", "S-3"));
}

TEST_F(CheckCycleTest, HistoryKeepsOnlyMessagesStillOnTheServer) {
  Add({"a", "mx-a"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
  ASSERT_TRUE(IsNewMessage(Dir(), "a", "<gone@a>"));
  ASSERT_TRUE(IsNewMessage(Dir(), "a", "<1@a>"));
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-2"));
  EXPECT_EQ(ReadDigitFile(HistoryPath(Dir(), "a")), (std::vector<std::string>{"<1@a>", "<2@a>"}));
}

TEST_F(CheckCycleTest, FailedOutputGoesOnStaysOnTheServerAndComesOutNextCycle) {
  Add({"a", "mx-a", "0"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"},
                       {"<x@a.jp>", "<2@a>", "S-2"},
                       {"<x@a.jp>", "<3@a>", "S-3"}};
  canvas_.JamOn = "S-2";

  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-3"));
  EXPECT_THAT(canvas_.Events, Contains("abort"));
  EXPECT_THAT(WireOf("mx-a"), AllOf(Contains("DELE 1"), Contains("DELE 3"), Not(Contains("DELE 2"))));
  ASSERT_EQ(Box("mx-a").Mails.size(), 1u);
  EXPECT_EQ(Box("mx-a").Mails[0].Subject, "S-2");
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("<出力終了>"),
                                      AllOf(HasSubstr("[a]"), HasSubstr("printer jammed"),
                                            HasSubstr("<エラー発生>")),
                                      HasSubstr("<出力終了>")));
  EXPECT_THAT(tray_.Notes, ElementsAre(HasSubstr("printer jammed")));

  canvas_.JamOn.clear();
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-3", "S-2"));
  EXPECT_THAT(Box("mx-a").Mails, IsEmpty());
}

TEST_F(CheckCycleTest, LoginRefusalIsLoggedWithTheServerTextAndTheNextAccountChecked) {
  Add({"a", "mx-a"});
  Add({"b", "mx-b"});
  Box("mx-a").Password = "other";
  Box("mx-b").Mails = {{"<x@b.jp>", "<1@b>", "S-b"}};
  cycle_.OnCheckTimer();
  EXPECT_THAT(LogLines(), ElementsAre("[a][AUTH] Authentication failed.<エラー発生>",
                                      "[a]ログインエラー<エラー発生>", HasSubstr("[b]")));
  EXPECT_THAT(Printed(), ElementsAre("S-b"));
  ExpectIdle();
}

// The account names its server with a scheme; a certificate the client
// refuses is logged with its reason and notified once, the account sends
// no login, the next account is checked. Once the user trusts exactly that
// certificate (Defult.ini), the account works.
TEST_F(CheckCycleTest, RefusedCertificateIsLoggedWithItsReasonUntilTrusted) {
  Add({"a", "pop3s://mx-a:10995"});
  Add({"b", "mx-b"});
  const std::string fingerprint = "sha256:" + std::string(64, 'c');
  Box("mx-a").CertificateProblem = "the certificate is self-signed and not trusted";
  Box("mx-a").CertificateFingerprint = fingerprint;
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-a"}};
  Box("mx-b").Mails = {{"<x@b.jp>", "<1@b>", "S-b"}};
  cycle_.OnCheckTimer();
  cycle_.OnCheckTimer();
  EXPECT_THAT(LogLines(),
              ElementsAre("[a]証明書エラー: the certificate is self-signed and not trusted<エラー発生>",
                          HasSubstr("[b]"),
                          "[a]証明書エラー: the certificate is self-signed and not trusted<エラー発生>"));
  EXPECT_THAT(WireOf("mx-a"), ElementsAre("CONNECT", "CONNECT"));
  EXPECT_THAT(tray_.Notes, ElementsAre(HasSubstr("[a]")));
  EXPECT_THAT(tray_.Tip, HasSubstr(Sjis("エラー: a")));
  EXPECT_THAT(Printed(), ElementsAre("S-b"));

  SaveCertificatePin(Dir(), ParseServerField("pop3s://mx-a:10995"), fingerprint);
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-b", "S-a"));
  ExpectIdle();
}

TEST_F(CheckCycleTest, NoSecondCycleStartsFromInsideARunningOne) {
  Add({"a", "mx-a", "1", "1", {"x@a.jp"}});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
  std::vector<std::string> filterSeen;
  world_.OnRetrieve = [&](std::uint16_t) {
    cycle_.OnCheckTimer();
    cycle_.OnCheckNow();
    cycle_.RunCheckCycle();
    filterSeen = cycle_.Session.Addresses;
  };
  cycle_.OnCheckTimer();
  EXPECT_THAT(WireOf("mx-a"), Contains("CONNECT").Times(1));
  EXPECT_THAT(filterSeen, ElementsAre("x@a.jp"));
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-2"));
}

TEST_F(CheckCycleTest, RefusedRetrievalReenablesTrayAndTimerButKeepsTheCycleAlone) {
  Add({"a", "mx-a", "0"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"},
                       {"<x@a.jp>", "<2@a>", "S-2"},
                       {"<x@a.jp>", "<3@a>", "S-3"}};
  Box("mx-a").RefuseRetr = 2;
  ASSERT_TRUE(IsNewMessage(Dir(), "a", "<3@a>"));  // output in an earlier cycle
  bool trayEnabled = false, animating = false, timerEnabled = false;
  world_.AfterError = [&] {
    trayEnabled = tray_.IsEnabled;
    animating = tray_.IsAnimating;
    timerEnabled = timer_.IsEnabled;
    cycle_.OnCheckTimer();  // the re-enabled timer ticks
  };

  cycle_.OnCheckTimer();
  EXPECT_TRUE(trayEnabled);
  EXPECT_TRUE(animating);
  EXPECT_TRUE(timerEnabled);
  EXPECT_THAT(WireOf("mx-a"), Contains("CONNECT").Times(1));
  EXPECT_THAT(Printed(), ElementsAre("S-1"));
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("<出力終了>"), "[a]no such message<エラー発生>"));
  EXPECT_EQ(Box("mx-a").Mails.size(), 3u);  // the session is gone before QUIT
  // The fetch stopped early: the history still knows message 3, which is
  // still on the server and must not come out again.
  EXPECT_FALSE(IsNewMessage(Dir(), "a", "<3@a>"));
  ExpectIdle();
}

TEST_F(CheckCycleTest, FetchBrokenOffOutputsWhatCameBeforeAndGoesOnWithTheNextAccount) {
  Add({"a", "mx-a", "0"});
  Add({"b", "mx-b"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
  Box("mx-b").Mails = {{"<x@b.jp>", "<1@b>", "S-b"}};
  Box("mx-a").BreakAfterFirst = "connection reset by peer";

  cycle_.OnCheckTimer();
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("[a]"), "[a]connection reset by peer<エラー発生>",
                                      HasSubstr("[b]")));
  EXPECT_THAT(tray_.Notes, ElementsAre("[a]connection reset by peer"));
  EXPECT_EQ(tray_.Tip, "Pelnor 15:30 " + Sjis("エラー: a"));
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-b"));
  EXPECT_EQ(Box("mx-a").Mails.size(), 2u);  // the session broke before its DELE counted
  ExpectIdle();

  Box("mx-a").BreakAfterFirst.clear();
  cycle_.OnCheckTimer();
  EXPECT_THAT(Printed(), ElementsAre("S-1", "S-b", "S-2"));
  EXPECT_THAT(Box("mx-a").Mails, IsEmpty());
  EXPECT_EQ(tray_.Tip, "Pelnor 15:30 " + Sjis("正常"));
}

TEST_F(CheckCycleTest, AnAccountThatStartsFailingIsNotifiedOnce) {
  Add({"a", "mx-a"});
  Box("mx-a").Password = "other";
  for (int cycle = 0; cycle < 3; ++cycle) cycle_.OnCheckTimer();
  EXPECT_THAT(tray_.Notes, ElementsAre("[a][AUTH] Authentication failed."));
  Box("mx-a").Password = "pass";
  cycle_.OnCheckTimer();
  Box("mx-a").Password = "other";
  cycle_.OnCheckTimer();
  EXPECT_EQ(tray_.Notes.size(), 2u);
}

TEST_F(CheckCycleTest, ProgramEndingDuringAJobRecordsAndDeletesNothingOfIt) {
  Add({"a", "mx-a", "0"});
  Add({"b", "mx-b"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
  Box("mx-b").Mails = {{"<x@b.jp>", "<1@b>", "S-b"}};
  int lines = 0;
  printer_.OnProgress = [&] {
    if (++lines == 2) throw EProgramEnding();
  };
  cycle_.OnCheckTimer();
  EXPECT_THAT(canvas_.Events, Contains("abort"));
  EXPECT_TRUE(WasOutput(Dir(), "a", "<1@a>"));
  EXPECT_FALSE(WasOutput(Dir(), "a", "<2@a>"));
  EXPECT_THAT(WireOf("mx-a"), AllOf(Contains("DELE 1"), Not(Contains("DELE 2"))));
  ASSERT_EQ(Box("mx-a").Mails.size(), 1u);
  EXPECT_EQ(Box("mx-a").Mails[0].Subject, "S-2");
  EXPECT_THAT(WireOf("mx-b"), IsEmpty());
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("<出力終了>")));
  EXPECT_THAT(tray_.Notes, IsEmpty());
  ExpectIdle();
}

// A server cannot forge log lines, and a path in an error reaches the log
// in Shift_JIS like everything else.
TEST_F(CheckCycleTest, ErrorLinesStayOneShiftJisLineEach) {
  Add({"a", "mx-a"});
  Add({"b", "mx-b"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}};
  Box("mx-a").RefuseRetr = 1;
  Box("mx-a").RefuseText = std::string("bad\nday\0", 8);
  Box("mx-b").Mails = {{"<x@b.jp>", "<1@b>", "S-b"}};
  canvas_.JamOn = "S-b";
  canvas_.JamText = "cannot write /tmp/印刷/job.pdf";
  cycle_.OnCheckTimer();
  EXPECT_THAT(LogLines(),
              ElementsAre("[a]bad day <エラー発生>",
                          "[b][Sat, 25 Dec 2004 15:29:58 ] cannot write /tmp/印刷/job.pdf<エラー発生>"));
}

TEST_F(CheckCycleTest, NoPrinterAtAllKeepsTheMailAndTheHistoryAsTheyWere) {
  Add({"a", "mx-a", "0"});
  Box("mx-a").Mails = {{"<x@a.jp>", "<1@a>", "S-1"}, {"<x@a.jp>", "<2@a>", "S-2"}};
  ASSERT_TRUE(IsNewMessage(Dir(), "a", "<1@a>"));  // output in an earlier cycle
  canvas_.PrinterNames.clear();
  cycle_.OnCheckTimer();
  EXPECT_THAT(LogLines(), ElementsAre(HasSubstr("no default printer")));
  // The mail output before goes as the account asks; the other one stays.
  ASSERT_EQ(Box("mx-a").Mails.size(), 1u);
  EXPECT_EQ(Box("mx-a").Mails[0].Subject, "S-2");
  EXPECT_FALSE(IsNewMessage(Dir(), "a", "<1@a>"));  // still known as output
  EXPECT_TRUE(IsNewMessage(Dir(), "a", "<2@a>"));   // never recorded
}

}  // namespace
}  // namespace pelnor::test
