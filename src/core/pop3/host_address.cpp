#include "core/pop3/host_address.h"

#include "core/text/integer.h"

namespace pelnor {

bool IsDottedAddress(std::string_view host) {
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = host.find('.', start);
    const std::string_view part = host.substr(start, dot == std::string_view::npos
                                                         ? std::string_view::npos
                                                         : dot - start);
    if (part.size() > 3 || !ParseInteger(part, kOctet)) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

}  // namespace pelnor
