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
  form.RegisterForm(fnAbout, shell.Form6());
  form.OnShowShortcutDialog = [&form, &shell] {
    shell.ShowShortcutDialog();
    form.RegisterForm(fnShortcut, shell.Form5());
  };
  form.OnHelp = [&shell] { shell.Help1Click(); };
  form.OnAbout = [&shell] { shell.About1Click(); };
  form.OnMailAuthor = [&shell] { shell.N6Click(); };
  form.OnHomePage = [&shell] { shell.N7Click(); };
}

}  // namespace pelnor
