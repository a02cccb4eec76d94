// The editor's server side: host, port and security in their own controls
// and one field of the record, and the connection test with its offer to
// trust a certificate that cannot be verified.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "core/check/login_trial.h"
#include "core/check/program_ending.h"
#include "core/store/certificate_pins.h"
#include "platform/print_text.h"
#include "ui/account_editor_dialog.h"

namespace pelnor {
namespace {

const QString kServerLabel = QStringLiteral("POP3ｻｰﾊﾞｰ");

// "sha256:ab12..." as people compare it: "AB:12:...".
QString FingerprintText(const std::string& fingerprint) {
  const QString hex = QString::fromStdString(fingerprint.substr(fingerprint.find(':') + 1)).toUpper();
  QStringList pairs;
  for (int i = 0; i + 1 < hex.size(); i += 2) pairs << hex.mid(i, 2);
  return pairs.join(QLatin1Char(':'));
}

QString TrustQuestion(const ServerAddress& server, const LoginTrial& trial) {
  const CertificateInfo& c = *trial.Certificate;
  return QStringLiteral(
             "証明書を確認できません: %1\n\n"
             "サーバー: %2\n発行先: %3\n発行者: %4\n有効期間: %5 ～ %6\nSHA-256: %7\n\n"
             "このサーバーでこの証明書を信頼しますか？")
      .arg(ExceptionText(trial.Detail.c_str()), QString::fromStdString(ServerKey(server)),
           QString::fromStdString(c.Subject), QString::fromStdString(c.Issuer),
           QString::fromStdString(c.NotBefore), QString::fromStdString(c.NotAfter),
           FingerprintText(c.Fingerprint));
}

QString ResultLine(const LoginTrial& trial) {
  const QString detail = ExceptionText(trial.Detail.c_str());
  switch (trial.Outcome) {
    case TrialOutcome::kLoggedIn: return QStringLiteral("ログイン成功");
    case TrialOutcome::kCertificateRefused: return QStringLiteral("証明書エラー: ") + detail;
    case TrialOutcome::kLoginRefused: return QStringLiteral("ログインエラー: ") + detail;
    default: return QStringLiteral("接続エラー: ") + detail;
  }
}

// The editor stays disabled, and open, while the test runs.
class TestRunning {
 public:
  TestRunning(QWidget& editor, bool& flag) : editor_(editor), flag_(flag) {
    flag_ = true;
    editor_.setEnabled(false);
  }
  TestRunning(const TestRunning&) = delete;
  TestRunning& operator=(const TestRunning&) = delete;
  ~TestRunning() {
    editor_.setEnabled(true);
    flag_ = false;
  }

 private:
  QWidget& editor_;
  bool& flag_;
};

}  // namespace

void AccountEditorDialog::ShowServer(const ServerAddress& server) {
  serverEdit->setText(FromSjis(server.Host));
  portSpin->setValue(server.Port);
  securityCombo->setCurrentIndex(static_cast<int>(server.Security));
  connectionResultLabel->clear();
  connectionResultLabel->setToolTip({});
}

ServerAddress AccountEditorDialog::ServerFromControls() const {
  QString host = serverEdit->text().trimmed();
  if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
    host = host.mid(1, host.size() - 2);
  return {ToSjis(host), portSpin->value(), static_cast<ServerSecurity>(securityCombo->currentIndex())};
}

// Each choice proposes its usual port; the user may change it after.
void AccountEditorDialog::OnSecurityChosen() {
  portSpin->setValue(DefaultPort(static_cast<ServerSecurity>(securityCombo->currentIndex())));
}

// The port has its own box, and the scheme is the security's: a host typed
// with either would not read back as typed.
bool AccountEditorDialog::ServerTextUsable() {
  const QString host = serverEdit->text().trimmed();
  QString bad;
  if (host.contains(QLatin1Char('/')))
    bad = QStringLiteral("/");
  else if (host.count(QLatin1Char(':')) == 1)
    bad = QStringLiteral(":");
  if (bad.isEmpty()) return true;
  Message(UnusableCharMessage(kServerLabel, bad));
  serverEdit->setFocus();
  return false;
}

void AccountEditorDialog::OnTestConnection() {
  if (testing_) return;
  if (serverEdit->text().trimmed().isEmpty()) {
    Message(EmptyTextMessage(kServerLabel));
    serverEdit->setFocus();
    return;
  }
  if (!ServerTextUsable() || !TextsUsable()) return;
  ShowConnectionResult(QStringLiteral("接続中…"));
  ShowConnectionResult(RunLoginTrial(ServerFromControls()));
}

// A certificate that cannot be verified is shown, and trusted for the
// server (Defult.ini, at once: trust is the server's, not this edit's)
// when the user says so; the test then runs again with it.
QString AccountEditorDialog::RunLoginTrial(const ServerAddress& server) {
  TestRunning running(*this, testing_);
  const std::string user = ToSjis(userEdit->text());
  const std::string password = ToSjis(passwordEdit->text());
  try {
    LoginTrial trial = TryLogin(server, CertificatePin(services_.ProgramDir, server), user,
                                password, services_.Pump);
    if (trial.Outcome == TrialOutcome::kCertificateRefused && trial.Certificate &&
        services_.Ask && services_.Ask(TrustQuestion(server, trial))) {
      SaveCertificatePin(services_.ProgramDir, server, trial.Certificate->Fingerprint);
      trial = TryLogin(server, trial.Certificate->Fingerprint, user, password, services_.Pump);
    }
    return ResultLine(trial);
  } catch (const EProgramEnding&) {
    return {};  // the program ends; nobody reads the result
  }
}

void AccountEditorDialog::ShowConnectionResult(const QString& line) {
  connectionResultLabel->setText(line);
  connectionResultLabel->setToolTip(line);
}

}  // namespace pelnor
