#include "core/store/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/store/store_error.h"

namespace pelnor {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw StoreError(what + " " + path + ": " + std::strerror(err));
}

// Closes the descriptor on every way out.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail("cannot open", path, errno);
  }
  std::string text;
  // Sized once: a history or unique-id file of a large mailbox is read at
  // every check.
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && st.st_size > 0) text.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot read", path, errno);
    if (n == 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  return text;
}

std::vector<std::string> SplitFileLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.emplace_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

void AppendToFile(const std::string& path, std::string_view content, FileAccess access) {
  mode_t mode = access == FileAccess::kOwnerOnly ? 0600 : 0644;
  Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, mode));
  if (fd.get() < 0) Fail("cannot open", path, errno);
  while (!content.empty()) {
    ssize_t n = ::write(fd.get(), content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("cannot write", path, errno);
    content.remove_prefix(static_cast<size_t>(n));
  }
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace pelnor
