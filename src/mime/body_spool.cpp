#include "mime/body_spool.h"

#include <unistd.h>

#include <cerrno>

#include "mime/vek_util.h"

namespace pelnor {

TDecodeSpool::TDecodeSpool() {
  // Used through the descriptor it was created with, never opened again by
  // name; never truncated either, which would make ext4 write its data to
  // disk when it is closed.
  TTempFile file = MakeTempFile();
  path_ = std::move(file.Path);
  fd_ = file.Fd;
}

TDecodeSpool::~TDecodeSpool() {
  // Unlinked before it is closed, the file's pages are dropped, not written.
  ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
}

void TDecodeSpool::Fail(const char* what, int error) const {
  throw ETempFileError(what, path_, path_, error);
}

void TDecodeSpool::Write(const char* data, std::size_t size) {
  if (const int error = WriteFully(fd_, data, size))
    Fail("Cannot write the decoder's temporary file", error);
  size_ += size;
}

std::string TDecodeSpool::ReadAll() {
  // Read straight into the result, not through a bounce buffer; pread
  // gives the whole file in one call unless interrupted. Only we write the
  // file, so its size is known without asking.
  std::string content(size_, '\0');
  std::size_t done = 0;
  if (const int error = ReadFully(fd_, content.data(), content.size(), done))
    Fail("Cannot read the decoder's temporary file", error);
  content.resize(done);
  return content;
}

char* TSpoolWriter::Reserve(std::size_t size) {
  if (capacity_ - used_ < size) {
    Flush();
    if (capacity_ < size) {
      capacity_ = size > kChunk ? size : kChunk;
      buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
  }
  return buffer_.get() + used_;
}

void TSpoolWriter::Flush() {
  if (used_ > 0) spool_.Write(buffer_.get(), used_);
  used_ = 0;
}

}  // namespace pelnor
