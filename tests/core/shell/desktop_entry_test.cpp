// The desktop entry text: the two layers of escaping of its Exec key and
// the properties that reach it.

#include "core/shell/desktop_entry.h"

#include <gtest/gtest.h>

namespace pelnor {
namespace {

struct EscapeCase {
  const char* name;
  const char* in;
  const char* out;
};

class QuoteExecArgumentTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(QuoteExecArgumentTest, Quotes) {
  EXPECT_EQ(QuoteExecArgument(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Exec, QuoteExecArgumentTest,
    ::testing::Values(EscapeCase{"Plain", "/opt/pelnor/pelnor", "/opt/pelnor/pelnor"},
                      EscapeCase{"Space", "/home/u/my apps/pelnor", "\"/home/u/my apps/pelnor\""},
                      EscapeCase{"Specials", "/a$b\"c`d\\e/pelnor", "\"/a\\$b\\\"c\\`d\\\\e/pelnor\""},
                      EscapeCase{"Percent", "/opt/100%/pelnor", "/opt/100%%/pelnor"},
                      EscapeCase{"PercentQuoted", "/opt/100% x/p", "\"/opt/100%% x/p\""},
                      EscapeCase{"Empty", "", "\"\""}),
    [](const auto& info) { return info.param.name; });

class EscapeValueTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeValueTest, Escapes) { EXPECT_EQ(EscapeValue(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(
    Values, EscapeValueTest,
    ::testing::Values(EscapeCase{"Plain", "Pelnor", "Pelnor"},
                      EscapeCase{"Backslash", "a\\b", "a\\\\b"},
                      EscapeCase{"Controls", "a\nb\tc\rd", "a\\nb\\tc\\rd"},
                      EscapeCase{"LeadingSpace", " a b", "\\sa b"}),
    [](const auto& info) { return info.param.name; });

TEST(DesktopEntryTextTest, FullEntry) {
  DesktopEntry entry{"Pelnor", "メール自動印刷", "/home/u/a b\\c/pelnor", "--x %f", "/home/u", 3};
  EXPECT_EQ(DesktopEntryText(entry),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Version=1.0\n"
            "Name=Pelnor\n"
            "Comment=メール自動印刷\n"
            // The Exec rules escape the backslash once, the string rules again.
            "Exec=\"/home/u/a b\\\\\\\\c/pelnor\" --x %%f\n"
            "Path=/home/u\n"
            "Terminal=false\n"
            "X-Pelnor-ShowCmd=3\n");
}

// Arguments are quoted once; their '%' is doubled with the rest of Exec.
TEST(DesktopEntryTextTest, ArgumentsAndIconReachTheEntry) {
  const std::string arguments = ArgumentsText({"--program-dir", "/home/u/100% \"mine\""});
  EXPECT_EQ(arguments, "--program-dir \"/home/u/100% \\\"mine\\\"\"");
  const std::string text =
      DesktopEntryText({"Pelnor", "", "/usr/bin/pelnor", arguments, "", 1, "pelnor"});
  EXPECT_NE(text.find("\nExec=/usr/bin/pelnor --program-dir \"/home/u/100%% \\\\\"mine\\\\\"\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\nIcon=pelnor\n"), std::string::npos) << text;
}

TEST(DesktopEntryTextTest, EmptyOptionalKeysAreLeftOut) {
  const std::string text = DesktopEntryText({"Pelnor", "", "/opt/pelnor/pelnor", "", "", 1});
  EXPECT_EQ(text.find("Comment="), std::string::npos);
  EXPECT_EQ(text.find("Path="), std::string::npos);
  EXPECT_NE(text.find("\nExec=/opt/pelnor/pelnor\n"), std::string::npos);
}

TEST(DesktopEntryTextTest, NewlineInNameCannotAddAKey) {
  const std::string text = DesktopEntryText({"Pelnor\nExec=evil", "", "/p", "", "", 1});
  EXPECT_NE(text.find("Name=Pelnor\\nExec=evil\n"), std::string::npos);
  EXPECT_EQ(text.find("\nExec=evil"), std::string::npos);
}

}  // namespace
}  // namespace pelnor
