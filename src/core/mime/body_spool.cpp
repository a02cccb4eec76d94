#include "core/mime/body_spool.h"

#include <unistd.h>

#include <cerrno>

#include "core/mime/temp_file.h"

namespace pelnor {

DecodeSpool::DecodeSpool() {
  // Used through the descriptor it was created with, never opened again by
  // name; never truncated either, which would make ext4 write its data to
  // disk when it is closed.
  TempFile file = MakeTempFile();
  path_ = std::move(file.Path);
  fd_ = file.Fd;
}

DecodeSpool::~DecodeSpool() {
  // Unlinked before it is closed, the file's pages are dropped, not written.
  ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
}

void DecodeSpool::Fail(const char* what, int error) const {
  throw ETempFileError(what, path_, path_, error);
}

void DecodeSpool::Write(const char* data, std::size_t size) {
  if (const int error = WriteFully(fd_, data, size))
    Fail("Cannot write the decoder's temporary file", error);
  size_ += size;
}

std::string DecodeSpool::ReadAll() {
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

char* SpoolWriter::Reserve(std::size_t size) {
  if (capacity_ - used_ < size) {
    Flush();
    if (capacity_ < size) {
      capacity_ = size > kChunk ? size : kChunk;
      buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
  }
  return buffer_.get() + used_;
}

void SpoolWriter::Flush() {
  if (used_ > 0) spool_.Write(buffer_.get(), used_);
  used_ = 0;
}

}  // namespace pelnor
