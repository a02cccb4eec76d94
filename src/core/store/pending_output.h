#pragma once

// The printouts of one account that may have come out without being
// recorded. An entry (the mail's identity in the history) is made before a
// mail's job is sent and removed once the mail is recorded, or once its job
// is known to have failed; so an entry found at the next start means that
// the program stopped dead in between, and that a printout of that mail
// may exist already. "<dir><alias>.pnd", digit-coded lines, readable by
// the owner only, written whole and renamed into place; no file while
// nothing is pending.

#include <string>
#include <unordered_set>
#include <vector>

#include "core/store/digit_file.h"

namespace pelnor {

class PendingOutput {
 public:
  // Reads what an earlier run left. Throws StoreError.
  PendingOutput(const std::string& dir, const std::string& alias);

  bool Holds(const std::string& id) const;
  bool Empty() const { return ids_.empty(); }
  // Each throws StoreError; the file then stays as it was.
  void Add(const std::string& id);
  void Remove(const std::string& id);
  // Removes every entry that is not among `kept`.
  void KeepOnly(const std::unordered_set<std::string>& kept);

 private:
  void Write();

  DigitLineFile file_;
  std::vector<std::string> ids_;
};

}  // namespace pelnor
