#include "core/check/log_text.h"

#include "core/text/sjis.h"

namespace pelnor {

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3
                         : lead < 0xF5 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::string LogTextOf(std::string_view what) {
  if (!IsValidUtf8(what)) return std::string(what);
  return Utf8ToSjisLossy(what);
}

std::string ConnectFailureLogText(ConnectFailure failure, const std::string& why) {
  switch (failure) {
    case ConnectFailure::kCertificate:
      return Sjis("証明書エラー: ") + LogTextOf(why);
    case ConnectFailure::kNoStartTls:
      return Sjis("接続エラー: ") + LogTextOf(why);
    default:
      return Sjis("接続エラー");
  }
}

}  // namespace pelnor
