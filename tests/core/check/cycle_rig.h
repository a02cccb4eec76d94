#pragma once

// One check cycle wired to the real parts for the integration tests: the
// POP3 client on a Dovecot port, the Qt printer with its built-in PDF
// printer in a private program directory, the real log and history files.
// Tray and timer are the recording stand-ins.

#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/check/check_cycle.h"
#include "core/check/pop3_check_client.h"
#include "check_cycle_fakes.h"
#include "log_lines.h"
#include "platform/qt_printer.h"
#include "core/text/sjis.h"

namespace pelnor::test {

class CycleRig {
 public:
  CycleRig(std::filesystem::path programDir, int pop3Port)
      : dir_(std::move(programDir)), port_(pop3Port) {}

  // The record of an account on the Dovecot user taro, printing on
  // `printer` (an index of the printer list) on A4.
  std::string Record(const std::string& aliasUtf8, int printer,
                     const std::filesystem::path& attachDir) {
    canvas_.SelectPrinter(printer);
    canvas_.ResetDeviceMode();
    std::vector<std::uint16_t> codes = canvas_.PaperCodes();
    int a4 = -1;
    for (std::size_t i = 0; i < codes.size(); ++i)
      if (codes[i] == 9) a4 = static_cast<int>(i);
    return Sjis(aliasUtf8) + "|1|127.0.0.1|taro|secret|" + std::to_string(printer) + "|" +
           std::to_string(a4) + "|IPAGothic|[]|10|0|" + attachDir.string() + "/|0|1|0";
  }

  QtPrinter& Canvas() { return canvas_; }
  AccountList& Accounts() { return accounts_; }
  CheckCycle& Cycle() { return cycle_; }
  FakeTray& Tray() { return tray_; }

  // Log lines in UTF-8, without their time stamps.
  std::vector<std::string> LogLines() const { return LogLinesOf(dir_ / "Log.txt"); }

  std::vector<std::filesystem::path> PdfFiles() const {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::exists(dir_ / "PDF"))
      for (const auto& entry : std::filesystem::directory_iterator(dir_ / "PDF"))
        files.push_back(entry.path());
    return files;
  }

 private:
  std::filesystem::path dir_;
  int port_;
  LocalClock clock_;
  CommLog log_{dir_ / "Log.txt", clock_, [] { return true; }};
  QtPrinter canvas_{dir_};
  MessagePrinter printer_{canvas_, log_, clock_, dir_};
  AccountList accounts_;
  FakeTray tray_;
  FakeTimer timer_;
  CheckCycle cycle_{accounts_, dir_.string() + "/", canvas_, printer_, log_, tray_, timer_, [this] {
                       return std::make_unique<Pop3SessionClient>(
                           [] { QCoreApplication::processEvents(); }, std::to_string(port_));
                     }};
};

}  // namespace pelnor::test
