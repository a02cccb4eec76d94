#include "core/pop3/client_socket.h"

namespace pelnor {

std::string ClientSocket::Target() const {
  const std::string& host = Address.empty() ? HostName : Address;
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(Port);
}

void ClientSocket::StartTls() {
  throw ESocketError("Cannot start TLS on " + Target() + ": this connection has no TLS");
}

}  // namespace pelnor
