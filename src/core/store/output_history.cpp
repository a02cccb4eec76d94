#include "core/store/output_history.h"

#include "core/store/history.h"

namespace pelnor {

OutputHistory::OutputHistory(const std::string& dir, const std::string& alias)
    : file_(HistoryPath(dir, alias)), lines_(file_.Load()), ids_(lines_.begin(), lines_.end()) {}

void OutputHistory::Record(const std::string& id) {
  if (ids_.contains(id)) return;
  file_.Append(id);
  lines_.push_back(id);
  ids_.insert(id);
}

void OutputHistory::Prune(const std::vector<std::string>& serverIds) {
  std::unordered_set<std::string> unwritten = ids_;
  std::vector<std::string> kept;
  for (const std::string& id : serverIds)
    if (unwritten.erase(id) > 0) kept.push_back(id);
  if (kept == lines_) return;
  file_.Rewrite(kept);
  ids_ = std::unordered_set<std::string>(kept.begin(), kept.end());
  lines_ = std::move(kept);
}

}  // namespace pelnor
