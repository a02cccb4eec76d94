// Pop3Session over real loopback sockets against the scripted fake server:
// whole sessions, replies split across reads, silent and vanishing servers.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fake_pop3_server.h"
#include "support/session_test_util.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kSplitPauseMs = 120;

class Pop3SessionWire : public ::testing::Test {
 protected:
  void Serve(const Pop3Script& script, const std::string& host = "127.0.0.1") {
    server_ = std::make_unique<FakePop3Server>(script);
    pop_ = std::make_unique<Pop3Session>();
    pop_->Host = host;
    pop_->Port = std::to_string(server_->Port());
    pop_->UserId = "bob";
    pop_->Passwd = "pw";
    pop_->ReplyTimeoutMs = 5000;
    pop_->OnWireLog = [this](const std::string& line) { wire_ += line + "\n"; };
    events_.Attach(*pop_);
  }
  // Ends the session from our side and checks the server saw the script.
  void ExpectScriptMet() {
    pop_.reset();
    EXPECT_TRUE(server_->Finish());
    EXPECT_THAT(server_->Mismatches(), IsEmpty()) << wire_;
  }

  PrivateTempDir tmp_;
  std::unique_ptr<FakePop3Server> server_;
  std::unique_ptr<Pop3Session> pop_;
  EventLog events_;
  std::string wire_;
};

TEST_F(Pop3SessionWire, WholeSessionWithDeletion) {
  Pop3Script script = Counted(2);
  AddFetch(script, 1, PlainMail("one", "b1"));
  script.On("DELE 1", "+OK\r\n");
  AddFetch(script, 2, PlainMail("two", "b2"));
  script.On("DELE 2", "+OK\r\n").On("QUIT", "+OK bye\r\n");
  Serve(script);
  pop_->Connect();
  ASSERT_FALSE(pop_->Failed()) << pop_->ConnectError();
  ASSERT_TRUE(pop_->Login());
  EXPECT_EQ(pop_->CountNewMessages(), 0);
  EXPECT_EQ(pop_->MessageCount(), 2);
  std::uint32_t next = 1;
  pop_->OnAfterRetrieve = [&](Pop3Session& pop) { pop.DeleteMessage(next++); };
  MailMessageList list;
  EXPECT_EQ(pop_->RetrieveAll(list), 2);
  pop_->Quit();
  EXPECT_FALSE(pop_->Failed());
  EXPECT_EQ(list.Items(0).Subject, "one");
  EXPECT_THAT(list.Items(1).Text, ElementsAre("b2"));
  EXPECT_THAT(events_.Events, ElementsAre("connect", "before 1", "progress 100", "delete 1",
                                          "before 2", "progress 100", "delete 2", "quit"));
  ExpectScriptMet();
  EXPECT_EQ(server_->Received(),
            "USER bob\r\nPASS pw\r\nSTAT\r\nLAST\r\nLIST 1\r\nRETR 1\r\nDELE 1\r\n"
            "LIST 2\r\nRETR 2\r\nDELE 2\r\nQUIT\r\n");
  EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
}

TEST_F(Pop3SessionWire, HostNameIsResolved) {
  Serve(Pop3Script().Send("+OK\r\n").On("QUIT", "+OK\r\n"), "localhost");
  pop_->Connect();
  EXPECT_FALSE(pop_->Failed()) << pop_->ConnectError();
  pop_->Quit();
  ExpectScriptMet();
}

TEST_F(Pop3SessionWire, RefusedConnectionIsAFailedConnect) {
  Serve(Pop3Script());
  const int port = server_->Port();
  server_.reset();  // nobody listens there any more
  pop_->Port = std::to_string(port);
  pop_->Connect();
  EXPECT_TRUE(pop_->Failed());
  EXPECT_THAT(events_.Events, IsEmpty());
  EXPECT_THAT(pop_->ConnectError(), HasSubstr("127.0.0.1:" + std::to_string(port)));
}

TEST_F(Pop3SessionWire, StatusLinesSplitAcrossReadsAreJudgedWhole) {
  Serve(Pop3Script()
            .SendSplit({"+O", "K ready\r\n"}, kSplitPauseMs)
            .Expect("USER bob")
            .SendSplit({"+OK\r", "\n"}, kSplitPauseMs)
            .On("PASS pw", "+OK\r\n")
            .Expect("STAT")
            .SendSplit({"+OK 5 1", "2345\r\n"}, kSplitPauseMs)
            .Expect("LAST")
            .SendSplit({"-E", "RR no\r\n"}, kSplitPauseMs)
            .On("QUIT", "+OK\r\n"));
  pop_->Connect();
  EXPECT_EQ(pop_->ReplyText(), "ready");
  ASSERT_TRUE(pop_->Login());
  EXPECT_EQ(pop_->CountNewMessages(), 0);
  EXPECT_EQ(pop_->MessageCount(), 5);
  EXPECT_TRUE(pop_->Connected());
  pop_->Quit();
  ExpectScriptMet();
}

