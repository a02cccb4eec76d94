#include "mime/body_spool.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

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
  throw std::filesystem::filesystem_error(
      what, path_, std::error_code(error, std::generic_category()));
}

void TDecodeSpool::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write the decoder's temporary file", errno);
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    size_ += static_cast<std::size_t>(n);
  }
}

std::string TDecodeSpool::ReadAll() {
  // Read straight into the result, not through a bounce buffer; pread
  // gives the whole file in one call unless interrupted. Only we write the
  // file, so its size is known without asking.
  std::string content(size_, '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::pread(fd_, content.data() + done, content.size() - done,
                              static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot read the decoder's temporary file", errno);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
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
