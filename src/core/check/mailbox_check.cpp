#include "core/check/mailbox_check.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "core/check/check_session.h"
#include "core/check/comm_log.h"
#include "core/check/fault_point.h"
#include "core/check/log_text.h"
#include "core/check/message_identity.h"
#include "core/check/program_ending.h"

namespace pelnor {

// Unique-ids are unique on their own server only.
std::string UidlMailboxOf(const Account& account) { return account.User + "@" + account.Host; }

MailboxCheck::MailboxCheck(Pop3Client& pop, const Account& account, std::string programDir,
                           MessagePrinter& printer, Reports reports)
    : pop_(pop),
      account_(account),
      dir_(std::move(programDir)),
      printer_(printer),
      reports_(std::move(reports)) {}

void MailboxCheck::Run() {
  pop_.Stat();
  const std::uint32_t count = pop_.MessageCount();
  if (!pop_.Connected() || count == 0) return;
  history_.emplace(dir_, account_.Alias);
  pending_.emplace(dir_, account_.Alias);
  const std::optional<std::vector<UidlEntry>> listing = pop_.ListUniqueIds();
  if (!pop_.Connected()) return;
  const bool complete = listing && IsCompleteListing(*listing, count)
                            ? CheckByUniqueIds(*listing)
                            : CheckEveryMail(count);
  // A pending mail this check did not meet was recorded before the crash,
  // or has left the server.
  if (complete) pending_->KeepOnly(met_);
}

bool MailboxCheck::CheckByUniqueIds(const std::vector<UidlEntry>& listing) {
  uids_.emplace(dir_, account_.Alias, UidlMailboxOf(account_));
  std::vector<std::string_view> listed;
  listed.reserve(listing.size());
  UidOf uidOf(listing.size() + 1, nullptr);
  for (const UidlEntry& entry : listing) {
    listed.push_back(entry.Uid);
    uidOf[entry.Number] = &entry.Uid;
  }
  uids_->KeepOnly(listed);

  std::vector<std::uint32_t> fresh, handled;
  for (std::uint32_t n = 1; n < uidOf.size(); ++n)
    (uids_->Handled(*uidOf[n]) ? handled : fresh).push_back(n);
  bool complete = true;
  if (!account_.ReceiveAll) fresh = WantedByHeader(fresh, uidOf, complete);
  complete = Fetch(fresh, false,
                   [&](std::uint32_t n, const MailMessage& msg) {
                     HandleMail(n, uidOf[n], msg, MessageIdentity(msg));
                   }) &&
             complete;
  // Handled before, but still there: a session that ended before QUIT did
  // not delete it. Last, so a server that refuses DELE holds up no new mail.
  for (std::uint32_t n : handled) Delete(n);
  if (!complete) return false;
  // Every mail on the server is now known by its id: the history needs
  // only the identities of those printed.
  std::vector<std::string> printed;
  for (std::uint32_t n = 1; n < uidOf.size(); ++n)
    if (const std::string& id = uids_->IdentityOf(*uidOf[n]); !id.empty()) printed.push_back(id);
  history_->Prune(printed);
  return true;
}

bool MailboxCheck::CheckEveryMail(std::uint32_t count) {
  std::vector<std::uint32_t> numbers(count);
  std::iota(numbers.begin(), numbers.end(), 1u);
  std::vector<std::string> serverIds;
  const bool complete = Fetch(numbers, false, [&](std::uint32_t n, const MailMessage& msg) {
    serverIds.push_back(MessageIdentity(msg));
    HandleMail(n, nullptr, msg, serverIds.back());
  });
  // After a fetch that stopped early the identities lack mails still on
  // the server; pruning by them would print those again.
  if (complete) history_->Prune(serverIds);
  return complete;
}

std::vector<std::uint32_t> MailboxCheck::WantedByHeader(const std::vector<std::uint32_t>& fresh,
                                                        const UidOf& uidOf, bool& complete) {
  std::vector<std::uint32_t> wanted;
  complete = Fetch(fresh, true, [&](std::uint32_t n, const MailMessage& header) {
    if (IsWantedSender(account_, header.From))
      wanted.push_back(n);
    else
      Skip(n, uidOf[n]);
  });
  return wanted;
}

void MailboxCheck::HandleMail(std::uint32_t number, const std::string* uid,
                              const MailMessage& msg, const std::string& id) {
  met_.insert(id);
  if (!IsWantedSender(account_, msg.From)) {
    Skip(number, uid);
    return;
  }
  if (!history_->Contains(id) && !Output(msg, id)) return;  // left for the next check
  if (uid) {
    uids_->Record(*uid, id);
    PELNOR_FAULT_POINT("unique-id recorded");
  }
  pending_->Remove(id);
  PELNOR_FAULT_POINT("pending removed");
  Delete(number);
}

void MailboxCheck::Skip(std::uint32_t number, const std::string* uid) {
  if (uid) uids_->Record(*uid, "");
  Delete(number);
}

// False when the output failed; the failure is logged, the job already
// ended by the printer, and the mail left to the next check.
bool MailboxCheck::Output(const MailMessage& msg, const std::string& id) {
  const bool reprint = pending_->Holds(id);
  pending_->Add(id);
  PELNOR_FAULT_POINT("pending added");
  try {
    printer_.PrintMessage(msg, account_, reprint);
  } catch (const ELogError& e) {
    // Only the log line is lost: the job was complete before it.
    reports_.Notice(e.what());
  } catch (const EProgramEnding&) {
    if (!reprint) ForgetPending(id);
    throw;
  } catch (const std::exception& e) {
    // The job is known not to have come out; a reprint's entry stays, for
    // the printout before the crash may have.
    if (!reprint) ForgetPending(id);
    reports_.Error(MessageLogText(msg) + " " + LogTextOf(e.what()));
    return false;
  }
  PELNOR_FAULT_POINT("printed");
  history_->Record(id);
  PELNOR_FAULT_POINT("history recorded");
  return true;
}

// A pending entry that cannot be taken back makes the next printout of the
// mail say "（再出力）" without need; the error that ended its job is the
// one to pass on.
void MailboxCheck::ForgetPending(const std::string& id) noexcept {
  try {
    pending_->Remove(id);
  } catch (const std::exception& e) {
    try {
      reports_.Error(LogTextOf(e.what()));
    } catch (...) {
      // The log is out of order too; the job's own error still goes on.
    }
  }
}

void MailboxCheck::Delete(std::uint32_t number) {
  // A refusal (of a fetch or a DELE) closed the session: nothing more is
  // deleted then.
  if (!account_.DeleteOnServer || !pop_.Connected()) return;
  pop_.DeleteMessage(number);
  PELNOR_FAULT_POINT("deleted");
}

bool MailboxCheck::Fetch(const std::vector<std::uint32_t>& numbers, bool headersOnly,
                         const Pop3Client::MessageHandler& handle) {
  if (!pop_.Connected()) return false;
  if (numbers.empty()) return true;
  const std::int32_t handed = pop_.RetrieveEach(numbers, headersOnly, handle);
  return static_cast<std::size_t>(handed) == numbers.size() && pop_.Connected();
}

}  // namespace pelnor
