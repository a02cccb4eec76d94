// Pop3Session: connection, replies, login, counting, deletion, quit and the
// error routine. The fetch lives in pop3_session_retrieve.cpp.

#include "core/pop3/pop3_session.h"

#include <algorithm>
#include <cctype>

#include "core/pop3/host_address.h"
#include "core/text/integer.h"
#include "core/text/text_util.h"
#include "core/pop3/time_left.h"
#include "core/pop3/tls_socket.h"

namespace pelnor {

namespace {

constexpr int kWaitSliceMs = 200;
constexpr int kStreamTimeoutMs = 100;
// A status line longer than this is judged as it stands.
constexpr std::size_t kStatusLineLimit = 64 * 1024;
constexpr auto kPumpInterval = std::chrono::milliseconds(20);

// The integer value of the Port text, 110 when it is not a number.
int PortNumber(const std::string& text) {
  return ParseInteger(text, kNumberInBlanks).value_or(110);
}

// Blanks and control characters off both ends, as Trim does, without a copy.
std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string DurationText(int ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// True when a line of a CAPA answer (after its status line) begins with
// `name`, an upper-case word, in any letter case.
bool ListsCapability(std::string_view answer, std::string_view name) {
  std::size_t start = answer.find("\r\n");
  while (start != std::string_view::npos) {
    start += 2;
    const std::size_t end = answer.find("\r\n", start);
    const std::string_view line = answer.substr(start, end == std::string_view::npos ? 0 : end - start);
    const std::string_view word = line.substr(0, line.find(' '));
    if (word.size() == name.size() &&
        std::equal(word.begin(), word.end(), name.begin(), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) == b;
        }))
      return true;
    start = end;
  }
  return false;
}

}  // namespace

Pop3Session::Pop3Session() : Pop3Session(std::make_unique<TlsClientSocket>()) {}

Pop3Session::Pop3Session(std::unique_ptr<ClientSocket> socket) : socket_(std::move(socket)) {
  AttachSocket();
  AttachParser();
}

Pop3Session::~Pop3Session() {
  // Nobody listens any more: the socket closes without notifications.
  socket_->OnConnected = nullptr;
  socket_->OnDisconnected = nullptr;
  stream_.reset();
  socket_->Close();
}

void Pop3Session::AttachSocket() {
  socket_->OnWaiting = [this] { ProcessMessages(); };
  socket_->OnConnected = [this] {
    connected_ = true;
    if (OnConnect) OnConnect(*socket_);
  };
  socket_->OnDisconnected = [this] {
    connected_ = false;
    FireOrKeep(deferred_, [this] {
      if (OnQuit) OnQuit(*socket_);
    });
  };
}

// The decoder may run on the other thread (RetrieveAll): its events then
// wait in decodeLog_ for the caller's thread, and it never pumps.
void Pop3Session::AttachParser() {
  parser_.OnDecodeStart = [this](const std::string& fileName, std::int32_t bytesCount) {
    FireOrKeep(decodeLog_, [this, fileName, bytesCount] {
      if (OnDecodeStart) OnDecodeStart(*this, fileName, bytesCount);
    });
  };
  parser_.OnDecodeProgress = [this](std::uint16_t percent) {
    FireOrKeep(decodeLog_, [this, percent] {
      if (OnDecodeProgress) OnDecodeProgress(*this, percent);
    });
  };
  parser_.OnDecodeEnd = [this] {
    FireOrKeep(decodeLog_, [this] {
      if (OnDecodeEnd) OnDecodeEnd(*this);
    });
  };
  parser_.OnProcessMessages = [this] {
    if (!decodeLog_) ProcessMessages();
  };
}

void Pop3Session::FireOrKeep(EventQueue* kept, std::function<void()> event) {
  if (kept) {
    kept->push_back(std::move(event));
  } else {
    event();
  }
}

// --- replies ------------------------------------------------------------------------

void Pop3Session::SendCommand(std::string_view text) {
  if (OnWireLog) {
    const std::string_view line = text.substr(0, text.find("\r\n"));
    Log("--> ", line.substr(0, 5) == "PASS " ? std::string_view("PASS ****") : line);
  }
  stream_->Write(text.data(), text.size());
}

std::string Pop3Session::ReadReply() { return ReadStatusReply(); }

// A command's reply: as many reads as it takes to hold the whole status
// line, judged as one chunk. The line must be complete within
// ReplyTimeoutMs: a server that drips it out is as good as silent.
std::string Pop3Session::ReadStatusReply() {
  const Clock::time_point deadline = ReplyDeadline();
  std::string chunk;
  char buffer[kReadSize];
  do {
    const std::size_t n = ReadBefore(buffer, deadline);
    if (n == 0)
      AbandonStalled(chunk.empty(), "did not complete its reply within " +
                                        DurationText(ReplyTimeoutMs));
    chunk.append(buffer, n);
  } while (chunk.find("\r\n") == std::string::npos && chunk.size() < kStatusLineLimit);
  if (OnWireLog) Log("<-- ", std::string_view(chunk).substr(0, chunk.find("\r\n")));
  Judge(chunk);
  return chunk;
}

