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

}  // namespace pelnor
