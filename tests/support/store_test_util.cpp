#include "store_test_util.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace pelnor::test {

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
