#pragma once

// The temporary file an attachment decoder writes its bytes to as it
// produces them; read back whole when decoding ends. Closed and deleted when
// the object goes, whichever way the decoder ends.

#include <cstddef>
#include <memory>
#include <string>

namespace pelnor {

class DecodeSpool {
 public:
  // Creates the file ("vek..." in the temporary directory). Throws
  // ETempFileError when it cannot, and when writing or reading fails.
  DecodeSpool();
  ~DecodeSpool();
  DecodeSpool(const DecodeSpool&) = delete;
  DecodeSpool& operator=(const DecodeSpool&) = delete;

  void Write(const char* data, std::size_t size);
  // The file's whole content, read in one piece.
  std::string ReadAll();

  const std::string& Path() const { return path_; }

 private:
  [[noreturn]] void Fail(const char* what, int error) const;

  std::string path_;
  int fd_ = -1;
  std::size_t size_ = 0;  // bytes written so far
};

// Collects decoded bytes in a buffer and writes them to the spool in large
// pieces, so a decoder can write line by line without a system call each.
class SpoolWriter {
 public:
  explicit SpoolWriter(DecodeSpool& spool) : spool_(spool) {}

  // Room for `size` more bytes; Commit says how many were used.
  char* Reserve(std::size_t size);
  void Commit(std::size_t size) { used_ += size; }
  void Flush();

 private:
  static constexpr std::size_t kChunk = 256 * 1024;

  DecodeSpool& spool_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
};

}  // namespace pelnor
