// Pop3Session where TLS cannot be had: a server that does not offer STLS or
// refuses it (no downgrade: USER is never sent), and hostile peers on a
// POP3S port (garbage, a hang-up mid-handshake, silence), which must end the
// connection within the session's limits.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/fake_pop3_server.h"
#include "support/session_test_util.h"
#include "support/temp_dir.h"
#include "support/test_certificates.h"
#include "support/tls_test_server.h"

namespace pelnor::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using Pop3SessionStartTls = SessionTest;

TEST_F(Pop3SessionStartTls, WithoutStlsNothingButCapaAndStlsIsSent) {
  struct Row {
    const char* Name;
    Pop3Script Script;
    std::string Sent;
    const char* Why;
  };
  const std::string greeting = "+OK ready\r\n";
  const std::vector<Row> rows = {
      {"STLS not in CAPA",
       Pop3Script().Send(greeting).On("CAPA", "+OK\r\nUSER\r\nUIDL\r\nSTLSX\r\n.\r\n"),
       "CAPA\r\n", "does not offer STLS"},
      {"CAPA refused", Pop3Script().Send(greeting).On("CAPA", "-ERR unknown command\r\n"),
       "CAPA\r\n", "does not offer STLS"},
      {"STLS refused",
       Pop3Script().Send(greeting).On("CAPA", "+OK\r\nSTLS\r\n.\r\n").On("STLS", "-ERR not now\r\n"),
       "CAPA\r\nSTLS\r\n", "refused STLS: not now"},
      // An answer with plain text behind it: someone between us and the
      // server may have put it there.
      {"text after the yes",
       Pop3Script().Send(greeting).On("CAPA", "+OK\r\nSTLS\r\n.\r\n").On("STLS",
                                                                       "+OK go\r\n+OK fake\r\n"),
       "CAPA\r\nSTLS\r\n", "sent more than its answer to STLS"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    events_.Events.clear();
    Start(row.Script);
    pop_->Tls = TlsMode::kStartTls;
    pop_->Connect();
    EXPECT_TRUE(pop_->Failed());
    EXPECT_FALSE(pop_->Connected());
    EXPECT_EQ(pop_->LastConnectFailure(), ConnectFailure::kNoStartTls);
    EXPECT_THAT(pop_->ConnectError(), HasSubstr(row.Why));
    EXPECT_EQ(socket_->Received(), row.Sent);
    EXPECT_THAT(events_.Events, ElementsAre("connect", "quit"));
    EXPECT_THROW(pop_->Login(), EInvalidOperation);
  }
}

// The capability list may come in pieces and in any letter case.
TEST_F(Pop3SessionStartTls, StlsIsFoundInACapabilityListThatArrivesInPieces) {
  Start(Pop3Script()
            .Send("+OK ready\r\n")
            .Expect("CAPA")
            .SendSplit({"+OK Capability list follows\r\nTOP\r\nUS", "ER\r\nstls\r\n", ".\r\n"}, 50)
            .On("STLS", "+OK Begin TLS negotiation now\r\n"));
  pop_->Tls = TlsMode::kStartTls;
  pop_->Connect();
  // The scripted socket has no TLS to start; that it was asked is enough.
  EXPECT_EQ(socket_->Received(), "CAPA\r\nSTLS\r\n");
  EXPECT_THAT(pop_->ConnectError(), HasSubstr("has no TLS"));
  EXPECT_THAT(socket_->Received(), Not(HasSubstr("USER")));
}

class HostileTlsPeer : public ::testing::Test {
 protected:
  // Connects with implicit TLS to a server playing `script`; returns how
  // long Connect took.
  std::chrono::milliseconds ConnectTo(FakePop3Server& server) {
    pop_.Host = "127.0.0.1";
    pop_.Port = std::to_string(server.Port());
    pop_.Tls = TlsMode::kImplicit;
    pop_.UserId = "bob";
    pop_.Passwd = "pw";
    pop_.ReplyTimeoutMs = 300;
    pop_.OnProcessMessages = [this] { ++pumps_; };
    pop_.OnWireLog = [this](const std::string& line) { wire_ += line + "\n"; };
    const auto start = std::chrono::steady_clock::now();
    pop_.Connect();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  }

  void ExpectFailedWithoutLogin(FakePop3Server& server) {
    EXPECT_TRUE(pop_.Failed());
    EXPECT_FALSE(pop_.Connected());
    EXPECT_FALSE(pop_.ConnectError().empty());
    EXPECT_THAT(wire_, HasSubstr(pop_.ConnectError())) << "a log line says why";
    server.Finish(2000);
    EXPECT_THAT(server.Received(), Not(HasSubstr("USER")));
  }

  Pop3Session pop_;
  int pumps_ = 0;
  std::string wire_;
};

TEST_F(HostileTlsPeer, GarbageInsteadOfAHandshakeEndsAtOnce) {
  // A plain POP3 server on the POP3S port, the usual mistake.
  FakePop3Server server(Pop3Script().Send("+OK plain POP3 here\r\n").Pause(500));
  const auto took = ConnectTo(server);
  ExpectFailedWithoutLogin(server);
  EXPECT_EQ(pop_.LastConnectFailure(), ConnectFailure::kCertificate);
  EXPECT_THAT(pop_.ConnectError(), HasSubstr("TLS handshake with 127.0.0.1:"));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(HostileTlsPeer, AHangUpInTheMiddleOfTheHandshakeEndsAtOnce) {
  FakePop3Server server(Pop3Script().Pause(100).Send("\x16\x03\x03\x00\x7a\x02\x00").Close());
  const auto took = ConnectTo(server);
  ExpectFailedWithoutLogin(server);
  EXPECT_EQ(pop_.LastConnectFailure(), ConnectFailure::kCertificate);
  EXPECT_THAT(pop_.ConnectError(), HasSubstr("TLS handshake"));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(HostileTlsPeer, SilenceEndsAtTheReplyLimitAndThePumpRunsMeanwhile) {
  FakePop3Server server(Pop3Script().Pause(1500));
  const auto took = ConnectTo(server);
  ExpectFailedWithoutLogin(server);
  EXPECT_EQ(pop_.LastConnectFailure(), ConnectFailure::kNetwork);
  EXPECT_THAT(pop_.ConnectError(), HasSubstr("did not complete the TLS handshake within 300 ms"));
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_LT(took, std::chrono::milliseconds(3000));
  EXPECT_GE(pumps_, 1);
}

// A server with a valid certificate of a test CA that the test trusts
// (through SSL_CERT_FILE), and a session aimed at it.
class TrustedTlsPeer : public ::testing::Test {
 protected:
  static void Aim(Pop3Session& pop, const TlsTestServer& server, int replyTimeoutMs) {
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(server.Port());
    pop.Tls = TlsMode::kImplicit;
    pop.UserId = "bob";
    pop.Passwd = "pw";
    pop.ReplyTimeoutMs = replyTimeoutMs;
  }

  TempDir dir_{"pelnor-tls-peer-"};
  TestCertificates certs_{dir_.Path().string()};
  TrustTestCa trust_{certs_.CaFile()};
  const ServerCertificate cert_ = certs_.Issue("valid", {});
};

// A server that greets over TLS and goes away: every later write goes into
// a connection the peer has reset. Each must fail as an exception, never as
// a SIGPIPE that would end the program.
TEST_F(TrustedTlsPeer, WritesIntoTheDeadConnectionRaiseWithoutASignal) {
  TlsTestServer server(cert_.CertFile, cert_.KeyFile,
                       [](SSL* ssl) { TlsTestServer::SendLine(ssl, "+OK ready"); });
  Pop3Session pop;
  Aim(pop, server, 2000);
  pop.Connect();
  ASSERT_FALSE(pop.Failed()) << pop.ConnectError();
  ASSERT_TRUE(server.Handshaken());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the server is gone
  EXPECT_THROW(pop.Login(), ESocketError);
  for (int i = 0; i < 5 && pop.Connected(); ++i) {
    try {
      pop.Quit();
    } catch (const ESocketError&) {
    }
  }
  EXPECT_FALSE(pop.Connected());
}

// Over TLS a long mail is read in batches as well; a LIST size far above
// what comes must not hold back the end of the mail.
TEST_F(TrustedTlsPeer, ALongMailComesWholeThoughTheServerAnnouncedMore) {
  const std::string body = Stuffed(LongMail());
  TlsTestServer server(cert_.CertFile, cert_.KeyFile, [&body](SSL* ssl) {
    TlsTestServer::SendLine(ssl, "+OK ready");
    for (std::string line; !(line = TlsTestServer::ReadLine(ssl)).empty();) {
      if (line == "STAT") {
        TlsTestServer::SendLine(ssl, "+OK 1 " + std::to_string(body.size()));
      } else if (line == "LIST 1") {
        TlsTestServer::SendLine(ssl, "+OK 1 " + std::to_string(4 * body.size()));
      } else if (line == "RETR 1") {
        // The last 30 KB after a pause: the reader has to wait for them.
        const std::string head = "+OK\r\n" + body.substr(0, body.size() - 30000);
        SSL_write(ssl, head.data(), static_cast<int>(head.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SSL_write(ssl, body.data() + body.size() - 30000, 30000);
      } else if (line == "LAST") {
        TlsTestServer::SendLine(ssl, "-ERR");
      } else {
        TlsTestServer::SendLine(ssl, "+OK");
        if (line == "QUIT") return;
      }
    }
  });
  Pop3Session pop;
  Aim(pop, server, 3000);
  pop.Connect();
  ASSERT_FALSE(pop.Failed()) << pop.ConnectError();
  ASSERT_TRUE(pop.Login());
  pop.CountNewMessages();
  MailMessage* msg = pop.RetrieveMessage(1);
  ASSERT_NE(msg, nullptr);
  ASSERT_EQ(msg->Text.size(), 9000u);
  EXPECT_EQ(msg->Text.back(), "8999" + std::string(60, 'q'));
  pop.Quit();
}

}  // namespace
}  // namespace pelnor::test
