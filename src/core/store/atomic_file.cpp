#include "core/store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/store/store_error.h"

namespace pelnor {
namespace {

std::function<void(const std::string&)>& BeforeRenameHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err) {
  throw StoreError(what + " " + path + ": " + std::strerror(err));
}

mode_t ModeFor(const std::string& path, FileAccess access) {
  if (access == FileAccess::kOwnerOnly) return 0600;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  return 0644;
}

// Owns the temporary file until it has been renamed into place.
class TempFile {
 public:
  explicit TempFile(const std::string& target) : path_(target + ".tmpXXXXXX") {
    fd_ = ::mkstemp(path_.data());
    if (fd_ < 0) Fail("cannot create a temporary file for", target, errno);
  }
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(std::string_view content, mode_t mode) {
    if (::fchmod(fd_, mode) != 0) Fail("cannot set the mode of", path_, errno);
    while (!content.empty()) {
      ssize_t n = ::write(fd_, content.data(), content.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail("cannot write", path_, errno);
      content.remove_prefix(static_cast<size_t>(n));
    }
    if (::fsync(fd_) != 0) Fail("cannot flush", path_, errno);
    int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) Fail("cannot close", path_, errno);
  }

  void RenameTo(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) Fail("cannot replace", target, errno);
    renamed_ = true;
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  bool renamed_ = false;
};

// Makes the rename itself durable; a failure here loses nothing, so it is
// not reported.
void SyncDirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

void ReplaceFile(const std::string& path, std::string_view content, FileAccess access) {
  mode_t mode = ModeFor(path, access);
  TempFile temp(path);
  temp.Write(content, mode);
  if (BeforeRenameHook()) BeforeRenameHook()(temp.path());
  temp.RenameTo(path);
  SyncDirectoryOf(path);
}

void SetBeforeRenameHookForTesting(std::function<void(const std::string&)> hook) {
  BeforeRenameHook() = std::move(hook);
}

}  // namespace pelnor
