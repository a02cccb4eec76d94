// Pop3Session::RetrieveAll and RetrieveEach: messages one after the other,
// in the order asked for.
//
// A large answer is read back and decoded on a second thread while the next
// message is fetched, so the decoding does not leave the line idle. The
// fetch made ahead keeps its events, its reply state and any exception
// until its turn, the decoder's events wait until it has finished, and all
// of them fire on the caller's thread in the order of one fetch after the
// other. What the caller can tell: a handler's DELE reaches the server
// after the next RETR, and a connection lost during the fetch ahead is
// already closed while the handlers of the message before it run. Only an
// exception from the pump is not kept for later: the program is ending.

#include <algorithm>
#include <future>
#include <utility>

#include "core/pop3/background_work.h"
#include "core/pop3/pop3_session.h"

namespace pelnor {

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(20);

void Fire(std::vector<std::function<void()>>& events) {
  // Taken out first: a handler may start what fills a new list.
  std::vector<std::function<void()>> pending = std::move(events);
  events.clear();
  for (const auto& event : pending) event();
}

}  // namespace

std::int32_t Pop3Session::RetrieveAll(MailMessageList& list) {
  list.Clear();
  return RetrieveSequence(
      messageCount_, [](std::size_t index) { return static_cast<std::uint32_t>(index + 1); },
      false, [this, &list](std::uint32_t, std::unique_ptr<MailMessage> built) {
        MailMessage& msg = Keep(std::move(built));
        if (OnAfterRetrieve) OnAfterRetrieve(*this);
        // Listed before anything else can raise: a message whose
        // OnAfterRetrieve has fired is one the caller has to put out.
        list.Add(msg);
      });
}

std::int32_t Pop3Session::RetrieveEach(const std::vector<std::uint32_t>& numbers,
                                       bool headersOnly, const MessageHandler& handle) {
  return RetrieveSequence(
      numbers.size(), [&numbers](std::size_t index) { return numbers[index]; }, headersOnly,
      [this, &handle](std::uint32_t number, std::unique_ptr<MailMessage> msg) {
        if (OnAfterRetrieve) OnAfterRetrieve(*this);
        handle(number, *msg);
      });
}

std::int32_t Pop3Session::RetrieveSequence(std::size_t size, const NumberAt& numberAt,
                                           bool headersOnly, const Take& take) {
  std::int32_t count = 0;
  std::optional<FetchResult> ahead;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint32_t n = numberAt(i);
    if (IsDeleted(n)) continue;
    std::unique_ptr<MailMessage> msg =
        RetrieveInTurn(n, NextToFetch(i, size, numberAt), headersOnly, ahead);
    if (!msg) break;
    take(n, std::move(msg));
    ++count;
    Pump();
    // A handler's refused DELE closed the session: nothing more to fetch.
    // A connection lost while fetching ahead is reported in that fetch's turn.
    if (!connected_ && !(ahead && ahead->Error)) break;
  }
  return count;
}

bool Pop3Session::IsDeleted(std::uint32_t number) const { return deletedSet_.contains(number); }

void Pop3Session::ForgetDeleted() {
  deletedNumbers_.clear();
  deletedSet_.clear();
}

std::uint32_t Pop3Session::NextToFetch(std::size_t after, std::size_t size,
                                       const NumberAt& numberAt) const {
  for (std::size_t i = after + 1; i < size; ++i)
    if (!IsDeleted(numberAt(i))) return numberAt(i);
  return 0;
}

std::unique_ptr<MailMessage> Pop3Session::RetrieveInTurn(std::uint32_t number, std::uint32_t next,
                                                         bool headersOnly,
                                                         std::optional<FetchResult>& ahead) {
  FetchResult fetch;
  if (ahead && ahead->Number == number) {
    fetch = TakeTurn(std::move(*ahead));
    ahead.reset();
  } else {
    // Anything fetched ahead was deleted by a handler meanwhile.
    ahead.reset();
    if (!connected_) throw EInvalidOperation(kNotConnected);
    fetch = Fetch(number, headersOnly);
  }
  if (fetch.Refused) {
    ReportError(peRetrieve);
    return nullptr;
  }
  if (next == 0 || fetch.Spool->Size() < OverlapDecodeFrom) return BuildMessage(fetch, headersOnly);
  return BuildWhileFetching(fetch, next, headersOnly, ahead);
}

// Shows the caller a fetch made ahead as if it were made now.
Pop3Session::FetchResult Pop3Session::TakeTurn(FetchResult fetch) {
  if (!fetch.Error && !connected_) throw EInvalidOperation(kNotConnected);
  Fire(fetch.Events);
  failed_ = fetch.Failed;
  replyStatus_ = std::move(fetch.ReplyStatus);
  replyText_ = std::move(fetch.ReplyText);
  if (fetch.Error) std::rethrow_exception(fetch.Error);
  return fetch;
}

// Fetches `number` before its turn. Raises only what the pump raises: what
// else went wrong waits in the fetch, and the session's reply state is left
// as it was.
Pop3Session::FetchResult Pop3Session::FetchAhead(std::uint32_t number, bool headersOnly) {
  const bool failed = failed_;
  std::string status = replyStatus_;
  std::string text = replyText_;
  EventQueue events;
  FetchResult fetch;
  {
    struct DeferGuard {
      EventQueue*& deferred;
      ~DeferGuard() { deferred = nullptr; }
    } guard{deferred_};
    deferred_ = &events;
    pumpThrew_ = false;
    try {
      fetch = Fetch(number, headersOnly);
    } catch (...) {
      if (pumpThrew_) throw;
      fetch = FetchResult();
      fetch.Number = number;
      fetch.Error = std::current_exception();
    }
  }
  fetch.Events = std::move(events);
  fetch.Failed = failed_;
  fetch.ReplyStatus = std::exchange(replyStatus_, std::move(status));
  fetch.ReplyText = std::exchange(replyText_, std::move(text));
  failed_ = failed;
  return fetch;
}

std::unique_ptr<MailMessage> Pop3Session::BuildWhileFetching(FetchResult& fetch,
                                                             std::uint32_t next, bool headersOnly,
                                                             std::optional<FetchResult>& ahead) {
  auto msg = std::make_unique<MailMessage>();
  PrepareParser();
  EventQueue decodeEvents;
  {
    // Until the decoder is done, its events go to decodeEvents; the guard
    // also covers the way out by exception (the future's destructor waits
    // for the thread).
    struct LogGuard {
      EventQueue*& log;
      ~LogGuard() { log = nullptr; }
    } guard{decodeLog_};
    decodeLog_ = &decodeEvents;
    std::future<void> decoded =
        std::async(std::launch::async, [this, &msg, &fetch, headersOnly] {
          RunAsBackgroundWork();
          Decode(*msg, *fetch.Spool, fetch.Size, headersOnly);
        });
    ahead = FetchAhead(next, headersOnly);
    while (decoded.wait_for(kWaitSlice) != std::future_status::ready) Pump();
    decodeLog_ = nullptr;
    Fire(decodeEvents);
    decoded.get();  // the decoder's exception, after the events before it
  }
  return msg;
}

}  // namespace pelnor
