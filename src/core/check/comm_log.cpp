#include "core/check/comm_log.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "core/text/error_text.h"
#include "core/text/sjis.h"

namespace pelnor {
namespace {

const std::string& Marker(int kind) {
  static const std::string output = Sjis("<出力終了>");
  static const std::string error = Sjis("<エラー発生>");
  return kind == lkOutput ? output : error;
}

// A server's bare LF or NUL must not start a line of its own in the log.
// Shift_JIS never uses these bytes inside a character.
std::string WithoutControls(std::string text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return text;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string FormatLogTimeStamp(const DateTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", t.Year, t.Month, t.Day,
                t.Hour, t.Minute, t.Second);
  return buf;
}

CommLog::CommLog(std::filesystem::path file, const Clock& clock,
                   std::function<bool()> enabled)
    : file_(std::move(file)), clock_(clock), enabled_(std::move(enabled)) {}

void CommLog::WriteLog(const std::string& text, int kind) {
  const std::string entry = WithoutControls(text) + Marker(kind);
  if (OnEntry) OnEntry(entry, kind);
  if (!enabled_ || !enabled_()) return;
  std::string line = FormatLogTimeStamp(clock_.Now()) + " : " + entry + "\r\n";

  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file_.c_str(), "ab"));
  if (!f) {
    Fail("cannot open " + file_.string() + ": " + ErrorText(errno));
    return;
  }
  int error = 0;
  if (std::fwrite(line.data(), 1, line.size(), f.get()) != line.size()) error = errno;
  // Closing flushes; a failure there is a failed write as well.
  if (std::fclose(f.release()) != 0 && error == 0) error = errno;
  if (error != 0) Fail("cannot write " + file_.string() + ": " + ErrorText(error));
}

void CommLog::Fail(const std::string& message) {
  if (OnWriteError) {
    OnWriteError(message);
    return;
  }
  throw ELogError(message);
}

}  // namespace pelnor
