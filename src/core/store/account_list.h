#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// Orders two records without regard to letter case. Only the ASCII letters
// are folded, and only where they stand as single-byte characters: the second
// byte of a two-byte Shift_JIS character is compared as it is, so two
// different Japanese characters never count as equal. Otherwise bytes compare
// as unsigned values. Returns <0, 0 or >0.
int CompareRecords(std::string_view a, std::string_view b);

// The decoded account records, kept sorted by CompareRecords. Since the alias
// leads each record, this is the order of the aliases; the settings dialog's
// account check list shows the same order, so an item's position is the
// record's index here.
class AccountList {
 public:
  // Inserts at the sorted place. A record equal to one already held (in
  // CompareRecords) is ignored; returns false then.
  bool Add(std::string record);
  void Delete(size_t index);
  void Clear() { records_.clear(); }

  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const std::string& operator[](size_t index) const { return records_.at(index); }
  const std::vector<std::string>& Records() const { return records_; }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  std::vector<std::string> records_;
};

// One item of the settings dialog's account check list.
struct AccountCheckItem {
  std::string Caption;  // field 1, the alias
  bool Checked;         // off only when field 2 is "0"

  bool operator==(const AccountCheckItem&) const = default;
};

// The check list items for the records, in list order.
std::vector<AccountCheckItem> AccountCheckItems(const AccountList& list);

}  // namespace pelnor
