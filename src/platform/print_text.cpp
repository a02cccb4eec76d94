#include "platform/print_text.h"

#include "core/text/sjis.h"

#include <stdexcept>

namespace pelnor {

QString FromSjis(std::string_view sjis) {
  const std::string utf8 = SjisToUtf8(sjis);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToSjis(const QString& text) {
  try {
    return Sjis(text.toStdString());
  } catch (const std::runtime_error&) {
    // Convert one character (code point) at a time to find the bad ones.
  }
  std::string out;
  const std::u32string points = text.toStdU32String();
  for (char32_t cp : points) {
    const std::string one = QString::fromUcs4(&cp, 1).toStdString();
    try {
      out += Sjis(one);
    } catch (const std::runtime_error&) {
      out += '?';
    }
  }
  return out;
}

}  // namespace pelnor
