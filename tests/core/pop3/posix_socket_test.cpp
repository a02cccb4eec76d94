// The real connection layer against loopback servers.

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/fake_pop3_server.h"
#include "core/pop3/posix_socket.h"

namespace pelnor {
namespace {

using test::FakePop3Server;
using test::Pop3Script;
using ::testing::HasSubstr;

// Reads until `n` bytes arrived or the stream stays dry for a second.
std::string ReadAtLeast(SocketStream& stream, std::size_t n) {
  std::string got;
  char buffer[4096];
  while (got.size() < n && stream.WaitForData(1000)) {
    const std::size_t k = stream.Read(buffer, sizeof buffer);
    if (k == 0) break;
    got.append(buffer, k);
  }
  return got;
}

// Opens `socket` to the server on loopback by address; the stream has the
// session's 100 ms bound.
std::unique_ptr<SocketStream> OpenStream(PosixClientSocket& socket, FakePop3Server& server) {
  socket.Address = "127.0.0.1";
  socket.Port = server.Port();
  socket.Open();
  return socket.CreateStream(100);
}

// A loopback port that nobody listens on.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

struct Notifications {
  std::vector<std::string> Events;
  void Attach(ClientSocket& socket) {
    socket.OnConnected = [this] { Events.push_back("connected"); };
    socket.OnDisconnected = [this] { Events.push_back("disconnected"); };
  }
};

TEST(PosixSocketOpen, DottedAddressConnectsAndNotifiesBeforeReturning) {
  FakePop3Server server(Pop3Script().Send("+OK hello\r\n"));
  PosixClientSocket socket;
  Notifications seen;
  seen.Attach(socket);
  socket.Address = "127.0.0.1";
  socket.Port = server.Port();
  socket.Open();
  EXPECT_EQ(seen.Events, std::vector<std::string>{"connected"});
  EXPECT_TRUE(socket.Active());
  auto stream = socket.CreateStream(100);
  EXPECT_EQ(ReadAtLeast(*stream, 11), "+OK hello\r\n");
  socket.Close();
  EXPECT_FALSE(socket.Active());
  EXPECT_EQ(seen.Events, (std::vector<std::string>{"connected", "disconnected"}));
  socket.Close();  // a second close is quiet
  EXPECT_EQ(seen.Events.size(), 2u);
}

TEST(PosixSocketOpen, HostNameIsResolved) {
  FakePop3Server server(Pop3Script().Send("+OK\r\n"));
  PosixClientSocket socket;
  socket.HostName = "localhost";
  socket.Port = server.Port();
  socket.Open();
  auto stream = socket.CreateStream(100);
  EXPECT_EQ(ReadAtLeast(*stream, 5), "+OK\r\n");
}

// An IPv6 server, as a numeric address and as a host name to resolve (the
// way a bracketed server field reaches the socket); messages write the
// address in brackets.
TEST(PosixSocketOpen, ReachesAnIpv6Server) {
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in6 addr{};
  addr.sin6_family = AF_INET6;
  addr.sin6_addr = in6addr_loopback;
  socklen_t len = sizeof addr;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, 4) != 0) {
    if (fd >= 0) ::close(fd);
    GTEST_SKIP() << "*** no IPv6 loopback here: test did not run ***";
  }
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  for (bool resolved : {false, true}) {
    PosixClientSocket socket;
    (resolved ? socket.HostName : socket.Address) = "::1";
    socket.Port = ntohs(addr.sin6_port);
    EXPECT_NO_THROW(socket.Open()) << resolved;
    EXPECT_TRUE(socket.Active()) << resolved;
    EXPECT_EQ(socket.Target(), "[::1]:" + std::to_string(socket.Port));
  }
  ::close(fd);
}

TEST(PosixSocketOpen, RefusedConnectionRaisesNamingHostAndReason) {
  PosixClientSocket socket;
  Notifications seen;
  seen.Attach(socket);
  socket.Address = "127.0.0.1";
  socket.Port = ClosedPort();
  try {
    socket.Open();
    FAIL() << "open succeeded";
  } catch (const ESocketError& e) {
    EXPECT_THAT(e.what(), HasSubstr("127.0.0.1:" + std::to_string(socket.Port)));
    EXPECT_THAT(e.what(), HasSubstr("refused"));
  }
  EXPECT_TRUE(seen.Events.empty());
  EXPECT_FALSE(socket.Active());
}

