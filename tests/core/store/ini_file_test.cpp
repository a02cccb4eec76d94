#include "core/store/ini_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelnor {
namespace {

TEST(IniFileRead, NamesIgnoreLetterCaseAndBlanks) {
  IniFile ini("[file]\r\n TIME = 1000\r\n[CONFIG]\r\nch2=1\r\n");
  EXPECT_EQ(ini.ReadInteger("File", "Time", 5), 1000);
  EXPECT_TRUE(ini.ReadBool("Config", "CH2", false));
}

TEST(IniFileRead, ValuesAreVerbatim) {
  IniFile ini("[Ploxy]\r\nAdress= proxy host \r\nPort=\r\nEq=a=b\r\n");
  EXPECT_EQ(ini.ReadString("Ploxy", "Adress", "x"), " proxy host ");
  EXPECT_EQ(ini.ReadString("Ploxy", "Port", "x"), "");  // present but empty
  EXPECT_EQ(ini.ReadString("Ploxy", "Eq", "x"), "a=b");
  EXPECT_EQ(ini.ReadString("Ploxy", "Missing", "x"), "x");
}

TEST(IniFileRead, KeysBelongToTheirOwnSection) {
  IniFile ini("Time=1\r\n[Print]\r\nTime=2\r\n[File]\r\nLeft=3\r\n");
  EXPECT_EQ(ini.ReadInteger("File", "Time", 9), 9);  // before any section, or elsewhere
  EXPECT_EQ(ini.ReadInteger("Print", "Left", 9), 9);
  EXPECT_EQ(ini.ReadInteger("Print", "Time", 9), 2);
}

TEST(IniFileRead, FirstMatchWins) {
  IniFile ini("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");  // LF only is read too
  EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
  EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");  // the first [A] only
}

struct IntegerCase {
  const char* name;
  const char* text;
  int expected;
};

class IniFileIntegers : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniFileIntegers, WholeNumbersOrTheDefault) {
  IniFile ini(std::string("[S]\r\nk=") + GetParam().text + "\r\n");
  EXPECT_EQ(ini.ReadInteger("S", "k", 300000), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniFileIntegers,
    testing::Values(IntegerCase{"Plain", "60000", 60000}, IntegerCase{"Negative", "-1", -1},
                    IntegerCase{"Plus", "+7", 7}, IntegerCase{"LeadingBlank", " 42", 42},
                    IntegerCase{"Letters", "abc", 300000}, IntegerCase{"Empty", "", 300000},
                    IntegerCase{"TrailingJunk", "12x", 300000},
                    IntegerCase{"TrailingBlank", "12 ", 300000},
                    IntegerCase{"Fraction", "1.5", 300000},
                    IntegerCase{"PlusMinus", "+-5", 300000},
                    IntegerCase{"TooLarge", "2147483648", 300000},
                    IntegerCase{"Largest", "2147483647", 2147483647}),
    [](const auto& info) { return info.param.name; });

TEST(IniFileRead, BooleansAreIntegers) {
  IniFile ini("[C]\r\nyes=1\r\nno=0\r\nodd=-3\r\nbad=true\r\n");
  EXPECT_TRUE(ini.ReadBool("C", "yes", false));
  EXPECT_FALSE(ini.ReadBool("C", "no", true));
  EXPECT_TRUE(ini.ReadBool("C", "odd", false));
  EXPECT_TRUE(ini.ReadBool("C", "bad", true));  // not a number: the default
  EXPECT_FALSE(ini.ReadBool("C", "bad", false));
  EXPECT_TRUE(ini.ReadBool("C", "missing", true));
}

TEST(IniFileWrite, FreshFileListsSectionsInWriteOrder) {
  IniFile ini;
  ini.WriteInteger("File", "Time", 1);
  ini.WriteInteger("Print", "Left", 2);
  ini.WriteBool("Config", "CH2", true);
  ini.WriteInteger("Print", "Right", 3);
  EXPECT_EQ(ini.Text(), "[File]\r\nTime=1\r\n[Print]\r\nLeft=2\r\nRight=3\r\n[Config]\r\nCH2=1\r\n");
}

TEST(IniFileWrite, ReplacesInPlaceAndKeepsEverythingElse) {
  IniFile ini(
      "; written by hand\r\n[Other]\r\nx=1\r\n\r\n[file]\r\ntime=5\r\nExtra=keep me\r\n\r\n"
      "[System]\r\nversion=1.4\r\n");
  ini.WriteInteger("File", "Time", 300000);
  ini.WriteString("System", "version", "1.7");
  EXPECT_EQ(ini.Text(),
            "; written by hand\r\n[Other]\r\nx=1\r\n\r\n[file]\r\ntime=300000\r\nExtra=keep me\r\n\r\n"
            "[System]\r\nversion=1.7\r\n");
}

TEST(IniFileWrite, NewKeyGoesAfterTheLastLineOfItsSection) {
  IniFile ini("[Print]\nLeft=1\n\n[Config]\nCH2=0\n");
  ini.WriteInteger("Print", "Top", 9);
  ini.WriteString("Ploxy", "Port", "8080");
  EXPECT_EQ(ini.Text(), "[Print]\r\nLeft=1\r\nTop=9\r\n\r\n[Config]\r\nCH2=0\r\n[Ploxy]\r\nPort=8080\r\n");
}

TEST(IniFileWrite, ValueStopsAtALineBreak) {
  IniFile ini;
  ini.WriteString("Ploxy", "Adress", "host\r\n[File]\r\nTime=1");
  EXPECT_EQ(ini.Text(), "[Ploxy]\r\nAdress=host\r\n");
  EXPECT_FALSE(ini.ReadValue("File", "Time"));
}

TEST(IniFileWrite, ShiftJisValuesPassThrough) {
  IniFile ini;
  std::string value = "\x83\x7C\x83\x58\x83\x67";  // ポスト
  ini.WriteString("Ploxy", "Adress", value);
  EXPECT_EQ(IniFile(ini.Text()).ReadString("Ploxy", "Adress", ""), value);
}

}  // namespace
}  // namespace pelnor
