#include "core/store/account_record.h"

namespace pelnor {
namespace {

// Cuts the text up to and including the next separator; false when none is left.
bool SkipField(std::string_view& rest) {
  size_t bar = rest.find(kFieldSeparator);
  if (bar == std::string_view::npos) return false;
  rest.remove_prefix(bar + 1);
  return true;
}

std::string_view FieldAtFront(std::string_view rest) {
  return rest.substr(0, rest.find(kFieldSeparator));
}

}  // namespace

std::string RecordField(std::string_view record, int n) {
  if (n < 1) return {};
  std::string_view rest = record;
  for (int i = 1; i < n; ++i)
    if (!SkipField(rest)) return {};
  return std::string(FieldAtFront(rest));
}

std::vector<std::string> RecordFieldsFrom(std::string_view record, int n) {
  std::vector<std::string> fields;
  if (n < 1) n = 1;
  std::string_view rest = record;
  for (int i = 1; i < n; ++i)
    if (!SkipField(rest)) return fields;
  do {
    fields.emplace_back(FieldAtFront(rest));
  } while (SkipField(rest));
  return fields;
}

}  // namespace pelnor
