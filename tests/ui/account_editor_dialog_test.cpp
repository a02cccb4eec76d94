// The account editor, its input dialog and its directory chooser, driven
// through their handlers on the offscreen platform over a recording printer.

#include "ui/account_editor_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/store/certificate_pins.h"
#include "platform/qt_printer.h"
#include "support/dovecot_fixture.h"
#include "support/test_certificates.h"
#include "core/text/sjis.h"
#include "ui/input_dialog.h"
#include "ui/directory_chooser.h"
#include "core/store/account_record.h"
#include "core/store/digit_codec.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using test::TempDir;
using testing::AllOf;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

// Two printers with their own papers; printer 1 is the default. Selecting a
// printer puts its paper back to the driver's default, as the real one does.
class FakePrinter : public PrintCanvas {
 public:
  struct Printer {
    std::string Name;
    std::vector<std::uint16_t> Codes;
    std::vector<std::string> Papers;
    std::uint16_t Default;
  };
  std::vector<Printer> List = {
      {"Laser", {9, 8, 11}, {"A4", "A3", "A5"}, 8},
      {Sjis("PDF出力"), {9, 11, 13, 70}, {"A4", "A5", "B5", "A6"}, 11},
  };
  int Selected = 1;
  std::uint16_t Paper = 11;
  PrintFont CurrentFont{"IPAGothic", FontStyles(0b0001), 12};

  std::vector<std::string> Printers() const override {
    std::vector<std::string> names;
    for (const Printer& p : List) names.push_back(p.Name);
    return names;
  }
  void SelectPrinter(int index) override {
    if (index == -1) index = 1;
    if (index < 0 || index >= static_cast<int>(List.size())) throw EPrinterError("no printer");
    Selected = index;
    ResetDeviceMode();
  }
  int PrinterIndex() const override { return Selected; }
  void ResetDeviceMode() override { Paper = List[Selected].Default; }
  std::vector<std::uint16_t> PaperCodes() const override { return List[Selected].Codes; }
  std::vector<std::string> PaperNames() const override { return List[Selected].Papers; }
  std::uint16_t PaperSize() const override { return Paper; }
  void SetPaperSize(std::uint16_t code) override { Paper = code; }
  PrintFont Font() const override { return CurrentFont; }
  void SetFont(const PrintFont& font) override { CurrentFont = font; }

  // Printing is not the editor's business.
  int PageWidth() const override { return Unused(); }
  int PageHeight() const override { return Unused(); }
  void BeginDoc(const std::string&) override { Unused(); }
  void NewPage() override { Unused(); }
  void EndDoc() override { Unused(); }
  void Abort() noexcept override {}
  int TextWidth(std::string_view) override { return Unused(); }
  int TextHeight(std::string_view) override { return Unused(); }
  void TextRect(const Rect&, int, int, std::string_view) override { Unused(); }
  void SetPenWidth(int) override { Unused(); }
  void MoveTo(int, int) override { Unused(); }
  void LineTo(int, int) override { Unused(); }

 private:
  [[noreturn]] static int Unused() { throw std::logic_error("printing from the editor"); }
};

// The printing side's selection: past the list is the default printer, a
// paper outside the list keeps the default paper.
void SelectPrinterPaper(FakePrinter& printer, int p, int paper) {
  if (p >= static_cast<int>(printer.Printers().size())) p = -1;
  printer.SelectPrinter(p);
  const std::vector<std::uint16_t> codes = printer.PaperCodes();
  if (paper >= 0 && paper < static_cast<int>(codes.size())) printer.SetPaperSize(codes[paper]);
}

std::string Record(const std::string& alias, const std::string& middle = "0|0",
                   const std::string& tail = "1||1|1|0") {
  return alias + "|1|host|user|pw|" + middle + "|Font|[]|10|" + tail;
}

