#include "app/mail_checker.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <exception>
#include <utility>

#include "core/check/check_session.h"
#include "core/check/log_text.h"
#include "core/check/pop3_check_client.h"
#include "core/store/account.h"
#include "core/store/account_store.h"
#include "core/store/migration.h"
#include "core/store/program_files.h"
#include "core/store/settings_rules.h"
#include "core/text/sjis.h"
#include "platform/program_end_watcher.h"

namespace pelnor {
namespace {

void WarnSaveFailed(const std::string& what) {
  qWarning("Defult.ini: %s", AnyTextToUtf8(what).c_str());
}

}  // namespace

// The checks of a program without a desktop: nothing to show them on but
// the log, whose lines are copied wherever they must go (OnLogEntry); a
// notification only repeats such a line.
class MailChecker::SilentTray : public CheckTray {
 public:
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool value) override { enabled_ = value; }
  bool Animating() const override { return animating_; }
  void StartAnimation() override { animating_ = true; }
  void StopAnimation() override { animating_ = false; }
  void Notify(const std::string&) override {}
  void SetTip(const std::string&) override {}

 private:
  bool enabled_ = true;
  bool animating_ = false;
};

MailChecker::MailChecker(MailCheckerServices services)
    : services_(std::move(services)),
      log_(services_.ProgramDir + kLogFileName, clock_, [this] { return settings_.LogEnabled; }),
      messagePrinter_(*services_.Printer, log_, clock_, services_.ProgramDir),
      silentTray_(std::make_unique<SilentTray>()) {
  // A long printout lets the tray and the program's end through too.
  if (services_.Pump) messagePrinter_.OnProgress = services_.Pump->Callback();
  log_.OnWriteError = [](const std::string& message) {
    qWarning("Log.txt: %s", message.c_str());
  };
  log_.OnEntry = [this](const std::string& entry, int kind) { LogEntry(entry, kind); };
  if (!services_.MakePop)
    services_.MakePop = [] { return std::make_unique<Pop3SessionClient>(nullptr); };
  MakeCycle(*silentTray_);
  checkTimer_.OnTimer = [this] { Guarded([this] { OnCheckTimer(); }); };
}

MailChecker::~MailChecker() { checkTimer_.SetEnabled(false); }

void MailChecker::ShowChecksOn(CheckTray* tray) { MakeCycle(tray ? *tray : *silentTray_); }

void MailChecker::MakeCycle(CheckTray& tray) {
  cycle_.reset();
  cycle_ = std::make_unique<CheckCycle>(accounts_, services_.ProgramDir, *services_.Printer,
                                        messagePrinter_, log_, tray, checkTimer_,
                                        services_.MakePop);
}

void MailChecker::LogEntry(const std::string& entry, int kind) {
  if (kind != lkOutput) ++errorEntries_;
  if (services_.OnLogEntry) services_.OnLogEntry(entry, kind);
}

// --- start-up ---------------------------------------------------------------

void MailChecker::ReadSettings() {
  Settings stored;
  Guarded([&] { stored = LoadSettings(services_.ProgramDir); });
  stored.CheckInterval = TimedCheckInterval(stored.CheckInterval);
  // One option of a group is on at most, and the direct connection counts
  // first; each option's own state is written back at the end.
  if (stored.DirectConnection) stored.UseProxy = false;
  SetSettings(stored);
}

void MailChecker::LoadAccounts() {
  Guarded([this] { pelnor::LoadAccounts(services_.ProgramDir, accounts_); });
  MigrateAccounts();
  // The upgraded version reaches the file now: a tray program is seldom
  // ended through its menu, and the next start must not upgrade again.
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    if (services_.ReportNotice) services_.ReportNotice(e.what());
  }
  attachDir_ = AttachmentFolderPath(services_.ProgramDir);
}

// The paper a record upgraded to 1.7 gets is the current one of the
// printer selected at start-up, the system's default.
void MailChecker::MigrateAccounts() {
  auto currentPaper = [this](int& paperIndex) {
    try {
      if (std::optional<int> found = CurrentPaperIndex(*services_.Printer)) paperIndex = *found;
    } catch (const std::exception& e) {
      // No printer to ask: every record keeps the paper index it has.
      qWarning("paper list: %s", AnyTextToUtf8(e.what()).c_str());
    }
  };
  Guarded([&] {
    pelnor::MigrateAccounts(services_.ProgramDir, settings_.SettingsVersion, accounts_,
                            paperIndex_, currentPaper);
  });
}

void MailChecker::StartTimer() {
  checkTimer_.SetInterval(settings_.CheckInterval);
  checkTimer_.SetEnabled(true);
  checkTimer_.TickSoon(services_.FirstCheckDelay);
}

void MailChecker::Start() {
  ReadSettings();
  LoadAccounts();
  StartTimer();
}

// --- checks -------------------------------------------------------------------

void MailChecker::OnCheckTimer() {
  cycle_->OnCheckTimer();
  if (AfterCheck) AfterCheck();
}

void MailChecker::OnCheckNow() {
  cycle_->OnCheckNow();
  if (AfterCheck) AfterCheck();
}

bool MailChecker::CheckOnce() {
  const int errorsBefore = errorEntries_;
  const bool ran = Guarded([this] { cycle_->OnCheckNow(); });
  return ran && !ending_ && errorEntries_ == errorsBefore && HasEnabledAccount();
}

bool MailChecker::HasEnabledAccount() const {
  for (const std::string& record : accounts_.Records())
    if (Account::FromRecord(record).Enabled) return true;
  return false;
}

// --- ends ---------------------------------------------------------------------

void MailChecker::EndProgram(const FailureReport& reportSaveFailure) {
  if (ending_) return;
  ending_ = true;
  checkTimer_.SetEnabled(false);
  if (services_.Pump != nullptr) services_.Pump->MarkEnding();
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    if (reportSaveFailure) reportSaveFailure(e.what());
  }
  // A check running under us unwinds at its next pump; the event loop then
  // ends, wherever it is nested.
  QCoreApplication::exit(0);
}

void MailChecker::OnSessionEnding() {
  if (ending_) return;  // saved on the way out already
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    WarnSaveFailed(e.what());
  }
}

void MailChecker::ConnectProgramEnds(ProgramEndWatcher& watcher) {
  watcher.OnEnd = [this](int) { EndProgram(WarnSaveFailed); };
  watcher.OnSessionEnd = [this] { OnSessionEnding(); };
}

// --- settings -------------------------------------------------------------------

void MailChecker::SetSettings(const Settings& settings) {
  settings_ = settings;
  messagePrinter_.Margins = {settings_.MarginLeft, settings_.MarginTop, settings_.MarginRight,
                             settings_.MarginBottom};
}

void MailChecker::SaveSettingsFile() { SaveSettings(services_.ProgramDir, settings_); }

bool MailChecker::Guarded(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    if (services_.ReportFailure) services_.ReportFailure(e.what());
    return false;
  }
}

}  // namespace pelnor
