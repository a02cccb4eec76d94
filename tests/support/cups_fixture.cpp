#include "cups_fixture.h"

#include <cups/cups.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "files.h"

namespace pelnor::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(20);

// libcups remembers the server it first talked to; make it read CUPS_SERVER
// again (Qt's print plugin and the printing layer share this one libcups).
void ResetLibcupsServer() { cupsSetServer(nullptr); }

long JobNumber(const std::filesystem::path& job) {
  return std::strtol(job.filename().c_str(), nullptr, 10);
}

}  // namespace

std::string CupsFixture::MissingTools() {
  std::string missing;
  for (const char* tool : {"cupsd", "ippeveprinter", "dbus-daemon", "lpadmin"})
    if (FindTool(tool).empty()) missing += std::string(missing.empty() ? "" : " ") + tool;
  return missing;
}

CupsFixture::CupsFixture(const std::string& queue) : queue_(queue), dir_("pelnor-cups-") {
  printerPort_ = FreeLoopbackPort();
  cupsPort_ = FreeLoopbackPort();
  while (cupsPort_ == printerPort_) cupsPort_ = FreeLoopbackPort();
  WriteConfiguration();
  StartBus();
  StartPrinter();
  StartScheduler();
  Lpadmin({"-p", queue_, "-E", "-v",
           "ipp://localhost:" + std::to_string(printerPort_) + "/ipp/print", "-m", "everywhere"});
  Lpadmin({"-d", queue_});

  if (const char* previous = std::getenv("CUPS_SERVER")) savedServer_ = previous;
  setenv("CUPS_SERVER", Server().c_str(), 1);
  ResetLibcupsServer();
}

CupsFixture::~CupsFixture() {
  if (savedServer_) setenv("CUPS_SERVER", savedServer_->c_str(), 1);
  else unsetenv("CUPS_SERVER");
  ResetLibcupsServer();
  // Members stop in reverse order: cupsd, the printer, then the bus.
  cupsd_.reset();
  printer_.reset();
  bus_.reset();
}

std::string CupsFixture::Server() const { return "127.0.0.1:" + std::to_string(cupsPort_); }

std::filesystem::path CupsFixture::JobDir() const { return dir_.Path() / "jobs"; }

void CupsFixture::WriteConfiguration() {
  const std::filesystem::path root = dir_.Path();
  for (const char* sub : {"etc", "spool", "cache", "state", "log", "tmp", "jobs", "ipp-spool"}) {
    std::filesystem::create_directory(root / sub);
    chmod((root / sub).c_str(), 0755);
  }
  // Filters run as the "lp" user and need a writable temporary directory.
  chmod((root / "tmp").c_str(), 01777);

  // A private server open to anyone on loopback: no authentication, so the
  // tests can administer it without the system's certificates.
  WriteBytes(root / "etc" / "cupsd.conf",
            "Listen 127.0.0.1:" + std::to_string(cupsPort_) +
                "\n"
                "LogLevel info\nBrowsing Off\nDefaultAuthType None\nWebInterface No\n"
                "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  WriteBytes(root / "etc" / "cups-files.conf",
            "ServerRoot " + (root / "etc").string() + "\nRequestRoot " + (root / "spool").string() +
                "\nCacheDir " + (root / "cache").string() + "\nStateDir " +
                (root / "state").string() + "\nTempDir " + (root / "tmp").string() +
                "\nErrorLog " + (root / "log" / "error_log").string() + "\nAccessLog " +
                (root / "log" / "access_log").string() + "\nPageLog " +
                (root / "log" / "page_log").string() + "\n");

  // ippeveprinter runs this for every job with the job file as $1. The copy
  // appears under its final name only once complete.
  const std::string jobs = JobDir().string();
  WriteBytes(root / "keep-job",
            "#!/bin/sh\nset -e\nname=$(basename \"$1\")\n"
            "cp \"$1\" \"" + jobs + "/.$name.part\"\n"
            "mv \"" + jobs + "/.$name.part\" \"" + jobs + "/$name\"\n");
  chmod((root / "keep-job").c_str(), 0755);
}