TEST_F(Pop3SessionWire, RefusalSplitAcrossReadsIsStillARefusal) {
  Serve(Pop3Script().Send("+OK\r\n").Expect("USER bob").SendSplit({"-E", "RR who?\r\n"}, kSplitPauseMs));
  pop_->Connect();
  EXPECT_FALSE(pop_->Login());
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "error 2001 who?"));
  ExpectScriptMet();
}

TEST_F(Pop3SessionWire, TerminatorSplitAcrossReads) {
  Pop3Script script = Counted(1);
  script.On("LIST 1", "+OK 1 40\r\n")
      .Expect("RETR 1")
      .SendSplit({"+OK\r\nSubject: s\r\n\r\ntext\r\n.", "\r\n"}, kSplitPauseMs)
      .On("QUIT", "+OK\r\n");
  Serve(script);
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  pop_->CountNewMessages();
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  EXPECT_THAT(msg->Text, ElementsAre("text"));
  pop_->Quit();
  EXPECT_FALSE(pop_->Failed());
  ExpectScriptMet();
}

TEST_F(Pop3SessionWire, LargeMessageArrivesWhole) {
  std::vector<std::string> mail = {"Subject: big", ""};
  for (int i = 0; i < 3000; ++i) mail.push_back((i % 7 == 0 ? "." : "") + std::to_string(i) + std::string(60, 'z'));
  Pop3Script script = Counted(1);
  AddFetch(script, 1, mail);
  script.On("QUIT", "+OK\r\n");
  Serve(script);
  pop_->Connect();
  ASSERT_TRUE(pop_->Login());
  pop_->CountNewMessages();
  MailMessage* msg = pop_->RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  ASSERT_EQ(msg->Text.size(), 3000u);
  EXPECT_EQ(msg->Text[0], "." + std::string("0") + std::string(60, 'z'));
  EXPECT_EQ(msg->Text[2999], "2999" + std::string(60, 'z'));
  EXPECT_EQ(events_.Only("progress").back(), "progress 100");
  pop_->Quit();
  ExpectScriptMet();
}

// A long mail is read in batches of what its LIST size says is still to
// come. Where that size is wrong, or the server sends in small bursts, the
// end of the mail must still come through, not wait for bytes that never do.
TEST_F(Pop3SessionWire, ALongMailComesWholeWhateverSizeTheServerAnnounced) {
  const std::string body = Stuffed(LongMail());
  auto bursts = [&](std::size_t size) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < body.size(); at += size) out.push_back(body.substr(at, size));
    return out;
  };
  const struct {
    const char* name;
    std::size_t announced;
    std::vector<std::string> pieces;
  } rows[] = {
      {"exact", body.size(), {body}},
      {"four times too large", 4 * body.size(), {body}},
      {"too small", 1000, {body}},
      {"in bursts slower than a batch", body.size(), bursts(100000)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Pop3Script script = Counted(1);
    script.On("LIST 1", "+OK 1 " + std::to_string(row.announced) + "\r\n")
        .On("RETR 1", "+OK\r\n")
        .SendSplit(row.pieces, 150)
        .On("QUIT", "+OK\r\n");
    Serve(script);
    pop_->ReplyTimeoutMs = 3000;
    pop_->Connect();
    ASSERT_TRUE(pop_->Login());
    pop_->CountNewMessages();
    MailMessage* msg = pop_->RetrieveMessage(1);
    ASSERT_NE(msg, nullptr);
    ASSERT_EQ(msg->Text.size(), 9000u);
    EXPECT_EQ(msg->Text.back(), "8999" + std::string(60, 'q'));
    pop_->Quit();
    ExpectScriptMet();
  }
}

TEST_F(Pop3SessionWire, SilentServerEndsWithItsException) {
  Serve(Pop3Script().Send("+OK\r\n").Expect("USER bob").Pause(3000).Send("+OK\r\n"));
  pop_->ReplyTimeoutMs = 500;
  int pumps = 0;
  pop_->OnProcessMessages = [&] { ++pumps; };
  pop_->Connect();
  try {
    pop_->Login();
    FAIL() << "a silent server answered";
  } catch (const EServerSilent& e) {
    EXPECT_THAT(e.what(), HasSubstr("did not answer within 500 ms"));
  }
  EXPECT_GE(pumps, 2);
  EXPECT_FALSE(pop_->Connected());
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit"));
  pop_->Quit();  // nothing left to do
  EXPECT_EQ(server_->Received(), "USER bob\r\n");
}

