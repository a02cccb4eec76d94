#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace pelnor {

class TrayIcon;

// The program's live tray icons in order of creation. A new icon takes the
// last entry's identifier + 1 (1 when there is none), so identifiers only
// grow while icons exist and a freed one is not handed out again to a
// neighbour that could still receive its late notifications.
class TrayIconRegistry {
 public:
  static constexpr std::size_t kMaxIcons = 100;

  // Returns the new icon's identifier; throws ENotifyIconError when the
  // program already has kMaxIcons icons.
  int Register(TrayIcon& icon);
  void Unregister(int id);

  TrayIcon* Find(int id) const;  // nullptr when no such icon
  std::size_t Count() const { return entries_.size(); }

 private:
  std::vector<std::pair<int, TrayIcon*>> entries_;
};

}  // namespace pelnor
