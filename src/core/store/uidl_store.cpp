#include "core/store/uidl_store.h"

#include "core/store/history.h"
#include "core/store/text_file.h"

namespace pelnor {
namespace {

std::string EntryLine(std::string_view uid, const std::string& identity) {
  std::string line(uid);
  if (!identity.empty()) line += " " + identity;
  return line;
}

}  // namespace

UidlStore::UidlStore(const std::string& dir, const std::string& alias, std::string mailbox)
    : file_(AccountFilePath(dir, alias, ".uidl")), mailbox_(std::move(mailbox)) {
  Load(mailbox_);
}

void UidlStore::Load(const std::string& mailbox) {
  std::vector<std::string> lines = file_.Load();
  fileIsOurs_ = !lines.empty() && lines.front() == mailbox;
  foreignFile_ = !fileIsOurs_ && FileExists(file_.Path());
  if (!fileIsOurs_) return;
  entries_.reserve(lines.size());
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string& line = lines[i];
    const std::size_t space = line.find(' ');
    std::string identity = space == std::string::npos ? "" : line.substr(space + 1);
    if (space != std::string::npos) line.resize(space);
    entries_.insert_or_assign(std::move(line), std::move(identity));
  }
  linesInFile_ = lines.size() - 1;
}

const std::string& UidlStore::IdentityOf(std::string_view uid) const {
  static const std::string kNone;
  auto it = entries_.find(uid);
  return it == entries_.end() ? kNone : it->second;
}

void UidlStore::Record(const std::string& uid, const std::string& identity) {
  entries_[uid] = identity;
  if (!fileIsOurs_) {
    std::vector<std::string_view> order;
    order.reserve(entries_.size());
    for (const auto& [known, ignored] : entries_) order.push_back(known);
    Rewrite(order);
    return;
  }
  file_.Append(EntryLine(uid, identity));
  ++linesInFile_;
}

void UidlStore::KeepOnly(const std::vector<std::string_view>& listed) {
  std::vector<std::string_view> kept;
  kept.reserve(entries_.size());
  for (std::string_view uid : listed)
    if (entries_.contains(uid)) kept.push_back(uid);
  if (fileIsOurs_ ? kept.size() == linesInFile_ : !foreignFile_ && kept.empty()) return;
  Entries left;
  left.reserve(kept.size());
  for (std::string_view uid : kept) {
    auto node = entries_.extract(std::string(uid));
    if (!node.empty()) left.insert(std::move(node));
  }
  entries_ = std::move(left);
  Rewrite(kept);
}

void UidlStore::Rewrite(const std::vector<std::string_view>& order) {
  std::vector<std::string> lines;
  lines.reserve(order.size() + 1);
  lines.push_back(mailbox_);
  for (std::string_view uid : order) lines.push_back(EntryLine(uid, IdentityOf(uid)));
  file_.Rewrite(lines);
  linesInFile_ = order.size();
  fileIsOurs_ = true;
  foreignFile_ = false;
}

}  // namespace pelnor
