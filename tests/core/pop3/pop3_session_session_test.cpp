// Pop3Session outside the fetch: connecting, the greeting, login, counting,
// deleting, quitting and how refusals are reported.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/session_test_util.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

using Pop3SessionConnect = SessionTest;

TEST_F(Pop3SessionConnect, StartsClosedWithItsDefaults) {
  Pop3Session pop(std::make_unique<ScriptedSocket>(Pop3Script()));
  EXPECT_EQ(pop.Port, "110");
  EXPECT_EQ(pop.Host, "");
  EXPECT_EQ(pop.UserId, "");
  EXPECT_EQ(pop.Passwd, "");
  EXPECT_EQ(pop.DecodeProgressStep, 10);
  EXPECT_EQ(pop.RetrieveProgressStep, 10);
  EXPECT_EQ(pop.ReplyTimeoutMs, 60000);
  EXPECT_EQ(pop.ConnectTimeoutMs, 30000);
  EXPECT_FALSE(pop.Connected());
  EXPECT_FALSE(pop.Failed());
  EXPECT_EQ(pop.MessageCount(), 0);
}

TEST_F(Pop3SessionConnect, GreetingOpensTheSession) {
  Start(Pop3Script().Send("+OK POP3 ready <1.2@host>\r\n"));
  pop_->Connect();
  EXPECT_FALSE(pop_->Failed());
  EXPECT_TRUE(pop_->Connected());
  EXPECT_EQ(pop_->ReplyStatus(), "+OK");
  EXPECT_EQ(pop_->ReplyText(), "POP3 ready <1.2@host>");
  EXPECT_THAT(events_.Events, ElementsAre("connect"));
  EXPECT_TRUE(events_.SendersOk);
}

TEST_F(Pop3SessionConnect, RefusingGreetingReports2000AndCloses) {
  Start(Pop3Script().Send("-ERR busy\r\n"));
  pop_->Connect();
  EXPECT_TRUE(pop_->Failed());
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "error 2000 busy"));
  EXPECT_TRUE(events_.SendersOk);
  try {
    pop_->Login();
    FAIL() << "Login ran without a connection";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Invalid Op. Not connected.");
  }
  EXPECT_EQ(socket_->Received(), "");
}

TEST_F(Pop3SessionConnect, LowerCaseErrIsSuccess) {
  Start(Pop3Script().Send("-err busy\r\n"));
  pop_->Connect();
  EXPECT_FALSE(pop_->Failed());
  EXPECT_TRUE(pop_->Connected());
  EXPECT_EQ(pop_->ReplyStatus(), "-err");
}

TEST_F(Pop3SessionConnect, OpenFailureSetsFailedWithoutEvents) {
  Start(Pop3Script());
  socket_->FailOpenWith("Cannot connect to mail.example:110: Connection refused");
  pop_->Host = "mail.example";
  pop_->Connect();
  EXPECT_TRUE(pop_->Failed());
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(events_.Events, IsEmpty());
  EXPECT_EQ(pop_->ConnectError(), "Cannot connect to mail.example:110: Connection refused");
}

TEST_F(Pop3SessionConnect, NoGreetingBeforeHangUpIsAFailedConnect) {
  Start(Pop3Script().Close());
  pop_->Connect();
  EXPECT_TRUE(pop_->Failed());
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(pop_->ConnectError(), HasSubstr("closed the connection"));
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit"));
}

TEST_F(Pop3SessionConnect, PortTextBecomesTheSocketPort) {
  const struct {
    const char* port;
    int expected;
  } rows[] = {{"110", 110}, {"995", 995}, {"abc", 110}, {"", 110}, {"99x", 110}, {" 2110 ", 2110}};
  for (const auto& row : rows) {
    Start(Pop3Script().Send("+OK\r\n"));
    pop_->Port = row.port;
    pop_->Connect();
    EXPECT_EQ(socket_->OpenedPort(), row.expected) << "Port \"" << row.port << "\"";
  }
}

