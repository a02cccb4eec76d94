// The editor's record side: filling the controls, the addresses, OK.

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>

#include <filesystem>

#include "platform/print_text.h"
#include "core/text/sjis.h"
#include "ui/account_editor_dialog.h"
#include "ui/input_dialog.h"
#include "ui/directory_chooser.h"
#include "core/store/account_editor.h"
#include "core/store/account_record.h"
#include "ui/form_placement.h"
#include "core/store/program_files.h"
#include "core/store/store_error.h"
#include "core/text/integer.h"
#include "ui/typed_number.h"

namespace pelnor {
namespace {

bool IsDirectory(const std::string& sjis) {
  std::error_code ignored;
  return !sjis.empty() && std::filesystem::is_directory(SjisToUtf8(sjis), ignored);
}

std::string Text(const QLineEdit* edit) { return ToSjis(edit->text()); }

// Stored as typed and never refused; a size typed in full-width digits is
// stored in ASCII ones, so that printing reads it.
std::string FontSizeField(const QString& typed) {
  const std::string ascii = TypedNumberText(typed);
  return ParseInteger(ascii, kSignedNumber) ? ascii : ToSjis(typed);
}

QString FieldName(int field) {
  return field == afPrinter ? QStringLiteral("出力ﾌﾟﾘﾝﾀ") : QStringLiteral("用紙");
}

}  // namespace

QString UnusableChar(const QString& text) {
  for (const char32_t c : text.toUcs4()) {
    const QString one = QString::fromUcs4(&c, 1);
    try {
      if (!FieldBreakingChar(Sjis(one.toStdString())).empty()) return one;
    } catch (const std::runtime_error&) {
      return one;  // no Shift_JIS form: it would be stored as "?"
    }
  }
  return {};
}

QString UnusableCharMessage(const QString& label, const QString& character) {
  return QStringLiteral("%1に「%2」は使用できません。").arg(label, character);
}

QString EmptyTextMessage(const QString& label) {
  return QStringLiteral("%1が入力されていません。").arg(label);
}

// --- filling ---------------------------------------------------------------

void AccountEditorDialog::ClearAddresses() {
  EditAddressList.clear();
  addressGrid->clearContents();
  addressGrid->setRowCount(1);
}

void AccountEditorDialog::ShowAddresses() {
  addressGrid->clearContents();
  addressGrid->setRowCount(std::max<int>(1, static_cast<int>(EditAddressList.size())));
  for (size_t row = 0; row < EditAddressList.size(); ++row) {
    auto* item = new QTableWidgetItem(FromSjis(EditAddressList[row]));
    item->setToolTip(item->text());
    addressGrid->setItem(static_cast<int>(row), 0, item);
  }
}

void AccountEditorDialog::PrepareForNew() {
  ClearAddresses();
  for (QLineEdit* edit : {aliasEdit, userEdit, passwordEdit}) edit->clear();
  ShowServer({});
  receiveAllCheck->setChecked(true);
  ShowPrinterFont();
  saveAttachmentsCheck->setChecked(false);
  OnSaveAttachmentsToggled();
  deleteOnServerCheck->setChecked(false);
  dateDirCheck->setChecked(false);
  FillPrinters();
  PrinterIndex = std::max(0, services_.Printer->PrinterIndex());
  printerCombo->setCurrentIndex(printerCombo->count() > 0 ? PrinterIndex : -1);
  EditMode = 0;
}

void AccountEditorDialog::LoadRecord(size_t index) {
  ClearAddresses();
  const LoadedAccount loaded = ReadRecordForEditor(services_.Accounts->Records().at(index));
  const Account& shown = loaded.Shown;
  aliasEdit->setText(FromSjis(shown.Alias));
  ShowServer(ParseServerField(shown.Host));
  userEdit->setText(FromSjis(shown.User));
  passwordEdit->setText(FromSjis(shown.Password));
  FillPrinters();
  const int paper = shown.PaperIndex.value_or(0);
  SelectRecordPrinter(shown.PrinterIndex.value_or(0));
  if (services_.PaperIndex) *services_.PaperIndex = paper;
  if (services_.SelectPrinterPaper)
    Guarded([&] { services_.SelectPrinterPaper(PrinterIndex, paper); });
  fontNameEdit->setText(FromSjis(shown.FontName));
  ShowFontStyle(shown.FontStyle);
  fontSizeEdit->setText(FromSjis(shown.Field(afFontSize)));
  saveAttachmentsCheck->setChecked(shown.SaveAttachments);
  if (services_.AttachDir)
    *services_.AttachDir =
        IsDirectory(shown.AttachDir) ? shown.AttachDir : AttachmentFolderPath(services_.ProgramDir);
  dateDirCheck->setChecked(shown.DateSubDir);
  deleteOnServerCheck->setChecked(shown.DeleteOnServer);
  receiveAllCheck->setChecked(shown.ReceiveAll);
  if (!shown.ReceiveAll) {
    EditAddressList = shown.Addresses;
    ShowAddresses();
  }
  EditIndex = index;
  EditMode = 1;
  OnSaveAttachmentsToggled();
  for (QLineEdit* edit : {aliasEdit, serverEdit, userEdit, passwordEdit, fontNameEdit,
                          fontSizeEdit, attachDirEdit})
    edit->setCursorPosition(0);  // long texts show their beginning
  for (int field : loaded.NotWholeFields)
    Message(QStringLiteral("%1の値が整数ではないため、0として読み込みました。").arg(FieldName(field)));
}

// Past the list: the first entry shows while the default printer prints.
// Below 0 (stored when no printer was installed): nothing is selected and
// the default printer stays.
void AccountEditorDialog::SelectRecordPrinter(int stored) {
  const int count = printerCombo->count();
  if (stored >= count) {
    printerCombo->setCurrentIndex(count > 0 ? 0 : -1);
    PrinterIndex = -1;
  } else if (stored < 0) {
    printerCombo->setCurrentIndex(-1);
    PrinterIndex = -1;
  } else {
    printerCombo->setCurrentIndex(stored);
    PrinterIndex = stored;
  }
}

// --- dependent controls ------------------------------------------------------

void AccountEditorDialog::OnReceiveAllToggled() {
  addressGrid->setVisible(!receiveAllCheck->isChecked());
}

void AccountEditorDialog::OnSaveAttachmentsToggled() {
  const bool on = saveAttachmentsCheck->isChecked();
  attachDirEdit->setText(on && services_.AttachDir ? FromSjis(*services_.AttachDir) : QString());
  QPalette palette = QGuiApplication::palette();
  if (!on) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  attachDirEdit->setPalette(palette);
  attachDirEdit->setEnabled(on);
  dateDirCheck->setEnabled(on);
  browseButton->setEnabled(on);
}

// --- receiving addresses -------------------------------------------------------

void AccountEditorDialog::OnAddAddress() {
  if (receiveAllCheck->isChecked()) {
    receiveAllCheck->setChecked(false);
    addressGrid->clearContents();
    addressGrid->setRowCount(1);
  }
  InputMode = 1;
  setEnabled(false);
  inputDialog->Open(QStringLiteral("新規ｱﾄﾞﾚｽ追加"));
}

void AccountEditorDialog::OnDeleteAddress() {
  const int row = addressGrid->currentRow();
  if (receiveAllCheck->isChecked() || row < 0 || row >= static_cast<int>(EditAddressList.size()))
    return;
  EditAddressList.erase(EditAddressList.begin() + row);
  ShowAddresses();
  if (EditAddressList.empty()) receiveAllCheck->setChecked(true);
}

// InputDialog's OK, for an address or for a directory name.
bool AccountEditorDialog::InputAccepted(const QString& text) {
  if (const QString bad = UnusableChar(text); !bad.isEmpty()) {
    Message(UnusableCharMessage(
        InputMode == 1 ? QStringLiteral("受信ｱﾄﾞﾚｽ") : QStringLiteral("ﾃﾞｨﾚｸﾄﾘ名"), bad));
    return false;
  }
  if (InputMode == 2) {
    if (directoryChooser->CreateDirectory(text)) return true;
    inputDialog->textEdit->clear();
    return false;
  }
  EditAddressList.push_back(ToSjis(text));
  ShowAddresses();
  return true;
}

void AccountEditorDialog::InputClosed() {
  if (InputMode == 2)
    directoryChooser->setEnabled(true);
  else
    setEnabled(true);
}

// --- attachment directory ---------------------------------------------------------

void AccountEditorDialog::OnBrowse() {
  directoryChooser->SetDirectory(FromSjis(ChooserStart()));
  setEnabled(false);
  CenterOnScreen(*directoryChooser);
  directoryChooser->show();
  directoryChooser->raise();
  directoryChooser->activateWindow();
}

// The chooser opens on AttachDir, or else on the attachment folder, made
// now so that the tree can show it; the program directory is the last resort.
std::string AccountEditorDialog::ChooserStart() const {
  if (services_.AttachDir && IsDirectory(*services_.AttachDir)) return *services_.AttachDir;
  const std::string folder = AttachmentFolderPath(services_.ProgramDir);
  std::error_code failed;
  std::filesystem::create_directories(SjisToUtf8(folder), failed);
  return IsDirectory(folder) ? folder : services_.ProgramDir;
}

// A path the record cannot hold is refused, and the chooser stays open.
bool AccountEditorDialog::DirectoryChosen(const QString& directory) {
  if (const QString bad = UnusableChar(directory); !bad.isEmpty()) {
    Message(UnusableCharMessage(QStringLiteral("添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ"), bad));
    return false;
  }
  const std::string chosen = WithTrailingSeparator(ToSjis(directory));
  if (services_.AttachDir) *services_.AttachDir = chosen;
  attachDirEdit->setText(FromSjis(chosen));
  return true;
}

void AccountEditorDialog::OnNewDirectory() {
  directoryChooser->setEnabled(false);
  InputMode = 2;
  inputDialog->Open(QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));
}

