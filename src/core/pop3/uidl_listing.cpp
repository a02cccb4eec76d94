#include "core/pop3/uidl_listing.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "core/text/integer.h"
#include "core/text/line_scan.h"

namespace pelnor {
namespace {

constexpr IntegerRule kMessageNumber{IntegerBlanks::kNone, IntegerSign::kNone, 1, INT_MAX};

bool IsUidChar(char c) { return c >= 0x21 && c <= 0x7E; }

std::optional<UidlEntry> ParseLine(std::string_view line) {
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  const std::optional<int> number = ParseInteger(line.substr(0, space), kMessageNumber);
  std::string_view uid = line.substr(space);
  uid.remove_prefix(std::min(uid.find_first_not_of(' '), uid.size()));
  while (!uid.empty() && (uid.back() == ' ' || uid.back() == '\t')) uid.remove_suffix(1);
  if (!number || uid.empty() || !std::all_of(uid.begin(), uid.end(), IsUidChar))
    return std::nullopt;
  return UidlEntry{static_cast<std::uint32_t>(*number), std::string(uid)};
}

}  // namespace

std::optional<std::vector<UidlEntry>> ParseUidlListing(std::string_view answer) {
  std::vector<UidlEntry> entries;
  entries.reserve(static_cast<std::size_t>(std::count(answer.begin(), answer.end(), '\n')));
  bool statusLine = true;
  bool ended = false;
  bool readable = true;
  ForEachLine(answer.data(), answer.data() + answer.size(), [&](const char* b, const char* e) {
    const std::string_view line(b, static_cast<std::size_t>(e - b));
    if (std::exchange(statusLine, false) || ended || !readable) return;
    if (line == ".") {
      ended = true;
      return;
    }
    std::optional<UidlEntry> entry = ParseLine(line);
    if (entry)
      entries.push_back(std::move(*entry));
    else
      readable = false;
  });
  if (!readable) return std::nullopt;
  return entries;
}

bool IsCompleteListing(const std::vector<UidlEntry>& entries, std::uint32_t count) {
  if (entries.size() != count) return false;
  std::vector<bool> listed(static_cast<std::size_t>(count) + 1, false);
  std::unordered_set<std::string_view> uids;
  uids.reserve(entries.size());
  for (const UidlEntry& entry : entries) {
    if (entry.Number > count || listed[entry.Number]) return false;
    listed[entry.Number] = true;
    if (!uids.insert(entry.Uid).second) return false;
  }
  return true;
}

}  // namespace pelnor