TEST(PosixSocketOpen, UnknownHostNameRaisesNamingTheHost) {
  PosixClientSocket socket;
  socket.HostName = "no-such-host.invalid";
  socket.Port = 110;
  try {
    socket.Open();
    FAIL() << "open succeeded";
  } catch (const ESocketError& e) {
    EXPECT_THAT(e.what(), HasSubstr("no-such-host.invalid"));
  }
}

// The desktop sets the language of the system's messages; the log and the
// notifications speak English all the same.
TEST(PosixSocketOpen, FailureTextsAreEnglishWhateverTheDesktopLanguage) {
  const std::string savedLocale = std::setlocale(LC_MESSAGES, nullptr);
  const char* language = std::getenv("LANGUAGE");
  const std::string savedLanguage = language ? language : "";
  ::setenv("LANGUAGE", "de", 1);
  std::setlocale(LC_MESSAGES, "C.UTF-8");
  const std::string refusedHere = std::strerror(ECONNREFUSED);
  const std::string unknownHere = ::gai_strerror(EAI_NONAME);
  const std::string unreachableHere = ::gai_strerror(EAI_AGAIN);
  std::string refused;
  std::string unknown;
  try {
    PosixClientSocket socket;
    socket.Address = "127.0.0.1";
    socket.Port = ClosedPort();
    socket.Open();
  } catch (const ESocketError& e) {
    refused = e.what();
  }
  try {
    PosixClientSocket socket;
    socket.HostName = "no-such-host.invalid";
    socket.Port = 110;
    socket.Open();
  } catch (const ESocketError& e) {
    unknown = e.what();
  }
  std::setlocale(LC_MESSAGES, savedLocale.c_str());
  if (language)
    ::setenv("LANGUAGE", savedLanguage.c_str(), 1);
  else
    ::unsetenv("LANGUAGE");
  if (refusedHere == "Connection refused")
    GTEST_SKIP() << "the system has no German messages to tell the languages apart";
  EXPECT_THAT(refused, ::testing::EndsWith(": Connection refused"));
  EXPECT_THAT(unknown, HasSubstr("Cannot resolve host name no-such-host.invalid: "));
  EXPECT_THAT(unknown, ::testing::Not(HasSubstr(unknownHere)));
  EXPECT_THAT(unknown, ::testing::Not(HasSubstr(unreachableHere)));
}

TEST(PosixSocketOpen, BadConfigurationRaises) {
  struct Row {
    const char* name;
    std::string address;
    std::string host;
    int port;
  };
  const std::vector<Row> rows = {
      {"port zero", "127.0.0.1", "", 0},
      {"port above 65535", "127.0.0.1", "", 70000},
      {"address not numeric", "1.2.3", "", 110},
      {"nothing to connect to", "", "", 110},
  };
  for (const Row& row : rows) {
    PosixClientSocket socket;
    socket.Address = row.address;
    socket.HostName = row.host;
    socket.Port = row.port;
    EXPECT_THROW(socket.Open(), ESocketError) << row.name;
    EXPECT_FALSE(socket.Active()) << row.name;
  }
}

TEST(PosixSocketOpen, ConnectIsBoundedInTime) {
  // A listener whose backlog is full drops further SYNs, so connect hangs.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), len), 0);
  ASSERT_EQ(::listen(fd, 0), 0);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  std::vector<std::unique_ptr<PosixClientSocket>> fillers;
  bool hung = false;
  for (int i = 0; i < 8 && !hung; ++i) {
    auto socket = std::make_unique<PosixClientSocket>();
    socket->Address = "127.0.0.1";
    socket->Port = ntohs(addr.sin_port);
    socket->ConnectTimeoutMs = 300;
    const auto start = std::chrono::steady_clock::now();
    try {
      socket->Open();
      fillers.push_back(std::move(socket));
    } catch (const ESocketError& e) {
      const auto took = std::chrono::steady_clock::now() - start;
      EXPECT_THAT(e.what(), HasSubstr("no answer within 300 ms"));
      EXPECT_LT(took, std::chrono::seconds(5));
      hung = true;
    }
  }
  ::close(fd);
  EXPECT_TRUE(hung) << "the backlog never filled";
}

