// Pop3Session over TLS against a real Dovecot with "ssl = required" and
// certificates made by the test. The test CA reaches the client only
// through SSL_CERT_FILE. Every certificate the client must refuse is
// refused before the user name or the password goes out: neither our wire
// nor Dovecot's log shows a login.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/dovecot_fixture.h"
#include "support/session_test_util.h"
#include "support/temp_dir.h"
#include "support/test_certificates.h"
#include "support/test_mails.h"

namespace pelnor::test {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class DovecotTls : public ::testing::Test {
 protected:
  void SetUp() override {
    if (DovecotServer::BinaryPath().empty())
      GTEST_SKIP() << "*** dovecot is NOT installed (Debian package dovecot-pop3d): "
                      "the TLS integration test did not run ***";
    server_.AddUser("taro", "secret");
  }

  void Serve(const ServerCertificate& cert) {
    server_.Stop();
    server_.EnableTls(cert.CertFile, cert.KeyFile);
    server_.Start();
  }

  std::unique_ptr<Pop3Session> Session(TlsMode mode, const std::string& host = "127.0.0.1") {
    auto pop = std::make_unique<Pop3Session>();
    pop->Host = host;
    pop->Tls = mode;
    pop->Port = std::to_string(mode == TlsMode::kImplicit ? server_.TlsPort() : server_.Port());
    pop->UserId = "taro";
    pop->Passwd = "secret";
    pop->ReplyTimeoutMs = 10000;
    pop->OnWireLog = [this](const std::string& line) { wire_ += line + "\n"; };
    return pop;
  }

  // Connects, logs in, fetches every mail, deletes each, quits.
  MailMessageList FetchAndDelete(Pop3Session& pop) {
    std::uint16_t next = 1;
    pop.OnAfterRetrieve = [&](Pop3Session& p) { p.DeleteMessage(next++); };
    MailMessageList list;
    pop.Connect();
    EXPECT_FALSE(pop.Failed()) << pop.ConnectError() << "\n" << server_.LogText();
    if (pop.Failed()) return list;
    EXPECT_TRUE(pop.Login()) << wire_;
    pop.CountNewMessages();
    pop.RetrieveAll(list);
    pop.Quit();
    EXPECT_FALSE(pop.Failed()) << wire_;
    return list;
  }

  // Connect must fail on the certificate, before anything of ours went out.
  void ExpectRefusedBeforeLogin(Pop3Session& pop, const std::string& reason) {
    const int loginsBefore = server_.Logins("taro");
    wire_.clear();
    pop.Connect();
    EXPECT_TRUE(pop.Failed());
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(pop.LastConnectFailure(), ConnectFailure::kCertificate) << pop.ConnectError();
    EXPECT_THAT(pop.ConnectError(), HasSubstr(reason));
    EXPECT_THAT(wire_, AllOf(Not(HasSubstr("USER")), Not(HasSubstr("PASS")))) << wire_;
    EXPECT_EQ(server_.Logins("taro"), loginsBefore) << server_.LogText();
    EXPECT_THROW(pop.Login(), EInvalidOperation);
  }

