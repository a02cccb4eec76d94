#include "platform/program_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pelnor {
namespace {

TEST(ProgramDir, IsTheTestExecutablesDirectoryWithTrailingSeparator) {
  std::string dir = ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests"));
}

}  // namespace
}  // namespace pelnor