TEST(PosixSocketStream, ReadReturnsZeroWhenNothingArrives) {
  FakePop3Server server(Pop3Script().Pause(2000));
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  EXPECT_FALSE(stream->WaitForData(50));
  char buffer[16];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
}

TEST(PosixSocketStream, ReadTakesAtMostTheCountAsked) {
  FakePop3Server server(Pop3Script().Send(std::string(3000, 'x')));
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  ASSERT_TRUE(stream->WaitForData(2000));
  char buffer[1024];
  EXPECT_EQ(stream->Read(buffer, 1024), 1024u);
  EXPECT_EQ(ReadAtLeast(*stream, 1976).size(), 1976u);
}

TEST(PosixSocketStream, ServerHangUpIsReadableWithZeroBytes) {
  FakePop3Server server(Pop3Script().Send("+OK bye\r\n").Close());
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  EXPECT_EQ(ReadAtLeast(*stream, 9), "+OK bye\r\n");
  ASSERT_TRUE(stream->WaitForData(2000));
  char buffer[16];
  EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
}

TEST(PosixSocketStream, WriteReachesTheServer) {
  FakePop3Server server(Pop3Script().Expect("USER bob").Send("+OK\r\n"));
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  EXPECT_EQ(stream->Write("USER bob\r\n", 10), 10u);
  EXPECT_EQ(ReadAtLeast(*stream, 5), "+OK\r\n");
  socket.Close();
  EXPECT_TRUE(server.Finish());
  EXPECT_TRUE(server.Mismatches().empty());
  EXPECT_EQ(server.Received(), "USER bob\r\n");
}

TEST(PosixSocketStream, WriteToAPeerThatDoesNotReadStopsAtTheTimeOut) {
  FakePop3Server server(Pop3Script().Pause(3000));
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  // Far more than both sockets' buffers hold.
  const std::string bulk(64 * 1024 * 1024, 'x');
  // Each call sends what fits and returns when the time-out is spent, until
  // the buffers are full and nothing more goes out.
  bool full = false;
  std::size_t total = 0;
  for (int i = 0; i < 20 && !full; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::size_t sent = stream->Write(bulk.data(), bulk.size());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(sent, bulk.size());
    EXPECT_GE(took, std::chrono::milliseconds(90)) << "call " << i;
    EXPECT_LT(took, std::chrono::seconds(1)) << "call " << i;
    if (i == 0) EXPECT_GT(sent, 0u);
    total += sent;
    full = sent == 0;
  }
  EXPECT_TRUE(full) << total << " bytes went out to a peer that reads nothing";
}

TEST(PosixSocketStream, WriteAfterThePeerHungUpRaisesNamingTheTarget) {
  FakePop3Server server(Pop3Script().Send("+OK\r\n").Close());
  PosixClientSocket socket;
  auto stream = OpenStream(socket, server);
  EXPECT_EQ(ReadAtLeast(*stream, 5), "+OK\r\n");
  ASSERT_TRUE(stream->WaitForData(2000));
  char buffer[16];
  ASSERT_EQ(stream->Read(buffer, sizeof buffer), 0u);
  // The first write may still be taken; the peer's reset fails a later one
  // (without a SIGPIPE ending the test).
  try {
    for (int i = 0; i < 50; ++i) {
      stream->Write("NOOP\r\n", 6);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FAIL() << "writing to a closed connection never failed";
  } catch (const ESocketError& e) {
    EXPECT_THAT(e.what(), HasSubstr("write"));
    EXPECT_THAT(e.what(), HasSubstr("127.0.0.1:" + std::to_string(socket.Port)));
  }
}

TEST(PosixSocketStream, CreateStreamOnClosedSocketRaises) {
  PosixClientSocket socket;
  EXPECT_THROW(socket.CreateStream(100), ESocketError);
}

}  // namespace
}  // namespace pelnor
