// Pop3Session's fetch: LIST for the size, RETR or TOP, the answer spooled to a
// file as it arrives; then read back whole, split into lines, dot-unstuffed
// and decoded. The UIDL listing is read the same way.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "core/text/line_scan.h"
#include "core/text/text_util.h"
#include "core/pop3/pop3_session.h"
#include "core/pop3/spool_file.h"

namespace pelnor {

namespace {

constexpr std::string_view kTerminator = "\r\n.\r\n";
constexpr std::size_t kCarry = kTerminator.size() - 1;
// How much of a read-back answer is let go at a time.
constexpr std::size_t kReleaseStep = 1024 * 1024;

// Calls spool.Release for what a pass over the spool's contents has left
// behind, a step at a time.
class PassedPages {
 public:
  PassedPages(SpoolFile& spool, const char* begin) : spool_(spool), begin_(begin) {}
  void At(const char* p) {
    const std::size_t offset = static_cast<std::size_t>(p - begin_);
    if (offset < released_ + kReleaseStep) return;
    spool_.Release(released_, offset);
    released_ = offset;
  }

 private:
  SpoolFile& spool_;
  const char* begin_;
  std::size_t released_ = 0;
};

// The lines of a RETR or TOP answer without its status line and its "."
// terminator (the first and the last line), dot-unstuffed: a line that
// begins with "." and is longer than one character loses the first
// character; a lone "." stays. One pass over the text, the list sized by
// the line feeds counted while the answer was written; the answer's pages
// are let go as the pass leaves them, so a large mail is not held twice.
std::vector<std::string> SpoolLines(SpoolFile& spool) {
  const std::string_view answer = spool.Contents();
  const char* begin = answer.data();
  const char* end = begin + answer.size();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(spool.LineFeeds()));
  bool statusLine = true;
  PassedPages passed(spool, begin);
  ForEachLine(begin, end, [&](const char* b, const char* e) {
    passed.At(b);
    if (std::exchange(statusLine, false)) return;
    if (e - b > 1 && *b == '.') ++b;
    lines.emplace_back(b, e);
  });
  if (!lines.empty()) lines.pop_back();  // the terminator
  return lines;
}

}  // namespace

MailMessage* Pop3Session::RetrieveMessage(std::uint32_t number) { return Retrieve(number, false); }

MailMessage* Pop3Session::RetrieveHeader(std::uint32_t number) { return Retrieve(number, true); }

MailMessage* Pop3Session::Retrieve(std::uint32_t number, bool headersOnly) {
  if (!connected_) throw EInvalidOperation(kNotConnected);
  FetchResult fetch = Fetch(number, headersOnly);
  if (fetch.Refused) {
    ReportError(peRetrieve);
    return nullptr;
  }
  MailMessage& msg = Keep(BuildMessage(fetch, headersOnly));
  if (OnAfterRetrieve) OnAfterRetrieve(*this);
  return &msg;
}

std::optional<std::vector<UidlEntry>> Pop3Session::ListUniqueIds() {
  if (!connected_) throw EInvalidOperation(kNotConnected);
  SendCommand("UIDL\r\n");
  const std::string first = ReadReply();
  if (failed_) return std::nullopt;  // a server without UIDL
  SpoolFile spool;
  SpoolAnswer(first, spool, 0, false);
  std::optional<std::vector<UidlEntry>> entries = ParseUidlListing(spool.Contents());
  spool.Remove();
  return entries;
}

Pop3Session::FetchResult Pop3Session::Fetch(std::uint32_t number, bool headersOnly) {
  FetchResult fetch;
  fetch.Number = number;
  FireOrKeep(deferred_, [this, number] {
    if (OnBeforeRetrieve) OnBeforeRetrieve(*this, number);
  });
  // Its file is made only if the answer outgrows what it keeps in memory.
  auto spool = std::make_unique<SpoolFile>();

  const std::string n = std::to_string(number);
  SendCommand("LIST " + n + "\r\n");
  ReadReply();
  fetch.Size = ExtractNumber(replyText_, 2, 100);

  SendCommand(headersOnly ? "TOP " + n + " 0\r\n" : "RETR " + n + "\r\n");
  std::string chunk = ReadReply();
  if (failed_) {
    spool->Remove();
    fetch.Refused = true;
    return fetch;
  }

  SpoolAnswer(chunk, *spool, fetch.Size, true);
  if (retrieveProgress_ < 100) {
    FireOrKeep(deferred_, [this] {
      if (OnRetrieveProgress) OnRetrieveProgress(*this, 100);
    });
  }
  fetch.Spool = std::move(spool);
  return fetch;
}

