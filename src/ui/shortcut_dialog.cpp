#include "ui/shortcut_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/shell/startup_shortcuts.h"

namespace pelnor {

ShortcutDialog::ShortcutDialog(ShortcutDialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      shortcutMaker(services.Environment),
      services_(std::move(services)) {
  setWindowTitle(QStringLiteral("ｼｮｰﾄｶｯﾄ設定"));
  autostartCheck = new QCheckBox(QStringLiteral("スタートアップに登録します。"), this);
  desktopCheck = new QCheckBox(QStringLiteral("ディスクトップにショトカットを作成します。"), this);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(autostartCheck);
  layout->addWidget(desktopCheck);
  layout->addWidget(okButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  shortcutMaker.SCShowCmd = tsNormal;
  shortcutMaker.SCSystemPath = tpDesktop;
  shortcutMaker.SCArguments = services_.LauncherArguments;
  connect(okButton, &QPushButton::clicked, this, &ShortcutDialog::OnOk);
}

void ShortcutDialog::OnOk() {
  const std::vector<std::string> errors = CreateChosenShortcuts(
      shortcutMaker, services_.ExecutableDir, autostartCheck->isChecked(), desktopCheck->isChecked());
  if (services_.ShowError)
    for (const std::string& error : errors) services_.ShowError(QString::fromStdString(error));
  close();
}

void ShortcutDialog::showEvent(QShowEvent* event) {
  if (services_.SetLastShownForm) services_.SetLastShownForm(kFormNumber);
  autostartCheck->setFocus(Qt::OtherFocusReason);
  QWidget::showEvent(event);
}

void ShortcutDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!FirstStart) return;
  FirstStart = false;
  if (services_.OnFirstStartClosed) services_.OnFirstStartClosed();
}

}  // namespace pelnor
