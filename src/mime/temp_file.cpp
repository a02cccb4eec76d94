// Temporary spool files for the attachment decoders and the POP3 client.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "mime/vek_util.h"

namespace pelnor {

TTempFile MakeTempFile() {
  namespace fs = std::filesystem;
  // mkostemp creates the file exclusively with mode 0600, so no other process
  // can take the name between our choosing it and our using it.
  TTempFile file{(fs::temp_directory_path() / "vekXXXXXX").string()};
  file.Fd = mkostemp(file.Path.data(), O_CLOEXEC);
  if (file.Fd < 0) {
    const int err = errno;
    throw fs::filesystem_error("cannot create temporary file", fs::path(file.Path),
                               std::error_code(err, std::system_category()));
  }
  return file;
}

std::string MakeTempFileName() {
  TTempFile file = MakeTempFile();
  close(file.Fd);
  return std::move(file.Path);
}

int WriteFully(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

int ReadFully(int fd, char* out, std::size_t size, std::size_t& done) {
  done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, out + done, size - done, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace pelnor