// One read of a message being fetched, judged like a reply. `buffer` holds
// kReadSize bytes. Nothing by `deadline` abandons the session: as silent
// when nothing came since the span began, else as too slow.
std::size_t Pop3Session::ReadMessageChunk(char* buffer, Clock::time_point deadline,
                                      bool silentSoFar) {
  const std::size_t n = ReadBefore(buffer, deadline);
  if (n == 0)
    AbandonStalled(silentSoFar, "sent the message too slowly: less than " +
                                    std::to_string(kLeastProgress / 1024) + " KB in " +
                                    DurationText(ReplyTimeoutMs));
  if (OnWireLog) Log("<-- ", std::to_string(n) + " bytes of the message");
  Judge(std::string_view(buffer, n));
  return n;
}

// One read, once something has come; 0 when `deadline` passed first.
std::size_t Pop3Session::ReadBefore(char* buffer, Clock::time_point deadline) {
  if (!WaitReadable(deadline)) return 0;
  const std::size_t n = stream_->Read(buffer, kReadSize);
  // Readable but empty: the server has hung up.
  if (n == 0)
    Abandon<EServerClosed>("The server " + socket_->Target() + " closed the connection.");
  return n;
}

// Waits in slices, pumping between them; false when `deadline` passed.
bool Pop3Session::WaitReadable(Clock::time_point deadline) {
  while (!stream_->WaitForData(std::min(MillisecondsUntil(deadline), kWaitSliceMs))) {
    if (Clock::now() >= deadline) return false;
    ProcessMessages();
  }
  return true;
}

Pop3Session::Clock::time_point Pop3Session::ReplyDeadline() const {
  return Clock::now() + std::chrono::milliseconds(ReplyTimeoutMs);
}

// Every chunk of a fetch is judged too, so this keeps to the strings'
// storage instead of building new ones.
void Pop3Session::Judge(std::string_view chunk) {
  replyStatus_.assign(TrimBlanks(chunk.substr(0, 4)));
  const std::size_t end = chunk.find("\r\n");
  if (end != std::string_view::npos && end > 4) {
    replyText_.assign(TrimBlanks(chunk.substr(4, end - 4)));
  } else {
    replyText_.clear();
  }
  failed_ = replyStatus_ == "-ERR";
}

// A server that hangs up, stays silent or crawls leaves the conversation in
// an unknown state: close our side, so the caller's Quit has nothing to do.
template <typename Error>
void Pop3Session::Abandon(const std::string& why) {
  if (OnWireLog) Log("", why);
  CloseConnection();
  throw Error(why);
}

// Nothing came by a deadline: silent when nothing came at all since the
// span began, else too slow, `slowness` saying how.
void Pop3Session::AbandonStalled(bool nothingCame, const std::string& slowness) {
  const std::string server = "The server " + socket_->Target();
  if (nothingCame)
    Abandon<EServerSilent>(server + " did not answer within " + DurationText(ReplyTimeoutMs) +
                           ".");
  Abandon<EServerTooSlow>(server + " " + slowness + ".");
}

void Pop3Session::CloseConnection() {
  stream_.reset();
  socket_->Close();
  connected_ = false;
}

void Pop3Session::ReportError(Pop3ErrorCode code) {
  failed_ = true;
  ForgetDeleted();
  CloseConnection();
  if (OnError) OnError(*this, code, replyText_);
}

// The pump throws when the program is ending. Where we stand in the
// conversation is then unknown, so the connection goes before the exception
// passes on; its OnQuit fires now, not with a fetch made ahead that nobody
// will take.
void Pop3Session::ProcessMessages() {
  lastPump_ = Clock::now();
  if (!OnProcessMessages) return;
  try {
    OnProcessMessages();
  } catch (...) {
    pumpThrew_ = true;
    deferred_ = nullptr;
    if (connected_) CloseConnection();
    throw;
  }
}

void Pop3Session::Pump() {
  if (Clock::now() - lastPump_ < kPumpInterval) return;
  ProcessMessages();
}

void Pop3Session::Log(std::string_view marker, std::string_view text) const {
  std::string line(marker);
  line.append(text);
  OnWireLog(line);
}

// --- session ------------------------------------------------------------------------

void Pop3Session::Connect() {
  ForgetDeleted();
  messageCount_ = 0;
  connectError_.clear();
  connectFailure_ = ConnectFailure::kNone;
  certificate_.reset();
  if (connected_) CloseConnection();  // a new session replaces an open one
  ConfigureSocket();
  failed_ = false;
  pumpThrew_ = false;
  try {
    socket_->Open();
  } catch (const std::exception& e) {
    if (pumpThrew_) throw;
    NoteConnectFailure(e);
    if (OnWireLog) Log("", connectError_);
    return;
  } catch (...) {
    if (pumpThrew_) throw;
    connectError_ = "unknown failure";
    connectFailure_ = ConnectFailure::kNetwork;
    failed_ = true;
    return;
  }
  if (!connected_) return;
  certificate_ = socket_->PeerCertificate();
  stream_ = socket_->CreateStream(kStreamTimeoutMs);
  try {
    ReadReply();
    if (!failed_ && Tls == TlsMode::kStartTls) NegotiateStartTls();
  } catch (const ESocketError& e) {
    if (pumpThrew_) throw;
    // No greeting, or no TLS where it was asked for, is a failed
    // connection as the caller sees it.
    if (connected_) CloseConnection();
    NoteConnectFailure(e);
    return;
  }
  if (failed_) ReportError(peGreeting);
}

