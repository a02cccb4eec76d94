#pragma once

// The desktop program, without a window of its own: the mail checker (the
// settings, the account list, the timed check, the saves at every end) with
// the tray icon and its menu around it, and the dialogs it opens. The
// settings dialog edits a copy and hands it back; nothing else keeps
// settings.

#include <QMessageBox>

#include <chrono>
#include <memory>
#include <string>

#include "app/mail_checker.h"
#include "app/shown_windows.h"
#include "app/tray_check_adapter.h"
#include "core/check/check_cycle.h"
#include "core/check/event_pump.h"
#include "core/print/print_canvas.h"
#include "core/store/account_list.h"
#include "core/store/settings.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_icon.h"
#include "platform/qt_check_timer.h"
#include "platform/qt_tray_adapters.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

class QAction;
class QMenu;

namespace pelnor {

class AccountEditorDialog;
class ProgramEndWatcher;
class SettingsDialog;

// What the application works with; everything outlives it.
struct ApplicationServices {
  std::string ProgramDir;           // ends in "/"
  // Where the executable lies (the manual, the launchers' target); empty:
  // the program directory.
  std::string ExecutableDir;
  std::string LauncherArguments;    // the launchers' command-line tail
  TrayHost* Tray = nullptr;         // the notification area and its timers
  PrintCanvas* Printer = nullptr;   // the one program-wide printer object
  CheckCycle::Pop3ClientFactory MakePop;  // a POP3 client per check cycle
  // The one event pump of the check (POP3 client, printout); told when the
  // program ends, so that it throws EProgramEnding.
  EventPump* Pump = nullptr;
  MessageBoxFn ShowMessage = ShowMessageBox;
  // What start-up reports without stopping (no tray host, a failed save).
  MessageBoxFn ShowNotice = ShowNoticeBox;
  // From start to the first timed check.
  std::chrono::milliseconds FirstCheckDelay = kFirstCheckDelay;
};

// The tray menu's entries, top to bottom; separators stand between
// checking, settings, help and About, the author, and the end.
struct TrayMenuActions {
  QAction* checkNowAction = nullptr;    // "ﾒｰﾙﾁｪｯｸ"
  QAction* settingsAction = nullptr;    // "環境設定"
  QAction* helpAction = nullptr;        // "ﾍﾙﾌﾟ"
  QAction* aboutAction = nullptr;       // "ﾊﾞｰｼﾞｮﾝ情報"
  QAction* mailAuthorAction = nullptr;  // "作者へのﾒｰﾙ"
  QAction* homePageAction = nullptr;    // "作者のﾎｰﾑﾍﾟｰｼﾞへ"
  QAction* exitAction = nullptr;        // "終了"
};

class Application {
 public:
  explicit Application(ApplicationServices services);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up: the tray icon, the settings, the accounts and their upgrade,
  // the dialog's controls, the timer; at the first start the shortcut
  // dialog, or the settings dialog when there are no shell dialogs.
  void Start();

  // --- the shell dialogs and the program's ends, wired before Start ---------
  // Services whose shown dialogs become the last shown window and whose
  // first-start dialog, once closed, opens the settings dialog.
  ShellDialogsServices ShellServices();
  // The tray menu's shell entries and the first start go to `shell`, which
  // outlives the application's use of it.
  void ConnectShellDialogs(ShellDialogs& shell);
  // Signals end the program as "終了" does; the session's end saves the
  // settings. Before Start, so that a signal during start-up is kept.
  void ConnectProgramEnds(ProgramEndWatcher& watcher);

  // --- tray menu --------------------------------------------------------------
  void OnCheckNow();    // "ﾒｰﾙﾁｪｯｸ"
  void OnSettings();    // "環境設定"
  void OnHelp();        // "ﾍﾙﾌﾟ"
  void OnAbout();       // "ﾊﾞｰｼﾞｮﾝ情報"
  void OnMailAuthor();  // "作者へのﾒｰﾙ"
  void OnHomePage();    // "作者のﾎｰﾑﾍﾟｰｼﾞへ"
  void OnExit();        // "終了"

  void OnCheckTimer();
  // Brings the window shown last forward.
  void OnTrayClick();
  // The first-start shortcut dialog has closed: remember it and open the
  // settings dialog so that accounts can be set up at once.
  void OnFirstStartDialogClosed();
  // A signal asks the program to end: as "終了", but a failed save goes to
  // the standard error, as nobody may be there to click a message away.
  void OnEndRequested();
  // The desktop session is ending: the settings reach the file.
  void OnSessionEnding();
  // The program is ending: the event loop has been told to stop.
  bool Ending() const { return checker_.Ending(); }

  // A window that becomes the last shown whenever it is shown.
  void RegisterWindow(WindowNumber number, QWidget* window);
  WindowNumber LastShownWindow() const { return shownWindows_.Last(); }

  const Settings& CurrentSettings() const { return checker_.CurrentSettings(); }
  // Holds `settings` from now on; the margins print at once, the interval
  // counts from the timer's next arming.
  void SetSettings(const Settings& settings) { checker_.SetSettings(settings); }
  // Writes Defult.ini from the settings held now; throws StoreError.
  void SaveSettingsFile() { checker_.SaveSettingsFile(); }

  AccountList& Accounts() { return checker_.Accounts(); }
  // Where attachments go when an account names no directory.
  const std::string& AttachDir() const { return checker_.AttachDir(); }
  // The paper the account editor found last for the selected printer.
  int PaperIndex() const { return checker_.PaperIndex(); }

  MailChecker& Checker() { return checker_; }
  SettingsDialog& SettingsWindow() { return *settingsDialog_; }
  AccountEditorDialog& AccountEditor() { return *accountEditor_; }
  QtCheckTimer& CheckTimer() { return checker_.CheckTimer(); }
  TrayIcon& Tray() { return *trayIcon_; }
  QMenu& TrayMenu() { return *trayMenu_; }
  const TrayMenuActions& MenuActions() const { return menuActions_; }

 private:
  MailCheckerServices CheckerServices();
  void CreateDialogs();
  void CreateTrayMenu();
  void ShowTrayIcon();
  void ShowShortcutDialog();
  void OpenSettingsDialog();
  // The settings dialog has closed: the timer runs again with the interval
  // it handed back, the tray menu opens again.
  void SettingsDialogClosed();
  // "環境設定" asked for while a check ran opens once the check is over.
  void OpenRequestedSettings();
  void NotifyAtTray(const std::string& text);
  void EndProgram(const FailureReport& reportSaveFailure);
  // Runs a handler; an exception escaping it is shown and the program
  // carries on.
  void Guarded(const std::function<void()>& handler);
  void Message(const QString& text, QMessageBox::Icon icon = QMessageBox::Information);
  void Notice(const QString& text);

  ApplicationServices services_;
  bool settingsRequested_ = false;
  ShellDialogs* shell_ = nullptr;

  MailChecker checker_;
  ShownWindows shownWindows_;
  std::unique_ptr<AccountEditorDialog> accountEditor_;
  std::unique_ptr<SettingsDialog> settingsDialog_;
  std::unique_ptr<QMenu> trayMenu_;
  TrayMenuActions menuActions_;
  std::shared_ptr<QtTrayMenu> trayPopup_;
  std::shared_ptr<ImageList> animationFrames_;
  // The tray menu belongs to the settings dialog's window, as the desktop
  // sees it.
  std::unique_ptr<QtTrayOwner> trayOwner_;
  std::unique_ptr<TrayIcon> trayIcon_;
  std::unique_ptr<TrayIconCheckTray> checkTray_;
};

}  // namespace pelnor
