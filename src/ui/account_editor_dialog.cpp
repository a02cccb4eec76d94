#include "ui/account_editor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/input_dialog.h"
#include "ui/directory_chooser.h"
#include "ui/message_box.h"

namespace pelnor {
namespace {

QLabel* Label(const char* utf8, QWidget* parent) {
  return new QLabel(QString::fromUtf8(utf8), parent);
}

}  // namespace

std::optional<QFont> ChooseFontDialog(const QFont& start) {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, start, nullptr, QString());
  if (!ok) return std::nullopt;
  return font;
}

AccountEditorDialog::AccountEditorDialog(AccountEditorServices services)
    : QWidget(nullptr, Qt::Dialog), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("ｱｶｳﾝﾄ設定"));
  setFixedSize(477, 398);
  CreateAccountGroup();
  CreateOutputGroup();
  CreateAddressGroup();
  CreateTransferGroup();
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button2 = new QPushButton(QStringLiteral("キャンセル"), this);

  // The right-hand groups hold the long captions.
  GroupBox1->setFixedWidth(168);
  GroupBox3->setFixedWidth(140);
  auto* top = new QHBoxLayout;
  top->addWidget(GroupBox1);
  top->addWidget(GroupBox2, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(GroupBox3);
  bottom->addWidget(GroupBox4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(top);
  layout->addLayout(bottom, 1);
  layout->addLayout(buttons);

  CreateSmallForms();
  ConnectHandlers();
  CheckBox1Click();
  CheckBox2Click();
}

AccountEditorDialog::~AccountEditorDialog() = default;

void AccountEditorDialog::CreateAccountGroup() {
  GroupBox1 = new QGroupBox(QStringLiteral("ｱｶｳﾝﾄ情報"), this);
  Edit1 = new QLineEdit(GroupBox1);
  Edit2 = new QLineEdit(GroupBox1);
  Edit3 = new QLineEdit(GroupBox1);
  Edit4 = new QLineEdit(GroupBox1);
  Edit4->setEchoMode(QLineEdit::Password);
  Edit4->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
  auto* grid = new QGridLayout(GroupBox1);
  const std::pair<const char*, QLineEdit*> rows[] = {
      {"ｴｲﾘｱｽ", Edit1}, {"POP3ｻｰﾊﾞｰ", Edit2}, {"ﾕｰｻﾞｰ名", Edit3}, {"ﾊﾟｽﾜｰﾄﾞ", Edit4}};
  int row = 0;
  for (const auto& [caption, edit] : rows) {
    grid->addWidget(Label(caption, GroupBox1), row, 0);
    grid->addWidget(edit, row++, 1);
  }
}

void AccountEditorDialog::CreateOutputGroup() {
  GroupBox2 = new QGroupBox(QStringLiteral("出力設定"), this);
  ComboBox1 = new QComboBox(GroupBox2);
  ComboBox2 = new QComboBox(GroupBox2);
  Edit5 = new QLineEdit(GroupBox2);
  Edit6 = new QLineEdit(GroupBox2);
  Edit7 = new QLineEdit(GroupBox2);
  Button5 = new QPushButton(QStringLiteral("変更"), GroupBox2);
  for (QComboBox* box : {ComboBox1, ComboBox2})
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* grid = new QGridLayout(GroupBox2);
  grid->addWidget(Label("出力ﾌﾟﾘﾝﾀ", GroupBox2), 0, 0);
  grid->addWidget(ComboBox1, 0, 1, 1, 3);
  grid->addWidget(Label("用紙", GroupBox2), 1, 0);
  grid->addWidget(ComboBox2, 1, 1, 1, 3);
  grid->addWidget(Label("出力ﾌｫﾝﾄ", GroupBox2), 2, 0);
  grid->addWidget(Edit5, 2, 1, 1, 3);
  grid->addWidget(Label("ｽﾀｲﾙ", GroupBox2), 3, 0);
  grid->addWidget(Edit6, 3, 1, 1, 3);
  grid->addWidget(Label("ｻｲｽﾞ", GroupBox2), 4, 0);
  grid->addWidget(Edit7, 4, 1);
  grid->addWidget(Button5, 4, 3);
}

void AccountEditorDialog::CreateAddressGroup() {
  GroupBox3 = new QGroupBox(QStringLiteral("受信ｱﾄﾞﾚｽ"), this);
  CheckBox1 = new QCheckBox(QStringLiteral("全て受信する。"), GroupBox3);
  StringGrid1 = new QTableWidget(1, 1, GroupBox3);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setStretchLastSection(true);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  Button3 = new QPushButton(QStringLiteral("追加"), GroupBox3);
  Button4 = new QPushButton(QStringLiteral("削除"), GroupBox3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button3);
  buttons->addWidget(Button4);
  auto* layout = new QVBoxLayout(GroupBox3);
  layout->addWidget(CheckBox1);
  layout->addWidget(StringGrid1, 1);
  layout->addStretch();
  layout->addLayout(buttons);
}

void AccountEditorDialog::CreateTransferGroup() {
  GroupBox4 = new QGroupBox(QStringLiteral("通信設定"), this);
  CheckBox2 = new QCheckBox(QStringLiteral("添付ﾌｧｲﾙ保存する。"), GroupBox4);
  Edit8 = new QLineEdit(GroupBox4);
  Button6 = new QPushButton(QStringLiteral("参照"), GroupBox4);
  CheckBox4 = new QCheckBox(QStringLiteral("取得日時別ﾃﾞｨﾚｸﾄﾘを作成する。(yymmddhhnn)"), GroupBox4);
  CheckBox3 = new QCheckBox(QStringLiteral("出力後ｻｰﾊﾞｰからﾒｯｾｰｼﾞを削除する。"), GroupBox4);
  auto* directory = new QHBoxLayout;
  directory->addWidget(Edit8, 1);
  directory->addWidget(Button6);
  auto* layout = new QVBoxLayout(GroupBox4);
  layout->setContentsMargins(6, 6, 4, 6);
  layout->addWidget(CheckBox2);
  layout->addLayout(directory);
  layout->addWidget(CheckBox4);
  layout->addWidget(CheckBox3);
  layout->addStretch();
}

void AccountEditorDialog::CreateSmallForms() {
  inputDialog = std::make_unique<InputDialog>();
  inputDialog->OnOK = [this](const QString& text) { return InputAccepted(text); };
  inputDialog->OnClosed = [this] { InputClosed(); };
  inputDialog->OnShown = [this] { SetLastShown(kForm3Number); };
  directoryChooser = std::make_unique<DirectoryChooser>();
  directoryChooser->OnOK = [this](const QString& directory) { return DirectoryChosen(directory); };
  directoryChooser->OnNewDirectory = [this] { NewDirectoryClick(); };
  directoryChooser->OnClosed = [this] { setEnabled(true); };
  directoryChooser->OnShown = [this] { SetLastShown(kForm4Number); };
}

void AccountEditorDialog::ConnectHandlers() {
  connect(ComboBox1, &QComboBox::activated, this, [this] { Guarded([this] { ComboBox1Change(); }); });
  connect(Button5, &QPushButton::clicked, this, [this] { Guarded([this] { Button5Click(); }); });
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
  connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

}  // namespace pelnor
