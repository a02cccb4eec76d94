// The settings dialog's handlers. Changes are live in memory at once;
// "キャンセル" undoes nothing, it only closes.

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>

#include "app/Unit1.h"
#include "core/store/settings_rules.h"
#include "core/store/account_store.h"
#include "core/store/history.h"

namespace pelnor {
namespace {

std::string Alias(const QListWidgetItem* item) {
  return item->data(Qt::UserRole).toByteArray().toStdString();
}

}  // namespace

// While a check runs the dialog waits for its end: the check would re-arm
// the timer under the open dialog, and an account deleted meanwhile would
// lose the history file the check is writing.
void TForm1::N3Click() {
  if (cycle_->Running()) {
    settingsRequested_ = true;
    return;
  }
  PageControl1->setCurrentWidget(TabSheet1);
  Timer1.SetEnabled(false);
  TrayIcon1->SetAutoPopup(false);
  show();
  raise();
  activateWindow();
}

bool TForm1::FormClose() {
  const std::optional<int> interval = IntervalFromMinutes(Edit4->text().toStdString());
  if (!interval) {
    NotAnInteger(Edit4->text());
    return false;
  }
  CheckInterval = *interval;
  Timer1.SetInterval(CheckInterval);
  Timer1.SetEnabled(true);
  TrayIcon1->SetAutoPopup(true);
  return true;
}

void TForm1::Button1Click() {
  SaveAccounts(services_.ProgramDir, AccountList);
  if (!TakeMargins()) return;
  if (RadioButton2->isChecked()) {
    ProxyAddress = ToSjis(Edit2->text());
    ProxyPort = ToSjis(Edit3->text());
  }
  close();
  // The dialog's values reach the file at once, not only at the end.
  SaveSettingsFile();
}

// In the order left, right, top, bottom; a refused box stops there, the
// ones before it taken over.
bool TForm1::TakeMargins() {
  int* margins[] = {&MarginLeft, &MarginRight, &MarginTop, &MarginBottom};
  QLineEdit* edits[] = {Edit5, Edit6, Edit7, Edit8};
  bool taken = true;
  for (int i = 0; i < 4 && taken; ++i) {
    const std::optional<int> value = ParseWholeNumber(edits[i]->text().toStdString());
    if (value)
      *margins[i] = *value;
    else
      NotAnInteger(edits[i]->text());
    taken = value.has_value();
  }
  messagePrinter_.Margins = {MarginLeft, MarginTop, MarginRight, MarginBottom};
  return taken;
}

void TForm1::Button2Click() { close(); }

// "新規"
void TForm1::Button3Click() {
  Form2->PrepareForNew();
  OpenAccountEditor();
}

// "編集": the selected account, the first one when none is selected.
void TForm1::Button5Click() {
  if (AccountList.empty()) return;
  Form2->LoadRecord(static_cast<size_t>(std::max(0, CheckListBox1->currentRow())));
  OpenAccountEditor();
}

void TForm1::CheckListBox1DblClick() {
  if (CheckListBox1->currentRow() < 0 || AccountList.empty()) return;
  Form2->LoadRecord(static_cast<size_t>(CheckListBox1->currentRow()));
  OpenAccountEditor();
}

void TForm1::OpenAccountEditor() {
  setEnabled(false);
  Form2->show();
  Form2->raise();
  Form2->activateWindow();
}

// "削除": no question asked; the history file goes at once, the record
// reaches User.inf with the next OK.
void TForm1::Button4Click() {
  const int index = CheckListBox1->currentRow();
  if (index < 0 || AccountList.empty() || static_cast<size_t>(index) >= AccountList.size())
    return;
  const std::string alias = Alias(CheckListBox1->item(index));
  AccountList.Delete(static_cast<size_t>(index));
  FillCheckList();
  if (!DeleteHistory(services_.ProgramDir, alias))
    Message(FromSjis(HistoryDeleteFailedText(alias)));
}

// A click on an item's box also selects that item.
void TForm1::CheckListBox1ClickCheck(QListWidgetItem* item) {
  if (item == nullptr) return;
  {
    const QSignalBlocker quiet(CheckListBox1);
    CheckListBox1->setCurrentItem(item);
  }
  SetAccountChecked(AccountList, Alias(item), item->checkState() == Qt::Checked);
}

void TForm1::RadioButton1Click() { SetProxyBoxes(!RadioButton1->isChecked()); }

void TForm1::NotAnInteger(const QString& text) {
  Message(QStringLiteral("'%1' は整数ではありません").arg(text), QMessageBox::Critical);
}

}  // namespace pelnor
