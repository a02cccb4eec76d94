#include "ui/about_dialog.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelnor {
namespace {

QLabel* BoldLabel(const QString& text, const QString& color, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 1.5);
  label->setFont(font);
  label->setStyleSheet(QStringLiteral("color: %1;").arg(color));
  return label;
}

}  // namespace

AboutDialog::AboutDialog(std::function<void(int)> setLastShownForm, QWidget* parent)
    : QDialog(parent), setLastShownForm_(std::move(setLastShownForm)) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  Panel1 = new QFrame(this);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ProductName = BoldLabel(QStringLiteral("Pelnor"), QStringLiteral("blue"), Panel1);
  Version = BoldLabel(QStringLiteral("Ver.1.7"), QStringLiteral("red"), Panel1);
  Comments = new QLabel(QString::fromUtf8(kAboutSubtitle), Panel1);
  Copyright = new QLabel(QString::fromUtf8(kAboutNotice), Panel1);
  Copyright->setWordWrap(true);
  Copyright->setMinimumWidth(280);
  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
  auto* texts = new QVBoxLayout;
  for (QLabel* label : {ProductName, Version, Comments, Copyright}) texts->addWidget(label);
  auto* panelLayout = new QHBoxLayout(Panel1);
  panelLayout->addWidget(ProgramIcon, 0, Qt::AlignTop);
  panelLayout->addLayout(texts, 1);
  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Panel1);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(OKButton, &QPushButton::clicked, this, &AboutDialog::OKButtonClick);
}

void AboutDialog::OKButtonClick() { close(); }

void AboutDialog::showEvent(QShowEvent* event) {
  if (setLastShownForm_) setLastShownForm_(kFormNumber);
  QDialog::showEvent(event);
}

}  // namespace pelnor
