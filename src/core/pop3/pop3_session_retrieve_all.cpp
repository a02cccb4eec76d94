// Pop3Session::RetrieveAll: every message of the mailbox, in order.
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
  std::int32_t count = 0;
  const std::uint16_t bound = messageCount_;
  std::optional<FetchResult> ahead;
  for (std::uint32_t n = 1; n <= bound; ++n) {
    if (IsDeleted(n)) continue;
    MailMessage* msg = RetrieveInTurn(static_cast<std::uint16_t>(n), bound, ahead);
    if (!msg) break;
    // Listed before anything else can raise: a message whose
    // OnAfterRetrieve has fired is one the caller has to put out.
    list.Add(*msg);
    ++count;
    Pump();
    // A handler's refused DELE closed the session: nothing more to fetch.
    // A connection lost while fetching ahead is reported in that fetch's turn.
    if (!connected_ && !(ahead && ahead->Error)) break;
  }
  return count;
}

bool Pop3Session::IsDeleted(std::uint32_t number) const {
  const std::string text = std::to_string(number);
  return std::find(deletedNumbers_.begin(), deletedNumbers_.end(), text) != deletedNumbers_.end();
}

// The next message RetrieveAll will want after `after`, as things stand;
// 0 when there is none.
std::uint16_t Pop3Session::NextToFetch(std::uint16_t after, std::uint16_t bound) const {
  for (std::uint32_t n = after + 1u; n <= bound; ++n)
    if (!IsDeleted(n)) return static_cast<std::uint16_t>(n);
  return 0;
}

MailMessage* Pop3Session::RetrieveInTurn(std::uint16_t number, std::uint16_t bound,
                                 std::optional<FetchResult>& ahead) {
  FetchResult fetch;
  if (ahead && ahead->Number == number) {
    fetch = TakeTurn(std::move(*ahead));
    ahead.reset();
  } else {
    // Anything fetched ahead was deleted by a handler meanwhile.
    ahead.reset();
    if (!connected_) throw EInvalidOperation(kNotConnected);
    fetch = Fetch(number, false);
  }
  if (fetch.Refused) {
    ReportError(peRetrieve);
    return nullptr;
  }
  const std::uint16_t next = NextToFetch(number, bound);
  if (next == 0 || fetch.Spool->Size() < OverlapDecodeFrom) return BuildMessage(fetch, false);
  return BuildWhileFetching(fetch, next, ahead);
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
Pop3Session::FetchResult Pop3Session::FetchAhead(std::uint16_t number) {
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
      fetch = Fetch(number, false);
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

MailMessage* Pop3Session::BuildWhileFetching(FetchResult& fetch, std::uint16_t next,
                                     std::optional<FetchResult>& ahead) {
  MailMessage& msg = Adopt();
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
    std::future<void> decoded = std::async(std::launch::async, [this, &msg, &fetch] {
      Decode(msg, *fetch.Spool, fetch.Size, false);
    });
    ahead = FetchAhead(next);
    while (decoded.wait_for(kWaitSlice) != std::future_status::ready) Pump();
    decodeLog_ = nullptr;
    Fire(decodeEvents);
    decoded.get();  // the decoder's exception, after the events before it
  }
  if (OnAfterRetrieve) OnAfterRetrieve(*this);
  return &msg;
}

}  // namespace pelnor
