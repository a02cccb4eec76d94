#include "pop3/spool_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "mime/vek_util.h"

namespace pelnor {

TSpoolFile::TSpoolFile() : path_(MakeTempFileName()) {
  // "r+b", not "w+b": the file is new and empty, and truncating it would make
  // ext4 allocate its blocks at close (auto_da_alloc), so that deleting it
  // costs milliseconds on a disk mounted with discard.
  file_ = std::fopen(path_.c_str(), "r+b");
  if (!file_) {
    const int err = errno;
    std::remove(path_.c_str());
    throw std::filesystem::filesystem_error("cannot open spool file", path_,
                                            std::error_code(err, std::system_category()));
  }
  // Reads arrive 1 KB at a time; write them out in larger pieces.
  std::setvbuf(file_, nullptr, _IOFBF, 64 * 1024);
}

TSpoolFile::~TSpoolFile() { Remove(); }

void TSpoolFile::Fail(const char* what) const {
  throw std::filesystem::filesystem_error(what, path_,
                                          std::error_code(errno, std::system_category()));
}

void TSpoolFile::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    Fail("cannot write spool file");
  size_ += bytes.size();
}

std::string TSpoolFile::ReadAll() {
  if (!file_) return {};
  if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
    Fail("cannot rewind spool file");
  std::string bytes(size_, '\0');
  if (std::fread(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    Fail("cannot read spool file");
  return bytes;
}

void TSpoolFile::Remove() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  std::remove(path_.c_str());
}

}  // namespace pelnor
