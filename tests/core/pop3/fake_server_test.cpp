// The two script players the POP3 tests rely on: they must keep the read
// boundaries, pauses and hang-ups that a script asks for, and report a client
// that says something else than the script expects.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/fake_pop3_server.h"
#include "core/pop3/posix_socket.h"
#include "support/scripted_socket.h"

namespace pelnor {
namespace {

using test::FakePop3Server;
using test::Pop3Script;
using test::ScriptedSocket;

// Collects each read as one element until the stream hangs up or stays dry.
std::vector<std::string> Chunks(SocketStream& stream, int dryMs = 1000) {
  std::vector<std::string> chunks;
  char buffer[1024];
  while (stream.WaitForData(dryMs)) {
    const std::size_t n = stream.Read(buffer, sizeof buffer);
    if (n == 0) {
      chunks.push_back("<closed>");
      break;
    }
    chunks.emplace_back(buffer, n);
  }
  return chunks;
}

Pop3Script SplitScript() {
  return Pop3Script().Send("+OK hi\r\n").Expect("STAT").SendSplit({"+OK 1 ", "2\r\n"}, 150).Close();
}

TEST(FakePop3Server, KeepsSplitsAndCutsTheLine) {
  FakePop3Server server(SplitScript());
  PosixClientSocket socket;
  socket.Address = "127.0.0.1";
  socket.Port = server.Port();
  socket.Open();
  auto stream = socket.CreateStream(100);
  ASSERT_TRUE(stream->WaitForData(2000));
  char buffer[64];
  EXPECT_EQ(std::string(buffer, stream->Read(buffer, sizeof buffer)), "+OK hi\r\n");
  stream->Write("STAT\r\n", 6);
  EXPECT_EQ(Chunks(*stream), (std::vector<std::string>{"+OK 1 ", "2\r\n", "<closed>"}));
  EXPECT_TRUE(server.Mismatches().empty());
}

TEST(FakePop3Server, RecordsAClientThatStraysFromTheScript) {
  FakePop3Server server(Pop3Script().Send("+OK\r\n").On("USER bob", "+OK\r\n"));
  PosixClientSocket socket;
  socket.Address = "127.0.0.1";
  socket.Port = server.Port();
  socket.Open();
  auto stream = socket.CreateStream(100);
  stream->Write("USER eve\r\n", 10);
  EXPECT_TRUE(server.Finish());
  ASSERT_EQ(server.Mismatches().size(), 1u);
  EXPECT_EQ(server.Mismatches()[0], "expected \"USER bob\", got \"USER eve\"");
}

TEST(ScriptedSocket, EachSendIsOneChunkAndPausesDelay) {
  ScriptedSocket socket(SplitScript());
  socket.Open();
  auto stream = socket.CreateStream(100);
  char buffer[64];
  ASSERT_TRUE(stream->WaitForData(200));
  EXPECT_EQ(std::string(buffer, stream->Read(buffer, sizeof buffer)), "+OK hi\r\n");
  EXPECT_FALSE(stream->WaitForData(20)) << "the server waits for a command";
  stream->Write("STAT\r\n", 6);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Chunks(*stream), (std::vector<std::string>{"+OK 1 ", "2\r\n", "<closed>"}));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(140));
  EXPECT_EQ(socket.Received(), "STAT\r\n");
}

TEST(ScriptedSocket, LongChunksAreSplitByTheReaderOnly) {
  ScriptedSocket socket(Pop3Script().Send(std::string(2500, 'a')).Send("b"));
  socket.Open();
  auto stream = socket.CreateStream(100);
  const auto chunks = Chunks(*stream, 50);
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].size(), 1024u);
  EXPECT_EQ(chunks[1].size(), 1024u);
  EXPECT_EQ(chunks[2].size(), 452u);
  EXPECT_EQ(chunks[3], "b");
}

TEST(ScriptedSocket, RecordsConfigurationAndCanRefuseToOpen) {
  ScriptedSocket socket{Pop3Script()};
  socket.Port = 995;
  socket.HostName = "mail.example";
  socket.FailOpenWith("no route");
  EXPECT_THROW(socket.Open(), ESocketError);
  EXPECT_EQ(socket.OpenCount(), 1);
  EXPECT_EQ(socket.OpenedPort(), 995);
  EXPECT_EQ(socket.OpenedHostName(), "mail.example");
  EXPECT_FALSE(socket.Active());
}

}  // namespace
}  // namespace pelnor
