#pragma once

// Temporary directories for tests, removed with their contents at the end.

#include <filesystem>
#include <string>
#include <vector>

namespace pelnor::test {

// A fresh directory under the system's temporary directory. Mode 0755, so
// that daemons' helper users (CUPS, Dovecot) reach it.
class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "pelnor-test-");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The path as the program passes directories: a string ending in "/".
  std::string Dir() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

// A fresh directory that is TMPDIR while it lives, so a test can see which
// temporary files the code leaves behind.
class PrivateTempDir {
 public:
  PrivateTempDir();
  ~PrivateTempDir();
  PrivateTempDir(const PrivateTempDir&) = delete;
  PrivateTempDir& operator=(const PrivateTempDir&) = delete;

  const std::filesystem::path& Path() const { return dir_.Path(); }
  // Names of the program's temporary ("vek...") files in it.
  std::vector<std::string> TempFilesLeft() const;
  // Every entry in it.
  std::size_t FileCount() const;

 private:
  TempDir dir_{"pelnor-tmpdir-"};
  std::string oldTmpDir_;
  bool hadTmpDir_ = false;
};

}  // namespace pelnor::test