TEST_F(Pop3SessionConnect, DottedHostIsAnAddressOtherwiseAName) {
  const struct {
    const char* host;
    bool dotted;
  } rows[] = {{"192.168.1.10", true},  {"127.0.0.1", true},  {"0.0.0.0", true},
              {"192.168.1", false},    {"1.2.3.256", false}, {"1.2.3.4.5", false},
              {"1..3.4", false},       {"localhost", false}, {"pop.example.jp", false}};
  for (const auto& row : rows) {
    Start(Pop3Script().Send("+OK\r\n"));
    pop_->Host = row.host;
    pop_->Connect();
    EXPECT_EQ(socket_->OpenedAddress(), row.dotted ? row.host : "") << row.host;
    EXPECT_EQ(socket_->OpenedHostName(), row.dotted ? "" : row.host) << row.host;
  }
}

TEST_F(Pop3SessionConnect, ConnectAgainStartsAFreshSession) {
  Start(Counted(3).On("DELE 1", "+OK\r\n").On("QUIT", "+OK bye\r\n"));
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  pop_->CountNewMessages();
  pop_->DeleteMessage(1);
  pop_->Quit();
  EXPECT_EQ(pop_->MessageCount(), 2) << "kept after Quit";
  pop_->ReplyTimeoutMs = 300;
  pop_->Connect();  // the script is over: the server no longer greets
  EXPECT_EQ(pop_->MessageCount(), 0);
  EXPECT_THAT(pop_->DeletedNumbers(), IsEmpty());
  EXPECT_TRUE(pop_->Failed());
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(pop_->ConnectError(), HasSubstr("did not answer within 300 ms"));
}

TEST_F(Pop3SessionConnect, ConnectOnAnOpenSessionClosesItFirst) {
  Start(Pop3Script().Send("+OK first\r\n").Send("+OK second\r\n"));
  pop_->Connect();
  pop_->Connect();
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "connect"));
  EXPECT_EQ(pop_->ReplyText(), "second");
  EXPECT_EQ(socket_->OpenCount(), 2);
}

TEST_F(Pop3SessionConnect, DestroyingAnOpenSessionFiresNothing) {
  Start(Pop3Script().Send("+OK\r\n"));
  pop_->Connect();
  pop_.reset();
  EXPECT_THAT(events_.Events, ElementsAre("connect"));
}

using Pop3SessionLogin = SessionTest;

TEST_F(Pop3SessionLogin, SendsUserThenPass) {
  Start(LoggedIn());
  pop_->Connect();
  EXPECT_TRUE(pop_->Login());
  EXPECT_EQ(socket_->Received(), "USER bob\r\nPASS pw\r\n");
  EXPECT_TRUE(pop_->Connected());
  EXPECT_THAT(events_.Events, ElementsAre("connect"));
}

TEST_F(Pop3SessionLogin, RefusedUserReports2001AndNeverSendsPass) {
  Start(Pop3Script().Send("+OK\r\n").On("USER bob", "-ERR no such mailbox\r\n"));
  pop_->Connect();
  EXPECT_FALSE(pop_->Login());
  EXPECT_EQ(socket_->Received(), "USER bob\r\n");
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "error 2001 no such mailbox"));
  EXPECT_FALSE(pop_->Connected());
  EXPECT_TRUE(pop_->Failed());
}

TEST_F(Pop3SessionLogin, RefusedPassReports2001) {
  Start(Pop3Script()
            .Send("+OK\r\n")
            .On("USER bob", "+OK\r\n")
            .On("PASS pw", "-ERR [AUTH] Authentication failed.\r\n"));
  pop_->Connect();
  EXPECT_FALSE(pop_->Login());
  EXPECT_THAT(events_.Events,
              ElementsAre("connect", "quit", "error 2001 [AUTH] Authentication failed."));
}

using Pop3SessionCount = SessionTest;

TEST_F(Pop3SessionCount, StatAndLastArithmetic) {
  const struct {
    const char* name;
    std::string stat;
    std::string last;
    std::uint32_t count;
    std::uint32_t result;
  } rows[] = {
      {"stat minus last", "+OK 5 12345", "+OK 3", 5, 2},
      {"last refused", "+OK 5 12345", "-ERR unknown command", 5, 0},
      {"stat without numbers", "+OK", "+OK 0", 0, 0},
      {"last above stat wraps in 32 bits", "+OK 2 100", "+OK 3", 2, 4294967295u},
      {"a count above 16 bits", "+OK 65537 1", "+OK 0", 65537, 65537},
      {"a negative count is none", "+OK -3 0", "+OK 0", 0, 0},
  };
  for (const auto& row : rows) {
    Start(LoggedIn().On("STAT", row.stat + "\r\n").On("LAST", row.last + "\r\n"));
    pop_->Connect();
    ASSERT_TRUE(pop_->Login());
    EXPECT_EQ(pop_->CountNewMessages(), row.result) << row.name;
    EXPECT_EQ(pop_->MessageCount(), row.count) << row.name;
    EXPECT_TRUE(pop_->Connected()) << row.name;
    EXPECT_THAT(events_.Only("error"), IsEmpty()) << row.name;
  }
}

