#pragma once

// The temporary file a fetched message is written to while it arrives, so a
// large mail never has to sit in memory whole until it is complete. The
// first 64 KB are held in memory; the file is made only when a message
// outgrows them, so most mails never touch the disk. The file is closed and
// deleted on every way out: explicitly by Remove, or by the destructor when
// an exception leaves the fetch.

#include <cstdint>
#include <string>
#include <string_view>

namespace pelnor {

class SpoolFile {
 public:
  // Nothing is made yet. The "vek" file in the temporary directory comes
  // with the first write that does not fit the buffer; making, writing or
  // reading it throws ETempFileError (mime/temp_file_error.h).
  SpoolFile() = default;
  SpoolFile(const SpoolFile&) = delete;
  SpoolFile& operator=(const SpoolFile&) = delete;
  ~SpoolFile();

  void Write(std::string_view bytes);
  std::uint64_t Size() const { return size_; }
  // The LF bytes written so far: what a reader of the lines can size for.
  std::uint64_t LineFeeds() const { return lineFeeds_; }
  // Everything written so far.
  std::string ReadAll();
  // The same without a copy where the file can be mapped; valid until
  // Remove.
  std::string_view Contents();
  // Lets the mapped pages of Contents that lie wholly in [from, to) go: a
  // reader done with them keeps the memory free for what it makes of them.
  // Reading there again is allowed (the file is still there), only slower.
  void Release(std::size_t from, std::size_t to);
  // Closes and deletes the file; further calls do nothing.
  void Remove();

  // The file's name; empty while the message fits the buffer.
  const std::string& Path() const { return path_; }

 private:
  void Open();
  void Flush();
  void WriteOut(const char* data, std::size_t size);
  [[noreturn]] void Fail(const char* what, int err) const;

  std::string path_;
  int fd_ = -1;
  bool removed_ = false;
  // Bytes written by the caller but not yet to the file, at most kBufferSize.
  std::string pending_;
  std::uint64_t size_ = 0;
  std::uint64_t lineFeeds_ = 0;
  // What Contents handed out: a mapping of the file, or a copy of it.
  void* map_ = nullptr;
  std::size_t mapSize_ = 0;
  std::string copy_;
};

}  // namespace pelnor
