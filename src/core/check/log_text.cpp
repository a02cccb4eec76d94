#include "core/check/log_text.h"

#include "core/text/sjis.h"
#include "core/text/utf8.h"

namespace pelnor {

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
