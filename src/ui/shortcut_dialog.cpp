#include "ui/shortcut_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/shell/startup_shortcuts.h"

namespace pelnor {

ShortcutDialog::ShortcutDialog(ShortcutDialogServices services, QWidget* parent)
    : QWidget(parent, Qt::Dialog), MakeShortCut1(services.Environment), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("ｼｮｰﾄｶｯﾄ設定"));
  CheckBox1 = new QCheckBox(QStringLiteral("スタートアップに登録します。"), this);
  CheckBox2 = new QCheckBox(QStringLiteral("ディスクトップにショトカットを作成します。"), this);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CheckBox1);
  layout->addWidget(CheckBox2);
  layout->addWidget(Button1, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  MakeShortCut1.SCShowCmd = tsNormal;
  MakeShortCut1.SCSystemPath = tpDesktop;
  connect(Button1, &QPushButton::clicked, this, &ShortcutDialog::Button1Click);
}

void ShortcutDialog::Button1Click() {
  const std::vector<std::string> errors = CreateChosenShortcuts(
      MakeShortCut1, services_.ProgramDir, CheckBox1->isChecked(), CheckBox2->isChecked());
  if (services_.ShowError)
    for (const std::string& error : errors) services_.ShowError(QString::fromStdString(error));
  close();
}

void ShortcutDialog::showEvent(QShowEvent* event) {
  if (services_.SetLastShownForm) services_.SetLastShownForm(kFormNumber);
  QWidget::showEvent(event);
}

void ShortcutDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!FirstStart) return;
  FirstStart = false;
  if (services_.OnFirstStartClosed) services_.OnFirstStartClosed();
}

}  // namespace pelnor
