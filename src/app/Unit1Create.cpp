// Start-up and end of the main form: the settings file, the account list
// and its upgrade, the controls filled once, the timer armed; and every way
// the program ends, each of which saves the settings first.

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QRadioButton>


#include "app/Unit1.h"
#include "core/store/settings_rules.h"
#include "platform/program_end_watcher.h"
#include "core/store/account_store.h"
#include "core/store/migration.h"
#include "core/store/settings.h"

namespace pelnor {
namespace {

void WarnSaveFailed(const QString& text) {
  qWarning("Defult.ini: %s", qPrintable(text));
}

}  // namespace

void TForm1::FormCreate() {
  ShowTrayIcon();
  ReadSettings();
  if (FirstStart && OnShowShortcutDialog) OnShowShortcutDialog();
  Guarded([this] { LoadAccounts(services_.ProgramDir, AccountList); });
  if (!AccountList.empty()) FillCheckList();
  MigrateAccounts();
  // The upgraded version reaches the file now: a tray program is seldom
  // ended through its menu, and the next start must not upgrade again.
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    Notice(ExceptionText(e.what()));
  }
  Edit4->setText(QString::number(MinutesFromInterval(CheckInterval)));
  AttachDir = AttachmentFolderPath(services_.ProgramDir);
  SetProxyBoxes(!RadioButton1->isChecked());
  Timer1.SetInterval(CheckInterval);
  Timer1.SetEnabled(true);
  messagePrinter_.Margins = {MarginLeft, MarginTop, MarginRight, MarginBottom};
  Edit5->setText(QString::number(MarginLeft));
  Edit6->setText(QString::number(MarginRight));
  Edit7->setText(QString::number(MarginTop));
  Edit8->setText(QString::number(MarginBottom));
  // Without the shortcut dialog the first start goes straight on to the
  // accounts.
  if (FirstStart && !OnShowShortcutDialog) FirstStartDialogClosed();
}

void TForm1::ReadSettings() {
  Settings settings;
  Guarded([&] { settings = LoadSettings(services_.ProgramDir); });
  CheckInterval = TimedCheckInterval(settings.CheckInterval);
  CheckBox2->setChecked(settings.LogEnabled);
  // Both buttons start off; the file cannot turn on two of one group, and
  // at exit each button's own state is written back.
  if (settings.DirectConnection)
    RadioButton1->setChecked(true);
  else if (settings.UseProxy)
    RadioButton2->setChecked(true);
  MarginLeft = settings.MarginLeft;
  MarginRight = settings.MarginRight;
  MarginTop = settings.MarginTop;
  MarginBottom = settings.MarginBottom;
  ProxyAddress = settings.ProxyAddress;
  ProxyPort = settings.ProxyPort;
  SettingsVersion = settings.SettingsVersion;
  FirstStart = settings.FirstStart;
}

void TForm1::MigrateAccounts() {
  Guarded([this] {
    pelnor::MigrateAccounts(services_.ProgramDir, SettingsVersion, AccountList, PaperIndex,
                            [this](int&) { LoadPaperNames(); });
  });
  if (!AccountList.empty()) FillCheckList();
}

// At start-up the selected printer is the system's default one.
void TForm1::LoadPaperNames() {
  try {
    Form2->LoadPaperNames();
  } catch (const std::exception& e) {
    // No printer to ask: every record keeps the paper index it has.
    qWarning("paper list: %s", qPrintable(ExceptionText(e.what())));
  }
}

void TForm1::FillCheckList() {
  const QSignalBlocker quiet(CheckListBox1);
  CheckListBox1->clear();
  for (const AccountCheckItem& account : AccountCheckItems(AccountList)) {
    auto* item = new QListWidgetItem(FromSjis(account.Caption), CheckListBox1);
    item->setData(Qt::UserRole, QByteArray::fromStdString(account.Caption));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(account.Checked ? Qt::Checked : Qt::Unchecked);
  }
}

// Disabled boxes are empty and take the button face, as the proxy is off.
void TForm1::SetProxyBoxes(bool enabled) {
  Edit2->setText(enabled ? FromSjis(ProxyAddress) : QString());
  Edit3->setText(enabled ? FromSjis(ProxyPort) : QString());
  QPalette palette = QGuiApplication::palette();
  if (!enabled) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  for (QLineEdit* edit : {Edit2, Edit3}) {
    edit->setPalette(palette);
    edit->setEnabled(enabled);
  }
}

void TForm1::FirstStartDialogClosed() {
  FirstStart = false;
  Timer1.SetEnabled(false);
  TrayIcon1->SetAutoPopup(false);
  show();
  raise();
  activateWindow();
}

void TForm1::SaveSettingsFile() {
  Settings settings;
  settings.CheckInterval = CheckInterval;
  settings.MarginLeft = MarginLeft;
  settings.MarginRight = MarginRight;
  settings.MarginTop = MarginTop;
  settings.MarginBottom = MarginBottom;
  settings.LogEnabled = CheckBox2->isChecked();
  settings.DirectConnection = RadioButton1->isChecked();
  settings.UseProxy = RadioButton2->isChecked();
  settings.ProxyAddress = ProxyAddress;
  settings.ProxyPort = ProxyPort;
  settings.SettingsVersion = SettingsVersion;
  settings.FirstStart = FirstStart;
  SaveSettings(services_.ProgramDir, settings);
}

void TForm1::Exit1Click() {
  EndProgram([this](const QString& text) { Message(text, QMessageBox::Critical); });
}

void TForm1::EndRequested() { EndProgram(WarnSaveFailed); }

// A check running under us unwinds at its next pump; the event loop then
// ends, wherever it is nested.
void TForm1::EndProgram(const std::function<void(const QString&)>& reportSaveFailure) {
  if (ending_) return;
  ending_ = true;
  TrayIcon1->SetEnabled(false);
  Timer1.SetEnabled(false);
  if (services_.Pump != nullptr) services_.Pump->MarkEnding();
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    reportSaveFailure(ExceptionText(e.what()));
  }
  hide();
  QCoreApplication::exit(0);
}

void TForm1::SessionEnding() {
  if (ending_) return;  // saved on the way out already
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    WarnSaveFailed(ExceptionText(e.what()));
  }
}

void ConnectProgramEnds(TForm1& form, ProgramEndWatcher& watcher) {
  watcher.OnEnd = [&form](int) { form.EndRequested(); };
  watcher.OnSessionEnd = [&form] { form.SessionEnding(); };
}

}  // namespace pelnor
