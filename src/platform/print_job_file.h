#pragma once

// One job's PDF while it is being written. The file has no name in its
// folder until it is complete (Linux O_TMPFILE; elsewhere a hidden name that
// is removed), so a job that fails, is aborted or dies with the program
// leaves nothing behind. Writes are buffered and checked: the first failure
// is kept, since the PDF writer above does not look at write results.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelnor {

class PrintJobFile {
 public:
  // Opens a new file in `dir` with permissions `mode`; `name` is what
  // messages call it. Throws EPrinterError.
  PrintJobFile(const std::filesystem::path& dir, std::filesystem::path name, mode_t mode);
  // Closes the file; unless it was linked to a name, it is gone.
  ~PrintJobFile();
  PrintJobFile(const PrintJobFile&) = delete;
  PrintJobFile& operator=(const PrintJobFile&) = delete;

  const std::filesystem::path& Name() const { return name_; }

  // Never throws: after a failure further data is dropped.
  void Write(const char* data, std::size_t size) noexcept;
  bool Failed() const { return error_ != 0; }
  // Throws EPrinterError naming the file and the first failure, if any.
  void ThrowIfFailed() const;
  // Writes out what is buffered and forces it to the disk. Throws EPrinterError.
  void Finish();

  // Up to `size` bytes from `offset`; 0 at the end. Throws EPrinterError.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;

  // Gives the finished file the name `path`, never replacing a file: false
  // when the name is taken. Throws EPrinterError on any other failure.
  bool LinkAs(const std::filesystem::path& path);
  // Closes the file, reporting a failure. Throws EPrinterError.
  void Close();

 private:
  void WriteOut() noexcept;

  std::filesystem::path name_;
  std::filesystem::path hiddenPath_;  // only where unnamed files are not supported
  int fd_ = -1;
  int error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace pelnor
