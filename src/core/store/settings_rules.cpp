#include "core/store/settings_rules.h"

#include <limits>

#include "core/store/account_record.h"
#include "core/text/integer.h"

namespace pelnor {

std::optional<int> ParseWholeNumber(std::string_view text) {
  return ParseInteger(text, kNumberAfterSpaces);
}

std::optional<int> IntervalFromMinutes(std::string_view text) {
  constexpr int kMinute = 60000;
  IntegerRule minutes = kNumberAfterSpaces;
  minutes.Min = 0;
  minutes.Max = std::numeric_limits<int>::max() / kMinute;
  const std::optional<int> value = ParseInteger(text, minutes);
  if (!value) return std::nullopt;
  return *value * kMinute;
}

int TimedCheckInterval(int storedMs) {
  constexpr int kMinute = 60000;
  if (storedMs == 0) return 0;
  return storedMs < kMinute ? kMinute : storedMs;
}

int MinutesFromInterval(int ms) { return ms / 60000; }

namespace {

// The record from field 3 on, as it stands after the second "|".
std::string_view AfterField2(std::string_view record) {
  for (int i = 0; i < 2; ++i) {
    const size_t bar = record.find(kFieldSeparator);
    if (bar == std::string_view::npos) return {};
    record.remove_prefix(bar + 1);
  }
  return record;
}

}  // namespace

void SetAccountChecked(AccountList& list, const std::string& alias, bool checked) {
  // Counted over the records at the start; a re-added record that merges
  // with an equal one shortens the list.
  const size_t count = list.size();
  for (size_t i = 0; i < count && i < list.size(); ++i) {
    const std::string record = list[i];
    if (RecordField(record, afAlias) != alias) continue;
    list.Delete(i);
    list.Add(alias + "|" + (checked ? "1" : "0") + "|" + std::string(AfterField2(record)));
  }
}

}  // namespace pelnor
