#include "core/store/server_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelnor {
namespace {

using Security = ServerSecurity;

struct ParseRow {
  const char* Field;
  ServerAddress Expected;
};

TEST(ServerField, ReadsHostPortAndSecurity) {
  const std::vector<ParseRow> rows = {
      // What records written before held: a host, plain POP3 on 110.
      {"pop.example.jp", {"pop.example.jp", 110, Security::kNone}},
      {"192.168.1.10", {"192.168.1.10", 110, Security::kNone}},
      {"", {"", 110, Security::kNone}},
      {"pop.example.jp:1110", {"pop.example.jp", 1110, Security::kNone}},
      {"pop3s://pop.gmail.com", {"pop.gmail.com", 995, Security::kImplicitTls}},
      {"pop3s://mail.example.jp:10995", {"mail.example.jp", 10995, Security::kImplicitTls}},
      {"POP3S://Mail.Example.JP", {"Mail.Example.JP", 995, Security::kImplicitTls}},
      {"starttls://mail.example.jp", {"mail.example.jp", 110, Security::kStartTls}},
      {"starttls://mail.example.jp:587", {"mail.example.jp", 587, Security::kStartTls}},
      {"[2001:db8::1]", {"2001:db8::1", 110, Security::kNone}},
      {"pop3s://[::1]:995", {"::1", 995, Security::kImplicitTls}},
      {"starttls://[fe80::1]:1110", {"fe80::1", 1110, Security::kStartTls}},
      // A bare IPv6 address has no room for a port.
      {"2001:db8::1", {"2001:db8::1", 110, Security::kNone}},
      // A port that is no number from 1 to 65535 is the default one.
      {"pop.example.jp:abc", {"pop.example.jp", 110, Security::kNone}},
      {"pop3s://pop.example.jp:0", {"pop.example.jp", 995, Security::kImplicitTls}},
      {"pop3s://pop.example.jp:65536", {"pop.example.jp", 995, Security::kImplicitTls}},
      {"pop.example.jp:", {"pop.example.jp", 110, Security::kNone}},
  };
  for (const ParseRow& row : rows) {
    const ServerAddress got = ParseServerField(row.Field);
    EXPECT_EQ(got.Host, row.Expected.Host) << row.Field;
    EXPECT_EQ(got.Port, row.Expected.Port) << row.Field;
    EXPECT_EQ(got.Security, row.Expected.Security) << row.Field;
  }
}

TEST(ServerField, WritesTheShortestFormThatReadsBack) {
  const std::vector<std::pair<ServerAddress, std::string>> rows = {
      {{"pop.example.jp", 110, Security::kNone}, "pop.example.jp"},
      {{"pop.example.jp", 995, Security::kNone}, "pop.example.jp:995"},
      {{"pop.gmail.com", 995, Security::kImplicitTls}, "pop3s://pop.gmail.com"},
      {{"pop.gmail.com", 110, Security::kImplicitTls}, "pop3s://pop.gmail.com:110"},
      {{"mail.example.jp", 110, Security::kStartTls}, "starttls://mail.example.jp"},
      {{"::1", 995, Security::kImplicitTls}, "pop3s://[::1]"},
      {{"2001:db8::1", 1110, Security::kNone}, "[2001:db8::1]:1110"},
  };
  for (const auto& [server, text] : rows) {
    EXPECT_EQ(ServerFieldText(server), text);
    EXPECT_EQ(ParseServerField(text), server) << text;
  }
}

TEST(ServerField, KeyNamesHostAndPortWithoutBrackets) {
  EXPECT_EQ(ServerKey(ParseServerField("pop3s://nas.local")), "nas.local:995");
  // A key that began with "[" would read as a section of the INI file.
  EXPECT_EQ(ServerKey(ParseServerField("pop3s://[::1]:1995")), "::1:1995");
}

}  // namespace
}  // namespace pelnor