  TempDir dir_{"pelnor-tls-"};
  TestCertificates certs_{dir_.Path().string()};
  TrustTestCa trust_{certs_.CaFile()};
  DovecotServer server_;
  std::string wire_;
};

TEST_F(DovecotTls, ImplicitTlsAndStlsEachFetchAndDeleteJapaneseMail) {
  Serve(certs_.Issue("valid", {}));
  for (TlsMode mode : {TlsMode::kImplicit, TlsMode::kStartTls}) {
    SCOPED_TRACE(mode == TlsMode::kImplicit ? "implicit TLS" : "STLS");
    server_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "暗号化の試験",
                                         {"こんにちは。", "本文の二行目です。"}));
    server_.Deliver("taro", MailWithAttachment("添付ファイル", "資料を送ります。", "資料.txt",
                                               std::string(200000, 'x')));
    wire_.clear();
    // By name: SNI and the DNS name check; by address: the IP check.
    auto pop = Session(mode, mode == TlsMode::kImplicit ? "localhost" : "127.0.0.1");
    const MailMessageList list = FetchAndDelete(*pop);
    ASSERT_EQ(list.Count(), 2) << wire_;
    EXPECT_EQ(list.Items(0).Subject, "暗号化の試験");
    EXPECT_THAT(list.Items(0).Text, ElementsAre("こんにちは。", "本文の二行目です。"));
    ASSERT_EQ(list.Items(1).AttachedFiles.Count(), 1);
    EXPECT_EQ(list.Items(1).AttachedFiles.Items(0).Data, std::string(200000, 'x'));
    EXPECT_EQ(server_.CountMails("taro"), 0);
    ASSERT_TRUE(pop->Certificate().has_value());
    EXPECT_THAT(pop->Certificate()->Issuer, HasSubstr("Pelnor Test CA"));
    EXPECT_THAT(pop->Certificate()->Subject, HasSubstr("CN=localhost"));
    EXPECT_EQ(pop->Certificate()->Fingerprint.size(), 7u + 64u);
    if (mode == TlsMode::kStartTls) {
      // The password goes only after STLS: Dovecot's plain port sees it
      // inside TLS.
      EXPECT_LT(wire_.find("--> STLS"), wire_.find("--> USER taro")) << wire_;
      EXPECT_LT(wire_.find("--> CAPA"), wire_.find("--> STLS")) << wire_;
    }
  }
  EXPECT_THAT(server_.LogText(), HasSubstr("TLS"));
  EXPECT_THAT(wire_, Not(HasSubstr("secret"))) << "the wire log holds no password";
}

TEST_F(DovecotTls, EveryUntrustworthyCertificateIsRefusedBeforeTheLogin) {
  CertificateRequest expired;
  expired.ValidFromDays = -30;
  expired.ValidUntilDays = -1;
  CertificateRequest early;
  early.ValidFromDays = 2;
  early.ValidUntilDays = 30;
  CertificateRequest otherHost;
  otherHost.CommonName = "mail.example.org";
  otherHost.DnsNames = {"mail.example.org"};
  otherHost.IpAddresses = {"192.0.2.1"};
  struct Row {
    const char* Name;
    ServerCertificate Cert;
    const char* Reason;
  };
  const Row rows[] = {
      {"expired", certs_.Issue("expired", expired), "the certificate expired on "},
      {"not yet valid", certs_.Issue("early", early), "is not valid before "},
      {"wrong host", certs_.Issue("other-host", otherHost), "is not for localhost"},
      {"self-signed", certs_.SelfSigned("self", {}), "self-signed and not trusted"},
      {"unknown issuer", certs_.IssueByUntrustedCa("stranger", {}), "issuer is not trusted"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    Serve(row.Cert);
    for (TlsMode mode : {TlsMode::kImplicit, TlsMode::kStartTls}) {
      SCOPED_TRACE(mode == TlsMode::kImplicit ? "implicit TLS" : "STLS");
      auto pop = Session(mode, "localhost");
      ExpectRefusedBeforeLogin(*pop, row.Reason);
      ASSERT_TRUE(pop->Certificate().has_value()) << "shown to the user";
      EXPECT_EQ(pop->Certificate()->Fingerprint, row.Cert.Fingerprint);
    }
  }
  // An address the certificate does not list is checked as an address.
  Serve(certs_.Issue("other-address", otherHost));
  auto byAddress = Session(TlsMode::kImplicit, "127.0.0.1");
  ExpectRefusedBeforeLogin(*byAddress, "is not for 127.0.0.1");
}

// Trust belongs to the one certificate: pinned, a self-signed one is taken;
// once the server shows another, even one the trust store accepts, it is
// refused until trusted again.
TEST_F(DovecotTls, APinnedCertificateIsTakenAndAChangedOneRefused) {
  const ServerCertificate self = certs_.SelfSigned("nas", {});
  Serve(self);
  server_.Deliver("taro", JapaneseMail("鈴木", "suzuki@example.jp", "社内サーバー", {"本文"}));
  auto pinned = Session(TlsMode::kImplicit, "127.0.0.1");
  pinned->PinnedCertificate = self.Fingerprint;
  EXPECT_EQ(FetchAndDelete(*pinned).Count(), 1);

  Serve(certs_.Issue("renewed", {}));
  auto changed = Session(TlsMode::kStartTls);
  changed->PinnedCertificate = self.Fingerprint;
  ExpectRefusedBeforeLogin(*changed, "not the one trusted for this server");
}

}  // namespace
}  // namespace pelnor::test
