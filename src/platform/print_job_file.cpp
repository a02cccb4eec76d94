#include "platform/print_job_file.h"

#include "core/print/print_canvas.h"
#include "core/text/error_text.h"
#include "core/text/sjis.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace pelnor {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void Throw(const std::filesystem::path& name, int error) {
  throw EPrinterError(Sjis("PDF ファイルを書き込めません: ") + name.string() + ": " +
                      ErrorText(error));
}

bool UnnamedFilesUnsupported(int error) {
  // EISDIR: a kernel without O_TMPFILE; EOPNOTSUPP: a file system without it.
  return error == EISDIR || error == EOPNOTSUPP;
}

// A new hidden file in `dir`, for where unnamed ones are not supported.
int OpenHidden(const std::filesystem::path& dir, mode_t mode, std::filesystem::path& path) {
  const std::string stem = ".pelnor-job-" + std::to_string(::getpid()) + "-";
  for (int n = 1;; ++n) {
    path = dir / (stem + std::to_string(n) + ".pdf");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

}  // namespace

PrintJobFile::PrintJobFile(const std::filesystem::path& dir, std::filesystem::path name,
                           mode_t mode)
    : name_(std::move(name)) {
  fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  if (fd_ < 0 && UnnamedFilesUnsupported(errno)) {
    std::filesystem::path hidden;
    fd_ = OpenHidden(dir, mode, hidden);
    if (fd_ >= 0) hiddenPath_ = hidden;
  }
  if (fd_ < 0) Throw(name_, errno);
  buffer_.reserve(kBufferSize);
}

PrintJobFile::~PrintJobFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!hiddenPath_.empty()) ::unlink(hiddenPath_.c_str());
}

void PrintJobFile::Write(const char* data, std::size_t size) noexcept {
  if (Failed()) return;
  buffer_.insert(buffer_.end(), data, data + size);
  if (buffer_.size() >= kBufferSize) WriteOut();
}

void PrintJobFile::WriteOut() noexcept {
  std::size_t done = 0;
  while (done < buffer_.size() && !Failed()) {
    const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written > 0) done += static_cast<std::size_t>(written);
    else if (written == 0) error_ = ENOSPC;  // a file that takes nothing more is full
    else if (errno != EINTR) error_ = errno;
  }
  buffer_.clear();
}

void PrintJobFile::ThrowIfFailed() const {
  if (Failed()) Throw(name_, error_);
}

void PrintJobFile::Finish() {
  WriteOut();
  if (!Failed() && ::fsync(fd_) != 0) error_ = errno;
  ThrowIfFailed();
}

std::size_t PrintJobFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const {
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) Throw(name_, errno);
  }
}

bool PrintJobFile::LinkAs(const std::filesystem::path& path) {
  const std::string source =
      hiddenPath_.empty() ? "/proc/self/fd/" + std::to_string(fd_) : hiddenPath_.string();
  if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
    return true;
  if (errno == EEXIST) return false;
  Throw(path, errno);
}

void PrintJobFile::Close() {
  if (fd_ < 0) return;
  // After EINTR the descriptor is closed all the same on Linux.
  if (::close(std::exchange(fd_, -1)) != 0 && errno != EINTR) Throw(name_, errno);
}

}  // namespace pelnor