class AccountEditorDialogTest : public testing::Test {
 protected:
  AccountEditorDialogTest() {
    AccountEditorServices s;
    s.ProgramDir = dir.Dir();
    s.Accounts = &accounts;
    s.Printer = &printer;
    s.PaperIndex = &paperIndex;
    s.AttachDir = &attachDir;
    s.SelectPrinterPaper = [this](int p, int paper) { SelectPrinterPaper(printer, p, paper); };
    s.SetLastShownForm = [this](int form) { lastShown = form; };
    s.ShowMessage = [this](const QString& text) { messages.push_back(text); };
    s.ChooseFont = [this](const QFont& start) {
      fontDialogStarts.push_back(start.family());
      return chosenFont;
    };
    s.Ask = [this](const QString& question) {
      questions.push_back(question);
      return trustCertificate;
    };
    form = std::make_unique<AccountEditorDialog>(std::move(s));
    form->OnAccountsChanged = [this] { ++accountsChanged; };
    form->OnClosed = [this] { ++closed; };
    attachDir = dir.Dir();
  }

  void OpenNew(const char* alias) {
    form->PrepareForNew();
    form->show();
    form->aliasEdit->setText(QString::fromUtf8(alias));
    form->serverEdit->setText("pop.example.jp");
    form->userEdit->setText("taro");
    form->passwordEdit->setText("secret");
  }
  void OpenRecord(size_t index) {
    form->LoadRecord(index);
    form->show();
  }
  std::string Field(size_t index, int field) const { return RecordField(accounts[index], field); }

  TempDir dir;
  AccountList accounts;
  FakePrinter printer;
  int paperIndex = 0;
  std::string attachDir;
  int lastShown = 0;
  int accountsChanged = 0;
  int closed = 0;
  std::vector<QString> messages;
  std::optional<QFont> chosenFont;
  std::vector<QString> fontDialogStarts;
  std::vector<QString> questions;
  bool trustCertificate = false;
  std::unique_ptr<AccountEditorDialog> form;
};

// --- a new account ---------------------------------------------------------------