TEST_F(Pop3SessionCount, RefusedStatReports2006) {
  Start(LoggedIn().On("STAT", "-ERR mailbox locked\r\n"));
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  EXPECT_EQ(pop_->CountNewMessages(), 0);
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "error 2006 mailbox locked"));
  EXPECT_EQ(socket_->Received(), "USER bob\r\nPASS pw\r\nSTAT\r\n") << "no LAST after a refused STAT";
}

using Pop3SessionDelete = SessionTest;

TEST_F(Pop3SessionDelete, DeletesAndCounts) {
  StartCounted(Counted(3).On("DELE 2", "+OK marked\r\n"));
  pop_->DeleteMessage(2);
  EXPECT_THAT(events_.Events, ElementsAre("delete 2"));
  EXPECT_THAT(pop_->DeletedNumbers(), ElementsAre("2"));
  EXPECT_EQ(pop_->MessageCount(), 2);
}

TEST_F(Pop3SessionDelete, RefusedDeleReports2003) {
  StartCounted(Counted(3).On("DELE 7", "-ERR no such message\r\n"));
  pop_->DeleteMessage(7);
  EXPECT_THAT(events_.Events, ElementsAre("quit", "error 2003 no such message"));
  EXPECT_THAT(pop_->DeletedNumbers(), IsEmpty());
  EXPECT_EQ(pop_->MessageCount(), 3);
  EXPECT_FALSE(pop_->Connected());
}

TEST_F(Pop3SessionDelete, WithoutConnectionRaises) {
  Start(Pop3Script());
  try {
    pop_->DeleteMessage(1);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Not connected.");
  }
}

using Pop3SessionQuit = SessionTest;

TEST_F(Pop3SessionQuit, QuitClosesTheConnection) {
  StartCounted(Counted(1).On("DELE 1", "+OK\r\n").On("QUIT", "+OK bye\r\n"));
  pop_->DeleteMessage(1);
  pop_->Quit();
  EXPECT_THAT(events_.Events, ElementsAre("delete 1", "quit"));
  EXPECT_FALSE(pop_->Connected());
  EXPECT_FALSE(pop_->Failed());
  EXPECT_THAT(pop_->DeletedNumbers(), IsEmpty());
  EXPECT_THAT(socket_->Received(), ::testing::EndsWith("DELE 1\r\nQUIT\r\n"));
}

TEST_F(Pop3SessionQuit, RefusedQuitReports2002) {
  StartCounted(Counted(1).On("QUIT", "-ERR cannot commit\r\n"));
  pop_->Quit();
  EXPECT_THAT(events_.Events, ElementsAre("quit", "error 2002 cannot commit"));
  EXPECT_FALSE(pop_->Connected());
}

TEST_F(Pop3SessionQuit, WithoutConnectionSendsAndFiresNothing) {
  Start(Pop3Script().Send("-ERR busy\r\n"));
  pop_->Connect();
  events_.Events.clear();
  pop_->Quit();
  EXPECT_THAT(events_.Events, IsEmpty());
  EXPECT_EQ(socket_->Received(), "");
}

TEST_F(Pop3SessionQuit, WireLogShowsBothDirectionsAndHidesThePassword) {
  Start(LoggedIn().On("QUIT", "+OK bye\r\n"));
  std::vector<std::string> wire;
  pop_->OnWireLog = [&](const std::string& line) { wire.push_back(line); };
  pop_->Connect();
  pop_->Login();
  pop_->Quit();
  EXPECT_THAT(wire, ElementsAre("<-- +OK ready", "--> USER bob", "<-- +OK", "--> PASS ****",
                                "<-- +OK logged in", "--> QUIT", "<-- +OK bye"));
}

}  // namespace
}  // namespace pelnor::test
