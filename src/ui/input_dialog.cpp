#include "ui/input_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/form_placement.h"

namespace pelnor {

InputDialog::InputDialog() : QWidget(nullptr, Qt::Dialog) {
  textEdit = new QLineEdit(this);
  // A long address or folder name fits in the font in use.
  textEdit->setMinimumWidth(textEdit->fontMetrics().averageCharWidth() * 40);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  okButton->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  layout->addWidget(textEdit);
  layout->addLayout(buttons);

  setFixedSize(sizeHint().expandedTo(QSize(285, 58)));

  connect(okButton, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
  connect(textEdit, &QLineEdit::returnPressed, this, [this] { OnOk(); });
}

void InputDialog::Open(const QString& caption) {
  textEdit->clear();
  setWindowTitle(caption);
  CenterOnScreen(*this);
  show();
  raise();
  activateWindow();
  textEdit->setFocus();
}

void InputDialog::OnOk() {
  if (!OnTextEntered || OnTextEntered(textEdit->text())) close();
}

void InputDialog::OnCancel() { close(); }

void InputDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (OnShown) OnShown();
}

void InputDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
