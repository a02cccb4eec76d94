// Temporary spool files for the attachment decoders.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "mime/vek_util.h"

namespace pelnor {

std::string MakeTempFileName() {
  namespace fs = std::filesystem;
  // mkstemp creates the file exclusively with mode 0600, so no other process
  // can take the name between our choosing it and our using it.
  std::string path = (fs::temp_directory_path() / "vekXXXXXX").string();
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    throw fs::filesystem_error("cannot create temporary file", fs::path(path),
                               std::error_code(errno, std::system_category()));
  }
  close(fd);
  return path;
}

}  // namespace pelnor
