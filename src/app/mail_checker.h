#pragma once

// The program without its desktop: the settings and the account list read
// at start and upgraded, the check timer with the check cycle, its printer
// and Log.txt, and the saves at every end. The desktop program puts the
// tray icon and the dialogs around it; the program without a desktop runs
// it as it is.

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/check/check_cycle.h"
#include "core/check/check_ports.h"
#include "core/check/comm_log.h"
#include "core/check/event_pump.h"
#include "core/check/message_printer.h"
#include "core/print/clock.h"
#include "core/print/print_canvas.h"
#include "core/store/account_list.h"
#include "core/store/settings.h"
#include "platform/qt_check_timer.h"

namespace pelnor {

class ProgramEndWatcher;

// A box switched on in the morning prints the night's mail at once, not
// one whole interval later.
inline constexpr std::chrono::milliseconds kFirstCheckDelay{10000};

// Reports take an exception's text: UTF-8, or Shift_JIS from the printer.
using FailureReport = std::function<void(const std::string& what)>;

// What the checker works with; everything outlives it.
struct MailCheckerServices {
  std::string ProgramDir;                 // ends in "/"
  PrintCanvas* Printer = nullptr;         // the one program-wide printer object
  CheckCycle::Pop3ClientFactory MakePop;  // a POP3 client per check cycle
  // The one event pump of the check; told when the program ends, so that
  // it throws EProgramEnding.
  EventPump* Pump = nullptr;
  // A step that failed and was passed over: a settings file that cannot be
  // read, an exception escaping a timed check.
  FailureReport ReportFailure;
  // A failure reported without waiting for anybody: the save at start-up.
  FailureReport ReportNotice;
  // Every line of the communication log (CommLog::OnEntry).
  std::function<void(const std::string& entry, int kind)> OnLogEntry;
  std::chrono::milliseconds FirstCheckDelay = kFirstCheckDelay;
};

class MailChecker {
 public:
  explicit MailChecker(MailCheckerServices services);
  ~MailChecker();
  MailChecker(const MailChecker&) = delete;
  MailChecker& operator=(const MailChecker&) = delete;

  // The tray the checks show themselves on (the desktop's icon); null, or
  // until called: none, the log tells. Not while a check runs.
  void ShowChecksOn(CheckTray* tray);

  // --- start-up, in the steps the desktop program puts its own between ------
  // Defult.ini, with the interval as the timer runs it.
  void ReadSettings();
  // User.inf, upgraded and saved with the version reached; the attachment
  // folder.
  void LoadAccounts();
  // The timer at the interval, its first tick soon after start.
  void StartTimer();
  // All three.
  void Start();

  // --- checks ----------------------------------------------------------------
  void OnCheckTimer();
  void OnCheckNow();
  // After every check OnCheckTimer and OnCheckNow ran (or passed over).
  std::function<void()> AfterCheck;
  // One check now. True when an account is enabled and every one was
  // checked to its end without an error line.
  bool CheckOnce();
  bool HasEnabledAccount() const;

  // --- ends --------------------------------------------------------------------
  // Ends the program: no more checks, a running one unwinds at its next
  // pump, the settings saved (a failure goes to `reportSaveFailure`), the
  // event loop told to end. Once; later calls do nothing.
  void EndProgram(const FailureReport& reportSaveFailure);
  // The desktop session or the event loop ends: the settings reach the
  // file, a failure goes to the standard error.
  void OnSessionEnding();
  bool Ending() const { return ending_; }
  // Signals end the program, a failed save reported on the standard error.
  void ConnectProgramEnds(ProgramEndWatcher& watcher);

  // --- what the dialogs edit ---------------------------------------------------
  const Settings& CurrentSettings() const { return settings_; }
  // Holds `settings` from now on; the margins print at once, the interval
  // counts from the timer's next arming.
  void SetSettings(const Settings& settings);
  // Writes Defult.ini from the settings held now; throws StoreError.
  void SaveSettingsFile();

  const std::string& ProgramDir() const { return services_.ProgramDir; }
  AccountList& Accounts() { return accounts_; }
  // Where attachments go when an account names no directory, and the
  // paper the account editor found last: the editor sets both.
  std::string& AttachDir() { return attachDir_; }
  const std::string& AttachDir() const { return attachDir_; }
  int& PaperIndex() { return paperIndex_; }
  int PaperIndex() const { return paperIndex_; }
  MessagePrinter& Printer() { return messagePrinter_; }
  QtCheckTimer& CheckTimer() { return checkTimer_; }
  CheckCycle& Cycle() { return *cycle_; }
  CommLog& Log() { return log_; }

 private:
  class SilentTray;

  void MakeCycle(CheckTray& tray);
  void MigrateAccounts();
  void LogEntry(const std::string& entry, int kind);
  // Runs a step; an exception escaping it is reported and passed over.
  bool Guarded(const std::function<void()>& step);

  MailCheckerServices services_;
  Settings settings_;
  AccountList accounts_;
  int paperIndex_ = 0;
  std::string attachDir_;
  bool ending_ = false;
  int errorEntries_ = 0;

  LocalClock clock_;
  CommLog log_;
  MessagePrinter messagePrinter_;
  QtCheckTimer checkTimer_;
  std::unique_ptr<SilentTray> silentTray_;
  std::unique_ptr<CheckCycle> cycle_;
};

}  // namespace pelnor