TEST_F(AccountEditorDialogTest, NewAccountTakesTheCurrentPrinterPaperAndFont) {
  OpenNew("main");
  EXPECT_EQ(lastShown, AccountEditorDialog::kFormNumber);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ｱｶｳﾝﾄ設定"));
  EXPECT_EQ(form->paperCombo->count(), 4);
  form->OnOk();

  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_EQ(accounts[0], "main|1|pop.example.jp|taro|secret|1|1|IPAGothic|[fsBold]|12|1||1|1|0");
  EXPECT_EQ(paperIndex, 1);
  EXPECT_EQ(test::ReadBytes(dir.Dir() + "main.dat"), EncodeDigits(accounts[0]) + "\r\n");
  EXPECT_EQ(accountsChanged, 1);
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(AccountEditorDialogTest, CancelStoresNothing) {
  OpenNew("main");
  form->OnCancel();
  EXPECT_TRUE(accounts.empty());
  EXPECT_FALSE(test::Exists(dir.Dir() + "main.dat"));
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(accountsChanged, 0);
}

TEST_F(AccountEditorDialogTest, UncheckingReceiveAllWithoutAddressReceivesAll) {
  OpenNew("main");
  form->receiveAllCheck->setChecked(false);
  EXPECT_TRUE(form->addressGrid->isVisibleTo(form.get()));
  form->OnOk();
  EXPECT_EQ(Field(0, afFilterSenders), "0");
  EXPECT_TRUE(form->receiveAllCheck->isChecked());
}

// --- editing ------------------------------------------------------------------------

TEST_F(AccountEditorDialogTest, EditingKeepsItsOwnAliasButNotAnothers) {
  accounts.Add(Record("home"));
  accounts.Add(Record("work"));
  OpenRecord(1);
  form->serverEdit->setText("other.example.jp");
  form->OnOk();
  EXPECT_THAT(messages, IsEmpty());
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(Field(1, afHost), "other.example.jp");

  const std::vector<std::string> before = accounts.Records();
  OpenRecord(1);
  form->aliasEdit->setText("home");
  form->OnOk();
  EXPECT_THAT(messages, ElementsAre(QStringLiteral("ｴｲﾘｱｽ名が重複してます。")));
  EXPECT_EQ(accounts.Records(), before);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(AccountEditorDialogTest, EditingADisabledAccountEnablesIt) {
  accounts.Add("off|0|host|user|pw|0|0|Font|[]|10|1||1|1|0");
  OpenRecord(0);
  form->OnOk();
  EXPECT_EQ(accounts[0], "off|1|host|user|pw|0|0|Font|[]|10|1||1|1|0");
}

TEST_F(AccountEditorDialogTest, LoadShowsEveryField) {
  accounts.Add(Record("main", "1|3", "0|" + dir.Dir() + "|0|0|1|a@b.jp|c.jp"));
  OpenRecord(0);
  EXPECT_EQ(form->aliasEdit->text(), "main");
  EXPECT_EQ(form->passwordEdit->text(), "pw");
  EXPECT_EQ(form->printerCombo->currentIndex(), 1);
  EXPECT_EQ(form->paperCombo->currentIndex(), 3);  // the record's paper survives showing
  EXPECT_EQ(paperIndex, 3);
  EXPECT_EQ(form->fontNameEdit->text(), "Font");
  EXPECT_EQ(form->attachDirEdit->text().toStdString(), dir.Dir());
  EXPECT_TRUE(form->dateDirCheck->isChecked());
  EXPECT_TRUE(form->deleteOnServerCheck->isChecked());
  EXPECT_FALSE(form->receiveAllCheck->isChecked());
  EXPECT_THAT(form->EditAddressList, ElementsAre("a@b.jp", "c.jp"));
  EXPECT_EQ(form->addressGrid->rowCount(), 2);
  EXPECT_EQ(form->addressGrid->item(1, 0)->text(), "c.jp");
  form->OnOk();
  EXPECT_EQ(accounts[0], Record("main", "1|3", "0|" + dir.Dir() + "|0|0|1|a@b.jp|c.jp"));
}

// Printing reads ASCII digits only; what is no number is kept as typed.
TEST_F(AccountEditorDialogTest, AFontSizeInFullWidthDigitsIsStoredInAsciiDigits) {
  OpenNew("main");
  form->fontSizeEdit->setText(QStringLiteral("１２"));
  form->OnOk();
  OpenNew("sub");
  form->fontSizeEdit->setText(QStringLiteral("１２ｐｔ"));
  form->OnOk();
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(Field(0, afFontSize), "12");
  EXPECT_EQ(Field(1, afFontSize), Sjis("１２ｐｔ"));
}

TEST_F(AccountEditorDialogTest, PrinterPastTheListShowsTheFirstAndStoresIt) {
  accounts.Add(Record("main", "7|0"));
  form->LoadRecord(0);
  EXPECT_EQ(form->printerCombo->currentIndex(), 0);
  EXPECT_EQ(form->PrinterIndex, -1);
  EXPECT_EQ(printer.Selected, 1);  // the default printer, for now
  form->show();
  EXPECT_EQ(printer.Selected, 0);
  form->OnOk();
  EXPECT_EQ(Field(0, afPrinter), "0");
}

TEST_F(AccountEditorDialogTest, PaperOutsideTheListSelectsTheCurrentPaper) {
  for (const char* paper : {"99", "-1"}) {
    accounts.Clear();
    accounts.Add(Record("main", std::string("0|") + paper));
    OpenRecord(0);
    EXPECT_EQ(form->paperCombo->currentIndex(), 1) << paper;  // Laser's default, A3
    form->OnOk();
    EXPECT_EQ(Field(0, afPaper), "1") << paper;
  }
}

TEST_F(AccountEditorDialogTest, NumbersThatAreNotWholeLoadAsZeroWithAMessage) {
  accounts.Add(Record("main", "x|2.0"));
  OpenRecord(0);
  EXPECT_EQ(form->printerCombo->currentIndex(), 0);
  EXPECT_EQ(form->paperCombo->currentIndex(), 0);  // paper 0 set on printer 0
  EXPECT_EQ(paperIndex, 0);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].contains(QStringLiteral("出力ﾌﾟﾘﾝﾀ")));
  EXPECT_TRUE(messages[1].contains(QStringLiteral("用紙")));
}

// --- printer, paper, font -----------------------------------------------------------

TEST_F(AccountEditorDialogTest, ChoosingAnotherPrinterReloadsItsPapers) {
  OpenNew("main");
  form->printerCombo->setCurrentIndex(0);
  form->OnPrinterChanged();
  EXPECT_EQ(printer.Selected, 0);
  EXPECT_EQ(form->paperCombo->count(), 3);
  EXPECT_EQ(form->paperCombo->currentText(), "A3");
  EXPECT_EQ(paperIndex, 1);
}

