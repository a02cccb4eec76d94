// Start-up: the tray icon, the checker's files with the dialog's controls
// filled once, the timer armed; and the first start.

#include "app/application.h"
#include "ui/settings_dialog.h"

namespace pelnor {

void Application::Start() {
  ShowTrayIcon();
  checker_.ReadSettings();
  if (checker_.CurrentSettings().FirstStart && shell_ != nullptr) ShowShortcutDialog();
  checker_.LoadAccounts();
  if (!Accounts().empty()) settingsDialog_->FillAccountList();
  settingsDialog_->Fill(checker_.CurrentSettings());
  checker_.StartTimer();
  // Without the shortcut dialog the first start goes straight on to the
  // accounts.
  if (checker_.CurrentSettings().FirstStart && shell_ == nullptr) OnFirstStartDialogClosed();
}

void Application::ShowShortcutDialog() {
  shell_->ShowShortcutDialog();
  RegisterWindow(WindowNumber::Shortcut, shell_->Shortcut());
}

void Application::OnFirstStartDialogClosed() {
  Settings settings = checker_.CurrentSettings();
  settings.FirstStart = false;
  checker_.SetSettings(settings);
  OpenSettingsDialog();
}

}  // namespace pelnor
