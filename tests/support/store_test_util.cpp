#include "store_test_util.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace pelnor::test {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string& path) { return fs::exists(path); }

unsigned PermissionBits(const std::string& path) {
  return static_cast<unsigned>(fs::status(path).permissions()) & 0777u;
}

int EntryCount(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
  return n;
}

std::string GoldenPath(const std::string& name) {
  return std::string(PELNOR_TEST_DATA) + "/store/" + name;
}

}  // namespace pelnor::test