TEST_F(AccountEditorDialogTest, PaperNotInTheListLeavesNoSelection) {
  printer.List[1].Default = 999;
  printer.Paper = 999;
  paperIndex = 5;
  OpenNew("main");
  EXPECT_EQ(form->paperCombo->currentIndex(), -1);
  EXPECT_EQ(paperIndex, 5);
  form->OnOk();
  EXPECT_EQ(Field(0, afPaper), "-1");
}

TEST_F(AccountEditorDialogTest, FontDialogStartsFromTheFontLastChosenInIt) {
  OpenNew("main");
  form->OnChooseFont();  // cancelled
  EXPECT_EQ(form->fontNameEdit->text(), "IPAGothic");
  QFont chosen("Serif Face");
  chosen.setPointSize(14);
  chosen.setItalic(true);
  chosen.setUnderline(true);
  chosenFont = chosen;
  form->OnChooseFont();
  EXPECT_EQ(form->fontNameEdit->text(), "Serif Face");
  EXPECT_EQ(form->fontStyleEdit->text(), "斜体 下線");
  EXPECT_EQ(form->fontSizeEdit->text(), "14");
  EXPECT_EQ(printer.CurrentFont.Size, 14);
  form->OnChooseFont();
  EXPECT_THAT(fontDialogStarts, ElementsAre("IPAGothic", "IPAGothic", "Serif Face"));
  form->OnOk();
  EXPECT_EQ(Field(0, afFontStyle), "[fsItalic,fsUnderline]");
}

// The box speaks words; the record keeps the bytes it has, also those that
// no font dialog writes.
TEST_F(AccountEditorDialogTest, TheStyleShowsInWordsWhileTheRecordKeepsItsBytes) {
  const struct {
    std::string stored;
    const char* shown;
  } rows[] = {{"[fsBold]", "太字"},
              {"[]", "標準"},
              {"[fsBold,fsItalic]", "太字 斜体"},
              {"[fsStrikeOut,fsBold]", "太字 取消線"},
              {"[fsItalic,fsItalic]", "斜体"},
              {"bold", "標準"}};
  for (const auto& row : rows) {
    accounts.Clear();
    accounts.Add("main|1|host|user|pw|0|0|Font|" + row.stored + "|10|1||1|1|0");
    OpenRecord(0);
    EXPECT_EQ(form->fontStyleEdit->text(), QString::fromUtf8(row.shown)) << row.stored;
    EXPECT_TRUE(form->fontStyleEdit->isReadOnly());
    form->OnOk();
    EXPECT_EQ(Field(0, afFontStyle), row.stored);
  }
}

// A larger font, as larger desktop texts give: a usual host name and a
// usual address still show whole, the editor growing around them.
TEST_F(AccountEditorDialogTest, UsualTextsShowWholeInALargerFont) {
  const QFont before = QApplication::font();
  QFont large = before;
  large.setPointSizeF(before.pointSizeF() * 1.5);
  QApplication::setFont(large);
  AccountEditorServices services;
  services.ProgramDir = dir.Dir();
  services.Accounts = &accounts;
  services.Printer = &printer;
  auto editor = std::make_unique<AccountEditorDialog>(std::move(services));
  accounts.Add(Record("main", "0|0", "1||1|1|1|yamada.taro@example.co.jp"));
  editor->LoadRecord(0);
  editor->serverEdit->setText(QStringLiteral("pop.mail.example.co.jp"));
  editor->show();
  const QFontMetrics metrics(editor->font());
  constexpr int kFrameAndMargins = 8;
  EXPECT_GT(editor->serverEdit->width(),
            metrics.horizontalAdvance(editor->serverEdit->text()) + kFrameAndMargins);
  EXPECT_GT(editor->addressGrid->columnWidth(0),
            metrics.horizontalAdvance(editor->addressGrid->item(0, 0)->text()) + kFrameAndMargins);
  editor.reset();
  QApplication::setFont(before);
}

TEST_F(AccountEditorDialogTest, DropDownWidensToTheLongestPrinterName) {
  printer.List[0].Name = std::string(120, 'W');
  OpenNew("main");
  form->OnActivated();
  EXPECT_GT(form->printerCombo->view()->minimumWidth(), form->printerCombo->width());
}

