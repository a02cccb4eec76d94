#include "core/pop3/host_address.h"

#include <string>

namespace pelnor {
namespace {

bool IsDecimal(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool IsDottedAddress(std::string_view host) {
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = host.find('.', start);
    const std::string_view part = host.substr(start, dot == std::string_view::npos
                                                         ? std::string_view::npos
                                                         : dot - start);
    if (!IsDecimal(part) || part.size() > 3 || std::stoi(std::string(part)) > 255) {
      return false;
    }
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

}  // namespace pelnor
