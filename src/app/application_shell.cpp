// The application's shell side: the tray menu's "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報",
// "作者へのﾒｰﾙ" and "作者のﾎｰﾑﾍﾟｰｼﾞへ", and the first start's shortcut
// dialog, all served by the shell dialogs. Without them the entries do
// nothing.

#include "app/application.h"

namespace pelnor {

ShellDialogsServices Application::ShellServices() {
  ShellDialogsServices services;
  services.ProgramDir = services_.ProgramDir;
  services.ExecutableDir = services_.ExecutableDir;
  services.LauncherArguments = services_.LauncherArguments;
  services.SetLastShownForm = [this](int number) { shownWindows_.SetLast(number); };
  services.OnShortcutDialogClosed = [this] { OnFirstStartDialogClosed(); };
  return services;
}

void Application::ConnectShellDialogs(ShellDialogs& shell) {
  shell_ = &shell;
  RegisterWindow(WindowNumber::About, shell.About());
}

void Application::OnHelp() {
  if (shell_ != nullptr) shell_->OnHelp();
}

void Application::OnAbout() {
  if (shell_ != nullptr) shell_->OnAbout();
}

void Application::OnMailAuthor() {
  if (shell_ != nullptr) shell_->OnMailAuthor();
}

void Application::OnHomePage() {
  if (shell_ != nullptr) shell_->OnHomePage();
}

}  // namespace pelnor
