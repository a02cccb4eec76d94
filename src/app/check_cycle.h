#pragma once

// The mail check: one cycle visits every account in list order, fetches
// every message of each enabled one, outputs the wanted messages not output
// before, and, when the account asks for it, deletes the retrieved messages
// on the server once they are out.
//
// A failure ends only what failed: an account that cannot be reached or
// refuses the login is logged and the next one checked; a fetch that breaks
// off outputs the mails fetched before it; a message whose output fails is
// logged and the next one printed. A message enters the history only once
// its job is complete, and is deleted on the server only then, so a failed
// or interrupted job prints it again next time. Nothing the cycle meets is
// shown in a dialog: errors go to the communication log, named by account;
// the tray's tip tells the last check's time and result, and an account
// that starts failing raises one notification.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/check_ports.h"
#include "app/check_session.h"
#include "app/clock.h"
#include "app/comm_log.h"
#include "app/print_canvas.h"
#include "app/print_layout.h"
#include "mime/VekMsg.h"
#include "store/account_list.h"

namespace pelnor {

class TCheckCycle {
 public:
  // A new POP3 client for each cycle.
  using TPopFactory = std::function<std::unique_ptr<TCheckPop>()>;

  // `programDir` ends in "/" and holds the output history files. The cycle
  // hooks `printer.WasOutput` up to the account's history.
  TCheckCycle(const AccountList& accounts, std::string programDir, TPrintCanvas& canvas,
              TMessagePrinter& printer, TCommLog& log, TCheckTray& tray, TCheckTimer& timer,
              TPopFactory makePop);
  TCheckCycle(const TCheckCycle&) = delete;
  TCheckCycle& operator=(const TCheckCycle&) = delete;

  // A tick of Timer1 and the tray menu's "ﾒｰﾙﾁｪｯｸ": one cycle, then the
  // filter addresses are emptied. Ignored while a cycle runs.
  void Timer1Timer();
  void N1Click();

  // One cycle over all accounts. Returns at once while another one runs
  // (the pump lets ticks and clicks through in the middle of a cycle).
  void RunCheckCycle();

  // The sender filter over the message at CurrentMessageIndex.
  bool IsWantedSender() const;

  void VekPOP1AfterRetrieve(TCheckPop& Sender);
  void VekPOP1Error(TCheckPop& Sender, std::int32_t Error, const std::string& Msg);
  void VekPOP1Quit(TCheckPop& Sender);

  bool Running() const { return running_; }

  // The clock of the tray tip; the system clock unless a test sets one.
  void SetClock(const TClock& clock) { clock_ = &clock; }

  // Session state: the account checked last stays here between cycles.
  TCheckSession Session;
  // Server number of the next message retrieved; set to 1 per account.
  std::uint16_t DeleteNumber = 1;
  int CurrentMessageIndex = 0;

 private:
  class TCycleGuard;
  class TQuitGuard;

  void StartCycle();
  // Logs whatever ends the account early, except the program's end.
  void CheckAccountLogged(const std::string& record);
  void CheckAccount(const std::string& record);
  void Retrieve(TCheckPop& pop);
  // One flag per message of the list: its output failed.
  std::vector<bool> OutputMessages();
  bool OutputMessage(const TVekMsg& msg);
  void DeleteRetrieved(TCheckPop& pop, const std::vector<bool>& failed);
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
  TPrintCanvas& canvas_;
  TMessagePrinter& printer_;
  TCommLog& log_;
  TCheckTray& tray_;
  TCheckTimer& timer_;
  TPopFactory makePop_;

  std::unique_ptr<TCheckPop> pop_;
  std::unique_ptr<TVekMsgList> list_;
  // Server numbers of the retrieved messages, in list order.
  std::vector<std::uint16_t> retrieved_;
  bool retrievalComplete_ = false;
  bool running_ = false;
  const TClock* clock_;
  // Accounts with an error in this cycle and in the one before, with the
  // first error of each (Shift_JIS).
  std::map<std::string, std::string> failing_;
  std::map<std::string, std::string> failedBefore_;
};

}  // namespace pelnor
