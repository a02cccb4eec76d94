#pragma once

// Pop3Session: one POP3 conversation with one server over one TCP connection,
// plain or secured by TLS (from the start, or after STLS). USER/PASS login,
// STAT and LAST, UIDL, RETR or TOP with spooling and
// dot-unstuffing, DELE, QUIT. Failures are reported through OnError with a
// code (pop3_errors.h), the Failed flag and Boolean results; misuse and the
// network raise exceptions.
//
// A message fetched by RetrieveMessage, RetrieveHeader or RetrieveAll is
// owned by the Pop3Session and lives until it is destroyed; a
// MailMessageList filled by RetrieveAll only refers to them. RetrieveEach
// lends each message to its handler only, so a session that goes through a
// whole mailbox with it holds one or two messages at a time.
//
// Message numbers and counts are 32-bit.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/mime/mail_message.h"
#include "core/mime/mail_parser.h"
#include "core/pop3/client_socket.h"
#include "core/pop3/pop3_errors.h"
#include "core/pop3/spool_file.h"
#include "core/pop3/uidl_listing.h"

namespace pelnor {

class Pop3Session {
 public:
  using NotifyEvent = std::function<void(Pop3Session& Sender)>;
  // Connected and disconnected come from the socket, which is their sender.
  using SocketNotifyEvent = std::function<void(ClientSocket& Sender)>;
  using ErrorEvent = std::function<void(Pop3Session& Sender, std::int32_t Error, const std::string& Msg)>;
  using DecodeStartEvent =
      std::function<void(Pop3Session& Sender, const std::string& FileName, std::int32_t BytesCount)>;
  using ProgressEvent = std::function<void(Pop3Session& Sender, std::uint16_t Percent)>;
  using BeforeRetrieveEvent = std::function<void(Pop3Session& Sender, std::uint32_t Number)>;
  using DeleteEvent = std::function<void(Pop3Session& Sender, std::uint32_t Number)>;
  // Gets a message of RetrieveEach, which frees it when this returns.
  using MessageHandler = std::function<void(std::uint32_t number, MailMessage& msg)>;

  // Talks through the real connection layer (TCP, and TLS when asked for).
  Pop3Session();
  // Talks through `socket` (tests and the fuzzer pass a scripted one).
  explicit Pop3Session(std::unique_ptr<ClientSocket> socket);
  Pop3Session(const Pop3Session&) = delete;
  Pop3Session& operator=(const Pop3Session&) = delete;
  ~Pop3Session();

  // --- properties ---------------------------------------------------------------
  std::string UserId;
  std::string Passwd;
  std::string Port = "110";
  std::string Host;
  // kImplicit: TLS from the first byte. kStartTls: CAPA must list STLS, and
  // STLS must be accepted, before USER is sent; otherwise Connect fails.
  TlsMode Tls = TlsMode::kNone;
  // The one certificate the user trusts for this server ("sha256:..."), in
  // place of the trust store and the host name check; empty for none.
  std::string PinnedCertificate;
  std::uint16_t DecodeProgressStep = 10;
  std::uint16_t RetrieveProgressStep = 10;
  // How long a reply may take: its status line must be complete within this
  // time of the command, and a message must come on by at least 1 KB (or its
  // end) in every such span. Otherwise the session is abandoned. A TLS
  // handshake must be complete within it too.
  int ReplyTimeoutMs = 60000;
  // How long opening the connection may take. The wait pumps like the others.
  int ConnectTimeoutMs = 30000;
  // RetrieveAll reads back and decodes an answer at least this long on a
  // second thread while it fetches the next message. Every event still
  // fires on the caller's thread and in the order of one fetch after the
  // other; only the next fetch's commands go out before the handlers of
  // this one run.
  std::size_t OverlapDecodeFrom = 256 * 1024;

  // --- events ---------------------------------------------------------------------
  SocketNotifyEvent OnConnect;
  SocketNotifyEvent OnQuit;
  ErrorEvent OnError;
  DecodeStartEvent OnDecodeStart;
  ProgressEvent OnDecodeProgress;
  NotifyEvent OnDecodeEnd;
  BeforeRetrieveEvent OnBeforeRetrieve;
  NotifyEvent OnAfterRetrieve;
  ProgressEvent OnRetrieveProgress;
  DeleteEvent OnDelete;
  // Lets the user interface process its pending events while we wait. It may
  // throw (the program is ending): the operation then closes the connection,
  // joins its decoder thread, removes its spool files and lets the exception
  // pass unchanged.
  std::function<void()> OnProcessMessages;
  // Optional wire log: "--> " lines we sent, "<-- " what the server said.
  std::function<void(const std::string& line)> OnWireLog;

