#include "core/tray/tray_registry.h"

#include <algorithm>

#include "core/tray/notify_icon_error.h"

namespace pelnor {

int TrayIconRegistry::Register(TrayIcon& icon) {
  if (entries_.size() >= kMaxIcons) throw ENotifyIconError();
  const int id = entries_.empty() ? 1 : entries_.back().first + 1;
  entries_.emplace_back(id, &icon);
  return id;
}

void TrayIconRegistry::Unregister(int id) {
  std::erase_if(entries_, [id](const auto& e) { return e.first == id; });
}

TrayIcon* TrayIconRegistry::Find(int id) const {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [id](const auto& e) { return e.first == id; });
  return it == entries_.end() ? nullptr : it->second;
}

}  // namespace pelnor
