#pragma once

// The lines of a UIDL answer (RFC 1939): "number unique-id", one message
// each. A unique-id is what tells one mail from another on its server for
// as long as it is there, so the check can leave alone what it has seen.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

struct UidlEntry {
  std::uint32_t Number = 0;
  std::string Uid;  // printable ASCII (0x21-0x7E), never empty
};

// The entries of a UIDL answer as received: its status line, one line per
// message and the "." line that ends it (lines end in CR LF, CR or LF).
// Nothing when a line is not a positive message number, one or more spaces
// and a unique-id of printable ASCII, optionally followed by blanks: a
// listing we cannot read is no listing.
std::optional<std::vector<UidlEntry>> ParseUidlListing(std::string_view answer);

// True when `entries` names each message 1..count exactly once and no two
// messages share a unique-id. Only such a listing can stand for the
// mailbox: a message left out would never be fetched, and one of two
// messages with the same id would pass for the other.
bool IsCompleteListing(const std::vector<UidlEntry>& entries, std::uint32_t count);

}  // namespace pelnor
