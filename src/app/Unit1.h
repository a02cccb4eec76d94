#pragma once

// TForm1, the main form. Hidden, it owns the tray icon, the check timer, the
// account list and the mail check; shown, it is the settings dialog
// "Pelnor" with its four pages. The rules it applies live in the core
// (store/, app/Unit1Rules.h, app/check_cycle.h); this class holds the
// widgets, the handlers and the conversions between QString and Shift_JIS.

#include <QIcon>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt_check_timer.h"
#include "core/check/check_cycle.h"
#include "core/print/clock.h"
#include "core/check/comm_log.h"
#include "core/check/event_pump.h"
#include "core/print/print_canvas.h"
#include "core/check/message_printer.h"
#include "app/tray_check_adapter.h"
#include "platform/print_text.h"  // FromSjis, ToSjis
#include "ui/account_editor_dialog.h"
#include "core/store/account_list.h"
#include "platform/qt_tray_adapters.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_icon.h"
#include "ui/message_box.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace pelnor {

class ProgramEndWatcher;

// What the main form works with; everything outlives the form.
struct TForm1Services {
  std::string ProgramDir;              // ends in "/"
  TrayHost* Tray = nullptr;             // the notification area and its timers
  PrintCanvas* Printer = nullptr;     // the one program-wide printer object
  CheckCycle::Pop3ClientFactory MakePop;    // a POP3 client per check cycle
  // The one event pump of the check (POP3 client, printout); told when the
  // program ends, so that it throws EProgramEnding.
  EventPump* Pump = nullptr;
  MessageBoxFn ShowMessage = ShowMessageBox;
  // What start-up reports without stopping (no tray host, a failed save).
  MessageBoxFn ShowNotice = ShowNoticeBox;
};

// Numbers of the windows that a tray-icon click can bring forward.
enum TFormNumber : int {
  fnNone = 0,
  fnSettings = 1,      // TForm1, this dialog
  fnAccountEditor = 2, // AccountEditorDialog
  fnInput = 3,         // InputDialog
  fnDirectory = 4,     // DirectoryChooser
  fnShortcut = 5,      // ShortcutDialog
  fnAbout = 6,         // AboutDialog
};

class TForm1 : public QWidget {
 public:
  explicit TForm1(TForm1Services services);
  ~TForm1() override;

  // Start-up: settings, accounts, their upgrade, the controls, the timer.
  void FormCreate();

  // --- tray menu PopupMenu1 -------------------------------------------------
  void N1Click();     // "ﾒｰﾙﾁｪｯｸ"
  void N3Click();     // "環境設定"
  void Help1Click();  // "ﾍﾙﾌﾟ"
  void About1Click(); // "ﾊﾞｰｼﾞｮﾝ情報"
  void N6Click();     // "作者へのﾒｰﾙ"
  void N7Click();     // "作者のﾎｰﾑﾍﾟｰｼﾞへ"
  void Exit1Click();  // "終了"
  void Timer1Timer();
  void TrayIcon1Click();

  // --- settings dialog --------------------------------------------------------
  void Button1Click();  // "OK"
  void Button2Click();  // "キャンセル"
  void Button3Click();  // "新規"
  void Button4Click();  // "削除"
  void Button5Click();  // "編集"
  void CheckListBox1DblClick();
  void CheckListBox1ClickCheck(QListWidgetItem* item);
  void RadioButton1Click();  // also RadioButton2's
  // The closing steps; false (and the dialog stays open) when the interval
  // is refused.
  bool FormClose();

  // A window that sets LastShownForm to `number` whenever it is shown.
  void RegisterForm(TFormNumber number, QWidget* form);
  // The first-start shortcut dialog has closed: remember it and open this
  // dialog so that accounts can be set up at once.
  void FirstStartDialogClosed();
  // Finds the current paper of the selected printer in its paper list.
  void LoadPaperNames();

