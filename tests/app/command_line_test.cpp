// The command line: the three ways to run, the program directory in both
// spellings, and what is refused.

#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pelnor {
namespace {

CommandLine Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

TEST(CommandLineTest, ModesAndProgramDir) {
  EXPECT_EQ(Parse({}).Mode, RunMode::Desktop);
  EXPECT_FALSE(Parse({}).ProgramDir.has_value());
  EXPECT_EQ(Parse({"--headless"}).Mode, RunMode::Headless);
  EXPECT_EQ(Parse({"--check-once"}).Mode, RunMode::CheckOnce);
  EXPECT_EQ(Parse({"--headless", "--check-once"}).Mode, RunMode::CheckOnce);
  const CommandLine spaced = Parse({"--program-dir", "/srv/pelnor", "--headless"});
  EXPECT_EQ(spaced.Mode, RunMode::Headless);
  EXPECT_EQ(spaced.ProgramDir, "/srv/pelnor");
  EXPECT_EQ(Parse({"--program-dir=my files"}).ProgramDir, "my files");
  EXPECT_TRUE(Parse({"--help"}).ShowHelp);
  EXPECT_TRUE(Parse({"--version"}).ShowVersion);
}

// The desktop toolkit's own options (a session manager restarts the program
// with -session) pass to it; without a desktop nothing but ours is taken.
TEST(CommandLineTest, ToolkitArgumentsOnlyForTheDesktop) {
  EXPECT_EQ(Parse({"-session", "1a2b", "--program-dir", "/p"}).ToolkitArguments,
            (std::vector<std::string>{"-session", "1a2b"}));
  EXPECT_THROW(Parse({"--headless", "-platform", "xcb"}), CommandLineError);
  EXPECT_THROW(Parse({"--check-once", "extra"}), CommandLineError);
}

TEST(CommandLineTest, RefusesUnknownOptionsAndAMissingFolder) {
  EXPECT_THROW(Parse({"--headles"}), CommandLineError);
  EXPECT_THROW(Parse({"--program-dir"}), CommandLineError);
  EXPECT_THROW(Parse({"--program-dir="}), CommandLineError);
  EXPECT_THROW(Parse({"--program-directory=/p"}), CommandLineError);
}

}  // namespace
}  // namespace pelnor
