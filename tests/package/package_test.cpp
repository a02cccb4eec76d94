// The installed Debian package: its files where the system looks for them,
// and /usr/bin/pelnor --check-once against Dovecot on 127.0.0.1:110 and a
// private CUPS, keeping its files under a temporary $XDG_CONFIG_HOME. Run by
// tests/package/run after `dpkg -i`; it fails, never skips, when something
// is missing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/store/digit_codec.h"
#include "core/text/sjis.h"
#include "support/cups_fixture.h"
#include "support/dovecot_fixture.h"
#include "support/files.h"
#include "support/pdf_probe.h"
#include "support/temp_dir.h"
#include "support/test_mails.h"
#include "support/test_process.h"

namespace pelnor::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

const fs::path kExecutable = "/usr/bin/pelnor";

std::vector<std::string> NamesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  return names;
}

// A tool's verdict on a file: its exit status and what it said.
std::pair<int, std::string> Judge(const std::vector<std::string>& argv, const fs::path& log) {
  const int status = RunCommand(argv, EnvironmentWith({}), log);
  return {status, ReadBytesIfExists(log)};
}

TEST(Package, PutsItsFilesWhereTheSystemLooksForThem) {
  for (const char* path :
       {"/usr/bin/pelnor", "/usr/share/pelnor/pelnor.html", "/usr/share/applications/pelnor.desktop",
        "/usr/share/icons/hicolor/scalable/apps/pelnor.svg",
        "/usr/share/icons/hicolor/16x16/apps/pelnor.png",
        "/usr/share/icons/hicolor/48x48/apps/pelnor.png", "/usr/lib/systemd/system/pelnor.service",
        "/usr/lib/systemd/user/pelnor.service"})
    EXPECT_TRUE(fs::is_regular_file(path)) << path;
  TempDir temp("pelnor-package-");
  const auto [valid, said] = Judge({"desktop-file-validate", "/usr/share/applications/pelnor.desktop"},
                                   temp.Path() / "validate.txt");
  EXPECT_EQ(valid, 0) << said;
  EXPECT_EQ(said, "");
  for (const char* unit : {"/usr/lib/systemd/system/pelnor.service", "/usr/lib/systemd/user/pelnor.service"}) {
    const auto [status, output] = Judge({"systemd-analyze", "verify", unit}, temp.Path() / "verify.txt");
    EXPECT_EQ(status, 0) << unit << "\n" << output;
  }
}

class InstalledCheckOnce : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::geteuid(), 0) << "the package test needs root for port 110";
    ASSERT_TRUE(fs::exists(kExecutable)) << "the package is not installed";
    ASSERT_FALSE(DovecotServer::BinaryPath().empty()) << "dovecot is not installed";
    ASSERT_EQ(CupsFixture::MissingTools(), "");
    ASSERT_TRUE(HavePopplerTools());
    cups_ = std::make_unique<CupsFixture>("pelnor-package");
    dovecot_.SetPort(110);
    dovecot_.AddUser("taro", "secret");
    dovecot_.Start();
    for (const char* dir : {"home", "config", "run", "tmp"}) fs::create_directory(base_.Path() / dir);
    fs::permissions(base_.Path() / "run", fs::perms::owner_all, fs::perm_options::replace);
  }

  fs::path Files() const { return base_.Path() / "config" / "pelnor"; }

  // The installed program as a script or a monitor runs it: no display.
  int CheckOnce() {
    const std::vector<std::string> env = EnvironmentWithout(
        EnvironmentWith({"HOME=" + (base_.Path() / "home").string(),
                         "XDG_CONFIG_HOME=" + (base_.Path() / "config").string(),
                         "XDG_RUNTIME_DIR=" + (base_.Path() / "run").string(),
                         "TMPDIR=" + (base_.Path() / "tmp").string()}),
        {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    ChildProcess program({kExecutable.string(), "--check-once"}, env, base_.Path() / "out.txt",
                         base_.Path() / "err.txt");
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (program.Running() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(100ms);
    return program.Wait();
  }

  std::string Output() const {
    return "\n--- stdout ---\n" + ReadBytesIfExists(base_.Path() / "out.txt") + "\n--- stderr ---\n" +
           ReadBytesIfExists(base_.Path() / "err.txt") + "\n--- dovecot ---\n" + dovecot_.LogText();
  }

  std::unique_ptr<CupsFixture> cups_;
  DovecotServer dovecot_;
  TempDir base_{"pelnor-package-"};
};

TEST_F(InstalledCheckOnce, KeepsItsFilesInTheConfigurationFolderAndTellsTheResult) {
  // A first run has nothing to check: it fails, having made its folder.
  EXPECT_EQ(CheckOnce(), 1) << Output();
  ASSERT_TRUE(fs::is_directory(Files())) << Output();
  EXPECT_EQ(fs::status(Files()).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_THAT(NamesIn(Files()), UnorderedElementsAre("Defult.ini"));
  EXPECT_THAT(ReadBytesIfExists(base_.Path() / "err.txt"), HasSubstr("no enabled account"));

  // The accounts copied in from a desktop: the mail is printed.
  WriteBytes(Files() / "User.inf",
             EncodeDigits(Sjis("会社|1|127.0.0.1|taro|secret|99|0|IPAGothic|[]|10|1||1|1|0")) +
                 "\r\n");
  WriteBytes(Files() / "Defult.ini",
             "[Config]\r\nCH2=1\r\n[System]\r\nFirstStart=0\r\nversion=1.7\r\n");
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "本日の注文", {"本文"}));
  EXPECT_EQ(CheckOnce(), 0) << Output();
  const std::vector<fs::path> jobs = cups_->WaitForJobs(1);
  EXPECT_THAT(PdfToText(jobs.front()), HasSubstr("本日の注文"));
  EXPECT_THAT(NamesIn(Files()), UnorderedElementsAre("Defult.ini", "User.inf", "Log.txt",
                                                     "会社.dat", "会社.uidl"));
  EXPECT_THAT(SjisToUtf8(ReadBytes(Files() / "Log.txt")), HasSubstr("[会社]山田太郎"));
  // Nothing beside the executable, in the home or left in the temporary folder.
  EXPECT_THAT(NamesIn("/usr/bin"), ::testing::Not(::testing::Contains("Defult.ini")));
  EXPECT_TRUE(fs::is_empty(base_.Path() / "home"));
  EXPECT_TRUE(fs::is_empty(base_.Path() / "tmp"));

  // A server that cannot be reached fails the run.
  WriteBytes(Files() / "User.inf",
             EncodeDigits("broken|1|127.0.0.2|taro|secret|99|0|IPAGothic|[]|10|1||1|1|0") + "\r\n");
  EXPECT_EQ(CheckOnce(), 1) << Output();
  EXPECT_THAT(ReadBytesIfExists(base_.Path() / "err.txt"), HasSubstr("[broken]接続エラー"));
  EXPECT_EQ(cups_->Jobs().size(), 1u);
}

}  // namespace
}  // namespace pelnor::test
