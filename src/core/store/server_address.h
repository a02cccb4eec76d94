#pragma once

// The server field of an account record (field 3): where the POP3 server is
// and how the connection is secured, in one text so that the record keeps
// its fixed fields.
//
//   host, host:port              plain POP3, port 110 unless named
//   pop3s://host[:port]          TLS from the start, port 995 unless named
//   starttls://host[:port]       plain connect, then STLS, port 110 unless named
//
// An IPv6 address stands in brackets: [2001:db8::1]:995. Records written
// before ports and TLS existed hold a bare host and read as plain POP3 on
// port 110.

#include <string>
#include <string_view>

namespace pelnor {

enum class ServerSecurity {
  kNone,         // plain POP3
  kImplicitTls,  // "pop3s://"
  kStartTls,     // "starttls://"
};

struct ServerAddress {
  std::string Host;  // without brackets
  int Port = 110;
  ServerSecurity Security = ServerSecurity::kNone;

  bool operator==(const ServerAddress&) const = default;
};

// 995 for implicit TLS, 110 otherwise.
int DefaultPort(ServerSecurity security);

// Reads a server field. Never fails: a port that is not a number from 1 to
// 65535 gives the default port, as the port text always did.
ServerAddress ParseServerField(std::string_view field);

// The field for `server`: the scheme only when the connection is secured,
// the port only when it is not the default one, an IPv6 address in brackets.
std::string ServerFieldText(const ServerAddress& server);

// "host:port" ("[v6]:port" is not used: an INI key must not start with "["),
// the server's name in the list of trusted certificates and in messages.
std::string ServerKey(const ServerAddress& server);

}  // namespace pelnor
