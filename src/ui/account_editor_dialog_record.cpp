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

namespace pelnor {
namespace {

bool IsDirectory(const std::string& sjis) {
  std::error_code ignored;
  return !sjis.empty() && std::filesystem::is_directory(SjisToUtf8(sjis), ignored);
}

std::string Text(const QLineEdit* edit) { return ToSjis(edit->text()); }

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
  StringGrid1->clearContents();
  StringGrid1->setRowCount(1);
}

void AccountEditorDialog::ShowAddresses() {
  StringGrid1->clearContents();
  StringGrid1->setRowCount(std::max<int>(1, static_cast<int>(EditAddressList.size())));
  for (size_t row = 0; row < EditAddressList.size(); ++row)
    StringGrid1->setItem(static_cast<int>(row), 0,
                         new QTableWidgetItem(FromSjis(EditAddressList[row])));
}

void AccountEditorDialog::PrepareForNew() {
  ClearAddresses();
  for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4}) edit->clear();
  CheckBox1->setChecked(true);
  ShowPrinterFont();
  CheckBox2->setChecked(false);
  CheckBox2Click();
  CheckBox3->setChecked(false);
  CheckBox4->setChecked(false);
  FillPrinters();
  PrinterIndex = std::max(0, services_.Printer->PrinterIndex());
  ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? PrinterIndex : -1);
  EditMode = 0;
}

void AccountEditorDialog::LoadRecord(size_t index) {
  ClearAddresses();
  const LoadedAccount loaded = ReadRecordForEditor(services_.Accounts->Records().at(index));
  const Account& d = loaded.Shown;
  Edit1->setText(FromSjis(d.Alias));
  Edit2->setText(FromSjis(d.Host));
  Edit3->setText(FromSjis(d.User));
  Edit4->setText(FromSjis(d.Password));
  FillPrinters();
  const int paper = d.PaperIndex.value_or(0);
  SelectRecordPrinter(d.PrinterIndex.value_or(0));
  if (services_.PaperIndex) *services_.PaperIndex = paper;
  if (services_.SelectPrinterPaper)
    Guarded([&] { services_.SelectPrinterPaper(PrinterIndex, paper); });
  Edit5->setText(FromSjis(d.FontName));
  Edit6->setText(FromSjis(d.FontStyle));
  Edit7->setText(FromSjis(d.Field(afFontSize)));
  CheckBox2->setChecked(d.SaveAttachments);
  if (services_.AttachDir)
    *services_.AttachDir =
        IsDirectory(d.AttachDir) ? d.AttachDir : AttachmentFolderPath(services_.ProgramDir);
  CheckBox4->setChecked(d.DateSubDir);
  CheckBox3->setChecked(d.DeleteOnServer);
  CheckBox1->setChecked(d.ReceiveAll);
  if (!d.ReceiveAll) {
    EditAddressList = d.Addresses;
    ShowAddresses();
  }
  EditIndex = index;
  EditMode = 1;
  CheckBox2Click();
  for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8})
    edit->setCursorPosition(0);  // long texts show their beginning
  for (int field : loaded.NotWholeFields)
    Message(QStringLiteral("%1の値が整数ではないため、0として読み込みました。").arg(FieldName(field)));
}

// Past the list: the first entry shows while the default printer prints.
// Below 0 (stored when no printer was installed): nothing is selected and
// the default printer stays.
void AccountEditorDialog::SelectRecordPrinter(int stored) {
  const int count = ComboBox1->count();
  if (stored >= count) {
    ComboBox1->setCurrentIndex(count > 0 ? 0 : -1);
    PrinterIndex = -1;
  } else if (stored < 0) {
    ComboBox1->setCurrentIndex(-1);
    PrinterIndex = -1;
  } else {
    ComboBox1->setCurrentIndex(stored);
    PrinterIndex = stored;
  }
}

// --- dependent controls ------------------------------------------------------

void AccountEditorDialog::CheckBox1Click() { StringGrid1->setVisible(!CheckBox1->isChecked()); }

void AccountEditorDialog::CheckBox2Click() {
  const bool on = CheckBox2->isChecked();
  Edit8->setText(on && services_.AttachDir ? FromSjis(*services_.AttachDir) : QString());
  QPalette palette = QGuiApplication::palette();
  if (!on) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  Edit8->setPalette(palette);
  Edit8->setEnabled(on);
  CheckBox4->setEnabled(on);
  Button6->setEnabled(on);
}

