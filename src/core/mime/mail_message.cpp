// Attachments of a message: adding by name, saving the decoded bytes.

#include "core/mime/mail_message.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/mime/mime_types.h"

namespace pelnor {
namespace {

// The file-name part of a UTF-8 `name`: after the last "\", "/" or ":".
std::string BaseName(const std::string& name) {
  const std::size_t last = name.find_last_of("\\/:");
  return last == std::string::npos ? name : name.substr(last + 1);
}

[[noreturn]] void ThrowFileError(const char* what, const std::filesystem::path& path) {
  throw std::filesystem::filesystem_error(what, path,
                                          std::error_code(errno, std::system_category()));
}

// A file that was not written completely would pass for the attachment.
[[noreturn]] void RemovePartialFile(const std::filesystem::path& path, int err, const char* what) {
  unlink(path.c_str());
  errno = err;
  ThrowFileError(what, path);
}

}  // namespace

AttachedFile& AttachedFileList::AddFile(const std::string& name) {
  auto item = std::make_unique<AttachedFile>();
  item->FileName = BaseName(name);
  item->SourcePath = name;
  item->ContentType = ContentTypeOfFile(name);
  items_.push_back(std::move(item));
  return *items_.back();
}

bool AttachedFile::SaveToNewFile(const std::filesystem::path& path) const {
  // O_EXCL also refuses a symlink planted at the name, dangling or not.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0 && errno == EEXIST) return false;
  if (fd < 0) ThrowFileError("cannot create file", path);
  std::size_t done = 0;
  while (done < Data.size()) {
    const ssize_t n = write(fd, Data.data() + done, Data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      close(fd);
      RemovePartialFile(path, err, "cannot write file");
    }
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0) RemovePartialFile(path, errno, "cannot write file");
  return true;
}

}  // namespace pelnor
