#include "check_cycle_fakes.h"

#include "core/pop3/pop3_errors.h"

namespace pelnor::test {

void FakePop3Client::SetServer(const ServerAddress& server, const std::string& pinnedCertificate,
                               const std::string& userId, const std::string& passwd) {
  host_ = server.Host;
  pin_ = pinnedCertificate;
  user_ = userId;
  pass_ = passwd;
}

void FakePop3Client::Send(const std::string& command) { world_.Wire.push_back(host_ + " " + command); }

void FakePop3Client::Close() {
  connected_ = false;
  marked_.clear();
  if (OnQuit) OnQuit(*this);
}

void FakePop3Client::Refuse(std::int32_t code, const std::string& text) {
  failed_ = true;
  Close();
  if (OnError) OnError(*this, code, text);
  if (world_.AfterError) world_.AfterError();
}

void FakePop3Client::Connect() {
  Send("CONNECT");
  marked_.clear();  // DELE marks of a session that broke off never count
  auto it = world_.Hosts.find(host_);
  failed_ = it == world_.Hosts.end();
  connectFailure_ = failed_ ? ConnectFailure::kNetwork : ConnectFailure::kNone;
  connectError_ = failed_ ? "Cannot resolve host name " + host_ : "";
  if (failed_) return;
  const FakeMailbox& box = it->second;
  if (!box.CertificateProblem.empty() && pin_ != box.CertificateFingerprint) {
    failed_ = true;
    connectFailure_ = ConnectFailure::kCertificate;
    connectError_ = box.CertificateProblem;
    return;
  }
  box_ = &it->second;
  connected_ = true;
}

bool FakePop3Client::Login() {
  Send("USER " + user_);
  Send("PASS " + pass_);
  if (user_ != box_->User || pass_ != box_->Password) {
    Refuse(2001, "[AUTH] Authentication failed.");
    return false;
  }
  failed_ = false;
  return true;
}

void FakePop3Client::Stat() {
  Send("STAT");
  count_ = static_cast<std::uint32_t>(box_->Mails.size());
}

std::optional<std::vector<UidlEntry>> FakePop3Client::ListUniqueIds() {
  Send("UIDL");
  if (!box_->Uidl) return std::nullopt;
  std::vector<UidlEntry> entries;
  for (std::uint32_t n = 1; n <= count_; ++n) {
    const FakeMail& mail = box_->Mails[n - 1];
    entries.push_back({n, mail.Uid.empty() ? "u-" + mail.Subject : mail.Uid});
  }
  return entries;
}

std::int32_t FakePop3Client::RetrieveEach(const std::vector<std::uint32_t>& numbers,
                                          bool headersOnly, const MessageHandler& handle) {
  std::int32_t handed = 0;
  for (std::uint32_t n : numbers) {
    if (world_.OnRetrieve) world_.OnRetrieve(n);
    Send((headersOnly ? "TOP " : "RETR ") + std::to_string(n));
    if (n == box_->RefuseRetr) {
      Refuse(2004, box_->RefuseText);
      return handed;
    }
    const FakeMail& mail = box_->Mails[n - 1];
    MailMessage msg;
    msg.From = mail.From;
    msg.MessageId = mail.MessageId;
    msg.Subject = mail.Subject;
    msg.Date = mail.Date;
    if (!headersOnly) msg.Text = {"body of " + mail.Subject};
    msg.Headers = {"From: " + mail.From, "Subject: " + mail.Subject, "Date: " + mail.Date};
    if (!mail.MessageId.empty()) msg.Headers.push_back("Message-ID: " + mail.MessageId);
    handle(n, msg);
    ++handed;
    if (!box_->BreakAfterFirst.empty()) {
      connected_ = false;
      throw ESocketError(box_->BreakAfterFirst);
    }
  }
  return handed;
}

void FakePop3Client::DeleteMessage(std::uint32_t number) {
  if (!connected_) throw EInvalidOperation(kNotConnected);
  Send("DELE " + std::to_string(number));
  marked_.insert(number);
  failed_ = false;
}

void FakePop3Client::Quit() {
  if (!connected_) return;
  Send("QUIT");
  std::vector<FakeMail> kept;
  for (std::size_t i = 0; i < box_->Mails.size(); ++i)
    if (!marked_.count(static_cast<std::uint32_t>(i + 1))) kept.push_back(box_->Mails[i]);
  box_->Mails = kept;
  Close();
}

}  // namespace pelnor::test
