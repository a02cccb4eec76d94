#include "core/check/check_cycle.h"

#include <utility>

#include <cstdio>

#include "core/check/log_text.h"
#include "core/check/mailbox_check.h"
#include "core/check/program_ending.h"
#include "core/store/certificate_pins.h"
#include "core/text/sjis.h"

namespace pelnor {

// Step 5, on every way out of a cycle: tray and timer back, the cycle's
// objects released. Each step runs even when one before it fails.
class CheckCycle::CycleGuard {
 public:
  explicit CycleGuard(CheckCycle& cycle) : cycle_(cycle) { cycle_.running_ = true; }
  CycleGuard(const CycleGuard&) = delete;
  CycleGuard& operator=(const CycleGuard&) = delete;
  ~CycleGuard() {
    cycle_.Attempt([this] { cycle_.tray_.SetEnabled(true); });
    cycle_.Attempt([this] { cycle_.tray_.StopAnimation(); });
    cycle_.pop_.reset();
    cycle_.Attempt([this] { cycle_.timer_.SetEnabled(true); });
    cycle_.running_ = false;
  }

 private:
  CheckCycle& cycle_;
};

// Ends the POP3 session of an account that is left through an error. The
// error on its way out is the one worth reporting; a second one from QUIT
// on a broken connection would only hide it.
class CheckCycle::QuitGuard {
 public:
  explicit QuitGuard(Pop3Client& pop) : pop_(pop) {}
  QuitGuard(const QuitGuard&) = delete;
  QuitGuard& operator=(const QuitGuard&) = delete;
  ~QuitGuard() {
    if (done_) return;
    try {
      pop_.Quit();
    } catch (...) {
    }
  }
  void Quit() {
    done_ = true;
    pop_.Quit();
  }

 private:
  Pop3Client& pop_;
  bool done_ = false;
};

CheckCycle::CheckCycle(const AccountList& accounts, std::string programDir,
                         PrintCanvas& canvas, MessagePrinter& printer, CommLog& log,
                         CheckTray& tray, CheckTimer& timer, Pop3ClientFactory makePop)
    : accounts_(accounts),
      programDir_(std::move(programDir)),
      canvas_(canvas),
      printer_(printer),
      log_(log),
      tray_(tray),
      timer_(timer),
      makePop_(std::move(makePop)),
      clock_(&DefaultClock()) {}

void CheckCycle::OnCheckTimer() {
  // A tick let through by the pump of a running cycle must not touch its state.
  if (running_) return;
  RunCheckCycle();
  Session.Addresses.clear();
}

void CheckCycle::OnCheckNow() { OnCheckTimer(); }

void CheckCycle::RunCheckCycle() {
  if (running_) return;
  CycleGuard guard(*this);
  failing_.clear();
  try {
    StartCycle();
    // The dialogs may change the list while the pump runs; check the
    // accounts as they were when the cycle began.
    const std::vector<std::string> records = accounts_.Records();
    for (const std::string& record : records) CheckAccountLogged(record);
  } catch (const EProgramEnding&) {
    return;  // the program ends; what was half done is not recorded
  } catch (const std::exception& e) {
    ReportEscaped(e.what());
  } catch (...) {
    ReportEscaped("unknown error");
  }
  Attempt([this] { ShowResult(); });
}

void CheckCycle::StartCycle() {
  pop_ = makePop_();
  pop_->OnQuit = [this](Pop3Client& sender) { OnPop3Quit(sender); };
  pop_->OnError = [this](Pop3Client& sender, std::int32_t error, const std::string& msg) {
    OnPop3Error(sender, error, msg);
  };

  // The icon stays enabled: its menu, and "終了" in it, must work while a
  // slow server keeps the check waiting.
  timer_.SetEnabled(false);
  if (!tray_.Animating()) tray_.StartAnimation();
}

void CheckCycle::CheckAccountLogged(const std::string& record) {
  try {
    CheckAccount(record);
  } catch (const EProgramEnding&) {
    throw;
  } catch (const std::exception& e) {
    WriteException(e.what());
  }
}

void CheckCycle::CheckAccount(const std::string& record) {
  ReadSession(record, Session, canvas_);
  if (!Session.Enabled) return;
  // No dial-up networking here: the connection is there or it is not.
  Pop3Client& pop = *pop_;
  const ServerAddress server = ParseServerField(Session.Host);
  pop.SetServer(server, CertificatePin(programDir_, server), Session.User, Session.Password);
  QuitGuard session(pop);
  pop.Connect();
  if (pop.Failed()) {
    WriteError(ConnectFailureLogText(pop.LastConnectFailure(), pop.ConnectError()));
    return;
  }
  if (!pop.Login()) {
    WriteError(Sjis("ログインエラー"));
    return;
  }
  MailboxCheck mailbox(pop, Session, programDir_, printer_,
                       {[this](const std::string& text) { WriteError(text); },
                        [this](const std::string& text) { tray_.Notify(text); }});
  mailbox.Run();
  session.Quit();
}

void CheckCycle::OnPop3Error(Pop3Client&, std::int32_t, const std::string& Msg) {
  WriteError(Msg);
  tray_.SetEnabled(true);
  timer_.SetEnabled(true);
}

// Without a dial-up engine there is no connection to hang up, and nothing
// to wait for.
void CheckCycle::OnPop3Quit(Pop3Client&) {}

void CheckCycle::WriteError(const std::string& text) {
  failing_.emplace(Session.Alias, text);
  log_.WriteLog("[" + Session.Alias + "]" + text, lkError);
}

void CheckCycle::WriteException(const char* what) { WriteError(LogTextOf(what)); }

// "Pelnor 12:05 正常" or "Pelnor 12:05 エラー: a, b"; one notification for
// each account that worked in the cycle before and fails now.
void CheckCycle::ShowResult() {
  const DateTime now = clock_->Now();
  char time[16];
  std::snprintf(time, sizeof time, " %d:%02d ", now.Hour, now.Minute);
  std::string tip = "Pelnor" + std::string(time);
  if (failing_.empty()) {
    tip += Sjis("正常");
  } else {
    tip += Sjis("エラー: ");
    for (auto it = failing_.begin(); it != failing_.end(); ++it)
      tip += (it == failing_.begin() ? "" : ", ") + it->first;
  }
  tray_.SetTip(tip);
  for (const auto& [alias, error] : failing_)
    if (!failedBefore_.contains(alias)) tray_.Notify("[" + alias + "]" + error);
  failedBefore_ = failing_;
}

void CheckCycle::ReportEscaped(const std::string& text) noexcept {
  try {
    WriteException(text.c_str());
  } catch (...) {
    // The log itself is out of order; the notification still tells.
  }
  try {
    tray_.Notify(text);
  } catch (...) {
  }
}

void CheckCycle::Attempt(const std::function<void()>& step) noexcept {
  try {
    step();
  } catch (const std::exception& e) {
    ReportEscaped(e.what());
  } catch (...) {
    ReportEscaped("unknown error");
  }
}

}  // namespace pelnor
