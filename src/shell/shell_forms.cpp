#include "shell/shell_forms.h"

#include <QCheckBox>
#include <QMessageBox>

#include "shell/help_file.h"
#include "shell/qt_shell_opener.h"

namespace pelnor {
namespace {

TShellFormsServices WithOpener(TShellFormsServices services) {
  if (!services.Opener) services.Opener = std::make_unique<TQtShellOpener>();
  return services;
}

void BringForward(QWidget* form) {
  form->show();
  form->raise();
  form->activateWindow();
}

}  // namespace

void ShowShellWarning(const QString& text) {
  QMessageBox::warning(nullptr, QStringLiteral("Pelnor"), text);
}

TShellForms::TShellForms(TShellFormsServices services)
    : services_(WithOpener(std::move(services))),
      mailAndHP1_(*services_.Opener),
      form6_(std::make_unique<TForm6>(services_.SetLastShownForm)) {
  mailAndHP1_.MailAddress = kAuthorMailAddress;
  mailAndHP1_.HomePageAddress = kAuthorHomePage;
}

TShellForms::~TShellForms() = default;

void TShellForms::ShowShortcutDialog() {
  if (!form5_) {
    form5_ = std::make_unique<TForm5>(TForm5Services{services_.ProgramDir, services_.Environment,
                                                     services_.SetLastShownForm,
                                                     services_.OnShortcutDialogClosed,
                                                     services_.ShowWarning});
  }
  form5_->FirstStart = true;
  form5_->CheckBox1->setChecked(true);
  form5_->CheckBox2->setChecked(true);
  BringForward(form5_.get());
}

void TShellForms::Help1Click() {
  const QString path = QString::fromStdString(HelpFilePath(services_.ProgramDir));
  const THelpResult result = OpenHelp(services_.ProgramDir, *services_.Opener);
  if (!services_.ShowWarning) return;
  if (result == hrMissing)
    services_.ShowWarning(QStringLiteral("ヘルプファイルが見つかりません。\n%1").arg(path));
  else if (result == hrOpenFailed)
    services_.ShowWarning(QStringLiteral("ヘルプファイルを開けませんでした。\n%1").arg(path));
}

void TShellForms::About1Click() { BringForward(form6_.get()); }

void TShellForms::N6Click() { mailAndHP1_.SendMail(); }

void TShellForms::N7Click() { mailAndHP1_.OpenHomePage(); }

}  // namespace pelnor
