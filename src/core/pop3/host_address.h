#pragma once

// Telling a numeric IPv4 address from a host name.

#include <string_view>

namespace pelnor {

// True for exactly four "."-separated decimal parts, each 0-255.
bool IsDottedAddress(std::string_view host);

}  // namespace pelnor
