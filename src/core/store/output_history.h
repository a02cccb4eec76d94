#pragma once

// The output history of one account (the "<alias>.dat" of history.h) as a
// check uses it: read once into memory, so that asking about a mail costs
// a lookup and recording one costs an append, however long the history.

#include <string>
#include <unordered_set>
#include <vector>

#include "core/store/digit_file.h"

namespace pelnor {

class OutputHistory {
 public:
  // Reads the history; a missing file is an empty one. Throws StoreError.
  OutputHistory(const std::string& dir, const std::string& alias);

  bool Contains(const std::string& id) const { return ids_.contains(id); }
  // Appends `id` unless it is there already. Throws StoreError.
  void Record(const std::string& id);
  // Keeps only the identifiers that are among `serverIds`, each once, in
  // the order of their first place there (PruneHistory's rule); the file
  // is rewritten only when that changes it. Throws StoreError.
  void Prune(const std::vector<std::string>& serverIds);

 private:
  DigitLineFile file_;
  std::vector<std::string> lines_;  // as the file holds them
  std::unordered_set<std::string> ids_;
};

}  // namespace pelnor
