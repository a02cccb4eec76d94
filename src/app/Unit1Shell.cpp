#include "app/Unit1Shell.h"

#include <utility>

namespace pelnor {

ShellDialogsServices ShellFormsServicesFor(TForm1& form, std::string programDir) {
  ShellDialogsServices services;
  services.ProgramDir = std::move(programDir);
  services.SetLastShownForm = [&form](int number) { form.LastShownForm = number; };
  services.OnShortcutDialogClosed = [&form] { form.FirstStartDialogClosed(); };
  return services;
}

void ConnectShellForms(TForm1& form, ShellDialogs& shell) {
  form.RegisterForm(fnAbout, shell.About());
  form.OnShowShortcutDialog = [&form, &shell] {
    shell.ShowShortcutDialog();
    form.RegisterForm(fnShortcut, shell.Shortcut());
  };
  form.OnHelp = [&shell] { shell.OnHelp(); };
  form.OnAbout = [&shell] { shell.OnAbout(); };
  form.OnMailAuthor = [&shell] { shell.OnMailAuthor(); };
  form.OnHomePage = [&shell] { shell.OnHomePage(); };
}

}  // namespace pelnor
