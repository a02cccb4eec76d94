// Where the desktop and autostart folders are, from the environment and
// the user's user-dirs.dirs.

#include "core/shell/shell_environment.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/temp_home.h"

namespace pelnor {
namespace {

using test::TempHome;
using test::WriteBytes;

struct DesktopCase {
  const char* name;
  const char* userDirs;  // nullptr: no file
  const char* expected;  // relative to the home unless it starts with "/"
};

class DesktopDirTest : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(DesktopDirTest, Resolves) {
  const DesktopCase& c = GetParam();
  TempHome home;
  if (c.userDirs) WriteBytes(home.Path() / ".config/user-dirs.dirs", c.userDirs);
  std::string expected = c.expected;
  if (expected.empty()) expected = home.Path().string();
  else if (expected[0] != '/') expected = (home.Path() / expected).string();
  EXPECT_EQ(DesktopDir(home.Environment()).string(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    UserDirs, DesktopDirTest,
    ::testing::Values(
        DesktopCase{"NoFile", nullptr, "Desktop"},
        DesktopCase{"UnderHome", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "Schreibtisch"},
        DesktopCase{"Absolute", "XDG_DESKTOP_DIR=\"/srv/desk\"\n", "/srv/desk"},
        DesktopCase{"HomeItself", "XDG_DESKTOP_DIR=\"$HOME\"\n", ""},
        DesktopCase{"Commented", "# XDG_DESKTOP_DIR=\"$HOME/x\"\n", "Desktop"},
        DesktopCase{"LastWins", "XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "b"},
        DesktopCase{"OtherKeysIgnored",
                    "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\nXDG_DESKTOP_DIRS=\"$HOME/no\"\n"
                    "XDG_DESKTOP_DIR=\"$HOME/Desk\"\n",
                    "Desk"},
        DesktopCase{"EscapedQuote", "XDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"\n", "My \"Desk\""},
        // Invalid values fall back rather than writing somewhere unexpected.
        DesktopCase{"RelativeIgnored", "XDG_DESKTOP_DIR=\"Desk\"\n", "Desktop"},
        DesktopCase{"HomePrefixOnly", "XDG_DESKTOP_DIR=\"$HOMEx\"\n", "Desktop"},
        DesktopCase{"Unquoted", "XDG_DESKTOP_DIR=$HOME/Desk\n", "Desktop"},
        DesktopCase{"Unterminated", "XDG_DESKTOP_DIR=\"$HOME/Desk\n", "Desktop"},
        DesktopCase{"InvalidAfterValid", "XDG_DESKTOP_DIR=\"$HOME/ok\"\nXDG_DESKTOP_DIR=\"bad\"\n", "ok"}),
    [](const auto& info) { return info.param.name; });

TEST(ShellEnvironmentTest, ConfigHomeMovesUserDirsAndAutostart) {
  TempHome home;
  const std::string config = (home.Path() / "cfg").string();
  WriteBytes(home.Path() / "cfg/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/FromCfg\"\n");
  WriteBytes(home.Path() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/FromDefault\"\n");
  const ShellEnvironment env{home.Path().string(), config};
  EXPECT_EQ(DesktopDir(env), home.Path() / "FromCfg");
  EXPECT_EQ(AutostartDir(env), home.Path() / "cfg/autostart");
}

TEST(ShellEnvironmentTest, RelativeConfigHomeIsIgnored) {
  TempHome home;
  const ShellEnvironment env{home.Path().string(), "cfg"};
  EXPECT_EQ(AutostartDir(env), home.Path() / ".config/autostart");
}

}  // namespace
}  // namespace pelnor
