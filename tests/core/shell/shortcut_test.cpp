// Launchers written into a temporary home: the first start's choice of the
// autostart entry and the desktop entry, and ShortcutMaker's properties.

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/shell/desktop_entry.h"
#include "core/shell/shortcut_maker.h"
#include "core/shell/startup_shortcuts.h"
#include "support/files.h"
#include "support/temp_home.h"

namespace fs = std::filesystem;

namespace pelnor {
namespace {

using test::ReadBytes;
using test::ReadBytesIfExists;
using test::TempHome;
using test::WriteBytes;

bool IsExecutable(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

struct ChoiceCase {
  const char* name;
  bool startup;
  bool desktop;
};

class ChosenShortcutsTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChosenShortcutsTest, WritesExactlyTheCheckedOnes) {
  const ChoiceCase& c = GetParam();
  TempHome home;
  ShortcutMaker link(home.Environment());
  EXPECT_TRUE(CreateChosenShortcuts(link, home.ProgramDir(), c.startup, c.desktop).empty());

  const fs::path startup = home.Path() / ".config/autostart/Pelnor.desktop";
  const fs::path desktop = home.Path() / "Desktop/Pelnor.desktop";
  EXPECT_EQ(fs::exists(startup), c.startup);
  EXPECT_EQ(fs::exists(desktop), c.desktop);
  const std::string exec = "\nExec=" + home.ProgramDir() + "pelnor\n";
  for (const fs::path& path : {startup, desktop}) {
    if (!fs::exists(path)) continue;
    const std::string text = ReadBytes(path);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n")) << text;
    EXPECT_NE(text.find(exec), std::string::npos) << text;
    EXPECT_NE(text.find("\nName=Pelnor\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nX-Pelnor-ShowCmd=1\n"), std::string::npos) << text;
    // The icon an installed program puts into the theme.
    EXPECT_NE(text.find("\nIcon=pelnor\n"), std::string::npos) << text;
    EXPECT_TRUE(IsExecutable(path));
  }
  if (!c.startup && !c.desktop) {
    EXPECT_TRUE(fs::is_empty(home.Path()));
  }
}

INSTANTIATE_TEST_SUITE_P(FirstStart, ChosenShortcutsTest,
                         ::testing::Values(ChoiceCase{"Both", true, true},
                                           ChoiceCase{"StartupOnly", true, false},
                                           ChoiceCase{"DesktopOnly", false, true},
                                           ChoiceCase{"Neither", false, false}),
                         [](const auto& info) { return info.param.name; });

TEST(ChosenShortcutsTest, DesktopComesFromUserDirs) {
  TempHome home;
  WriteBytes(home.Path() / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
  ShortcutMaker link(home.Environment());
  CreateChosenShortcuts(link, home.ProgramDir(), false, true);
  EXPECT_TRUE(fs::exists(home.Path() / "デスクトップ/Pelnor.desktop"));
  EXPECT_FALSE(fs::exists(home.Path() / "Desktop"));
}

TEST(ChosenShortcutsTest, ReplacesAnOldEntryWithoutLeavingTemporaries) {
  TempHome home;
  const fs::path desktop = home.Path() / "Desktop/Pelnor.desktop";
  WriteBytes(desktop, "[Desktop Entry]\nExec=/old/pelnor\n");
  ShortcutMaker link(home.Environment());
  CreateChosenShortcuts(link, home.ProgramDir(), false, true);
  EXPECT_EQ(ReadBytesIfExists(desktop).find("/old/"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(desktop.parent_path()), fs::directory_iterator()), 1);
}

TEST(ChosenShortcutsTest, OneFailureDoesNotStopTheOther) {
  TempHome home;
  WriteBytes(home.Path() / "Desktop", "a file where the folder should be");
  ShortcutMaker link(home.Environment());
  const std::vector<std::string> errors = CreateChosenShortcuts(link, home.ProgramDir(), true, true);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("Desktop"), std::string::npos) << errors[0];
  EXPECT_TRUE(fs::exists(home.Path() / ".config/autostart/Pelnor.desktop"));
}

TEST(MakeShortCutTest, BaseFolders) {
  ShortcutMaker link(ShellEnvironment{"/home/u", ""});
  link.SCFileName = "sub/Tool.desktop";
  EXPECT_EQ(link.LinkPath(), "sub/Tool.desktop");
  link.SCSystemPath = tpDesktop;
  EXPECT_EQ(link.LinkPath(), "/home/u/Desktop/sub/Tool.desktop");
  link.SCSystemPath = tpStartMenu;
  EXPECT_EQ(link.LinkPath(), "/home/u/.config/sub/Tool.desktop");
}

TEST(MakeShortCutTest, UnknownHomeWritesNothingRelative) {
  ShortcutMaker link(ShellEnvironment{"", ""});
  link.SCSystemPath = tpDesktop;
  link.SCFileName = "Pelnor.desktop";
  EXPECT_THROW(link.CreateLink(), EShortCutError);
  EXPECT_FALSE(fs::exists("Desktop/Pelnor.desktop"));
}

TEST(MakeShortCutTest, EveryPropertyReachesTheEntry) {
  TempHome home;
  ShortcutMaker link(home.Environment());
  link.SCSystemPath = tpDesktop;
  link.SCFileName = "tools/Mail Printer.desktop";
  link.SCDescription = "受信メールを印刷";
  link.SCExecFile = "/opt/my tools/pelnor";
  link.SCArguments = "--quiet";
  link.SCWorkDir = "/var/tmp";
  link.SCShowCmd = tsMin;
  link.CreateLink();
  EXPECT_EQ(ReadBytes(home.Path() / "Desktop/tools/Mail Printer.desktop"),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Mail Printer\n"
            "Comment=受信メールを印刷\nExec=\"/opt/my tools/pelnor\" --quiet\nPath=/var/tmp\n"
            "Terminal=false\nX-Pelnor-ShowCmd=7\n");
}

// The freedesktop.org validator is the judge of what desktops accept.
TEST(MakeShortCutTest, EntriesPassDesktopFileValidate) {
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "desktop-file-validate missing: install desktop-file-utils (scripts/setup)";
  TempHome home;
  ShortcutMaker link(home.Environment());
  const std::string programDir = (home.Path() / "my apps$ \\ 100%").string() + "/";
  link.SCArguments = ArgumentsText({"--program-dir", programDir + "files"});
  CreateChosenShortcuts(link, programDir, true, true);
  link.SCDescription = " メール\n自動印刷";
  link.SCWorkDir = "/var/tmp";
  link.SCFileName = "Full.desktop";
  link.CreateLink();
  for (const char* name :
       {".config/autostart/Pelnor.desktop", "Desktop/Pelnor.desktop", "Desktop/Full.desktop"}) {
    const std::string command =
        "desktop-file-validate --no-hints '" + (home.Path() / name).string() + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    EXPECT_EQ(::pclose(pipe), 0) << name << "\n" << output;
    EXPECT_EQ(output, "") << name;
  }
}

}  // namespace
}  // namespace pelnor
