#include "ui/typed_number.h"

namespace pelnor {

std::string TypedNumberText(const QString& typed) {
  QString text = typed;
  for (QChar& c : text) {
    const char16_t code = c.unicode();
    if (code >= u'０' && code <= u'９')
      c = QChar(u'0' + (code - u'０'));
    else if (code == u'－' || code == u'−')
      c = QLatin1Char('-');
  }
  return text.toStdString();
}

}  // namespace pelnor
