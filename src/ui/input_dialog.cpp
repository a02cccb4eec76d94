#include "ui/input_dialog.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/form_placement.h"

namespace pelnor {

InputDialog::InputDialog() : QWidget(nullptr, Qt::Dialog) {
  setFixedSize(285, 58);
  Edit1 = new QLineEdit(this);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
  Button1->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  layout->addWidget(Edit1);
  layout->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Edit1, &QLineEdit::returnPressed, this, [this] { Button1Click(); });
}

void InputDialog::Open(const QString& caption) {
  Edit1->clear();
  setWindowTitle(caption);
  CenterOnScreen(*this);
  show();
  raise();
  activateWindow();
  Edit1->setFocus();
}

void InputDialog::Button1Click() {
  if (!OnOK || OnOK(Edit1->text())) close();
}

void InputDialog::Button2Click() { close(); }

void InputDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (OnShown) OnShown();
}

void InputDialog::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
