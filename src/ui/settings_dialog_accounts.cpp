// The accounts page: the check list over the account list, and the account
// editor opened from it. Changes are live in the list at once; User.inf
// follows at OK.

#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>
#include <string>

#include "core/store/history.h"
#include "core/store/settings_rules.h"
#include "platform/print_text.h"  // FromSjis
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {
namespace {

std::string Alias(const QListWidgetItem* item) {
  return item->data(Qt::UserRole).toByteArray().toStdString();
}

}  // namespace

void SettingsDialog::FillAccountList() {
  const QSignalBlocker quiet(accountCheckList);
  accountCheckList->clear();
  for (const AccountCheckItem& account : AccountCheckItems(*services_.Accounts)) {
    auto* item = new QListWidgetItem(FromSjis(account.Caption), accountCheckList);
    item->setData(Qt::UserRole, QByteArray::fromStdString(account.Caption));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(account.Checked ? Qt::Checked : Qt::Unchecked);
  }
}

void SettingsDialog::OnNewAccount() {
  services_.Editor->PrepareForNew();
  OpenAccountEditor();
}

// The selected account, the first one when none is selected.
void SettingsDialog::OnEditAccount() {
  if (services_.Accounts->empty()) return;
  services_.Editor->LoadRecord(static_cast<size_t>(std::max(0, accountCheckList->currentRow())));
  OpenAccountEditor();
}

void SettingsDialog::OnAccountDoubleClicked() {
  if (accountCheckList->currentRow() < 0 || services_.Accounts->empty()) return;
  services_.Editor->LoadRecord(static_cast<size_t>(accountCheckList->currentRow()));
  OpenAccountEditor();
}

// Disabled until the editor closes.
void SettingsDialog::OpenAccountEditor() {
  setEnabled(false);
  services_.Editor->show();
  services_.Editor->raise();
  services_.Editor->activateWindow();
}

// No question asked; the history file goes at once, the record reaches
// User.inf with the next OK.
void SettingsDialog::OnDeleteAccount() {
  AccountList& accounts = *services_.Accounts;
  const int index = accountCheckList->currentRow();
  if (index < 0 || accounts.empty() || static_cast<size_t>(index) >= accounts.size()) return;
  const std::string alias = Alias(accountCheckList->item(index));
  accounts.Delete(static_cast<size_t>(index));
  FillAccountList();
  if (!DeleteHistory(services_.ProgramDir, alias))
    Message(FromSjis(HistoryDeleteFailedText(alias)));
}

// A click on an item's box also selects that item.
void SettingsDialog::OnCheckMarkChanged(QListWidgetItem* item) {
  if (item == nullptr) return;
  {
    const QSignalBlocker quiet(accountCheckList);
    accountCheckList->setCurrentItem(item);
  }
  SetAccountChecked(*services_.Accounts, Alias(item), item->checkState() == Qt::Checked);
}

}  // namespace pelnor
