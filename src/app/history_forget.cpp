#include "app/history_forget.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "store/atomic_file.h"
#include "store/digit_file.h"
#include "store/history.h"

namespace pelnor {

void ForgetOutput(const std::string& dir, const std::string& alias, const std::string& id) {
  const std::string path = HistoryPath(dir, alias);
  std::optional<std::vector<std::string>> entries = ReadDigitFile(path);
  if (!entries) return;
  auto kept = std::remove(entries->begin(), entries->end(), id);
  if (kept == entries->end()) return;
  entries->erase(kept, entries->end());
  ReplaceFile(path, EncodeDigitLines(*entries), FileAccess::kOwnerOnly);
}

}  // namespace pelnor
