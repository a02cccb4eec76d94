#include "ui/shell_dialogs.h"

#include <QCheckBox>

#include "core/shell/help_file.h"
#include "platform/qt_shell_opener.h"
#include "ui/message_box.h"

namespace pelnor {
namespace {

ShellDialogsServices WithOpener(ShellDialogsServices services) {
  if (!services.Opener) services.Opener = std::make_unique<QtShellOpener>();
  return services;
}

void BringForward(QWidget* form) {
  form->show();
  form->raise();
  form->activateWindow();
}

}  // namespace

ShellDialogs::ShellDialogs(ShellDialogsServices services)
    : services_(WithOpener(std::move(services))),
      mailAndHomePage_(*services_.Opener),
      aboutDialog_(std::make_unique<AboutDialog>(services_.SetLastShownForm)) {
  mailAndHomePage_.MailAddress = kAuthorMailAddress;
  mailAndHomePage_.HomePageAddress = kAuthorHomePage;
  aboutDialog_->ShowPaths(QString::fromStdString(services_.ProgramDir),
                          QString::fromStdString(FindHelpFile(ExecutableDir()).value_or("")));
}

const std::string& ShellDialogs::ExecutableDir() const {
  return services_.ExecutableDir.empty() ? services_.ProgramDir : services_.ExecutableDir;
}

ShellDialogs::~ShellDialogs() = default;

void ShellDialogs::ShowShortcutDialog() {
  if (!shortcutDialog_) {
    shortcutDialog_ = std::make_unique<ShortcutDialog>(ShortcutDialogServices{
        ExecutableDir(), services_.LauncherArguments, services_.Environment,
        services_.SetLastShownForm, services_.OnShortcutDialogClosed, services_.ShowWarning});
  }
  shortcutDialog_->FirstStart = true;
  shortcutDialog_->autostartCheck->setChecked(true);
  shortcutDialog_->desktopCheck->setChecked(true);
  BringForward(shortcutDialog_.get());
}

void ShellDialogs::OnHelp() {
  const QString path = QString::fromStdString(HelpFilePath(ExecutableDir()));
  const HelpResult result = OpenHelp(ExecutableDir(), *services_.Opener);
  if (!services_.ShowWarning) return;
  if (result == hrMissing)
    services_.ShowWarning(QStringLiteral("ヘルプファイルが見つかりません。\n%1").arg(path));
  else if (result == hrOpenFailed)
    services_.ShowWarning(QStringLiteral("ヘルプファイルを開けませんでした。\n%1").arg(path));
}

void ShellDialogs::OnAbout() { BringForward(aboutDialog_.get()); }

void ShellDialogs::OnMailAuthor() { mailAndHomePage_.SendMail(); }

void ShellDialogs::OnHomePage() { mailAndHomePage_.OpenHomePage(); }

}  // namespace pelnor
