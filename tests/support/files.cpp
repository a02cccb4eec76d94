#include "files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace pelnor::test {

namespace {

// Through the stream buffer, not the size: files under /proc report none.
std::string ReadOpen(std::ifstream& in) {
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return ReadOpen(in);
}

std::string ReadBytesIfExists(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? ReadOpen(in) : std::string();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::error_code ignored;  // a parent that cannot be made fails the open below
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace pelnor::test
