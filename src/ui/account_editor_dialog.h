#pragma once

// AccountEditorDialog "ｱｶｳﾝﾄ設定", the account editor, with the input
// dialog InputDialog and the directory chooser DirectoryChooser that serve
// it. The settings dialog calls PrepareForNew ("新規") or LoadRecord ("編集",
// double click), disables itself and shows the editor; OnClosed tells it
// when to enable itself again. Record building and checking live in
// core/store/account_editor.h.

#include <QFont>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/print/print_canvas.h"
#include "ui/input_dialog.h"
#include "ui/directory_chooser.h"
#include "ui/font_dialog.h"
#include "core/store/account_editor.h"
#include "core/store/account_list.h"
#include "core/store/server_address.h"
#include "ui/message_box.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace pelnor {

// A message box over the editor; tests hand in a recorder.
using EditorMessage = std::function<void(const QString& text)>;

// The font dialog: the chosen font, nothing when cancelled.
using ChooseFontFn = std::function<std::optional<QFont>(const QFont& start)>;

// A yes/no question over the editor: true for yes.
using EditorQuestion = std::function<bool(const QString& text)>;

// What the editor works with; all of it outlives the editor. The pointers
// are the main form's own state.
struct AccountEditorServices {
  std::string ProgramDir;                 // ends in "/"
  AccountList* Accounts = nullptr;        // the main form's AccountList
  PrintCanvas* Printer = nullptr;        // the program-wide printer object
  int* PaperIndex = nullptr;              // the main form's PaperIndex
  std::string* AttachDir = nullptr;       // the main form's AttachDir (Shift_JIS)
  // Selects printer and paper as printing does (-1 or past the list: the
  // default printer; a paper outside the list keeps the current paper).
  std::function<void(int printerIndex, int paperIndex)> SelectPrinterPaper;
  std::function<void(int formNumber)> SetLastShownForm;  // 2, 3 or 4
  EditorMessage ShowMessage = ShowWarningBox;
  ChooseFontFn ChooseFont = ChooseFontDialog;
  EditorQuestion Ask = AskYesNoBox;
  // Runs the pending events while the connection test waits, so the
  // program stays alive; may throw EProgramEnding. Empty: none run.
  std::function<void()> Pump;
};

class AccountEditorDialog : public QWidget {
 public:
  static constexpr int kFormNumber = 2;  // LastShownForm while it is shown

  explicit AccountEditorDialog(AccountEditorServices services);
  ~AccountEditorDialog() override;

  // Fill the controls; the caller then disables itself and shows the editor.
  void PrepareForNew();
  void LoadRecord(size_t index);

  // The paper list of the printer selected in the print object, with its
  // current paper selected and taken into PaperIndex. Also used by the
  // upgrade of old records at start-up.
  void LoadPaperNames();

  // OK stored a record: refill the settings dialog's account check list.
  std::function<void()> OnAccountsChanged;
  // Whenever the editor closes: enable the settings dialog again.
  std::function<void()> OnClosed;

  // --- handlers ---------------------------------------------------------
  void OnShown();                   // the printer chosen, its papers listed
  void OnActivated();               // the printer list widened
  void OnPrinterChanged();
  void OnChooseFont();              // "変更"
  void OnReceiveAllToggled();
  void OnSaveAttachmentsToggled();
  void OnAddAddress();              // "追加"
  void OnDeleteAddress();           // "削除"
  void OnBrowse();                  // "参照"
  void OnSecurityChosen();          // "暗号化": its usual port proposed
  void OnTestConnection();          // "接続テスト"
  void OnOk();                      // "OK"
  void OnCancel();                  // "キャンセル"

  // --- widgets ------------------------------------------------------------
  QGroupBox* accountGroup = nullptr;   // "ｱｶｳﾝﾄ情報"
  QGroupBox* outputGroup = nullptr;    // "出力設定"
  QGroupBox* addressGroup = nullptr;   // "受信ｱﾄﾞﾚｽ"
  QGroupBox* transferGroup = nullptr;  // "通信設定"
  QLineEdit* aliasEdit = nullptr;
  QLineEdit* serverEdit = nullptr;  // the host alone
  QSpinBox* portSpin = nullptr;
  QComboBox* securityCombo = nullptr;  // なし, SSL/TLS, STARTTLS
  QLineEdit* userEdit = nullptr;
  QLineEdit* passwordEdit = nullptr;
  QComboBox* printerCombo = nullptr;
  QComboBox* paperCombo = nullptr;
  QLineEdit* fontNameEdit = nullptr;
  QLineEdit* fontStyleEdit = nullptr;  // read only: the style in words
  QLineEdit* fontSizeEdit = nullptr;
  QPushButton* fontButton = nullptr;
  QCheckBox* receiveAllCheck = nullptr;
  QTableWidget* addressGrid = nullptr;
  QPushButton* addAddressButton = nullptr;
  QPushButton* deleteAddressButton = nullptr;
  QCheckBox* saveAttachmentsCheck = nullptr;
  QLineEdit* attachDirEdit = nullptr;
  QPushButton* browseButton = nullptr;
  QCheckBox* dateDirCheck = nullptr;
  QCheckBox* deleteOnServerCheck = nullptr;
  QPushButton* connectionTestButton = nullptr;
  QLabel* connectionResultLabel = nullptr;  // the test's result in one line
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;
  std::unique_ptr<InputDialog> inputDialog;
  std::unique_ptr<DirectoryChooser> directoryChooser;

  // --- state ----------------------------------------------------------------
  int EditMode = 0;      // 0 new account, 1 editing
  size_t EditIndex = 0;  // the record being edited
  int PrinterIndex = -1; // -1 the default printer
  int InputMode = 0;     // what InputDialog types: 1 an address, 2 a directory
  std::vector<std::string> EditAddressList;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void CreateAccountGroup();
  void CreateOutputGroup();
  void CreateAddressGroup();
  void CreateTransferGroup();
  void CreateChildDialogs();
  void ConnectHandlers();
  void ClearAddresses();
  void ShowAddresses();
  void FillPrinters();
  void SelectRecordPrinter(int stored);
  void ShowPrinterFont();
  void ShowFontStyle(const std::string& field);
  bool RequiredTextsGiven();
  bool TextsUsable();
  bool ServerTextUsable();
  ServerAddress ServerFromControls() const;
  void ShowServer(const ServerAddress& server);
  QString RunLoginTrial(const ServerAddress& server);
  void ShowConnectionResult(const QString& line);
  Account AccountFromControls() const;
  bool InputAccepted(const QString& text);
  void InputClosed();
  bool DirectoryChosen(const QString& directory);
  void OnNewDirectory();
  std::string ChooserStart() const;
  void Guarded(const std::function<void()>& handler);
  void Message(const QString& text);
  void SetLastShown(int number);

  AccountEditorServices services_;
  std::optional<QFont> dialogFont_;  // the font last chosen in the dialog
  std::string fontStyleField_;       // field 9 as it is stored, shown in words
  bool testing_ = false;             // a connection test runs
};

// The first character of `text` that a record field cannot hold: "|", a
// character whose Shift_JIS form ends in the byte of "|", or one without a
// Shift_JIS form. Empty when the text is usable.
QString UnusableChar(const QString& text);

// "<label>に「<c>」は使用できません。"
QString UnusableCharMessage(const QString& label, const QString& character);

// "<label>が入力されていません。": a box that must not stay empty.
QString EmptyTextMessage(const QString& label);

// A font style in words: "標準", or those of "太字", "斜体", "下線" and
// "取消線" it holds, separated by blanks.
QString FontStyleWords(const FontStyles& styles);

}  // namespace pelnor
