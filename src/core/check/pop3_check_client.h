#pragma once

// The check cycle's POP3 client over the real Pop3Session.

#include <functional>
#include <memory>
#include <string>

#include "core/check/check_ports.h"
#include "core/pop3/pop3_session.h"

namespace pelnor {

// Points `pop` at `server`: host, port, how the connection is secured, and
// the certificate the user trusts for it (empty for none).
void AimSession(Pop3Session& pop, const ServerAddress& server, const std::string& pinnedCertificate);

class Pop3SessionClient : public Pop3Client {
 public:
  // `pump` lets the user interface run while the client waits (may be
  // empty). The port comes with the server; `port`, when not empty, takes
  // its place (test servers on ports of their own).
  explicit Pop3SessionClient(std::function<void()> pump, std::string port = {});

  void SetServer(const ServerAddress& server, const std::string& pinnedCertificate,
                 const std::string& userId, const std::string& passwd) override;
  void Connect() override;
  bool Failed() const override;
  ConnectFailure LastConnectFailure() const override;
  std::string ConnectError() const override;
  bool Connected() const override;
  bool Login() override;
  void Stat() override;
  std::uint32_t MessageCount() const override;
  std::optional<std::vector<UidlEntry>> ListUniqueIds() override;
  std::int32_t RetrieveEach(const std::vector<std::uint32_t>& numbers, bool headersOnly,
                            const MessageHandler& handle) override;
  void DeleteMessage(std::uint32_t number) override;
  void Quit() override;

  Pop3Session& Pop() { return *pop_; }

 private:
  std::unique_ptr<Pop3Session> pop_;
  std::string port_;
};

}  // namespace pelnor
