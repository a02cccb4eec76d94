// The account editor's connection test against a real Dovecot that shows a
// self-signed certificate, as an office server or a NAS box does.

#include "core/check/login_trial.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/dovecot_fixture.h"
#include "support/temp_dir.h"
#include "support/test_certificates.h"
#include "support/test_mails.h"

namespace pelnor::test {
namespace {

using ::testing::HasSubstr;

TEST(LoginTrial, ShowsAnUntrustedCertificateLogsInOnceItIsPinnedAndTouchesNoMail) {
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  TempDir dir("pelnor-trial-");
  TestCertificates certs(dir.Path().string());
  TrustTestCa trust(certs.CaFile());
  const ServerCertificate nas = certs.SelfSigned("nas", {});
  DovecotServer server;
  server.AddUser("taro", "secret");
  server.EnableTls(nas.CertFile, nas.KeyFile);
  server.Deliver("taro", JapaneseMail("鈴木", "suzuki@example.jp", "残しておくメール", {"本文"}));
  server.Start();
  auto pump = [] {};
  const ServerAddress implicit{"127.0.0.1", server.TlsPort(), ServerSecurity::kImplicitTls};
  const ServerAddress starttls{"127.0.0.1", server.Port(), ServerSecurity::kStartTls};

  const LoginTrial refused = TryLogin(implicit, "", "taro", "secret", pump);
  EXPECT_EQ(refused.Outcome, TrialOutcome::kCertificateRefused);
  EXPECT_THAT(refused.Detail, HasSubstr("self-signed"));
  ASSERT_TRUE(refused.Certificate.has_value());
  EXPECT_EQ(refused.Certificate->Fingerprint, nas.Fingerprint);
  EXPECT_THAT(refused.Certificate->Subject, HasSubstr("CN=localhost"));
  EXPECT_FALSE(refused.Certificate->NotAfter.empty());

  const LoginTrial trusted = TryLogin(implicit, nas.Fingerprint, "taro", "secret", pump);
  EXPECT_EQ(trusted.Outcome, TrialOutcome::kLoggedIn) << trusted.Detail;
  const LoginTrial wrong = TryLogin(starttls, nas.Fingerprint, "taro", "wrong", pump);
  EXPECT_EQ(wrong.Outcome, TrialOutcome::kLoginRefused);
  EXPECT_EQ(wrong.Detail, "[AUTH] Authentication failed.");
  EXPECT_EQ(server.Logins("taro"), 1) << server.LogText();
  EXPECT_EQ(server.CountMails("taro"), 1);

  server.Stop();
  const LoginTrial gone = TryLogin(implicit, nas.Fingerprint, "taro", "secret", pump);
  EXPECT_EQ(gone.Outcome, TrialOutcome::kConnectFailed);
  EXPECT_THAT(gone.Detail, HasSubstr("refused"));
}

}  // namespace
}  // namespace pelnor::test
