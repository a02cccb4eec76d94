#include "core/store/record_layout.h"

#include <initializer_list>
#include <string>
#include <vector>

#include "core/store/account_record.h"
#include "core/text/integer.h"

namespace pelnor {
namespace {

// Field numbers (from 1) of one layout's fixed fields.
struct LayoutShape {
  int fixedFields;  // the receiving addresses follow them
  std::initializer_list<int> numbers;
  int fontStyle;
  std::initializer_list<int> flags;
};

constexpr LayoutShape kShape10{13, {6, 9}, 8, {10, 12, 13}};
constexpr LayoutShape kShape14{14, {6, 9}, 8, {10, 12, 13, 14}};
constexpr LayoutShape kShape17{15, {6, 7, 10}, 9, {11, 13, 14, 15}};

bool IsFlag(const std::string& field) { return field == "0" || field == "1"; }

bool IsBracketed(const std::string& field) {
  return field.size() >= 2 && field.front() == '[' && field.back() == ']';
}

bool Fits(const std::vector<std::string>& fields, const LayoutShape& shape) {
  const auto count = static_cast<size_t>(shape.fixedFields);
  if (fields.size() < count) return false;
  for (int n : shape.numbers)
    if (!ParseInteger(fields[n - 1], kSignedNumber)) return false;
  if (!IsBracketed(fields[shape.fontStyle - 1])) return false;
  for (int n : shape.flags)
    if (!IsFlag(fields[n - 1])) return false;
  return fields.size() == count || !IsFlag(fields[count]);
}

}  // namespace

RecordLayout RecordLayoutOf(std::string_view record) {
  if (record.find(kFieldSeparator) == std::string_view::npos) return RecordLayout::kOld;
  const std::vector<std::string> fields = RecordFieldsFrom(record, 1);
  if (Fits(fields, kShape17)) return RecordLayout::kCurrent;
  if (Fits(fields, kShape14)) return RecordLayout::kVersion14;
  if (Fits(fields, kShape10)) return RecordLayout::kVersion10;
  return RecordLayout::kUnknown;
}

}  // namespace pelnor
