#include "core/check/log_text.h"

#include "core/text/sjis.h"
#include "core/text/utf8.h"

namespace pelnor {

std::string LogTextOf(std::string_view what) {
  if (!IsValidUtf8(what)) return std::string(what);
  return Utf8ToSjisLossy(what);
}

}  // namespace pelnor
