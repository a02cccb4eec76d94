#pragma once

// Mailboxes and address lists of header fields.

#include <string>
#include <string_view>

namespace pelnor {

// The bare address of a mailbox (comments removed, text inside the first
// "<" ">"), in angle brackets when `withBrackets`.
std::string AddressOf(std::string_view text, bool withBrackets);
// The display name of a mailbox, quotes removed, enclosed in double quotes
// when `withQuotes`.
std::string DisplayNameOf(std::string_view text, bool withQuotes);
// Normalises a Sender/Cc list to `"name" <address>, "name" <address>`.
// Quoted display names vanish with their content.
std::string FormatAddressList(std::string_view text);

}  // namespace pelnor
