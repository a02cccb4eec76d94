#include "ui/message_box.h"

namespace pelnor {

void ShowMessageBox(const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, QStringLiteral("Pelnor"), text, QMessageBox::Ok);
  box.exec();
}

void ShowNoticeBox(const QString& text, QMessageBox::Icon icon) {
  auto* box = new QMessageBox(icon, QStringLiteral("Pelnor"), text, QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void ShowWarningBox(const QString& text) { ShowMessageBox(text, QMessageBox::Warning); }

}  // namespace pelnor
