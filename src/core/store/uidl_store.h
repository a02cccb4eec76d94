#pragma once

// The mails of one account already handled on its server, by their POP3
// unique-id (UIDL): printed (now or before), or skipped by the sender
// filter. A check fetches only mail whose unique-id is not here, so a
// mailbox kept on the server costs a listing, not a download.
//
// "<dir><alias>.uidl" beside the history, digit-coded lines like it,
// readable by the owner only. The first line names the mailbox (server and
// user); each further line is a unique-id, followed by a space and the
// mail's identity in the history when the mail was printed. A unique-id is
// unique only on its own server, so a file kept for another mailbox counts
// as empty and is replaced at the first change.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/store/digit_file.h"

namespace pelnor {

class UidlStore {
 public:
  // Reads the file once. Throws StoreError.
  UidlStore(const std::string& dir, const std::string& alias, std::string mailbox);

  bool Handled(std::string_view uid) const { return entries_.contains(uid); }
  // The identity recorded with a handled mail; empty for one skipped by
  // the sender filter or not handled at all.
  const std::string& IdentityOf(std::string_view uid) const;

  // Marks the mail handled; `identity` empty for a mail the filter
  // skipped. Appends to the file. Throws StoreError.
  void Record(const std::string& uid, const std::string& identity);

  // Forgets every mail that is no longer `listed` on the server, in the
  // server's order; the file is rewritten only when that drops something.
  // Throws StoreError.
  void KeepOnly(const std::vector<std::string_view>& listed);

  std::size_t Size() const { return entries_.size(); }

 private:
  void Load(const std::string& mailbox);
  void Rewrite(const std::vector<std::string_view>& order);

  // Looked up by string_view, without a copy of the unique-id.
  struct UidHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view uid) const {
      return std::hash<std::string_view>{}(uid);
    }
  };
  using Entries = std::unordered_map<std::string, std::string, UidHash, std::equal_to<>>;

  DigitLineFile file_;
  std::string mailbox_;
  Entries entries_;  // unique-id -> identity
  std::size_t linesInFile_ = 0;  // entry lines, repeats included
  bool fileIsOurs_ = false;      // the file exists and names this mailbox
  bool foreignFile_ = false;     // the file exists for another mailbox, or unreadable
};

}  // namespace pelnor
