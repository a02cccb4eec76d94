// The application's parts and how they are wired: the account editor and
// the settings dialog over the checker's account list, the checks shown on
// the tray icon.

#include "app/application.h"

#include <QMenu>

#include <utility>

#include "app/icons.h"
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {

Application::Application(ApplicationServices services)
    : services_(std::move(services)), checker_(CheckerServices()) {
  CreateDialogs();
  CreateTrayMenu();
  trayOwner_ = std::make_unique<QtTrayOwner>(settingsDialog_.get());
  trayIcon_ = std::make_unique<TrayIcon>(*services_.Tray, trayOwner_.get());
  checkTray_ = std::make_unique<TrayIconCheckTray>(
      *trayIcon_, [this](const std::string& text) { NotifyAtTray(text); });
  checker_.ShowChecksOn(checkTray_.get());
  checker_.AfterCheck = [this] { OpenRequestedSettings(); };
}

// The tray icon goes before the timer and the cycle it drives.
Application::~Application() {
  checker_.CheckTimer().SetEnabled(false);
  checker_.ShowChecksOn(nullptr);
  checkTray_.reset();
  trayIcon_.reset();
}

// What the checker meets is shown as the desktop program always showed it:
// a message box for a failed step, a box that waits for nobody for a failed
// save at start-up.
MailCheckerServices Application::CheckerServices() {
  MailCheckerServices checker;
  checker.ProgramDir = services_.ProgramDir;
  checker.Printer = services_.Printer;
  checker.MakePop = services_.MakePop;
  checker.Pump = services_.Pump;
  checker.ReportFailure = [this](const std::string& what) {
    Message(ExceptionText(what.c_str()), QMessageBox::Critical);
  };
  checker.ReportNotice = [this](const std::string& what) { Notice(ExceptionText(what.c_str())); };
  checker.FirstCheckDelay = services_.FirstCheckDelay;
  return checker;
}

void Application::CreateDialogs() {
  AccountEditorServices editor;
  editor.ProgramDir = services_.ProgramDir;
  editor.Accounts = &checker_.Accounts();
  editor.Printer = services_.Printer;
  editor.PaperIndex = &checker_.PaperIndex();
  editor.AttachDir = &checker_.AttachDir();
  editor.SelectPrinterPaper = [this](int printer, int paper) {
    checker_.Printer().SelectPrinterPaper(printer, paper);
  };
  editor.ShowMessage = [this](const QString& text) { Message(text, QMessageBox::Warning); };
  // The connection test waits on the server; the tray and the program's
  // end are served meanwhile.
  if (services_.Pump) editor.Pump = services_.Pump->Callback();
  accountEditor_ = std::make_unique<AccountEditorDialog>(std::move(editor));

  SettingsDialogServices dialog;
  dialog.ProgramDir = services_.ProgramDir;
  dialog.Accounts = &checker_.Accounts();
  dialog.Editor = accountEditor_.get();
  dialog.ShowMessage = [this](const QString& text, QMessageBox::Icon icon) { Message(text, icon); };
  settingsDialog_ = std::make_unique<SettingsDialog>(std::move(dialog));
  settingsDialog_->setWindowIcon(ApplicationIcon());
  settingsDialog_->OnSettingsChanged = [this](const Settings& edited) { SetSettings(edited); };
  settingsDialog_->OnClosed = [this] { SettingsDialogClosed(); };
  // The dialog's values reach the file at once, not only at the end.
  settingsDialog_->OnAccepted = [this] { SaveSettingsFile(); };

  RegisterWindow(WindowNumber::Settings, settingsDialog_.get());
  RegisterWindow(WindowNumber::AccountEditor, accountEditor_.get());
  RegisterWindow(WindowNumber::Input, accountEditor_->inputDialog.get());
  RegisterWindow(WindowNumber::Directory, accountEditor_->directoryChooser.get());
}

void Application::RegisterWindow(WindowNumber number, QWidget* window) {
  shownWindows_.Register(number, window);
}

void Application::OpenSettingsDialog() {
  checker_.CheckTimer().SetEnabled(false);
  trayIcon_->SetAutoPopup(false);
  settingsDialog_->Open(checker_.CurrentSettings());
}

void Application::SettingsDialogClosed() {
  checker_.CheckTimer().SetInterval(checker_.CurrentSettings().CheckInterval);
  checker_.CheckTimer().SetEnabled(true);
  trayIcon_->SetAutoPopup(true);
}

void Application::Guarded(const std::function<void()>& handler) {
  RunShowingFailure(handler, services_.ShowMessage);
}

void Application::Message(const QString& text, QMessageBox::Icon icon) {
  if (services_.ShowMessage) services_.ShowMessage(text, icon);
}

void Application::Notice(const QString& text) {
  if (services_.ShowNotice) services_.ShowNotice(text, QMessageBox::Critical);
}

}  // namespace pelnor