// A server that sends a byte now and then is never silent, yet it would hold
// the check for ever: a status line has to be complete, and a message has to
// come on by 1 KB, within each ReplyTimeoutMs.
TEST_F(Pop3SessionWire, DrippingServerIsAbandonedLikeASilentOne) {
  auto pieces = [](const std::string& bytes, std::size_t size) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < bytes.size(); at += size) out.push_back(bytes.substr(at, size));
    return out;
  };
  Pop3Script status = Pop3Script().Send("+OK\r\n").Expect("USER bob");
  status.SendSplit(pieces("+OK go ahead\r\n", 1), 100);
  Pop3Script message = Counted(1).On("LIST 1", "+OK 1 3000\r\n").Expect("RETR 1");
  message.SendSplit(pieces("+OK\r\nSubject: slow\r\n\r\n" + std::string(3000, 'a'), 100), 100)
      .Send("\r\n.\r\n");
  const struct {
    const char* name;
    const Pop3Script& script;
    const char* slowness;
  } rows[] = {
      {"status line", status, "did not complete its reply within 400 ms."},
      {"message", message, "sent the message too slowly: less than 1 KB in 400 ms."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Serve(row.script);
    pop_->ReplyTimeoutMs = 400;
    pop_->Connect();
    try {
      ASSERT_TRUE(pop_->Login());
      pop_->CountNewMessages();
      pop_->RetrieveMessage(1);
      FAIL() << "the server was waited for";
    } catch (const EServerTooSlow& e) {
      EXPECT_EQ(e.what(), "The server 127.0.0.1:" + pop_->Port + " " + row.slowness);
    }
    EXPECT_FALSE(pop_->Connected());
    EXPECT_THAT(tmp_.TempFilesLeft(), IsEmpty());
  }
}

TEST_F(Pop3SessionWire, VanishingServerEndsWithItsException) {
  Serve(Pop3Script().Send("+OK\r\n").Expect("USER bob").Close());
  pop_->Connect();
  try {
    pop_->Login();
    FAIL() << "a closed connection answered";
  } catch (const EServerClosed& e) {
    EXPECT_THAT(e.what(), HasSubstr("closed the connection"));
  }
  EXPECT_FALSE(pop_->Connected());
}

// A loopback listener whose backlog is full: the kernel drops further
// SYNs, so a connect to it waits until it times out.
class FullBacklogListener {
 public:
  FullBacklogListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd_, 0) != 0)
      return;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    for (int i = 0; i < 16 && !full_; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      ::connect(fd, reinterpret_cast<sockaddr*>(&addr), len);
      pollfd p{fd, POLLOUT, 0};
      full_ = ::poll(&p, 1, 200) == 0;
      if (full_) {
        ::close(fd);
      } else {
        fillers_.push_back(fd);
      }
    }
  }
  FullBacklogListener(const FullBacklogListener&) = delete;
  FullBacklogListener& operator=(const FullBacklogListener&) = delete;
  ~FullBacklogListener() {
    for (int fd : fillers_) ::close(fd);
    ::close(fd_);
  }
  int Port() const { return port_; }
  bool Full() const { return full_; }

 private:
  int fd_ = -1;
  int port_ = 0;
  bool full_ = false;
  std::vector<int> fillers_;
};

// The pump runs while the connection is being made, so the program can end
// then too: its exception ends Connect at once.
TEST(Pop3SessionConnecting, PumpsWhileTheConnectWaits) {
  FullBacklogListener listener;
  ASSERT_TRUE(listener.Full()) << "the backlog never filled";
  Pop3Session pop;
  pop.Host = "127.0.0.1";
  pop.Port = std::to_string(listener.Port());
  pop.ConnectTimeoutMs = 5000;
  // A std::exception, as a failed connect's own would be.
  pop.OnProcessMessages = [] { throw std::range_error("ending"); };
  EXPECT_THROW(pop.Connect(), std::range_error);
  EXPECT_FALSE(pop.Connected());
}

TEST_F(Pop3SessionWire, RefusingGreetingClosesOurSide) {
  Serve(Pop3Script().Send("-ERR busy\r\n"));
  pop_->Connect();
  EXPECT_THAT(events_.Events, ElementsAre("connect", "quit", "error 2000 busy"));
  EXPECT_TRUE(server_->Finish()) << "the client hung up";
}

}  // namespace
}  // namespace pelnor::test
