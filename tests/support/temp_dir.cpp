#include "temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace fs = std::filesystem;

namespace pelnor::test {

TempDir::TempDir(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data()))
    throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
  path_ = pattern;
  ::chmod(path_.c_str(), 0755);
}

// A test may have taken permissions away to provoke a failure.
TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

PrivateTempDir::PrivateTempDir() {
  if (const char* old = std::getenv("TMPDIR")) {
    hadTmpDir_ = true;
    oldTmpDir_ = old;
  }
  ::setenv("TMPDIR", Path().c_str(), 1);
}

PrivateTempDir::~PrivateTempDir() {
  if (hadTmpDir_)
    ::setenv("TMPDIR", oldTmpDir_.c_str(), 1);
  else
    ::unsetenv("TMPDIR");
}

std::vector<std::string> PrivateTempDir::TempFilesLeft() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("vek", 0) == 0) names.push_back(name);
  }
  return names;
}

std::size_t PrivateTempDir::FileCount() const {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(Path())) ++n;
  return n;
}

}  // namespace pelnor::test
