#include "core/check/pop3_check_client.h"

#include <utility>

namespace pelnor {

void AimSession(Pop3Session& pop, const ServerAddress& server, const std::string& pinnedCertificate) {
  pop.Host = server.Host;
  pop.Port = std::to_string(server.Port);
  pop.Tls = server.Security == ServerSecurity::kImplicitTls ? TlsMode::kImplicit
            : server.Security == ServerSecurity::kStartTls  ? TlsMode::kStartTls
                                                            : TlsMode::kNone;
  pop.PinnedCertificate = pinnedCertificate;
}

Pop3SessionClient::Pop3SessionClient(std::function<void()> pump, std::string port)
    : pop_(std::make_unique<Pop3Session>()), port_(std::move(port)) {
  pop_->OnProcessMessages = std::move(pump);
  pop_->OnQuit = [this](ClientSocket&) {
    if (OnQuit) OnQuit(*this);
  };
  pop_->OnError = [this](Pop3Session&, std::int32_t error, const std::string& msg) {
    if (OnError) OnError(*this, error, msg);
  };
}

void Pop3SessionClient::SetServer(const ServerAddress& server,
                                  const std::string& pinnedCertificate,
                                  const std::string& userId, const std::string& passwd) {
  AimSession(*pop_, server, pinnedCertificate);
  if (!port_.empty()) pop_->Port = port_;
  pop_->UserId = userId;
  pop_->Passwd = passwd;
}

void Pop3SessionClient::Connect() { pop_->Connect(); }
bool Pop3SessionClient::Failed() const { return pop_->Failed(); }
ConnectFailure Pop3SessionClient::LastConnectFailure() const { return pop_->LastConnectFailure(); }
std::string Pop3SessionClient::ConnectError() const { return pop_->ConnectError(); }
bool Pop3SessionClient::Connected() const { return pop_->Connected(); }
bool Pop3SessionClient::Login() { return pop_->Login(); }
void Pop3SessionClient::Stat() { pop_->Stat(); }
std::uint32_t Pop3SessionClient::MessageCount() const { return pop_->MessageCount(); }

std::optional<std::vector<UidlEntry>> Pop3SessionClient::ListUniqueIds() {
  return pop_->ListUniqueIds();
}

std::int32_t Pop3SessionClient::RetrieveEach(const std::vector<std::uint32_t>& numbers,
                                             bool headersOnly, const MessageHandler& handle) {
  return pop_->RetrieveEach(numbers, headersOnly,
                            [&handle](std::uint32_t number, MailMessage& msg) { handle(number, msg); });
}

void Pop3SessionClient::DeleteMessage(std::uint32_t number) { pop_->DeleteMessage(number); }
void Pop3SessionClient::Quit() { pop_->Quit(); }

}  // namespace pelnor