  // Writes Defult.ini from the values held now; throws StoreError.
  void SaveSettingsFile();
  // A signal asks the program to end: as "終了", but a failed save goes to
  // the standard error, as nobody may be there to click a message away.
  void EndRequested();
  // The desktop session is ending: the settings reach the file.
  void SessionEnding();
  // The program is ending: the event loop has been told to stop.
  bool Ending() const { return ending_; }

  // The shell integration lives in its own unit; the program entry sets
  // these (an entry left unset does nothing).
  std::function<void()> OnShowShortcutDialog;  // at the first start
  std::function<void()> OnHelp;
  std::function<void()> OnAbout;
  std::function<void()> OnMailAuthor;
  std::function<void()> OnHomePage;

  // --- components -------------------------------------------------------------
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;
  QWidget* TabSheet4 = nullptr;
  QListWidget* CheckListBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;
  QAction* N3 = nullptr;
  QAction* Help1 = nullptr;
  QAction* About1 = nullptr;
  QAction* N6 = nullptr;
  QAction* N7 = nullptr;
  QAction* Exit1 = nullptr;
  QtCheckTimer Timer1;
  std::unique_ptr<TrayIcon> TrayIcon1;
  std::unique_ptr<AccountEditorDialog> Form2;  // the account editor

  // --- state ------------------------------------------------------------------
  pelnor::AccountList AccountList;
  std::vector<std::string> EditAddressList;
  int CheckInterval = 300000;
  int MarginLeft = 200;
  int MarginRight = 200;
  int MarginTop = 200;
  int MarginBottom = 200;
  std::string ProxyAddress;
  std::string ProxyPort;
  std::string SettingsVersion = "old";
  std::string AttachDir;
  int PaperIndex = 0;
  int LastShownForm = fnNone;
  bool FirstStart = true;

  CheckCycle& Cycle() { return *cycle_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateSettingsPages();
  QWidget* CreateAccountPage();
  QWidget* CreateGeneralPage();
  QWidget* CreateConnectionPage();
  QWidget* CreatePrintPage();
  void CreateTrayMenu();
  void ShowTrayIcon();
  void ReadSettings();
  void MigrateAccounts();
  void FillControls();
  void FillCheckList();
  void SetProxyBoxes(bool enabled);
  void OpenAccountEditor();
  bool TakeMargins();
  void NotifyAtTray(const std::string& text);
  void EndProgram(const std::function<void(const QString&)>& reportSaveFailure);
  // "環境設定" asked for while a check ran opens once the check is over.
  void OpenRequestedSettings();
  // Runs a handler; an exception escaping it is shown and the program
  // carries on.
  void Guarded(const std::function<void()>& handler);
  void Message(const QString& text, QMessageBox::Icon icon = QMessageBox::Information);
  void Notice(const QString& text);
  void NotAnInteger(const QString& text);

  TForm1Services services_;
  bool ending_ = false;
  bool settingsRequested_ = false;
  std::array<QWidget*, fnAbout + 1> forms_{};
  QtTrayOwner trayOwner_;
  std::shared_ptr<ImageList> ImageList1;
  std::shared_ptr<QtTrayMenu> trayMenu_;
  LocalClock clock_;
  CommLog log_;
  MessagePrinter messagePrinter_;
  std::unique_ptr<TrayIconCheckTray> checkTray_;
  std::unique_ptr<CheckCycle> cycle_;
};

// Signals end the program as "終了" does; the session's end saves the
// settings. Before FormCreate, so that a signal during start-up is kept.
void ConnectProgramEnds(TForm1& form, ProgramEndWatcher& watcher);

// An exception's text: UTF-8 where it is valid UTF-8, else Shift_JIS.
QString ExceptionText(const char* what);

// The program's icon and the three frames of the tray animation, from the
// resources.
QIcon ApplicationIcon();
std::vector<QIcon> AnimationFrames();

}  // namespace pelnor
