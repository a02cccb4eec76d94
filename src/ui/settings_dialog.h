#pragma once

// The settings dialog "Pelnor": four pages (accounts, general, connection,
// print) and "OK"/"キャンセル". It edits a copy of the settings and hands
// each value back as it takes effect: the log switch and the connection
// option when they change, the margins and the proxy at OK, the interval
// when the dialog closes. "キャンセル" undoes nothing.
//
// The account page works on the application's account list in place, as
// the account editor does; User.inf is written by OK. The controls are
// filled once at start-up: what is typed and not taken stays in its box for
// the next opening.

#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "core/store/account_list.h"
#include "core/store/settings.h"
#include "ui/message_box.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace pelnor {

class AccountEditorDialog;

// A margin typed in printer pixels as it comes out on paper at 600 dpi:
// "≈ 8.5 mm" for 200; empty while the text is no whole number.
QString MarginOnPaperText(const QString& typed);

// What the dialog works with; all of it outlives the dialog.
struct SettingsDialogServices {
  std::string ProgramDir;                 // ends in "/"; User.inf and the histories
  AccountList* Accounts = nullptr;        // the application's list, edited in place
  AccountEditorDialog* Editor = nullptr;  // "新規", "編集" and a double click open it
  MessageBoxFn ShowMessage = ShowMessageBox;
};

class SettingsDialog : public QWidget {
 public:
  explicit SettingsDialog(SettingsDialogServices services);

  // Start-up: every control from `settings`, once.
  void Fill(const Settings& settings);
  // The account check list from the account list: caption the alias,
  // checked unless the account is disabled.
  void FillAccountList();
  // Shows the dialog on the accounts page over a copy of `settings`; the
  // controls keep what they show.
  void Open(const Settings& settings);

  // A value took effect: the whole edited copy.
  std::function<void(const Settings&)> OnSettingsChanged;
  // The dialog has closed, its interval handed back before.
  std::function<void()> OnClosed;
  // "OK" has taken the dialog's values: they are to reach the file. Also
  // when a refused interval then keeps the dialog open.
  std::function<void()> OnAccepted;

  // --- handlers -----------------------------------------------------------
  void OnOk();
  void OnCancel();
  void OnNewAccount();
  void OnDeleteAccount();
  void OnEditAccount();
  void OnAccountDoubleClicked();
  void OnCheckMarkChanged(QListWidgetItem* item);
  void OnConnectionOptionClicked();

  // --- widgets --------------------------------------------------------------
  QTabWidget* pages = nullptr;
  QWidget* accountsPage = nullptr;
  QWidget* generalPage = nullptr;
  QWidget* connectionPage = nullptr;
  QWidget* printPage = nullptr;
  QListWidget* accountCheckList = nullptr;
  QPushButton* newButton = nullptr;
  QPushButton* deleteButton = nullptr;
  QPushButton* editButton = nullptr;
  QLineEdit* intervalEdit = nullptr;
  QCheckBox* logCheck = nullptr;
  QRadioButton* directConnectionRadio = nullptr;
  QRadioButton* proxyRadio = nullptr;
  QLineEdit* proxyAddressEdit = nullptr;
  QLineEdit* proxyPortEdit = nullptr;
  QLineEdit* leftMarginEdit = nullptr;
  QLineEdit* rightMarginEdit = nullptr;
  QLineEdit* topMarginEdit = nullptr;
  QLineEdit* bottomMarginEdit = nullptr;
  // Beside each margin's "ﾋﾟｸｾﾙ", what it is on paper: left, right, top, bottom.
  std::array<QLabel*, 4> marginOnPaperLabels{};
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreatePages();
  QWidget* CreateAccountsPage();
  QWidget* CreateGeneralPage();
  QWidget* CreateConnectionPage();
  QWidget* CreatePrintPage();
  void ConnectHandlers();
  void SetProxyBoxes(bool enabled);
  void OpenAccountEditor();
  // The closing steps: false (and the dialog stays open) when the interval
  // is refused.
  bool TakeIntervalOnClose();
  bool TakeMargins();
  // The copy as it stands, the log switch and connection option included.
  Settings Edited() const;
  void HandBack();
  void Guarded(const std::function<void()>& handler);
  void Message(const QString& text, QMessageBox::Icon icon = QMessageBox::Information);
  void NotAnInteger(const QString& text);

  SettingsDialogServices services_;
  Settings edited_;
};

}  // namespace pelnor