// Writes the answer that began with `first` to the spool file, reading on
// until its terminator, with a progress figure per read when asked. The
// answer must come on by kLeastProgress bytes (or its end) in every
// ReplyTimeoutMs.
void Pop3Session::SpoolAnswer(std::string_view first, SpoolFile& spool, std::int32_t size,
                              bool progress) {
  if (progress) nextReportMark_ = RetrieveProgressStep;
  spool.Write(first);
  // The last four bytes seen, then the next read: a terminator cut in two
  // is still found, and nothing is copied but those four bytes.
  char window[kCarry + kReadSize];
  std::size_t carried = std::min(first.size(), kCarry);
  std::memcpy(window, first.data() + first.size() - carried, carried);
  bool ended = first.find(kTerminator) != std::string_view::npos;
  Clock::time_point spanEnd = ReplyDeadline();
  std::size_t spanBytes = 0;
  // What is still to come lets the stream read a long mail in batches; it
  // hears of the end however the answer ends.
  struct AnswerEnd {
    std::unique_ptr<SocketStream>& stream;
    ~AnswerEnd() {
      if (stream) stream->ExpectMore(0);
    }
  } answerEnd{stream_};
  while (!ended) {
    Pump();
    if (size > 0 && static_cast<std::uint64_t>(size) > spool.Size())
      stream_->ExpectMore(static_cast<std::uint64_t>(size) - spool.Size());
    const std::size_t got = ReadMessageChunk(window + carried, spanEnd, spanBytes == 0);
    spanBytes += got;
    if (spanBytes >= kLeastProgress) {
      spanEnd = ReplyDeadline();
      spanBytes = 0;
    }
    spool.Write(std::string_view(window + carried, got));
    const std::string_view seen(window, carried + got);
    ended = seen.find(kTerminator) != std::string_view::npos;
    carried = std::min(seen.size(), kCarry);
    std::memmove(window, seen.data() + seen.size() - carried, carried);
    if (progress) UpdateRetrieveProgress(spool.Size(), size);
  }
}

void Pop3Session::UpdateRetrieveProgress(std::uint64_t spooled, std::int32_t size) {
  if (size > 0) {
    const double percent = std::round(static_cast<double>(spooled) * 100.0 / size);
    retrieveProgress_ = static_cast<std::uint16_t>(static_cast<std::int64_t>(percent));
  } else {
    // LIST gave no usable size: no figure until the fetch ends with 100.
    retrieveProgress_ = 0;
  }
  if (retrieveProgress_ >= nextReportMark_) {
    FireOrKeep(deferred_, [this, percent = retrieveProgress_] {
      if (OnRetrieveProgress) OnRetrieveProgress(*this, percent);
    });
    nextReportMark_ = static_cast<std::uint16_t>(nextReportMark_ + RetrieveProgressStep);
  }
}

MailMessage& Pop3Session::Keep(std::unique_ptr<MailMessage> msg) {
  messages_.push_back(std::move(msg));
  return *messages_.back();
}

void Pop3Session::PrepareParser() { parser_.DecodeProgressStep = DecodeProgressStep; }

void Pop3Session::Decode(MailMessage& msg, SpoolFile& spool, std::int32_t size, bool headersOnly) {
  std::vector<std::string> lines;
  {
    // The raw answer goes before decoding starts, so it does not add to the
    // peak and its memory can be reused for the decoded data.
    lines = SpoolLines(spool);
    spool.Remove();
  }
  msg.Size = size;
  const auto headerEnd =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); });
  msg.Headers.assign(lines.begin(), headerEnd);

  MailParser::ParseHeader(msg);
  if (!headersOnly) parser_.DecodeBody(msg, lines);
  lines.clear();
  lines.shrink_to_fit();
  MailParser::Finish(msg);
}

std::unique_ptr<MailMessage> Pop3Session::BuildMessage(FetchResult& fetch, bool headersOnly) {
  auto msg = std::make_unique<MailMessage>();
  PrepareParser();
  Decode(*msg, *fetch.Spool, fetch.Size, headersOnly);
  return msg;
}

}  // namespace pelnor