// --- OK and cancel ------------------------------------------------------------------

// An account needs a name, a server and a user to be checked at all.
bool AccountEditorDialog::RequiredTextsGiven() {
  const std::pair<const char*, QLineEdit*> boxes[] = {
      {"ｴｲﾘｱｽ", aliasEdit}, {"POP3ｻｰﾊﾞｰ", serverEdit}, {"ﾕｰｻﾞｰ名", userEdit}};
  for (const auto& [label, edit] : boxes) {
    if (edit->text().trimmed().isEmpty()) {
      Message(EmptyTextMessage(QString::fromUtf8(label)));
      edit->setFocus();
      return false;
    }
  }
  return true;
}

// Every text box, so that no field can split the record.
bool AccountEditorDialog::TextsUsable() {
  const std::pair<const char*, QLineEdit*> boxes[] = {
      {"ｴｲﾘｱｽ", aliasEdit},        {"POP3ｻｰﾊﾞｰ", serverEdit},
      {"ﾕｰｻﾞｰ名", userEdit},        {"ﾊﾟｽﾜｰﾄﾞ", passwordEdit},
      {"出力ﾌｫﾝﾄ", fontNameEdit},   {"ｻｲｽﾞ", fontSizeEdit},
      {"添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ", attachDirEdit}};
  for (const auto& [label, edit] : boxes) {
    if (const QString bad = UnusableChar(edit->text()); !bad.isEmpty()) {
      Message(UnusableCharMessage(QString::fromUtf8(label), bad));
      edit->setFocus();
      return false;
    }
  }
  return true;
}