TEST(LoadPaperNames, TheBuiltInPdfPrinterListsItsPapers) {
  TempDir dir;
  QtPrinter printer(dir.Dir());
  int paperIndex = -1;
  AccountList accounts;
  AccountEditorServices s;
  s.ProgramDir = dir.Dir();
  s.Accounts = &accounts;
  s.Printer = &printer;
  s.PaperIndex = &paperIndex;
  AccountEditorDialog form(std::move(s));
  printer.SelectPrinter(static_cast<int>(printer.Printers().size()) - 1);
  form.LoadPaperNames();
  ASSERT_GT(form.paperCombo->count(), 1);
  EXPECT_EQ(form.paperCombo->itemText(0), "A4");
  EXPECT_EQ(form.paperCombo->currentIndex(), 0);
  EXPECT_EQ(paperIndex, 0);
}

// --- receiving addresses ------------------------------------------------------------

TEST_F(AccountEditorDialogTest, AnEmptyAddressAsTheOnlyOne) {
  OpenNew("main");
  form->OnAddAddress();
  EXPECT_FALSE(form->isEnabled());
  EXPECT_TRUE(form->inputDialog->isVisible());
  EXPECT_EQ(form->inputDialog->windowTitle(), QStringLiteral("新規ｱﾄﾞﾚｽ追加"));
  EXPECT_EQ(lastShown, InputDialog::kFormNumber);
  form->inputDialog->OnOk();
  EXPECT_FALSE(form->inputDialog->isVisible());
  EXPECT_TRUE(form->isEnabled());
  form->OnOk();
  EXPECT_EQ(accounts[0].substr(accounts[0].size() - 3), "|1|");

  OpenRecord(0);
  EXPECT_FALSE(form->receiveAllCheck->isChecked());
  EXPECT_EQ(form->addressGrid->rowCount(), 1);
  const QTableWidgetItem* cell = form->addressGrid->item(0, 0);
  EXPECT_TRUE(cell == nullptr || cell->text().isEmpty());
}

TEST_F(AccountEditorDialogTest, AddingAndDeletingAddresses) {
  OpenNew("main");
  for (const char* address : {"a@b.jp", "c.jp"}) {
    form->OnAddAddress();
    form->inputDialog->textEdit->setText(address);
    form->inputDialog->OnOk();
  }
  EXPECT_THAT(form->EditAddressList, ElementsAre("a@b.jp", "c.jp"));
  form->addressGrid->setCurrentCell(0, 0);
  form->OnDeleteAddress();
  EXPECT_THAT(form->EditAddressList, ElementsAre("c.jp"));
  EXPECT_EQ(form->addressGrid->item(0, 0)->text(), "c.jp");
  form->addressGrid->setCurrentCell(0, 0);
  form->OnDeleteAddress();
  EXPECT_THAT(form->EditAddressList, IsEmpty());
  EXPECT_EQ(form->addressGrid->rowCount(), 1);
  EXPECT_TRUE(form->receiveAllCheck->isChecked());
  form->OnDeleteAddress();  // nothing left to delete
  EXPECT_TRUE(form->receiveAllCheck->isChecked());
}

// --- attachments -------------------------------------------------------------------

TEST_F(AccountEditorDialogTest, TurningAttachmentSavingOffEmptiesTheDirectory) {
  accounts.Add(Record("main", "0|0", "0|" + dir.Dir() + "|0|1|0"));
  OpenRecord(0);
  EXPECT_TRUE(form->attachDirEdit->isEnabled());
  form->saveAttachmentsCheck->setChecked(false);
  EXPECT_TRUE(form->attachDirEdit->text().isEmpty());
  EXPECT_FALSE(form->attachDirEdit->isEnabled());
  EXPECT_FALSE(form->dateDirCheck->isEnabled());
  EXPECT_TRUE(form->dateDirCheck->isChecked());  // keeps its mark
  EXPECT_FALSE(form->browseButton->isEnabled());
  form->OnOk();
  EXPECT_EQ(Field(0, afSaveAttachments), "1");
  EXPECT_EQ(Field(0, afAttachDir), "");
}

// Not the program directory itself, where attachments met the program's files.
TEST_F(AccountEditorDialogTest, AMissingDirectoryFallsBackToTheAttachFolder) {
  accounts.Add(Record("main", "0|0", "0|/no/such/dir/|1|1|0"));
  attachDir = "/elsewhere/";
  OpenRecord(0);
  EXPECT_EQ(attachDir, dir.Dir() + "attach/");
  EXPECT_EQ(form->attachDirEdit->text().toStdString(), dir.Dir() + "attach/");
  form->OnBrowse();
  EXPECT_EQ(form->directoryChooser->Directory().toStdString(), dir.Dir() + "attach");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Dir() + "attach"));
}

