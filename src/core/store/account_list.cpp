#include "core/store/account_list.h"

#include <algorithm>
#include <stdexcept>

#include "core/store/account_record.h"

namespace pelnor {
namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

unsigned char Fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b - 'A' + 'a' : b; }

}  // namespace

int CompareRecords(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  bool trail = false;  // the byte at i is the second of a two-byte character
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = a[i];
    unsigned char y = b[i];
    if (!trail) {
      x = Fold(x);
      y = Fold(y);
    }
    if (x != y) return x < y ? -1 : 1;
    // Equal so far, so both texts agree on where characters start.
    trail = !trail && IsLeadByte(static_cast<unsigned char>(a[i]));
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool AccountList::Add(std::string record) {
  auto at = std::lower_bound(records_.begin(), records_.end(), record,
                             [](const std::string& held, const std::string& r) {
                               return CompareRecords(held, r) < 0;
                             });
  if (at != records_.end() && CompareRecords(*at, record) == 0) return false;
  records_.insert(at, std::move(record));
  return true;
}

void AccountList::Delete(size_t index) {
  if (index >= records_.size()) throw std::out_of_range("AccountList::Delete");
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::vector<AccountCheckItem> AccountCheckItems(const AccountList& list) {
  std::vector<AccountCheckItem> items;
  items.reserve(list.size());
  for (const std::string& record : list)
    items.push_back({RecordField(record, afAlias), RecordField(record, afEnabled) != "0"});
  return items;
}

}  // namespace pelnor