void Pop3Session::ConfigureSocket() {
  socket_->Port = PortNumber(Port);
  if (IsDottedAddress(Host)) {
    socket_->Address = Host;
    socket_->HostName.clear();
  } else {
    socket_->HostName = Host;
    socket_->Address.clear();
  }
  socket_->ConnectTimeoutMs = ConnectTimeoutMs;
  socket_->Tls = Tls;
  socket_->PinnedCertificate = PinnedCertificate;
  socket_->HandshakeTimeoutMs = ReplyTimeoutMs;
}

void Pop3Session::NoteConnectFailure(const std::exception& e) {
  connectError_ = e.what();
  failed_ = true;
  connectFailure_ = ConnectFailure::kNetwork;
  if (const auto* refused = dynamic_cast<const ECertificateError*>(&e)) {
    connectFailure_ = ConnectFailure::kCertificate;
    if (refused->Certificate()) certificate_ = refused->Certificate();
  } else if (dynamic_cast<const EStartTlsRefused*>(&e)) {
    connectFailure_ = ConnectFailure::kNoStartTls;
  }
}

// RFC 2595: STLS only when CAPA lists it, and nothing in plain text after
// the server's yes (an attacker could have put it there). The plain stream
// goes; the next one reads through TLS.
void Pop3Session::NegotiateStartTls() {
  if (!ListsCapability(ReadCapabilities(), "STLS")) RefuseStartTls("does not offer STLS");
  SendCommand("STLS\r\n");
  const std::string reply = ReadReply();
  if (failed_) RefuseStartTls("refused STLS: " + replyText_);
  if (reply.size() > reply.find("\r\n") + 2) RefuseStartTls("sent more than its answer to STLS");
  stream_.reset();
  socket_->StartTls();
  certificate_ = socket_->PeerCertificate();
  stream_ = socket_->CreateStream(kStreamTimeoutMs);
}

// The whole CAPA answer, status line to terminator; empty when refused.
std::string Pop3Session::ReadCapabilities() {
  SendCommand("CAPA\r\n");
  std::string answer = ReadReply();
  if (failed_) {
    failed_ = false;
    return {};
  }
  const Clock::time_point deadline = ReplyDeadline();
  char buffer[kReadSize];
  while (answer.find("\r\n.\r\n") == std::string::npos && answer.size() < kStatusLineLimit) {
    const std::size_t n = ReadBefore(buffer, deadline);
    if (n == 0)
      AbandonStalled(false, "did not complete its capability list within " +
                                DurationText(ReplyTimeoutMs));
    answer.append(buffer, n);
  }
  return answer;
}

void Pop3Session::RefuseStartTls(const std::string& why) {
  Abandon<EStartTlsRefused>("The server " + socket_->Target() + " " + why +
                            "; nothing more was sent.");
}

bool Pop3Session::Login() {
  if (!connected_) throw EInvalidOperation(kLoginNotConnected);
  SendCommand("USER " + UserId + "\r\n");
  ReadReply();
  if (failed_) {
    ReportError(peLogin);
    return false;
  }
  SendCommand("PASS " + Passwd + "\r\n");
  ReadReply();
  if (failed_) {
    ReportError(peLogin);
    return false;
  }
  return true;
}

std::uint32_t Pop3Session::CountNewMessages() {
  const std::uint32_t count = Stat();
  if (failed_) return 0;
  SendCommand("LAST\r\n");
  ReadReply();
  if (failed_) return 0;  // a server without LAST: every message counts
  return count - static_cast<std::uint32_t>(ExtractNumber(replyText_, 1, 0));
}

std::uint32_t Pop3Session::Stat() {
  SendCommand("STAT\r\n");
  ReadReply();
  if (failed_) {
    ReportError(peStat);
    return 0;
  }
  messageCount_ = static_cast<std::uint32_t>(std::max(ExtractNumber(replyText_, 1, 0), 0));
  return messageCount_;
}

void Pop3Session::DeleteMessage(std::uint32_t number) {
  if (!connected_) throw EInvalidOperation(kNotConnected);
  Pump();
  SendCommand("DELE " + std::to_string(number) + "\r\n");
  ReadReply();
  if (failed_) {
    ReportError(peDelete);
    return;
  }
  deletedNumbers_.push_back(std::to_string(number));
  deletedSet_.insert(number);
  --messageCount_;
  if (OnDelete) OnDelete(*this, number);
}

void Pop3Session::Quit() {
  if (!connected_) return;
  SendCommand("QUIT\r\n");
  ReadReply();
  if (failed_) {
    ReportError(peQuit);
    return;
  }
  ForgetDeleted();
  CloseConnection();
}

}  // namespace pelnor
