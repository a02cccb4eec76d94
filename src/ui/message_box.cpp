#include "ui/message_box.h"

#include <QByteArray>
#include <QPushButton>
#include <QStringDecoder>

#include <exception>

#include "platform/print_text.h"  // FromSjis

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

bool AskYesNoBox(const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Pelnor"), text);
  QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

QString ExceptionText(const char* what) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(QByteArray(what));
  if (!utf8.hasError()) return text;
  return FromSjis(what);
}

void RunShowingFailure(const std::function<void()>& handler, const MessageBoxFn& show) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (show) show(ExceptionText(e.what()), QMessageBox::Critical);
  }
}

}  // namespace pelnor
