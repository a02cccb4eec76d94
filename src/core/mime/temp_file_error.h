#pragma once

// The failure of a temporary file (a spool file of the POP3 client or of an
// attachment decoder): it cannot be made, written or read.

#include <filesystem>
#include <string>
#include <system_error>

namespace pelnor {

// Carries our own English text, which names the file or its directory and
// the system's reason. Still a filesystem_error, with the path and the
// error code for whoever looks closer.
class ETempFileError : public std::filesystem::filesystem_error {
 public:
  // "<doing> <where>: <reason of err>", e.g. "Cannot create a temporary
  // file in /tmp: No space left on device". `path` is the file's path.
  ETempFileError(const std::string& doing, const std::string& where,
                 const std::filesystem::path& path, int err);

  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace pelnor
