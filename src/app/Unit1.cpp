#include "app/Unit1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

#include "core/check/pop3_check_client.h"

namespace pelnor {

// Tool windows get no taskbar entry: the program lives in the tray.
TForm1::TForm1(TForm1Services services)
    : QWidget(nullptr, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)),
      trayOwner_(this),
      log_(services_.ProgramDir + kLogFileName, clock_,
           [this] { return CheckBox2 != nullptr && CheckBox2->isChecked(); }),
      messagePrinter_(*services_.Printer, log_, clock_, services_.ProgramDir) {
  setWindowTitle(QStringLiteral("Pelnor"));
  setWindowIcon(ApplicationIcon());
  setFont(QFont(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                            QStringLiteral("IPAGothic")},
                9));
  CreateSettingsPages();
  CreateTrayMenu();
  TrayIcon1 = std::make_unique<TrayIcon>(*services_.Tray, &trayOwner_);
  checkTray_ = std::make_unique<TrayIconCheckTray>(
      *TrayIcon1, [this](const std::string& text) { NotifyAtTray(text); });
  // A long printout lets the tray and the program's end through too.
  if (services_.Pump) messagePrinter_.OnProgress = services_.Pump->Callback();
  log_.OnWriteError = [](const std::string& message) {
    qWarning("Log.txt: %s", message.c_str());
  };
  CheckCycle::Pop3ClientFactory makePop = services_.MakePop;
  if (!makePop) makePop = [] { return std::make_unique<Pop3SessionClient>(nullptr); };
  cycle_ = std::make_unique<CheckCycle>(AccountList, services_.ProgramDir, *services_.Printer,
                                         messagePrinter_, log_, *checkTray_, Timer1,
                                         std::move(makePop));
  Timer1.OnTimer = [this] { Guarded([this] { Timer1Timer(); }); };
  RegisterForm(fnSettings, this);

  // Not a child: disabling this dialog must leave the editor usable.
  AccountEditorServices editor;
  editor.ProgramDir = services_.ProgramDir;
  editor.Accounts = &AccountList;
  editor.Printer = services_.Printer;
  editor.PaperIndex = &PaperIndex;
  editor.AttachDir = &AttachDir;
  editor.SelectPrinterPaper = [this](int printer, int paper) {
    messagePrinter_.SelectPrinterPaper(printer, paper);
  };
  editor.ShowMessage = [this](const QString& text) { Message(text, QMessageBox::Warning); };
  Form2 = std::make_unique<AccountEditorDialog>(std::move(editor));
  Form2->OnClosed = [this] { setEnabled(true); };
  Form2->OnAccountsChanged = [this] { FillCheckList(); };
  RegisterForm(fnAccountEditor, Form2.get());
  RegisterForm(fnInput, Form2->inputDialog.get());
  RegisterForm(fnDirectory, Form2->directoryChooser.get());
}

// The tray icon goes before the timer and the cycle it drives.
TForm1::~TForm1() {
  Timer1.SetEnabled(false);
  cycle_.reset();
  checkTray_.reset();
  TrayIcon1.reset();
}

void TForm1::CreateSettingsPages() {
  PageControl1 = new QTabWidget;
  TabSheet1 = CreateAccountPage();
  TabSheet2 = CreateGeneralPage();
  TabSheet3 = CreateConnectionPage();
  TabSheet4 = CreatePrintPage();
  PageControl1->addTab(TabSheet1, QStringLiteral("ｱｶｳﾝﾄ設定"));
  PageControl1->addTab(TabSheet2, QStringLiteral(" 一般設定 "));
  PageControl1->addTab(TabSheet3, QStringLiteral("接続設定"));
  PageControl1->addTab(TabSheet4, QStringLiteral("印刷設定"));

  Button1 = new QPushButton(QStringLiteral("OK"));
  Button2 = new QPushButton(QStringLiteral("キャンセル"));
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
  connect(Button2, &QPushButton::clicked, this, [this] { Guarded([this] { Button2Click(); }); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(336, 247)));
}

