#include "core/tray/tip_help.h"

namespace pelnor {
namespace {

bool IsSjisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::string TruncateTip(std::string_view tip) {
  std::size_t end = 0;
  while (end < tip.size()) {
    const bool pair = IsSjisLeadByte(static_cast<unsigned char>(tip[end])) && end + 1 < tip.size();
    const std::size_t next = end + (pair ? 2 : 1);
    if (next > kMaxTipLength) break;
    end = next;
  }
  return std::string(tip.substr(0, end));
}

}  // namespace pelnor
