#pragma once

// A fresh home folder under the temporary directory, removed with all it
// holds when the test ends; its environment points only there.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/shell/shell_environment.h"
#include "files.h"

namespace pelnor::test {

class TempHome {
 public:
  TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pelnor_shell_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempHome() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  ShellEnvironment Environment() const { return {path_.string(), ""}; }
  // A program directory inside the home, ending in "/".
  std::string ProgramDir() const { return (path_ / "opt" / "pelnor").string() + "/"; }

 private:
  std::filesystem::path path_;
};

// The names the dialog tests still use for WriteBytes and ReadBytesIfExists.
inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  WriteBytes(path, text);
}
inline std::string ReadText(const std::filesystem::path& path) { return ReadBytesIfExists(path); }

}  // namespace pelnor::test
