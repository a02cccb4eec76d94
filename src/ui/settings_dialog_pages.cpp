// The settings dialog's window: the four pages and the buttons below them.

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <optional>

#include "core/store/settings_rules.h"
#include "ui/settings_dialog.h"
#include "ui/typed_number.h"

namespace pelnor {
namespace {

// Room for `digits` digits in the dialog's font, and the box's frame. (The
// boxes take the dialog's font only once they are laid out in it.)
int NumberBoxWidth(const QFontMetrics& metrics, int digits) {
  return metrics.horizontalAdvance(QString(digits, QLatin1Char('0'))) + metrics.averageCharWidth() * 2;
}

}  // namespace

void SettingsDialog::CreatePages() {
  pages = new QTabWidget;
  accountsPage = CreateAccountsPage();
  generalPage = CreateGeneralPage();
  connectionPage = CreateConnectionPage();
  printPage = CreatePrintPage();
  pages->addTab(accountsPage, QStringLiteral("ｱｶｳﾝﾄ設定"));
  pages->addTab(generalPage, QStringLiteral(" 一般設定 "));
  pages->addTab(connectionPage, QStringLiteral("接続設定"));
  pages->addTab(printPage, QStringLiteral("印刷設定"));

  okButton = new QPushButton(QStringLiteral("OK"));
  cancelButton = new QPushButton(QStringLiteral("キャンセル"));
  okButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(336, 247)));
}

QWidget* SettingsDialog::CreateAccountsPage() {
  auto* page = new QWidget;
  accountCheckList = new QListWidget;
  accountCheckList->setSelectionMode(QAbstractItemView::SingleSelection);
  newButton = new QPushButton(QStringLiteral("新規"));
  deleteButton = new QPushButton(QStringLiteral("削除"));
  editButton = new QPushButton(QStringLiteral("編集"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(newButton);
  buttons->addWidget(deleteButton);
  buttons->addWidget(editButton);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(accountCheckList);
  layout->addLayout(buttons);
  return page;
}

QWidget* SettingsDialog::CreateGeneralPage() {
  auto* page = new QWidget;
  intervalEdit = new QLineEdit;
  intervalEdit->setMaximumWidth(NumberBoxWidth(fontMetrics(), 5));
  logCheck = new QCheckBox(QStringLiteral("通信ﾛｸﾞの保存"));
  auto* interval = new QHBoxLayout;
  interval->addWidget(new QLabel(QStringLiteral("受信監視間隔")));
  interval->addWidget(intervalEdit);
  interval->addWidget(new QLabel(QStringLiteral("分")));
  interval->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(interval);
  layout->addWidget(logCheck);
  layout->addStretch();
  return page;
}

QWidget* SettingsDialog::CreateConnectionPage() {
  auto* page = new QWidget;
  directConnectionRadio = new QRadioButton(QStringLiteral("通常の接続。"));
  proxyRadio = new QRadioButton(QStringLiteral("Ploxyを使用する。"));
  proxyAddressEdit = new QLineEdit;
  proxyPortEdit = new QLineEdit;
  proxyPortEdit->setMaximumWidth(NumberBoxWidth(fontMetrics(), 6));
  auto* proxy = new QGridLayout;
  proxy->setContentsMargins(20, 0, 0, 0);
  proxy->addWidget(new QLabel(QStringLiteral("ｱﾄﾞﾚｽ")), 0, 0);
  proxy->addWidget(proxyAddressEdit, 0, 1);
  proxy->addWidget(new QLabel(QStringLiteral("ﾎﾟｰﾄ")), 1, 0);
  proxy->addWidget(proxyPortEdit, 1, 1, Qt::AlignLeft);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(directConnectionRadio);
  layout->addWidget(proxyRadio);
  layout->addLayout(proxy);
  layout->addStretch();
  return page;
}

QString MarginOnPaperText(const QString& typed) {
  constexpr double kPrinterDpi = 600;
  constexpr double kMmPerInch = 25.4;
  const std::optional<int> pixels = ParseWholeNumber(TypedNumberText(typed));
  if (!pixels) return {};
  return QStringLiteral("≈ %1 mm").arg(*pixels / kPrinterDpi * kMmPerInch, 0, 'f', 1);
}

QWidget* SettingsDialog::CreatePrintPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  const QString labels[] = {QStringLiteral("左部余白"), QStringLiteral("右部余白"),
                            QStringLiteral("上部余白"), QStringLiteral("下部余白")};
  QLineEdit** edits[] = {&leftMarginEdit, &rightMarginEdit, &topMarginEdit, &bottomMarginEdit};
  for (int row = 0; row < 4; ++row) {
    QLineEdit* edit = *edits[row] = new QLineEdit;
    edit->setMaximumWidth(NumberBoxWidth(fontMetrics(), 6));
    QLabel* onPaper = marginOnPaperLabels[row] = new QLabel;
    // As wide as its widest text, so that typing does not shift the page.
    onPaper->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("≈ -888.8 mm")));
    connect(edit, &QLineEdit::textChanged, onPaper,
            [onPaper](const QString& text) { onPaper->setText(MarginOnPaperText(text)); });
    layout->addWidget(new QLabel(labels[row]), row, 0);
    layout->addWidget(edit, row, 1);
    layout->addWidget(new QLabel(QStringLiteral("ﾋﾟｸｾﾙ")), row, 2);
    layout->addWidget(onPaper, row, 3);
  }
  layout->setColumnStretch(4, 1);
  layout->setRowStretch(4, 1);
  return page;
}

}  // namespace pelnor
