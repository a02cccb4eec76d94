#include "ui/account_editor_dialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/input_dialog.h"
#include "ui/directory_chooser.h"
#include "ui/message_box.h"

namespace pelnor {
namespace {

QLabel* Label(const char* utf8, QWidget* parent) {
  return new QLabel(QString::fromUtf8(utf8), parent);
}

// Room for `sample` in the font of `box`, with its frame.
int WidthFor(const QWidget& box, const QString& sample) {
  const QFontMetrics metrics(box.font());
  return metrics.horizontalAdvance(sample) + 2 * metrics.averageCharWidth();
}

}  // namespace

AccountEditorDialog::AccountEditorDialog(AccountEditorServices services)
    : QWidget(nullptr, Qt::Dialog), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("ｱｶｳﾝﾄ設定"));
  CreateAccountGroup();
  CreateOutputGroup();
  CreateAddressGroup();
  CreateTransferGroup();
  connectionTestButton = new QPushButton(QStringLiteral("接続テスト"), this);
  connectionResultLabel = new QLabel(this);
  connectionResultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long reason must not widen the fixed window; the tip shows it whole.
  connectionResultLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);

  auto* top = new QHBoxLayout;
  top->addWidget(accountGroup);
  top->addWidget(outputGroup, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(addressGroup);
  bottom->addWidget(transferGroup, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(connectionTestButton);
  buttons->addWidget(connectionResultLabel, 1);
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(top);
  layout->addLayout(bottom, 1);
  layout->addLayout(buttons);
  // As large as the font in use asks, the address grid counted (it hides
  // while everything is received); never smaller than the old editor, which
  // was 398 high without the rows of port and security.
  setFixedSize(sizeHint().expandedTo(QSize(477, 452)));

  CreateChildDialogs();
  ConnectHandlers();
  OnReceiveAllToggled();
  OnSaveAttachmentsToggled();
}

AccountEditorDialog::~AccountEditorDialog() = default;

void AccountEditorDialog::CreateAccountGroup() {
  accountGroup = new QGroupBox(QStringLiteral("ｱｶｳﾝﾄ情報"), this);
  aliasEdit = new QLineEdit(accountGroup);
  serverEdit = new QLineEdit(accountGroup);
  userEdit = new QLineEdit(accountGroup);
  passwordEdit = new QLineEdit(accountGroup);
  passwordEdit->setEchoMode(QLineEdit::Password);
  passwordEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
  portSpin = new QSpinBox(accountGroup);
  portSpin->setRange(1, 65535);
  portSpin->setValue(DefaultPort(ServerSecurity::kNone));
  securityCombo = new QComboBox(accountGroup);
  // In the order of ServerSecurity.
  securityCombo->addItems({QStringLiteral("なし"), QStringLiteral("SSL/TLS"),
                           QStringLiteral("STARTTLS")});
  // A usual host name shows whole.
  serverEdit->setMinimumWidth(WidthFor(*serverEdit, QStringLiteral("pop.mail.example.co.jp")));
  auto* grid = new QGridLayout(accountGroup);
  const std::pair<const char*, QWidget*> rows[] = {
      {"ｴｲﾘｱｽ", aliasEdit},
      {"POP3ｻｰﾊﾞｰ", serverEdit},
      {"ポート", portSpin},
      {"暗号化", securityCombo},
      {"ﾕｰｻﾞｰ名", userEdit},
      {"ﾊﾟｽﾜｰﾄﾞ", passwordEdit}};
  int row = 0;
  for (const auto& [caption, edit] : rows) {
    grid->addWidget(Label(caption, accountGroup), row, 0);
    grid->addWidget(edit, row++, 1);
  }
}

void AccountEditorDialog::CreateOutputGroup() {
  outputGroup = new QGroupBox(QStringLiteral("出力設定"), this);
  printerCombo = new QComboBox(outputGroup);
  paperCombo = new QComboBox(outputGroup);
  fontNameEdit = new QLineEdit(outputGroup);
  fontStyleEdit = new QLineEdit(outputGroup);
  fontStyleEdit->setReadOnly(true);  // "変更" chooses the style
  fontSizeEdit = new QLineEdit(outputGroup);
  fontButton = new QPushButton(QStringLiteral("変更"), outputGroup);
  for (QComboBox* box : {printerCombo, paperCombo})
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* grid = new QGridLayout(outputGroup);
  grid->addWidget(Label("出力ﾌﾟﾘﾝﾀ", outputGroup), 0, 0);
  grid->addWidget(printerCombo, 0, 1, 1, 3);
  grid->addWidget(Label("用紙", outputGroup), 1, 0);
  grid->addWidget(paperCombo, 1, 1, 1, 3);
  grid->addWidget(Label("出力ﾌｫﾝﾄ", outputGroup), 2, 0);
  grid->addWidget(fontNameEdit, 2, 1, 1, 3);
  grid->addWidget(Label("ｽﾀｲﾙ", outputGroup), 3, 0);
  grid->addWidget(fontStyleEdit, 3, 1, 1, 3);
  grid->addWidget(Label("ｻｲｽﾞ", outputGroup), 4, 0);
  grid->addWidget(fontSizeEdit, 4, 1);
  grid->addWidget(fontButton, 4, 3);
}

void AccountEditorDialog::CreateAddressGroup() {
  addressGroup = new QGroupBox(QStringLiteral("受信ｱﾄﾞﾚｽ"), this);
  receiveAllCheck = new QCheckBox(QStringLiteral("全て受信する。"), addressGroup);
  addressGrid = new QTableWidget(1, 1, addressGroup);
  addressGrid->horizontalHeader()->hide();
  addressGrid->verticalHeader()->hide();
  addressGrid->horizontalHeader()->setStretchLastSection(true);
  addressGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  addressGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  addressGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  // A usual address shows whole; a longer one keeps both its ends, and its
  // tip shows it all.
  addressGrid->setTextElideMode(Qt::ElideMiddle);
  addressGrid->setMinimumWidth(WidthFor(*addressGrid, QStringLiteral("yamada.taro@example.co.jp")) +
                               addressGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  // Four rows at least; the groups beside it decide the height.
  addressGrid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  addressGrid->setMinimumHeight(addressGrid->verticalHeader()->defaultSectionSize() * 4 +
                                2 * addressGrid->frameWidth());
  addAddressButton = new QPushButton(QStringLiteral("追加"), addressGroup);
  deleteAddressButton = new QPushButton(QStringLiteral("削除"), addressGroup);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(addAddressButton);
  buttons->addWidget(deleteAddressButton);
  auto* layout = new QVBoxLayout(addressGroup);
  layout->addWidget(receiveAllCheck);
  layout->addWidget(addressGrid, 1);
  layout->addStretch();
  layout->addLayout(buttons);
}

void AccountEditorDialog::CreateTransferGroup() {
  transferGroup = new QGroupBox(QStringLiteral("通信設定"), this);
  saveAttachmentsCheck = new QCheckBox(QStringLiteral("添付ﾌｧｲﾙ保存する。"), transferGroup);
  attachDirEdit = new QLineEdit(transferGroup);
  connect(attachDirEdit, &QLineEdit::textChanged, attachDirEdit, &QLineEdit::setToolTip);
  browseButton = new QPushButton(QStringLiteral("参照"), transferGroup);
  dateDirCheck = new QCheckBox(QStringLiteral("取得日時別ﾃﾞｨﾚｸﾄﾘを作成する。(yymmddhhnn)"), transferGroup);
  deleteOnServerCheck = new QCheckBox(QStringLiteral("出力後ｻｰﾊﾞｰからﾒｯｾｰｼﾞを削除する。"), transferGroup);
  auto* directory = new QHBoxLayout;
  directory->addWidget(attachDirEdit, 1);
  directory->addWidget(browseButton);
  auto* layout = new QVBoxLayout(transferGroup);
  layout->setContentsMargins(6, 6, 4, 6);
  layout->addWidget(saveAttachmentsCheck);
  layout->addLayout(directory);
  layout->addWidget(dateDirCheck);
  layout->addWidget(deleteOnServerCheck);
  layout->addStretch();
}

void AccountEditorDialog::CreateChildDialogs() {
  inputDialog = std::make_unique<InputDialog>();
  inputDialog->OnTextEntered = [this](const QString& text) { return InputAccepted(text); };
  inputDialog->OnClosed = [this] { InputClosed(); };
  inputDialog->OnShown = [this] { SetLastShown(InputDialog::kFormNumber); };
  directoryChooser = std::make_unique<DirectoryChooser>();
  directoryChooser->OnDirectoryChosen = [this](const QString& directory) {
    return DirectoryChosen(directory);
  };
  directoryChooser->OnNewDirectoryAsked = [this] { OnNewDirectory(); };
  directoryChooser->OnClosed = [this] { setEnabled(true); };
  directoryChooser->OnShown = [this] { SetLastShown(DirectoryChooser::kFormNumber); };
}

void AccountEditorDialog::ConnectHandlers() {
  connect(printerCombo, &QComboBox::activated, this,
          [this] { Guarded([this] { OnPrinterChanged(); }); });
  connect(fontButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnChooseFont(); }); });
  connect(receiveAllCheck, &QCheckBox::toggled, this, [this] { OnReceiveAllToggled(); });
  connect(saveAttachmentsCheck, &QCheckBox::toggled, this, [this] { OnSaveAttachmentsToggled(); });
  connect(addAddressButton, &QPushButton::clicked, this, [this] { OnAddAddress(); });
  connect(deleteAddressButton, &QPushButton::clicked, this, [this] { OnDeleteAddress(); });
  connect(browseButton, &QPushButton::clicked, this, [this] { OnBrowse(); });
  connect(securityCombo, &QComboBox::activated, this, [this] { OnSecurityChosen(); });
  connect(connectionTestButton, &QPushButton::clicked, this,
          [this] { Guarded([this] { OnTestConnection(); }); });
  connect(okButton, &QPushButton::clicked, this, [this] { Guarded([this] { OnOk(); }); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
}

}  // namespace pelnor