QWidget* TForm1::CreateAccountPage() {
  auto* page = new QWidget;
  CheckListBox1 = new QListWidget;
  CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  Button3 = new QPushButton(QStringLiteral("新規"));
  Button4 = new QPushButton(QStringLiteral("削除"));
  Button5 = new QPushButton(QStringLiteral("編集"));
  connect(Button3, &QPushButton::clicked, this, [this] { Guarded([this] { Button3Click(); }); });
  connect(Button4, &QPushButton::clicked, this, [this] { Guarded([this] { Button4Click(); }); });
  connect(Button5, &QPushButton::clicked, this, [this] { Guarded([this] { Button5Click(); }); });
  connect(CheckListBox1, &QListWidget::itemDoubleClicked, this,
          [this] { Guarded([this] { CheckListBox1DblClick(); }); });
  connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    Guarded([this, item] { CheckListBox1ClickCheck(item); });
  });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(Button3);
  buttons->addWidget(Button4);
  buttons->addWidget(Button5);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(CheckListBox1);
  layout->addLayout(buttons);
  return page;
}

QWidget* TForm1::CreateGeneralPage() {
  auto* page = new QWidget;
  Edit4 = new QLineEdit;
  Edit4->setMaximumWidth(60);
  CheckBox2 = new QCheckBox(QStringLiteral("通信ﾛｸﾞの保存"));
  auto* interval = new QHBoxLayout;
  interval->addWidget(new QLabel(QStringLiteral("受信監視間隔")));
  interval->addWidget(Edit4);
  interval->addWidget(new QLabel(QStringLiteral("分")));
  interval->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(interval);
  layout->addWidget(CheckBox2);
  layout->addStretch();
  return page;
}

QWidget* TForm1::CreateConnectionPage() {
  auto* page = new QWidget;
  RadioButton1 = new QRadioButton(QStringLiteral("通常の接続。"));
  RadioButton2 = new QRadioButton(QStringLiteral("Ploxyを使用する。"));
  Edit2 = new QLineEdit;
  Edit3 = new QLineEdit;
  Edit3->setMaximumWidth(80);
  for (QRadioButton* button : {RadioButton1, RadioButton2})
    connect(button, &QRadioButton::clicked, this,
            [this] { Guarded([this] { RadioButton1Click(); }); });
  auto* proxy = new QGridLayout;
  proxy->setContentsMargins(20, 0, 0, 0);
  proxy->addWidget(new QLabel(QStringLiteral("ｱﾄﾞﾚｽ")), 0, 0);
  proxy->addWidget(Edit2, 0, 1);
  proxy->addWidget(new QLabel(QStringLiteral("ﾎﾟｰﾄ")), 1, 0);
  proxy->addWidget(Edit3, 1, 1, Qt::AlignLeft);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(RadioButton1);
  layout->addWidget(RadioButton2);
  layout->addLayout(proxy);
  layout->addStretch();
  return page;
}

QWidget* TForm1::CreatePrintPage() {
  auto* page = new QWidget;
  auto* layout = new QGridLayout(page);
  const QString labels[] = {QStringLiteral("左部余白"), QStringLiteral("右部余白"),
                            QStringLiteral("上部余白"), QStringLiteral("下部余白")};
  QLineEdit** edits[] = {&Edit5, &Edit6, &Edit7, &Edit8};
  for (int row = 0; row < 4; ++row) {
    *edits[row] = new QLineEdit;
    (*edits[row])->setMaximumWidth(60);
    layout->addWidget(new QLabel(labels[row]), row, 0);
    layout->addWidget(*edits[row], row, 1);
    layout->addWidget(new QLabel(QStringLiteral("ﾋﾟｸｾﾙ")), row, 2);
  }
  layout->setColumnStretch(3, 1);
  layout->setRowStretch(4, 1);
  return page;
}

void TForm1::RegisterForm(TFormNumber number, QWidget* form) {
  forms_.at(number) = form;
  if (form != this) form->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show)
    for (int number = fnSettings; number <= fnAbout; ++number)
      if (forms_[number] == watched) LastShownForm = number;
  return QWidget::eventFilter(watched, event);
}

// FormShow: back on the accounts page, centred on the desktop.
void TForm1::showEvent(QShowEvent* event) {
  PageControl1->setCurrentWidget(TabSheet1);
  LastShownForm = fnSettings;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool closed = false;
  Guarded([&] { closed = FormClose(); });
  if (closed)
    event->accept();
  else
    event->ignore();
}

void TForm1::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    Message(ExceptionText(e.what()), QMessageBox::Critical);
  }
}

void TForm1::Message(const QString& text, QMessageBox::Icon icon) {
  if (services_.ShowMessage) services_.ShowMessage(text, icon);
}

void TForm1::Notice(const QString& text) {
  if (services_.ShowNotice) services_.ShowNotice(text, QMessageBox::Critical);
}

}  // namespace pelnor