void CupsFixture::StartBus() {
  const std::filesystem::path socket = dir_.Path() / "bus";
  bus_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{FindTool("dbus-daemon"), "--session", "--nofork", "--nopidfile",
                               "--address=unix:path=" + socket.string()},
      EnvironmentWith({}), dir_.Path() / "log" / "dbus.log");
  const auto deadline = Clock::now() + kStartTimeout;
  while (!std::filesystem::exists(socket)) {
    if (!bus_->Running() || Clock::now() > deadline) Fail("dbus-daemon did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void CupsFixture::StartPrinter() {
  // -n localhost: with 127.0.0.1 it gives up for want of an IPv6 listener.
  // -r off: no DNS-SD announcement (there is no Avahi), but it still needs
  // a D-Bus to start at all.
  printer_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{FindTool("ippeveprinter"), "-r", "off", "-n", "localhost", "-p",
                               std::to_string(printerPort_), "-f", "application/pdf", "-c",
                               (dir_.Path() / "keep-job").string(), "-d",
                               (dir_.Path() / "ipp-spool").string(), "Pelnor Test Printer"},
      EnvironmentWith({"DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + (dir_.Path() / "bus").string()}),
      dir_.Path() / "log" / "ippeveprinter.log");
  if (!WaitForPort(printerPort_, kStartTimeout) || !printer_->Running())
    Fail("ippeveprinter did not start");
}

void CupsFixture::StartScheduler() {
  const std::filesystem::path etc = dir_.Path() / "etc";
  cupsd_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{FindTool("cupsd"), "-f", "-c", (etc / "cupsd.conf").string(), "-s",
                               (etc / "cups-files.conf").string()},
      EnvironmentWith({}), dir_.Path() / "log" / "cupsd.log");
  if (!WaitForPort(cupsPort_, kStartTimeout) || !cupsd_->Running()) Fail("cupsd did not start");
}

std::vector<std::string> CupsFixture::ClientEnvironment() const {
  return EnvironmentWith({"CUPS_SERVER=" + Server()});
}

void CupsFixture::Lpadmin(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {FindTool("lpadmin")};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  if (RunCommand(argv, ClientEnvironment(), dir_.Path() / "log" / "lpadmin.log") != 0)
    Fail("lpadmin failed");
}

void CupsFixture::AddQueue(const std::string& name) {
  Lpadmin({"-p", name, "-E", "-v", "ipp://localhost:" + std::to_string(printerPort_) + "/ipp/print",
           "-m", "everywhere"});
}

std::vector<std::filesystem::path> CupsFixture::Jobs() const {
  std::vector<std::filesystem::path> jobs;
  for (const auto& entry : std::filesystem::directory_iterator(JobDir()))
    if (entry.path().filename().string().front() != '.') jobs.push_back(entry.path());
  std::sort(jobs.begin(), jobs.end(),
            [](const auto& a, const auto& b) { return JobNumber(a) < JobNumber(b); });
  return jobs;
}

std::vector<std::filesystem::path> CupsFixture::WaitForJobs(
    std::size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    std::vector<std::filesystem::path> jobs = Jobs();
    if (jobs.size() >= count) return jobs;
    if (Clock::now() > deadline)
      Fail("only " + std::to_string(jobs.size()) + " of " + std::to_string(count) +
           " print jobs arrived");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

std::string CupsFixture::Logs() const {
  std::string logs;
  for (const char* name : {"cupsd.log", "error_log", "lpadmin.log", "ippeveprinter.log", "dbus.log"}) {
    const std::filesystem::path path = dir_.Path() / "log" / name;
    if (std::filesystem::exists(path))
      logs += "--- " + std::string(name) + "\n" + ReadBytesIfExists(path) + "\n";
  }
  return logs;
}

void CupsFixture::Fail(const std::string& what) const {
  throw std::runtime_error("CUPS test printer chain: " + what + "\n" + Logs());
}

}  // namespace pelnor::test
