// Where the program keeps its files, judged on temporary folders: beside a
// portable executable, in the user's configuration folder for an installed
// one, or where the command line says.

#include "platform/program_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace pelnor {
namespace {

using test::WriteBytes;

TEST(ProgramDir, IsTheTestExecutablesDirectoryWithTrailingSeparator) {
  std::string dir = ProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests"));
}

fs::perms ModeOf(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

class ProgramDirRule : public ::testing::Test {
 protected:
  std::string Choose(const fs::path& bin, bool writable) {
    return ChooseProgramDir(bin.string() + "/", env_,
                            [writable](const fs::path&) { return writable; });
  }

  test::TempDir temp_{"program-dir-"};
  const fs::path home_ = temp_.Path() / "home";
  const fs::path bin_ = temp_.Path() / "usr/bin";
  const fs::path config_ = home_ / ".config/pelnor";
  ShellEnvironment env_{home_.string(), ""};

  void SetUp() override { fs::create_directories(bin_); }
};

TEST_F(ProgramDirRule, AWritableFolderOfItsOwnKeepsTheFiles) {
  EXPECT_EQ(Choose(bin_, true), bin_.string() + "/");
  EXPECT_FALSE(fs::exists(config_));
}

// As a copy of the program carried over from Windows keeps them.
TEST_F(ProgramDirRule, SettingsBesideTheExecutableKeepTheirFolderEvenReadOnly) {
  for (const char* name : {"Defult.ini", "User.inf"}) {
    SCOPED_TRACE(name);
    WriteBytes(bin_ / name, "");
    EXPECT_EQ(Choose(bin_, false), bin_.string() + "/");
    fs::remove(bin_ / name);
  }
  EXPECT_FALSE(fs::exists(config_));
}

TEST_F(ProgramDirRule, AReadOnlyFolderSendsTheFilesToAPrivateConfigurationFolder) {
  EXPECT_EQ(Choose(bin_, false), config_.string() + "/");
  ASSERT_TRUE(fs::is_directory(config_));
  EXPECT_EQ(ModeOf(config_), fs::perms::owner_all);
  // Found again as it is at the next start.
  EXPECT_EQ(Choose(bin_, false), config_.string() + "/");
}

// Root may write to /usr/bin, but no settings belong there.
TEST_F(ProgramDirRule, AnInstalledProgramUsesTheConfigurationFolderThoughItsBinIsWritable) {
  fs::create_directories(temp_.Path() / "usr/share/pelnor");
  env_.ConfigHome = (temp_.Path() / "xdg").string();
  EXPECT_EQ(Choose(bin_, true), (temp_.Path() / "xdg/pelnor").string() + "/");
  EXPECT_EQ(ModeOf(temp_.Path() / "xdg/pelnor"), fs::perms::owner_all);
}

TEST_F(ProgramDirRule, WithoutAHomeTheFolderMustBeGiven) {
  env_ = {"", "relative/config"};
  EXPECT_THROW(Choose(bin_, false), ProgramDirError);
}

TEST_F(ProgramDirRule, AGivenFolderIsMadeAbsoluteAndCreatedPrivate) {
  const fs::path saved = fs::current_path();
  fs::current_path(temp_.Path());
  const std::string given = GivenProgramDir("office/pelnor/");
  fs::current_path(saved);
  EXPECT_EQ(given, (temp_.Path() / "office/pelnor").string() + "/");
  EXPECT_EQ(ModeOf(temp_.Path() / "office/pelnor"), fs::perms::owner_all);
  WriteBytes(temp_.Path() / "a file", "");
  EXPECT_THROW(GivenProgramDir(temp_.Path() / "a file"), ProgramDirError);
}

}  // namespace
}  // namespace pelnor