// --- receiving addresses -------------------------------------------------------

void AccountEditorDialog::Button3Click() {
  if (CheckBox1->isChecked()) {
    CheckBox1->setChecked(false);
    StringGrid1->clearContents();
    StringGrid1->setRowCount(1);
  }
  InputMode = 1;
  setEnabled(false);
  inputDialog->Open(QStringLiteral("新規ｱﾄﾞﾚｽ追加"));
}

void AccountEditorDialog::Button4Click() {
  const int row = StringGrid1->currentRow();
  if (CheckBox1->isChecked() || row < 0 || row >= static_cast<int>(EditAddressList.size()))
    return;
  EditAddressList.erase(EditAddressList.begin() + row);
  ShowAddresses();
  if (EditAddressList.empty()) CheckBox1->setChecked(true);
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
    inputDialog->Edit1->clear();
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

void AccountEditorDialog::Button6Click() {
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
  Edit8->setText(FromSjis(chosen));
  return true;
}

void AccountEditorDialog::NewDirectoryClick() {
  directoryChooser->setEnabled(false);
  InputMode = 2;
  inputDialog->Open(QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));
}

// --- OK and cancel ------------------------------------------------------------------

// An account needs a name, a server and a user to be checked at all.
bool AccountEditorDialog::RequiredTextsGiven() {
  const std::pair<const char*, QLineEdit*> boxes[] = {
      {"ｴｲﾘｱｽ", Edit1}, {"POP3ｻｰﾊﾞｰ", Edit2}, {"ﾕｰｻﾞｰ名", Edit3}};
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
      {"ｴｲﾘｱｽ", Edit1},      {"POP3ｻｰﾊﾞｰ", Edit2}, {"ﾕｰｻﾞｰ名", Edit3},
      {"ﾊﾟｽﾜｰﾄﾞ", Edit4},    {"出力ﾌｫﾝﾄ", Edit5},  {"ｽﾀｲﾙ", Edit6},
      {"ｻｲｽﾞ", Edit7},       {"添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ", Edit8}};
  for (const auto& [label, edit] : boxes) {
    if (const QString bad = UnusableChar(edit->text()); !bad.isEmpty()) {
      Message(UnusableCharMessage(QString::fromUtf8(label), bad));
      edit->setFocus();
      return false;
    }
  }
  return true;
}

Account AccountEditorDialog::DraftFromControls() const {
  Account d;
  d.Alias = Text(Edit1);
  d.Host = Text(Edit2);
  d.User = Text(Edit3);
  d.Password = Text(Edit4);
  d.PrinterIndex = ComboBox1->currentIndex();
  d.PaperIndex = ComboBox2->currentIndex();
  d.FontName = Text(Edit5);
  d.FontStyle = Text(Edit6);
  d.SetField(afFontSize, Text(Edit7));  // as typed, never checked
  d.SaveAttachments = CheckBox2->isChecked();
  d.AttachDir = Text(Edit8);
  d.DateSubDir = CheckBox4->isChecked();
  d.DeleteOnServer = CheckBox3->isChecked();
  d.ReceiveAll = CheckBox1->isChecked();
  d.Addresses = EditAddressList;
  return d;
}

void AccountEditorDialog::Button1Click() {
  if (!RequiredTextsGiven() || !TextsUsable()) return;
  if (EditAddressList.empty()) CheckBox1->setChecked(true);
  const Account draft = DraftFromControls();
  const std::string record = BuildAccountRecord(draft);
  const std::optional<size_t> editing = EditMode == 1 ? std::optional(EditIndex) : std::nullopt;
  const QString duplicate = QStringLiteral("ｴｲﾘｱｽ名が重複してます。");
  const std::vector<size_t> equal = DuplicateAliases(*services_.Accounts, draft.Alias, editing);
  for (size_t i = 0; i < equal.size(); ++i) Message(duplicate);
  if (!equal.empty()) {
    Edit1->setFocus();
    return;
  }
  if (!StoreAccountRecord(*services_.Accounts, services_.ProgramDir, draft.Alias, record, editing)) {
    Message(duplicate);  // the same alias but for letter case, and nothing else differs
    Edit1->setFocus();
    return;
  }
  if (OnAccountsChanged) OnAccountsChanged();
  close();
}

void AccountEditorDialog::Button2Click() { close(); }

void AccountEditorDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