  // --- run-time state -------------------------------------------------------------
  std::uint32_t MessageCount() const { return messageCount_; }
  bool Failed() const { return failed_; }
  bool Connected() const { return connected_; }
  const std::string& ReplyStatus() const { return replyStatus_; }
  const std::string& ReplyText() const { return replyText_; }
  const std::vector<std::string>& DeletedNumbers() const { return deletedNumbers_; }
  // Why the last Connect failed, as the connection layer said it, and what
  // kind of failure it was.
  const std::string& ConnectError() const { return connectError_; }
  ConnectFailure LastConnectFailure() const { return connectFailure_; }
  // The certificate the server presented at the last Connect, accepted or
  // not; none over plain POP3 or when the handshake broke off before it.
  const std::optional<CertificateInfo>& Certificate() const { return certificate_; }
  // Number of messages this session has built and owns.
  std::size_t OwnedMessages() const { return messages_.size(); }

  // --- operations -------------------------------------------------------------------
  // Each refusal closes the connection (OnQuit), then fires OnError with the
  // code written beside the operation and the server's text.

  // Opens the connection (with TLS when asked for), reads the greeting, and
  // for STARTTLS asks CAPA and STLS. A connection that cannot be opened,
  // never greets, or cannot be secured as asked sets Failed without an event
  // (ConnectError and LastConnectFailure tell why). Codes: peGreeting.
  void Connect();
  // USER, then PASS. Raises EInvalidOperation without a connection.
  // Codes: peLogin.
  bool Login();
  // STAT, then LAST; a refused LAST returns 0 and is no error. Codes: peStat.
  std::uint32_t CountNewMessages();
  // STAT alone: sets and returns MessageCount. Codes: peStat.
  std::uint32_t Stat();
  // UIDL: every message's number and unique-id, as the server listed them.
  // Nothing, and no error, when the server refuses UIDL or lists lines that
  // are no "number unique-id" (the connection stays open either way).
  // Raises EInvalidOperation without a connection.
  std::optional<std::vector<UidlEntry>> ListUniqueIds();
  // Fetches messages 1..MessageCount into `list`; returns how many it added.
  // Stops at a refused fetch and when the connection is gone. However it
  // ends, by return or by exception, every message in `list` is fully
  // decoded and its OnAfterRetrieve has fired, so the caller can still put
  // out what came before a failure.
  std::int32_t RetrieveAll(MailMessageList& list);
  // Fetches the messages `numbers`, in that order (whole, or their header
  // with TOP n 0), and hands each one to `handle` once it is decoded and its
  // OnAfterRetrieve has fired; the message is freed when `handle` returns.
  // Numbers deleted in this session are skipped. Stops like RetrieveAll;
  // returns how many messages were handed over. What `handle` throws passes
  // through, after the fetch made ahead is dropped.
  std::int32_t RetrieveEach(const std::vector<std::uint32_t>& numbers, bool headersOnly,
                            const MessageHandler& handle);
  // LIST, then RETR (TOP n 0 for the header). nullptr when the fetch was
  // refused. Raises EInvalidOperation without a connection. Codes: peRetrieve.
  MailMessage* RetrieveMessage(std::uint32_t number);
  MailMessage* RetrieveHeader(std::uint32_t number);
  // DELE. Raises EInvalidOperation without a connection. Codes: peDelete.
  void DeleteMessage(std::uint32_t number);
  // QUIT and close; does nothing without a connection. Codes: peQuit.
  void Quit();

  // Any operation that waits for the server raises EServerSilent after
  // ReplyTimeoutMs without a byte, EServerTooSlow when a reply does not come
  // on as ReplyTimeoutMs asks, and EServerClosed when the server hangs up;
  // each closes the connection first. Other ESocketError pass through. A
  // spool file that cannot be made or written raises ETempFileError.

  // One command, one write.
  void SendCommand(std::string_view text);
  // Reads one reply, at least its whole status line, and judges it.
  std::string ReadReply();

 private:
  void AttachSocket();
  void AttachParser();
  void ConfigureSocket();
  void NoteConnectFailure(const std::exception& e);
  void NegotiateStartTls();
  std::string ReadCapabilities();
  [[noreturn]] void RefuseStartTls(const std::string& why);
  using Clock = std::chrono::steady_clock;
  // Reads are at most this long.
  static constexpr std::size_t kReadSize = 1024;
  // What a message must bring in each ReplyTimeoutMs.
  static constexpr std::size_t kLeastProgress = 1024;
  std::string ReadStatusReply();
  std::size_t ReadMessageChunk(char* buffer, Clock::time_point deadline, bool silentSoFar);
  std::size_t ReadBefore(char* buffer, Clock::time_point deadline);
  bool WaitReadable(Clock::time_point deadline);
  Clock::time_point ReplyDeadline() const;
  void Judge(std::string_view chunk);
  template <typename Error>
  [[noreturn]] void Abandon(const std::string& why);
  [[noreturn]] void AbandonStalled(bool nothingCame, const std::string& slowness);
  void ReportError(Pop3ErrorCode code);
  void CloseConnection();
  // Every pump goes through here (see OnProcessMessages).
  void ProcessMessages();
  // ProcessMessages at most every 20 ms.
  void Pump();
  void Log(std::string_view marker, std::string_view text) const;

