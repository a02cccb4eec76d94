#include "core/store/server_address.h"

#include <algorithm>

#include "core/text/integer.h"

namespace pelnor {
namespace {

constexpr IntegerRule kPortRule{IntegerBlanks::kNone, IntegerSign::kNone, 1, 65535};

struct Scheme {
  std::string_view Prefix;
  ServerSecurity Security;
};

constexpr Scheme kSchemes[] = {
    {"pop3s://", ServerSecurity::kImplicitTls},
    {"starttls://", ServerSecurity::kStartTls},
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(a) == lower(b);
         });
}

int PortOr(std::string_view text, int fallback) {
  return ParseInteger(text, kPortRule).value_or(fallback);
}

}  // namespace

int DefaultPort(ServerSecurity security) {
  return security == ServerSecurity::kImplicitTls ? 995 : 110;
}

ServerAddress ParseServerField(std::string_view field) {
  ServerAddress server;
  for (const Scheme& scheme : kSchemes) {
    if (!StartsWithNoCase(field, scheme.Prefix)) continue;
    server.Security = scheme.Security;
    field.remove_prefix(scheme.Prefix.size());
    break;
  }
  server.Port = DefaultPort(server.Security);
  if (!field.empty() && field.front() == '[') {
    const std::size_t close = field.find(']');
    if (close != std::string_view::npos) {
      server.Host = field.substr(1, close - 1);
      const std::string_view rest = field.substr(close + 1);
      if (!rest.empty() && rest.front() == ':') server.Port = PortOr(rest.substr(1), server.Port);
      return server;
    }
  }
  const std::size_t colon = field.find(':');
  // More than one colon without brackets: an IPv6 address alone.
  if (colon == std::string_view::npos || field.find(':', colon + 1) != std::string_view::npos) {
    server.Host = field;
    return server;
  }
  server.Host = field.substr(0, colon);
  server.Port = PortOr(field.substr(colon + 1), server.Port);
  return server;
}

std::string ServerFieldText(const ServerAddress& server) {
  std::string text;
  for (const Scheme& scheme : kSchemes)
    if (scheme.Security == server.Security) text = scheme.Prefix;
  const bool v6 = server.Host.find(':') != std::string::npos;
  if (v6) text += '[';
  text += server.Host;
  if (v6) text += ']';
  if (server.Port != DefaultPort(server.Security)) {
    text += ':';
    text += std::to_string(server.Port);
  }
  return text;
}

std::string ServerKey(const ServerAddress& server) {
  return server.Host + ":" + std::to_string(server.Port);
}

}  // namespace pelnor
