#include "core/store/pending_output.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/store/history.h"
#include "core/store/store_error.h"

namespace pelnor {

PendingOutput::PendingOutput(const std::string& dir, const std::string& alias)
    : file_(AccountFilePath(dir, alias, ".pnd")), ids_(file_.Load()) {}

bool PendingOutput::Holds(const std::string& id) const {
  return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

void PendingOutput::Add(const std::string& id) {
  if (Holds(id)) return;
  ids_.push_back(id);
  try {
    Write();
  } catch (...) {
    ids_.pop_back();
    throw;
  }
}

void PendingOutput::Remove(const std::string& id) {
  KeepOnly([&] {
    std::unordered_set<std::string> others(ids_.begin(), ids_.end());
    others.erase(id);
    return others;
  }());
}

void PendingOutput::KeepOnly(const std::unordered_set<std::string>& kept) {
  std::vector<std::string> left;
  for (const std::string& id : ids_)
    if (kept.contains(id)) left.push_back(id);
  if (left.size() == ids_.size()) return;
  std::swap(ids_, left);
  try {
    Write();
  } catch (...) {
    std::swap(ids_, left);
    throw;
  }
}

void PendingOutput::Write() {
  if (!ids_.empty()) {
    file_.Rewrite(ids_);
    return;
  }
  if (::unlink(file_.Path().c_str()) != 0 && errno != ENOENT)
    throw StoreError("cannot delete " + file_.Path() + ": " + std::strerror(errno));
}

}  // namespace pelnor
