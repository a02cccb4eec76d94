// Temporary spool files for the attachment decoders and the POP3 client.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/mime/temp_file.h"
#include "core/text/error_text.h"

namespace pelnor {

ETempFileError::ETempFileError(const std::string& doing, const std::string& where,
                               const std::filesystem::path& path, int err)
    : std::filesystem::filesystem_error(doing, path, std::error_code(err, std::system_category())),
      text_(doing + " " + where + ": " + ErrorText(err)) {}

std::string TempDirectory() {
  // As std::filesystem::temp_directory_path looks, but a directory that is
  // not there is reported by the file that cannot be made in it, in our text.
  for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return "/tmp";
}

TempFile MakeTempFile() {
  // mkostemp creates the file exclusively with mode 0600, so no other process
  // can take the name between our choosing it and our using it.
  const std::string dir = TempDirectory();
  TempFile file{(std::filesystem::path(dir) / "vekXXXXXX").string()};
  file.Fd = mkostemp(file.Path.data(), O_CLOEXEC);
  if (file.Fd < 0) {
    const int err = errno;
    throw ETempFileError("Cannot create a temporary file in", dir, file.Path, err);
  }
  return file;
}

std::string MakeTempFileName() {
  TempFile file = MakeTempFile();
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