Account AccountEditorDialog::AccountFromControls() const {
  Account a;
  a.Alias = Text(aliasEdit);
  a.Host = ServerFieldText(ServerFromControls());
  a.User = Text(userEdit);
  a.Password = Text(passwordEdit);
  a.PrinterIndex = printerCombo->currentIndex();
  a.PaperIndex = paperCombo->currentIndex();
  a.FontName = Text(fontNameEdit);
  a.FontStyle = fontStyleField_;
  a.SetField(afFontSize, FontSizeField(fontSizeEdit->text()));
  a.SaveAttachments = saveAttachmentsCheck->isChecked();
  a.AttachDir = Text(attachDirEdit);
  a.DateSubDir = dateDirCheck->isChecked();
  a.DeleteOnServer = deleteOnServerCheck->isChecked();
  a.ReceiveAll = receiveAllCheck->isChecked();
  a.Addresses = EditAddressList;
  return a;
}

void AccountEditorDialog::OnOk() {
  if (!RequiredTextsGiven() || !TextsUsable() || !ServerTextUsable()) return;
  if (EditAddressList.empty()) receiveAllCheck->setChecked(true);
  const Account account = AccountFromControls();
  const std::string record = BuildAccountRecord(account);
  const std::optional<size_t> editing = EditMode == 1 ? std::optional(EditIndex) : std::nullopt;
  const QString duplicate = QStringLiteral("ｴｲﾘｱｽ名が重複してます。");
  const std::vector<size_t> equal = DuplicateAliases(*services_.Accounts, account.Alias, editing);
  for (size_t i = 0; i < equal.size(); ++i) Message(duplicate);
  if (!equal.empty()) {
    aliasEdit->setFocus();
    return;
  }
  if (!StoreAccountRecord(*services_.Accounts, services_.ProgramDir, account.Alias, record,
                          editing)) {
    Message(duplicate);  // the same alias but for letter case, and nothing else differs
    aliasEdit->setFocus();
    return;
  }
  if (OnAccountsChanged) OnAccountsChanged();
  close();
}

void AccountEditorDialog::OnCancel() { close(); }

void AccountEditorDialog::closeEvent(QCloseEvent* event) {
  // The connection test under way still uses the controls.
  if (testing_) {
    event->ignore();
    return;
  }
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
