#pragma once

// A private CUPS print system for integration tests, all on loopback:
//   dbus-daemon (private bus, ippeveprinter needs one to start)
//   ippeveprinter accepting PDF and keeping every job as a file
//   cupsd on 127.0.0.1 with its own configuration, spool and logs
//   one queue (IPP Everywhere) ending in that printer, set as default.
// Construction points this process at the private server (CUPS_SERVER), so
// QPrinterInfo and QPrinter see exactly that queue; destruction stops what it
// started, by PID, and restores the previous setting.
//
//   if (auto missing = CupsFixture::MissingTools(); !missing.empty())
//     GTEST_SKIP() << "CUPS test printer chain not installed: " << missing;
//   CupsFixture cups;
//   ... print on cups.Queue() ...
//   auto jobs = cups.WaitForJobs(1);
//   EXPECT_THAT(PdfToText(jobs[0]), HasSubstr("..."));

#include "test_process.h"
#include "temp_dir.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelnor::test {

class CupsFixture {
 public:
  // The missing programs, blank-separated; empty when the chain can run.
  static std::string MissingTools();

  // Starts everything and creates `queue` as the default printer. Throws
  // std::runtime_error, with the daemons' logs, when any step fails.
  explicit CupsFixture(const std::string& queue = "pelnor-test");
  ~CupsFixture();
  CupsFixture(const CupsFixture&) = delete;
  CupsFixture& operator=(const CupsFixture&) = delete;

  const std::string& Queue() const { return queue_; }
  std::string Server() const;  // "127.0.0.1:port", the value of CUPS_SERVER
  // One more queue on the same printer (not the default).
  void AddQueue(const std::string& name);

  std::filesystem::path JobDir() const;
  // Kept job files ("<job id>-<job name>.pdf"), in job order.
  std::vector<std::filesystem::path> Jobs() const;
  // Waits until `count` jobs are kept; returns them all. Throws on time-out.
  std::vector<std::filesystem::path> WaitForJobs(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

  // The daemons' logs, for failure messages.
  std::string Logs() const;

 private:
  void WriteConfiguration();
  void StartBus();
  void StartPrinter();
  void StartScheduler();
  void Lpadmin(const std::vector<std::string>& arguments);
  std::vector<std::string> ClientEnvironment() const;
  [[noreturn]] void Fail(const std::string& what) const;

  std::string queue_;
  TempDir dir_;
  int printerPort_ = 0;
  int cupsPort_ = 0;
  std::optional<std::string> savedServer_;
  std::unique_ptr<ChildProcess> bus_;
  std::unique_ptr<ChildProcess> printer_;
  std::unique_ptr<ChildProcess> cupsd_;
};

}  // namespace pelnor::test
