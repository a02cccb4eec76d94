// The settings dialog: filling, opening, and the values it hands back at
// once, at OK and at closing.

#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabWidget>

#include <optional>
#include <utility>

#include "core/store/account_store.h"
#include "core/store/settings_rules.h"
#include "platform/print_text.h"  // FromSjis, ToSjis
#include "ui/account_editor_dialog.h"
#include "ui/typed_number.h"

namespace pelnor {

// A tool window gets no taskbar entry: the program lives in the tray.
SettingsDialog::SettingsDialog(SettingsDialogServices services)
    : QWidget(nullptr, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
  setWindowTitle(QStringLiteral("Pelnor"));
  setFont(QFont(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                            QStringLiteral("IPAGothic")},
                9));
  CreatePages();
  ConnectHandlers();
  // The editor is not a child: disabling this dialog must leave it usable.
  services_.Editor->OnClosed = [this] { setEnabled(true); };
  services_.Editor->OnAccountsChanged = [this] { FillAccountList(); };
}

void SettingsDialog::ConnectHandlers() {
  auto guarded = [this](void (SettingsDialog::*handler)()) {
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
  };
  connect(okButton, &QPushButton::clicked, this, guarded(&SettingsDialog::OnOk));
  connect(cancelButton, &QPushButton::clicked, this, guarded(&SettingsDialog::OnCancel));
  connect(newButton, &QPushButton::clicked, this, guarded(&SettingsDialog::OnNewAccount));
  connect(deleteButton, &QPushButton::clicked, this, guarded(&SettingsDialog::OnDeleteAccount));
  connect(editButton, &QPushButton::clicked, this, guarded(&SettingsDialog::OnEditAccount));
  connect(accountCheckList, &QListWidget::itemDoubleClicked, this,
          guarded(&SettingsDialog::OnAccountDoubleClicked));
  connect(accountCheckList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    Guarded([this, item] { OnCheckMarkChanged(item); });
  });
  for (QRadioButton* option : {directConnectionRadio, proxyRadio})
    connect(option, &QRadioButton::clicked, this,
            guarded(&SettingsDialog::OnConnectionOptionClicked));
  // The log switch and the connection option count as soon as they change.
  connect(logCheck, &QCheckBox::toggled, this, guarded(&SettingsDialog::HandBack));
  for (QRadioButton* option : {directConnectionRadio, proxyRadio})
    connect(option, &QRadioButton::toggled, this, guarded(&SettingsDialog::HandBack));
}

void SettingsDialog::Fill(const Settings& settings) {
  edited_ = settings;
  const QSignalBlocker quietLog(logCheck);
  const QSignalBlocker quietDirect(directConnectionRadio);
  const QSignalBlocker quietProxy(proxyRadio);
  logCheck->setChecked(settings.LogEnabled);
  // Both options start off; the file cannot turn on two of one group.
  if (settings.DirectConnection)
    directConnectionRadio->setChecked(true);
  else if (settings.UseProxy)
    proxyRadio->setChecked(true);
  intervalEdit->setText(QString::number(MinutesFromInterval(settings.CheckInterval)));
  SetProxyBoxes(!directConnectionRadio->isChecked());
  leftMarginEdit->setText(QString::number(settings.MarginLeft));
  rightMarginEdit->setText(QString::number(settings.MarginRight));
  topMarginEdit->setText(QString::number(settings.MarginTop));
  bottomMarginEdit->setText(QString::number(settings.MarginBottom));
}

void SettingsDialog::Open(const Settings& settings) {
  edited_ = settings;
  pages->setCurrentWidget(accountsPage);
  show();
  raise();
  activateWindow();
}

Settings SettingsDialog::Edited() const {
  Settings settings = edited_;
  settings.LogEnabled = logCheck->isChecked();
  settings.DirectConnection = directConnectionRadio->isChecked();
  settings.UseProxy = proxyRadio->isChecked();
  return settings;
}

void SettingsDialog::HandBack() {
  if (OnSettingsChanged) OnSettingsChanged(Edited());
}

// Back on the accounts page, centred on the desktop.
void SettingsDialog::showEvent(QShowEvent* event) {
  pages->setCurrentWidget(accountsPage);
  accountCheckList->setFocus(Qt::OtherFocusReason);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QWidget::showEvent(event);
}

// OK, "キャンセル" and the close box all close here.
void SettingsDialog::closeEvent(QCloseEvent* event) {
  bool closed = false;
  Guarded([&] { closed = TakeIntervalOnClose(); });
  if (closed)
    event->accept();
  else
    event->ignore();
}

bool SettingsDialog::TakeIntervalOnClose() {
  const std::optional<int> interval = IntervalFromMinutes(TypedNumberText(intervalEdit->text()));
  if (!interval) {
    NotAnInteger(intervalEdit->text());
    return false;
  }
  edited_.CheckInterval = *interval;
  HandBack();
  if (OnClosed) OnClosed();
  return true;
}

void SettingsDialog::OnOk() {
  SaveAccounts(services_.ProgramDir, *services_.Accounts);
  const bool marginsTaken = TakeMargins();
  if (marginsTaken && proxyRadio->isChecked()) {
    edited_.ProxyAddress = ToSjis(proxyAddressEdit->text());
    edited_.ProxyPort = ToSjis(proxyPortEdit->text());
  }
  HandBack();
  if (!marginsTaken) return;
  close();
  if (OnAccepted) OnAccepted();
}

// In the order left, right, top, bottom; a refused box stops there, the
// ones before it taken over.
bool SettingsDialog::TakeMargins() {
  int* margins[] = {&edited_.MarginLeft, &edited_.MarginRight, &edited_.MarginTop,
                    &edited_.MarginBottom};
  QLineEdit* edits[] = {leftMarginEdit, rightMarginEdit, topMarginEdit, bottomMarginEdit};
  for (int i = 0; i < 4; ++i) {
    const std::optional<int> value = ParseWholeNumber(TypedNumberText(edits[i]->text()));
    if (!value) {
      NotAnInteger(edits[i]->text());
      return false;
    }
    *margins[i] = *value;
  }
  return true;
}

void SettingsDialog::OnCancel() { close(); }

void SettingsDialog::OnConnectionOptionClicked() {
  SetProxyBoxes(!directConnectionRadio->isChecked());
}

// Disabled boxes are empty and take the button face, as the proxy is off.
void SettingsDialog::SetProxyBoxes(bool enabled) {
  proxyAddressEdit->setText(enabled ? FromSjis(edited_.ProxyAddress) : QString());
  proxyPortEdit->setText(enabled ? FromSjis(edited_.ProxyPort) : QString());
  QPalette palette = QGuiApplication::palette();
  if (!enabled) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  for (QLineEdit* edit : {proxyAddressEdit, proxyPortEdit}) {
    edit->setPalette(palette);
    edit->setEnabled(enabled);
  }
}

void SettingsDialog::Guarded(const std::function<void()>& handler) {
  RunShowingFailure(handler, services_.ShowMessage);
}

void SettingsDialog::Message(const QString& text, QMessageBox::Icon icon) {
  if (services_.ShowMessage) services_.ShowMessage(text, icon);
}

void SettingsDialog::NotAnInteger(const QString& text) {
  Message(QStringLiteral("'%1' は整数ではありません").arg(text), QMessageBox::Critical);
}

}  // namespace pelnor