  using EventQueue = std::vector<std::function<void()>>;

  // One fetch as it came off the wire: the spool file holding the whole
  // answer, or the refusal. A fetch made ahead of its turn also keeps what
  // the caller has not been shown yet.
  struct FetchResult {
    std::uint32_t Number = 0;
    std::int32_t Size = 0;
    std::unique_ptr<SpoolFile> Spool;
    bool Refused = false;
    EventQueue Events;            // OnBeforeRetrieve, progress, OnQuit
    std::exception_ptr Error;  // what ended the fetch early
    bool Failed = false;       // the reply state it left behind
    std::string ReplyStatus;
    std::string ReplyText;
  };

  MailMessage* Retrieve(std::uint32_t number, bool headersOnly);
  FetchResult Fetch(std::uint32_t number, bool headersOnly);
  // Reads a multi-line answer that began with `first` into `spool` up to
  // its terminator; a message's answer (`progress`) reports its progress
  // against `size`.
  void SpoolAnswer(std::string_view first, SpoolFile& spool, std::int32_t size, bool progress);
  void UpdateRetrieveProgress(std::uint64_t spooled, std::int32_t size);
  MailMessage& Keep(std::unique_ptr<MailMessage> msg);
  void PrepareParser();
  // Reads the answer back from its spool file, deletes the file, then
  // splits, unstuffs and decodes the answer into `msg`. Uses parser_ and
  // nothing else of the session, so it may run on another thread.
  void Decode(MailMessage& msg, SpoolFile& spool, std::int32_t size, bool headersOnly);
  std::unique_ptr<MailMessage> BuildMessage(FetchResult& fetch, bool headersOnly);
  // Fires the event now, or keeps it in `kept` for later: deferred_ while a
  // fetch runs ahead of its turn, decodeLog_ while the decoder runs on the
  // other thread.
  static void FireOrKeep(EventQueue* kept, std::function<void()> event);

  // The fetch loop of RetrieveAll and RetrieveEach
  // (pop3_session_retrieve_all.cpp): the messages numberAt(0) ..
  // numberAt(size - 1), each handed to `take` once built.
  using NumberAt = std::function<std::uint32_t(std::size_t index)>;
  using Take = std::function<void(std::uint32_t number, std::unique_ptr<MailMessage> msg)>;
  std::int32_t RetrieveSequence(std::size_t size, const NumberAt& numberAt, bool headersOnly,
                                const Take& take);
  bool IsDeleted(std::uint32_t number) const;
  void ForgetDeleted();
  // The number the loop fetches after index `after`, as things stand; 0
  // when there is none.
  std::uint32_t NextToFetch(std::size_t after, std::size_t size, const NumberAt& numberAt) const;
  std::unique_ptr<MailMessage> RetrieveInTurn(std::uint32_t number, std::uint32_t next,
                                              bool headersOnly, std::optional<FetchResult>& ahead);
  FetchResult TakeTurn(FetchResult fetch);
  FetchResult FetchAhead(std::uint32_t number, bool headersOnly);
  std::unique_ptr<MailMessage> BuildWhileFetching(FetchResult& fetch, std::uint32_t next,
                                                  bool headersOnly,
                                                  std::optional<FetchResult>& ahead);

  std::unique_ptr<ClientSocket> socket_;
  std::unique_ptr<SocketStream> stream_;
  MailParser parser_;
  std::vector<std::unique_ptr<MailMessage>> messages_;
  bool connected_ = false;
  bool failed_ = false;
  std::uint32_t messageCount_ = 0;
  std::string replyStatus_;
  std::string replyText_;
  std::vector<std::string> deletedNumbers_;
  std::unordered_set<std::uint32_t> deletedSet_;  // the same, to look up
  std::string connectError_;
  ConnectFailure connectFailure_ = ConnectFailure::kNone;
  std::optional<CertificateInfo> certificate_;
  std::uint16_t retrieveProgress_ = 0;
  std::uint16_t nextReportMark_ = 0;
  std::chrono::steady_clock::time_point lastPump_{};
  // The exception on its way is the pump's: nothing may keep it for later.
  bool pumpThrew_ = false;
  EventQueue* deferred_ = nullptr;   // events of a fetch made ahead of its turn
  EventQueue* decodeLog_ = nullptr;  // decode events of a decoder on the other thread
};

}  // namespace pelnor