TEST_F(AccountEditorDialogTest, TheChooserAppendsTheSeparator) {
  std::filesystem::create_directory(dir.Dir() + "mail");
  OpenNew("main");
  form->saveAttachmentsCheck->setChecked(true);
  form->OnBrowse();
  EXPECT_FALSE(form->isEnabled());
  EXPECT_TRUE(form->directoryChooser->isVisible());
  EXPECT_EQ(lastShown, DirectoryChooser::kFormNumber);
  EXPECT_EQ(form->directoryChooser->Directory().toStdString() + "/", dir.Dir());
  form->directoryChooser->SetDirectory(QString::fromStdString(dir.Dir() + "mail"));
  form->directoryChooser->OnOk();
  EXPECT_FALSE(form->directoryChooser->isVisible());
  EXPECT_TRUE(form->isEnabled());
  EXPECT_EQ(attachDir, dir.Dir() + "mail/");
  form->OnOk();
  EXPECT_EQ(Field(0, afSaveAttachments), "0");
  EXPECT_EQ(Field(0, afAttachDir), dir.Dir() + "mail/");
}

// The tree lists a folder in the background, after the directory itself is
// shown: the folders sorted in above it must not push it out of view.
TEST(DirectoryChooserTest, KeepsTheDirectoryInViewWhileTheTreeFills) {
  const TempDir dir("chooser-");
  for (int i = 0; i < 300; ++i)
    std::filesystem::create_directory(dir.Path() / QString::asprintf("d%03d", i).toStdString());
  const QString chosen = QString::fromStdString((dir.Path() / "d250").string());
  DirectoryChooser chooser;
  chooser.SetDirectory(chosen);  // before showing, as "参照" does
  chooser.show();
  const QAbstractItemModel& model = *chooser.directoryList->model();
  const auto index = [&] { return chooser.directoryList->currentIndex(); };
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return model.rowCount(index().parent()) == 300 && index().row() == 250; }, 10000));
  const QRect row = chooser.directoryList->visualRect(index());
  const int height = chooser.directoryList->viewport()->height();
  EXPECT_TRUE(row.top() >= 0 && row.bottom() < height) << "row at y " << row.y() << " of " << height;
  EXPECT_EQ(chooser.Directory(), chosen);
}

TEST_F(AccountEditorDialogTest, TheChooserRefusesAPathTheRecordCannotHold) {
  std::filesystem::create_directory(dir.Dir() + "a|b");
  OpenNew("main");
  form->saveAttachmentsCheck->setChecked(true);
  form->OnBrowse();
  form->directoryChooser->SetDirectory(QString::fromStdString(dir.Dir() + "a|b"));
  form->directoryChooser->OnOk();
  EXPECT_THAT(messages, ElementsAre(QStringLiteral("添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘに「|」は使用できません。")));
  EXPECT_TRUE(form->directoryChooser->isVisible());
  EXPECT_EQ(attachDir, dir.Dir());
}

TEST_F(AccountEditorDialogTest, NewDirectoryInTheChooser) {
  OpenNew("main");
  form->saveAttachmentsCheck->setChecked(true);
  form->OnBrowse();
  form->directoryChooser->OnNewDirectory();
  EXPECT_FALSE(form->directoryChooser->isEnabled());
  EXPECT_EQ(form->inputDialog->windowTitle(), QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));

  form->inputDialog->textEdit->setText("new");
  form->inputDialog->OnOk();
  EXPECT_TRUE(std::filesystem::is_directory(dir.Dir() + "new"));
  EXPECT_EQ(form->directoryChooser->Directory().toStdString(), dir.Dir() + "new");
  EXPECT_TRUE(form->directoryChooser->isEnabled());
  EXPECT_FALSE(form->inputDialog->isVisible());
  EXPECT_FALSE(form->isEnabled());  // the chooser is still open

  // Nested inside the new one; then a name that exists already fails quietly.
  form->directoryChooser->SetDirectory(QString::fromStdString(dir.Dir()));
  form->directoryChooser->OnNewDirectory();
  form->inputDialog->textEdit->setText("new");
  form->inputDialog->OnOk();
  EXPECT_TRUE(form->inputDialog->isVisible());
  EXPECT_TRUE(form->inputDialog->textEdit->text().isEmpty());
  EXPECT_THAT(messages, IsEmpty());
  form->inputDialog->OnCancel();
  EXPECT_TRUE(form->directoryChooser->isEnabled());
}

