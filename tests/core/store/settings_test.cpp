#include "core/store/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/store/atomic_file.h"
#include "core/store/store_error.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class SettingsFile : public testing::Test {
 protected:
  std::string IniPath() const { return dir.Dir() + "Defult.ini"; }
  Settings LoadFrom(const std::string& text) {
    WriteBytes(IniPath(), text);
    return LoadSettings(dir.Dir());
  }
  TempDir dir;
};

TEST_F(SettingsFile, MissingFileGivesDefaults) {
  Settings s = LoadSettings(dir.Dir());
  EXPECT_EQ(s, Settings{});
  EXPECT_EQ(s.CheckInterval, 300000);
  EXPECT_FALSE(s.LogEnabled);
  EXPECT_TRUE(s.DirectConnection);
  EXPECT_FALSE(s.UseProxy);
  EXPECT_EQ(s.MarginLeft, 200);
  EXPECT_EQ(s.MarginBottom, 200);
  EXPECT_EQ(s.ProxyAddress, "");
  EXPECT_EQ(s.SettingsVersion, "old");
  EXPECT_TRUE(s.FirstStart);
}

TEST_F(SettingsFile, MissingSectionsKeepTheirDefaults) {
  Settings s = LoadFrom("[File]\r\nTime=60000\r\n[Config]\r\nCH2=1\r\nRA2=1\r\n");
  EXPECT_EQ(s.CheckInterval, 60000);
  EXPECT_TRUE(s.LogEnabled);
  EXPECT_TRUE(s.DirectConnection);  // RA1 missing: true
  EXPECT_TRUE(s.UseProxy);
  EXPECT_EQ(s.MarginTop, 200);
  EXPECT_EQ(s.SettingsVersion, "old");  // no System section: every migration runs
  EXPECT_TRUE(s.FirstStart);
}

TEST_F(SettingsFile, TimeThatIsNoNumberGivesTheDefault) {
  EXPECT_EQ(LoadFrom("[File]\r\nTime=abc\r\n").CheckInterval, 300000);
}

TEST_F(SettingsFile, KeysInOtherLetterCase) {
  Settings s = LoadFrom(
      "[FILE]\r\ntime=1000\r\n[print]\r\nLEFT=1\r\n[ploxy]\r\nADRESS=h\r\nport=81\r\n"
      "[SYSTEM]\r\nVERSION=1.4\r\nfirststart=0\r\n");
  EXPECT_EQ(s.CheckInterval, 1000);
  EXPECT_EQ(s.MarginLeft, 1);
  EXPECT_EQ(s.ProxyAddress, "h");
  EXPECT_EQ(s.ProxyPort, "81");
  EXPECT_EQ(s.SettingsVersion, "1.4");
  EXPECT_FALSE(s.FirstStart);
}

TEST_F(SettingsFile, FreshFileIsWrittenInExitOrder) {
  Settings s;
  s.SettingsVersion = "1.7";
  s.FirstStart = false;  // its dialog has closed
  SaveSettings(dir.Dir(), s);
  EXPECT_EQ(ReadBytes(IniPath()),
            "[File]\r\nTime=300000\r\n"
            "[Print]\r\nLeft=200\r\nRight=200\r\nTop=200\r\nBottom=200\r\n"
            "[Config]\r\nCH2=0\r\nRA1=1\r\nRA2=0\r\n"
            "[Ploxy]\r\nAdress=\r\nPort=\r\n"
            "[System]\r\nversion=1.7\r\nFirstStart=0\r\n");
}

TEST_F(SettingsFile, SaveThenLoadGivesTheSameValues) {
  Settings s;
  s.CheckInterval = 120000;
  s.LogEnabled = true;
  s.DirectConnection = false;
  s.UseProxy = true;
  s.MarginLeft = 1;
  s.MarginRight = 2;
  s.MarginTop = 3;
  s.MarginBottom = -4;
  s.ProxyAddress = "\x83\x76\x83\x8D\x83\x4E\x83\x56";  // プロクシ
  s.ProxyPort = "8o8o";                                  // text, not a number
  s.SettingsVersion = "1.7";
  SaveSettings(dir.Dir(), s);
  EXPECT_EQ(LoadSettings(dir.Dir()), s);
  // The first start stays marked until the program says it is over.
  s.FirstStart = false;
  SaveSettings(dir.Dir(), s);
  EXPECT_EQ(LoadSettings(dir.Dir()), s);
}

TEST_F(SettingsFile, SaveKeepsForeignSectionsAndKeys) {
  WriteBytes(IniPath(), "[Window]\r\nX=10\r\n[file]\r\nTIME=5\r\nNote=mine\r\n");
  SaveSettings(dir.Dir(), Settings{});
  std::string text = ReadBytes(IniPath());
  EXPECT_EQ(text.rfind("[Window]\r\nX=10\r\n[file]\r\nTIME=300000\r\nNote=mine\r\n[Print]\r\n", 0), 0u)
      << text;
  EXPECT_EQ(LoadSettings(dir.Dir()).CheckInterval, 300000);
}

TEST_F(SettingsFile, GoldenFileReadsAndWritesBackByteForByte) {
  std::string golden = ReadBytes(test::GoldenPath("Defult.ini"));
  Settings s = LoadFrom(golden);
  EXPECT_EQ(s.CheckInterval, 600000);
  EXPECT_EQ(s.MarginLeft, 150);
  EXPECT_EQ(s.MarginRight, 200);
  EXPECT_EQ(s.MarginTop, 180);
  EXPECT_EQ(s.MarginBottom, 220);
  EXPECT_TRUE(s.LogEnabled);
  EXPECT_FALSE(s.DirectConnection);
  EXPECT_TRUE(s.UseProxy);
  EXPECT_EQ(s.ProxyAddress, "proxy.example.jp");
  EXPECT_EQ(s.ProxyPort, "8080");
  EXPECT_EQ(s.SettingsVersion, "1.7");
  EXPECT_FALSE(s.FirstStart);
  SaveSettings(dir.Dir(), s);
  EXPECT_EQ(ReadBytes(IniPath()), golden);
}

TEST_F(SettingsFile, FileWithoutFirstStartMarkerGainsItAtTheEnd) {
  // The older program did not write the marker: its first run here is a first start.
  std::string golden = ReadBytes(test::GoldenPath("Defult.ini"));
  std::string marker = "FirstStart=0\r\n";
  ASSERT_EQ(golden.substr(golden.size() - marker.size()), marker);
  std::string older = golden.substr(0, golden.size() - marker.size());
  Settings s = LoadFrom(older);
  EXPECT_TRUE(s.FirstStart);
  s.FirstStart = false;  // the first-start dialog has closed
  SaveSettings(dir.Dir(), s);
  EXPECT_EQ(ReadBytes(IniPath()), golden);
}

TEST_F(SettingsFile, InterruptedSaveLeavesTheOldFile) {
  std::string old = "[File]\r\nTime=1000\r\n";
  WriteBytes(IniPath(), old);
  SetBeforeRenameHookForTesting([](const std::string&) { throw StoreError("disk gone"); });
  EXPECT_THROW(SaveSettings(dir.Dir(), Settings{}), StoreError);
  SetBeforeRenameHookForTesting({});
  EXPECT_EQ(ReadBytes(IniPath()), old);
  EXPECT_EQ(test::EntryCount(dir.Dir()), 1);  // no temporary file left behind
}

}  // namespace
}  // namespace pelnor
