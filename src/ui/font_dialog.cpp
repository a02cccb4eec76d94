#include "ui/font_dialog.h"

#include <QFontDialog>
#include <QLineEdit>

namespace pelnor {

std::unique_ptr<QFontDialog> MakeFontDialog(const QFont& start) {
  auto dialog = std::make_unique<QFontDialog>(start);
  // Qt's sample is Latin only; its box is the one that holds it. A native
  // dialog has no such child, and keeps its own.
  for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
    if (edit->text() == QLatin1String("AaBbYyZz")) edit->setText(QString::fromUtf8(kFontSample));
  return dialog;
}

std::optional<QFont> ChooseFontDialog(const QFont& start) {
  const std::unique_ptr<QFontDialog> dialog = MakeFontDialog(start);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  return dialog->selectedFont();
}

}  // namespace pelnor
