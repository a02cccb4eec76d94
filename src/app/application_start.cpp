// Start-up: the settings file, the account list and its upgrade, the
// dialog's controls filled once, the timer armed; and the first start.

#include <QtGlobal>

#include <exception>

#include "app/application.h"
#include "core/store/account_store.h"
#include "core/store/migration.h"
#include "core/store/program_files.h"
#include "core/store/settings_rules.h"
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {

void Application::Start() {
  ShowTrayIcon();
  ReadSettings();
  if (settings_.FirstStart && shell_ != nullptr) ShowShortcutDialog();
  Guarded([this] { LoadAccounts(services_.ProgramDir, accounts_); });
  if (!accounts_.empty()) settingsDialog_->FillAccountList();
  MigrateAccounts();
  // The upgraded version reaches the file now: a tray program is seldom
  // ended through its menu, and the next start must not upgrade again.
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    Notice(ExceptionText(e.what()));
  }
  attachDir_ = AttachmentFolderPath(services_.ProgramDir);
  settingsDialog_->Fill(settings_);
  checkTimer_.SetInterval(settings_.CheckInterval);
  checkTimer_.SetEnabled(true);
  // Without the shortcut dialog the first start goes straight on to the
  // accounts.
  if (settings_.FirstStart && shell_ == nullptr) OnFirstStartDialogClosed();
}

void Application::ReadSettings() {
  Settings stored;
  Guarded([&] { stored = LoadSettings(services_.ProgramDir); });
  stored.CheckInterval = TimedCheckInterval(stored.CheckInterval);
  // One option of a group is on at most, and the direct connection counts
  // first; each option's own state is written back at the end.
  if (stored.DirectConnection) stored.UseProxy = false;
  SetSettings(stored);
}

void Application::MigrateAccounts() {
  Guarded([this] {
    pelnor::MigrateAccounts(services_.ProgramDir, settings_.SettingsVersion, accounts_,
                            paperIndex_, [this](int&) { LoadPaperNames(); });
  });
  if (!accounts_.empty()) settingsDialog_->FillAccountList();
}

// At start-up the selected printer is the system's default one.
void Application::LoadPaperNames() {
  try {
    accountEditor_->LoadPaperNames();
  } catch (const std::exception& e) {
    // No printer to ask: every record keeps the paper index it has.
    qWarning("paper list: %s", qPrintable(ExceptionText(e.what())));
  }
}

void Application::ShowShortcutDialog() {
  shell_->ShowShortcutDialog();
  RegisterWindow(WindowNumber::Shortcut, shell_->Shortcut());
}

void Application::OnFirstStartDialogClosed() {
  settings_.FirstStart = false;
  OpenSettingsDialog();
}

}  // namespace pelnor
