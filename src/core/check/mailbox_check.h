#pragma once

// The mail of one account on an open, logged-in POP3 session: each new mail
// is fetched, filtered, printed, recorded and, when the account asks for
// it, deleted, one after the other, so memory holds the mail in hand and
// at most one fetched ahead, not the mailbox.
//
// A server that answers UIDL is asked once for its unique-ids, and only
// mail whose id the account's UidlStore does not know is fetched: with the
// sender filter on, its header first (TOP n 0), and whole (RETR) only when
// the filter wants it. A mail whose id is known is left alone, or deleted
// when the account deletes and it is still there. The history of
// identities still decides what was printed, so a mail printed before the
// ids were kept, or whose id changed, is recorded and not printed again.
// Without UIDL every mail is fetched and the history alone decides.
//
// A printed mail passes through these steps, each of which a crash may
// end: a pending entry, the job, the history, the unique-id, the pending
// entry removed, DELE. A pending entry found when its mail comes up again
// prints it with "（再出力）" after the title.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/check/check_ports.h"
#include "core/check/message_printer.h"
#include "core/mime/mail_message.h"
#include "core/store/account.h"
#include "core/store/output_history.h"
#include "core/store/pending_output.h"
#include "core/store/uidl_store.h"

namespace pelnor {

// The mailbox an account's UidlStore belongs to: its user at its server.
std::string UidlMailboxOf(const Account& account);

class MailboxCheck {
 public:
  struct Reports {
    // A log line of kind 2 for the account (Shift_JIS).
    std::function<void(const std::string& text)> Error;
    // The log could not be written: said at the tray instead.
    std::function<void(const std::string& text)> Notice;
  };

  // `programDir` ends in "/" and holds the account's files.
  MailboxCheck(Pop3Client& pop, const Account& account, std::string programDir,
               MessagePrinter& printer, Reports reports);
  MailboxCheck(const MailboxCheck&) = delete;
  MailboxCheck& operator=(const MailboxCheck&) = delete;

  // STAT, UIDL, then the mail as above. A mail whose output fails is
  // reported and left for the next check; what breaks the session (and
  // StoreError, EProgramEnding) passes through, with every mail handled
  // before it output and recorded.
  void Run();

 private:
  using UidOf = std::vector<const std::string*>;  // by message number

  bool CheckByUniqueIds(const std::vector<UidlEntry>& listing);
  bool CheckEveryMail(std::uint32_t count);
  std::vector<std::uint32_t> WantedByHeader(const std::vector<std::uint32_t>& fresh,
                                            const UidOf& uidOf, bool& complete);
  void HandleMail(std::uint32_t number, const std::string* uid, const MailMessage& msg,
                  const std::string& id);
  void Skip(std::uint32_t number, const std::string* uid);
  bool Output(const MailMessage& msg, const std::string& id);
  void ForgetPending(const std::string& id) noexcept;
  void Delete(std::uint32_t number);
  // True when every message was handed over and the session still stands.
  bool Fetch(const std::vector<std::uint32_t>& numbers, bool headersOnly,
             const Pop3Client::MessageHandler& handle);

  Pop3Client& pop_;
  const Account& account_;
  std::string dir_;
  MessagePrinter& printer_;
  Reports reports_;
  std::optional<OutputHistory> history_;
  std::optional<PendingOutput> pending_;
  std::optional<UidlStore> uids_;
  std::unordered_set<std::string> met_;  // identities of the mails fetched whole
};

}  // namespace pelnor
