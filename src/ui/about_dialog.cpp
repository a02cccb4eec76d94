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
  panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  productNameLabel = BoldLabel(QStringLiteral("Pelnor"), QStringLiteral("blue"), panel);
  versionLabel = BoldLabel(QStringLiteral("Ver.1.7"), QStringLiteral("red"), panel);
  subtitleLabel = new QLabel(QString::fromUtf8(kAboutSubtitle), panel);
  noticeLabel = new QLabel(QString::fromUtf8(kAboutNotice), panel);
  // Unwrapped: Japanese wraps between any two characters, mid-phrase too.
  noticeLabel->setWordWrap(false);
  pathsLabel = new QLabel(panel);
  pathsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  iconLabel = new QLabel(panel);
  iconLabel->setPixmap(QApplication::windowIcon().pixmap(48, 48));
  auto* texts = new QVBoxLayout;
  for (QLabel* label : {productNameLabel, versionLabel, subtitleLabel, noticeLabel, pathsLabel})
    texts->addWidget(label);
  auto* panelLayout = new QHBoxLayout(panel);
  panelLayout->addWidget(iconLabel, 0, Qt::AlignTop);
  panelLayout->addLayout(texts, 1);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(okButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(okButton, &QPushButton::clicked, this, &AboutDialog::OnOk);
}

void AboutDialog::OnOk() { close(); }

void AboutDialog::ShowPaths(const QString& programDir, const QString& manual) {
  pathsLabel->setText(QStringLiteral("設定フォルダ: %1\nマニュアル: %2")
                          .arg(programDir, manual.isEmpty() ? QStringLiteral("見つかりません") : manual));
}

void AboutDialog::showEvent(QShowEvent* event) {
  if (setLastShownForm_) setLastShownForm_(kFormNumber);
  QDialog::showEvent(event);
}

}  // namespace pelnor
