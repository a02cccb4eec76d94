#pragma once

// The mail check: one cycle visits every account in list order, fetches
// the new mail of each enabled one, outputs the wanted messages not output
// before, and, when the account asks for it, deletes them on the server
// once they are out (MailboxCheck: one mail at a time, only what the
// server's unique-ids do not show as seen).
//
// A failure ends only what failed: an account that cannot be reached or
// refuses the login is logged and the next one checked; a fetch that breaks
// off has output the mails fetched before it; a message whose output fails
// is logged and the next one printed. A message enters the history only
// once its job is complete, and is deleted on the server only then, so a
// failed or interrupted job prints it again next time. Nothing the cycle meets is
// shown in a dialog: errors go to the communication log, named by account;
// the tray's tip tells the last check's time and result, and an account
// that starts failing raises one notification.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/check/check_ports.h"
#include "core/check/check_session.h"
#include "core/print/clock.h"
#include "core/check/comm_log.h"
#include "core/print/print_canvas.h"
#include "core/check/message_printer.h"
#include "core/mime/mail_message.h"
#include "core/store/account.h"
#include "core/store/account_list.h"

namespace pelnor {

class CheckCycle {
 public:
  // A new POP3 client for each cycle.
  using Pop3ClientFactory = std::function<std::unique_ptr<Pop3Client>()>;

  // `programDir` ends in "/" and holds the accounts' history, unique-id
  // and pending files.
  CheckCycle(const AccountList& accounts, std::string programDir, PrintCanvas& canvas,
              MessagePrinter& printer, CommLog& log, CheckTray& tray, CheckTimer& timer,
              Pop3ClientFactory makePop);
  CheckCycle(const CheckCycle&) = delete;
  CheckCycle& operator=(const CheckCycle&) = delete;

  // A tick of the check timer and the tray menu's "ﾒｰﾙﾁｪｯｸ": one cycle,
  // then the receiving addresses are emptied. Ignored while a cycle runs.
  void OnCheckTimer();
  void OnCheckNow();

  // One cycle over all accounts. Returns at once while another one runs
  // (the pump lets ticks and clicks through in the middle of a cycle).
  void RunCheckCycle();

  void OnPop3Error(Pop3Client& Sender, std::int32_t Error, const std::string& Msg);
  void OnPop3Quit(Pop3Client& Sender);

  bool Running() const { return running_; }

  // The clock of the tray tip; the system clock unless a test sets one.
  void SetClock(const Clock& clock) { clock_ = &clock; }

  // Session state: the account checked last stays here between cycles.
  Account Session;

 private:
  class CycleGuard;
  class QuitGuard;

  void StartCycle();
  // Logs whatever ends the account early, except the program's end.
  void CheckAccountLogged(const std::string& record);
  void CheckAccount(const std::string& record);
  // A log line of kind 2 for the account being checked. `text` is
  // Shift_JIS (a server's reply, a fixed text).
  void WriteError(const std::string& text);
  // The same for an exception's text, which is UTF-8 or ASCII.
  void WriteException(const char* what);
  void ShowResult();
  void ReportEscaped(const std::string& text) noexcept;
  void Attempt(const std::function<void()>& step) noexcept;

  const AccountList& accounts_;
  std::string programDir_;
  PrintCanvas& canvas_;
  MessagePrinter& printer_;
  CommLog& log_;
  CheckTray& tray_;
  CheckTimer& timer_;
  Pop3ClientFactory makePop_;

  std::unique_ptr<Pop3Client> pop_;
  bool running_ = false;
  const Clock* clock_;
  // Accounts with an error in this cycle and in the one before, with the
  // first error of each (Shift_JIS).
  std::map<std::string, std::string> failing_;
  std::map<std::string, std::string> failedBefore_;
};

}  // namespace pelnor
