#include "core/pop3/spool_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/mime/temp_file.h"

namespace pelnor {

namespace {

// Reads arrive 1 KB at a time; they go to the file in pieces this large.
constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

void SpoolFile::Open() {
  // Kept open from its creation: opening it again by name would only cost
  // another system call. Nothing truncates it either, which would make ext4
  // allocate its blocks at close (auto_da_alloc), so that deleting it costs
  // milliseconds on a disk mounted with discard.
  TempFile file = MakeTempFile();
  path_ = std::move(file.Path);
  fd_ = file.Fd;
}

SpoolFile::~SpoolFile() { Remove(); }

void SpoolFile::Fail(const char* what, int err) const {
  throw ETempFileError(what, path_, path_, err);
}

void SpoolFile::WriteOut(const char* data, std::size_t size) {
  if (fd_ < 0) Open();
  if (const int error = WriteFully(fd_, data, size)) Fail("Cannot write the spool file", error);
}

void SpoolFile::Flush() {
  if (pending_.empty()) return;
  WriteOut(pending_.data(), pending_.size());
  pending_.clear();
}

void SpoolFile::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (removed_) Fail("Cannot write the spool file", EBADF);
  lineFeeds_ += static_cast<std::uint64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  if (pending_.size() + bytes.size() > kBufferSize) {
    Flush();
    if (bytes.size() >= kBufferSize) {
      WriteOut(bytes.data(), bytes.size());
      size_ += bytes.size();
      return;
    }
  }
  pending_.append(bytes);
  size_ += bytes.size();
}

std::string SpoolFile::ReadAll() {
  // A message that never outgrew the buffer is all still here.
  if (fd_ < 0) return pending_;
  Flush();
  std::string bytes(size_, '\0');
  std::size_t done = 0;
  if (const int error = ReadFully(fd_, bytes.data(), bytes.size(), done))
    Fail("Cannot read the spool file", error);
  if (done != bytes.size()) Fail("Cannot read the spool file", EIO);  // someone cut it short
  return bytes;
}

std::string_view SpoolFile::Contents() {
  if (fd_ < 0) return pending_;
  Flush();
  // Mapped: the file is in the page cache, so this saves allocating,
  // clearing and copying a buffer as large as the mail. Its pages come in
  // as they are read (and go with Release), not all at once.
  void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
  if (map == MAP_FAILED) {
    copy_ = ReadAll();
    return copy_;
  }
  map_ = map;
  mapSize_ = size_;
  return {static_cast<const char*>(map), mapSize_};
}

void SpoolFile::Release(std::size_t from, std::size_t to) {
  if (!map_) return;
  static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t first = (from + page - 1) / page * page;
  const std::size_t last = std::min(to, mapSize_) / page * page;
  // Only advice: the pages come back from the page cache if read again.
  if (first < last) ::madvise(static_cast<char*>(map_) + first, last - first, MADV_DONTNEED);
}

void SpoolFile::Remove() {
  removed_ = true;
  if (map_) ::munmap(map_, mapSize_);
  map_ = nullptr;
  copy_ = std::string();
  pending_ = std::string();
  if (fd_ < 0) return;
  // Unlinked before it is closed, the file's pages are dropped, not written.
  ::unlink(path_.c_str());
  ::close(fd_);
  fd_ = -1;
}

}  // namespace pelnor
