#include "core/text/error_text.h"

#include <string.h>

namespace pelnor {

std::string ErrorText(int errnum) {
  // strerror follows LC_MESSAGES, which the toolkit sets from the desktop.
  if (const char* text = ::strerrordesc_np(errnum)) return text;
  return "error " + std::to_string(errnum);
}

}  // namespace pelnor