// --- texts that would split the record ------------------------------------------------

TEST_F(AccountEditorDialogTest, RefusesCharactersThatSplitTheRecord) {
  struct Row {
    QLineEdit* AccountEditorDialog::*box;
    const char* text;
    const char* message;
  } rows[] = {
      {&AccountEditorDialog::userEdit, "ta|ro", "ﾕｰｻﾞｰ名に「|」は使用できません。"},
      {&AccountEditorDialog::aliasEdit, "アポロ", "ｴｲﾘｱｽに「ポ」は使用できません。"},
      {&AccountEditorDialog::passwordEdit, "pass😀", "ﾊﾟｽﾜｰﾄﾞに「😀」は使用できません。"},
      {&AccountEditorDialog::fontNameEdit, "[fs|Bold]", "出力ﾌｫﾝﾄに「|」は使用できません。"},
  };
  for (const Row& row : rows) {
    messages.clear();
    OpenNew("main");
    (form.get()->*row.box)->setText(QString::fromUtf8(row.text));
    form->OnOk();
    EXPECT_THAT(messages, ElementsAre(QString::fromUtf8(row.message))) << row.text;
    EXPECT_TRUE(accounts.empty()) << row.text;
    EXPECT_TRUE(form->isVisible()) << row.text;
  }
}

TEST_F(AccountEditorDialogTest, RefusesAnAccountWithoutAliasServerOrUser) {
  struct Row {
    QLineEdit* AccountEditorDialog::*box;
    const char* text;
    const char* message;
  } rows[] = {
      {&AccountEditorDialog::aliasEdit, "", "ｴｲﾘｱｽが入力されていません。"},
      {&AccountEditorDialog::serverEdit, "", "POP3ｻｰﾊﾞｰが入力されていません。"},
      {&AccountEditorDialog::userEdit, " ", "ﾕｰｻﾞｰ名が入力されていません。"},
  };
  for (const Row& row : rows) {
    messages.clear();
    OpenNew("main");
    QLineEdit* box = form.get()->*row.box;
    box->setText(QString::fromUtf8(row.text));
    form->OnOk();
    EXPECT_THAT(messages, ElementsAre(QString::fromUtf8(row.message))) << row.message;
    EXPECT_EQ(form->focusWidget(), box) << row.message;
    EXPECT_TRUE(accounts.empty()) << row.message;
    EXPECT_TRUE(form->isVisible()) << row.message;
  }
  EXPECT_FALSE(test::Exists(dir.Dir() + ".dat"));
}

TEST_F(AccountEditorDialogTest, RefusesAnAddressThatSplitsTheRecord) {
  OpenNew("main");
  form->OnAddAddress();
  form->inputDialog->textEdit->setText(QStringLiteral("ポスト@example.jp"));
  form->inputDialog->OnOk();
  EXPECT_THAT(messages, ElementsAre(QStringLiteral("受信ｱﾄﾞﾚｽに「ポ」は使用できません。")));
  EXPECT_TRUE(form->inputDialog->isVisible());
  EXPECT_EQ(form->inputDialog->textEdit->text(), QStringLiteral("ポスト@example.jp"));
  EXPECT_THAT(form->EditAddressList, IsEmpty());
}

// --- server, port and security ------------------------------------------------------

