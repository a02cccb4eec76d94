// The application's parts and how they are wired: the account editor and
// the settings dialog over the one account list, the check cycle with its
// printer and log over the tray and the timer.

#include "app/application.h"

#include <QMenu>

#include <utility>

#include "app/icons.h"
#include "core/check/pop3_check_client.h"
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {

Application::Application(ApplicationServices services)
    : services_(std::move(services)),
      log_(services_.ProgramDir + kLogFileName, clock_, [this] { return settings_.LogEnabled; }),
      messagePrinter_(*services_.Printer, log_, clock_, services_.ProgramDir) {
  CreateDialogs();
  CreateTrayMenu();
  trayOwner_ = std::make_unique<QtTrayOwner>(settingsDialog_.get());
  trayIcon_ = std::make_unique<TrayIcon>(*services_.Tray, trayOwner_.get());
  checkTray_ = std::make_unique<TrayIconCheckTray>(
      *trayIcon_, [this](const std::string& text) { NotifyAtTray(text); });
  CreateCheckCycle();
}

// The tray icon goes before the timer and the cycle it drives.
Application::~Application() {
  checkTimer_.SetEnabled(false);
  cycle_.reset();
  checkTray_.reset();
  trayIcon_.reset();
}

void Application::CreateDialogs() {
  AccountEditorServices editor;
  editor.ProgramDir = services_.ProgramDir;
  editor.Accounts = &accounts_;
  editor.Printer = services_.Printer;
  editor.PaperIndex = &paperIndex_;
  editor.AttachDir = &attachDir_;
  editor.SelectPrinterPaper = [this](int printer, int paper) {
    messagePrinter_.SelectPrinterPaper(printer, paper);
  };
  editor.ShowMessage = [this](const QString& text) { Message(text, QMessageBox::Warning); };
  // The connection test waits on the server; the tray and the program's
  // end are served meanwhile.
  if (services_.Pump) editor.Pump = services_.Pump->Callback();
  accountEditor_ = std::make_unique<AccountEditorDialog>(std::move(editor));

  SettingsDialogServices dialog;
  dialog.ProgramDir = services_.ProgramDir;
  dialog.Accounts = &accounts_;
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

void Application::CreateCheckCycle() {
  // A long printout lets the tray and the program's end through too.
  if (services_.Pump) messagePrinter_.OnProgress = services_.Pump->Callback();
  log_.OnWriteError = [](const std::string& message) {
    qWarning("Log.txt: %s", message.c_str());
  };
  CheckCycle::Pop3ClientFactory makePop = services_.MakePop;
  if (!makePop) makePop = [] { return std::make_unique<Pop3SessionClient>(nullptr); };
  cycle_ = std::make_unique<CheckCycle>(accounts_, services_.ProgramDir, *services_.Printer,
                                         messagePrinter_, log_, *checkTray_, checkTimer_,
                                         std::move(makePop));
  checkTimer_.OnTimer = [this] { Guarded([this] { OnCheckTimer(); }); };
}

void Application::RegisterWindow(WindowNumber number, QWidget* window) {
  shownWindows_.Register(number, window);
}

void Application::SetSettings(const Settings& settings) {
  settings_ = settings;
  messagePrinter_.Margins = {settings_.MarginLeft, settings_.MarginTop, settings_.MarginRight,
                             settings_.MarginBottom};
}

void Application::OpenSettingsDialog() {
  checkTimer_.SetEnabled(false);
  trayIcon_->SetAutoPopup(false);
  settingsDialog_->Open(settings_);
}

void Application::SettingsDialogClosed() {
  checkTimer_.SetInterval(settings_.CheckInterval);
  checkTimer_.SetEnabled(true);
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