// The server field holds host, port and security; the editor shows them in
// their own boxes and writes the shortest field back, so a record of
// before keeps its bytes.
TEST_F(AccountEditorDialogTest, ServerFieldShowsInItsOwnControlsAndIsWrittenBack) {
  accounts.Add(Record("old"));
  OpenRecord(0);
  EXPECT_EQ(form->serverEdit->text(), "host");
  EXPECT_EQ(form->portSpin->value(), 110);
  EXPECT_EQ(form->securityCombo->currentText(), QStringLiteral("なし"));
  form->OnOk();
  EXPECT_EQ(accounts[0], Record("old"));

  OpenRecord(0);
  form->securityCombo->setCurrentIndex(1);
  form->OnSecurityChosen();
  EXPECT_EQ(form->securityCombo->currentText(), QStringLiteral("SSL/TLS"));
  EXPECT_EQ(form->portSpin->value(), 995) << "SSL/TLS proposes 995";
  form->OnOk();
  EXPECT_EQ(Field(0, afHost), "pop3s://host");

  OpenRecord(0);
  EXPECT_EQ(form->serverEdit->text(), "host");
  EXPECT_EQ(form->portSpin->value(), 995);
  form->securityCombo->setCurrentIndex(2);
  form->OnSecurityChosen();
  EXPECT_EQ(form->portSpin->value(), 110) << "STARTTLS proposes 110";
  form->serverEdit->setText("[2001:db8::5]");
  form->portSpin->setValue(1110);
  form->OnOk();
  EXPECT_EQ(Field(0, afHost), "starttls://[2001:db8::5]:1110");
  OpenRecord(0);
  EXPECT_EQ(form->serverEdit->text(), "2001:db8::5");
  EXPECT_EQ(form->securityCombo->currentText(), QStringLiteral("STARTTLS"));

  // A port or a scheme typed into the host box would not read back.
  for (const char* typed : {"host:995", "pop3s://host"}) {
    messages.clear();
    OpenRecord(0);
    form->serverEdit->setText(typed);
    form->OnOk();
    EXPECT_EQ(messages.size(), 1u) << typed;
    EXPECT_TRUE(form->isVisible()) << typed;
    form->OnCancel();
  }
  EXPECT_EQ(Field(0, afHost), "starttls://[2001:db8::5]:1110");
}

// "接続テスト" against a real Dovecot with a self-signed certificate: the
// certificate is shown, refused until the user trusts it, then pinned for
// the server in Defult.ini, and the login succeeds.
TEST_F(AccountEditorDialogTest, ConnectionTestShowsAnUntrustedCertificateAndTrustsIt) {
  if (test::DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  test::TestCertificates certs(dir.Path().string());
  test::TrustTestCa trust(certs.CaFile());
  const test::ServerCertificate nas = certs.SelfSigned("nas", {});
  test::DovecotServer server;
  server.AddUser("taro", "secret");
  server.EnableTls(nas.CertFile, nas.KeyFile);
  server.Start();

  OpenNew("nas");
  form->serverEdit->setText("127.0.0.1");
  form->securityCombo->setCurrentIndex(1);
  form->portSpin->setValue(server.TlsPort());
  form->connectionTestButton->click();
  ASSERT_EQ(questions.size(), 1u);
  std::string shownFingerprint;  // "AB:CD:..."
  for (std::size_t i = 7; i < nas.Fingerprint.size(); i += 2)
    shownFingerprint += (i > 7 ? ":" : "") + QString::fromStdString(nas.Fingerprint.substr(i, 2))
                                                 .toUpper()
                                                 .toStdString();
  EXPECT_THAT(questions[0].toStdString(),
              AllOf(HasSubstr("self-signed"), HasSubstr("発行先: CN=localhost"),
                    HasSubstr("127.0.0.1:" + std::to_string(server.TlsPort())),
                    HasSubstr("SHA-256: " + shownFingerprint), HasSubstr("有効期間: ")));
  EXPECT_THAT(form->connectionResultLabel->text().toStdString(),
              HasSubstr("証明書エラー: the certificate is self-signed"));
  EXPECT_TRUE(form->isEnabled());
  const ServerAddress address{"127.0.0.1", server.TlsPort(), ServerSecurity::kImplicitTls};
  EXPECT_EQ(CertificatePin(dir.Dir(), address), "");

  trustCertificate = true;
  form->connectionTestButton->click();
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(form->connectionResultLabel->text(), QStringLiteral("ログイン成功"));
  EXPECT_EQ(CertificatePin(dir.Dir(), address), nas.Fingerprint);
  // Trusted now: the next test asks nothing.
  form->connectionTestButton->click();
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(form->connectionResultLabel->text(), QStringLiteral("ログイン成功"));
  EXPECT_TRUE(accounts.empty()) << "the test stores no account";
  EXPECT_EQ(server.Logins("taro"), 2) << server.LogText();
}

}  // namespace
}  // namespace pelnor
