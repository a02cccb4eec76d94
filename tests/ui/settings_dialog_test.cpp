// The settings dialog on the offscreen platform, over an account list of its
// own: its pages, the account page's handlers, OK with the margins and the
// proxy, and the rules behind its boxes. What it hands back is recorded the
// way the application keeps it.

#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/store/account_store.h"
#include "core/store/history.h"
#include "core/store/settings_rules.h"
#include "platform/qt_printer.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"
#include "ui/account_editor_dialog.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

const std::string kAccountA = "alpha|1|127.0.0.1|a|pw|0|0|font|[]|10|1||1|1|0";
const std::string kAccountB = "beta|1|127.0.0.1|b|pw|0|0|font|[]|10|1||1|1|0";

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() : printer_(dir_.Path()) {
    AccountEditorServices editor;
    editor.ProgramDir = dir_.Dir();
    editor.Accounts = &accounts_;
    editor.Printer = &printer_;
    editor.PaperIndex = &paperIndex_;
    editor.AttachDir = &attachDir_;
    editor.ShowMessage = [this](const QString& text) { messages_.push_back(text); };
    editor_ = std::make_unique<AccountEditorDialog>(std::move(editor));
    SettingsDialogServices services;
    services.ProgramDir = dir_.Dir();
    services.Accounts = &accounts_;
    services.Editor = editor_.get();
    services.ShowMessage = [this](const QString& text, QMessageBox::Icon) {
      messages_.push_back(text);
    };
    dialog_ = std::make_unique<SettingsDialog>(std::move(services));
    dialog_->OnSettingsChanged = [this](const Settings& edited) { held_ = edited; };
  }

  // As start-up does: the accounts from User.inf, the controls once.
  SettingsDialog& Start(const std::vector<std::string>& records = {}) {
    AccountList stored;
    for (const std::string& record : records) stored.Add(record);
    SaveAccounts(dir_.Dir(), stored);
    LoadAccounts(dir_.Dir(), accounts_);
    if (!accounts_.empty()) dialog_->FillAccountList();
    dialog_->Fill(held_);
    return *dialog_;
  }

  test::TempDir dir_{"settings-dialog-"};
  QtPrinter printer_;
  AccountList accounts_;
  int paperIndex_ = 0;
  std::string attachDir_;
  Settings held_;  // what the application would hold
  std::vector<QString> messages_;
  std::unique_ptr<AccountEditorDialog> editor_;
  std::unique_ptr<SettingsDialog> dialog_;
};

TEST_F(SettingsDialogTest, TitleAndPagesInOrder) {
  SettingsDialog& dialog = *dialog_;
  EXPECT_EQ(dialog.windowTitle(), "Pelnor");
  QStringList pages;
  for (int i = 0; i < dialog.pages->count(); ++i) pages << dialog.pages->tabText(i);
  EXPECT_EQ(pages, QStringList({"ｱｶｳﾝﾄ設定", " 一般設定 ", "接続設定", "印刷設定"}));
}

// ---- the margins ----

TEST_F(SettingsDialogTest, RefusedMarginStopsOkAfterTheMarginsBeforeIt) {
  SettingsDialog& dialog = Start({kAccountA});
  dialog.Open(held_);
  dialog.leftMarginEdit->setText("150");
  dialog.rightMarginEdit->setText("x1");
  dialog.topMarginEdit->setText("300");
  messages_.clear();
  dialog.OnOk();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(messages_, std::vector<QString>{QStringLiteral("'x1' は整数ではありません")});
  EXPECT_EQ(held_.MarginLeft, 150);
  EXPECT_EQ(held_.MarginTop, 200);
  dialog.rightMarginEdit->setText("120");
  dialog.OnOk();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(held_.MarginRight, 120);
  EXPECT_EQ(held_.MarginTop, 300);
}

// With the input method on, digits come full width; anything else in the
// box is refused as before, with the text as typed.
TEST_F(SettingsDialogTest, FullWidthDigitsAndMinusAreTakenAsTheirAsciiForms) {
  SettingsDialog& dialog = Start();
  dialog.Open(held_);
  dialog.intervalEdit->setText(QStringLiteral("５"));
  dialog.leftMarginEdit->setText(QStringLiteral("１５０"));
  dialog.rightMarginEdit->setText(QStringLiteral("－５"));
  dialog.topMarginEdit->setText(QStringLiteral(" −１"));
  dialog.bottomMarginEdit->setText(QStringLiteral("５ｍｍ"));
  messages_.clear();
  dialog.OnOk();
  EXPECT_EQ(messages_, std::vector<QString>{QStringLiteral("'５ｍｍ' は整数ではありません")});
  EXPECT_EQ(held_.MarginLeft, 150);
  EXPECT_EQ(held_.MarginRight, -5);
  EXPECT_EQ(held_.MarginTop, -1);
  dialog.bottomMarginEdit->setText(QStringLiteral("２００"));
  dialog.OnOk();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(held_.MarginBottom, 200);
  EXPECT_EQ(held_.CheckInterval, 5 * 60000);
}

TEST_F(SettingsDialogTest, EachMarginShowsWhatItIsOnPaperAsItIsTyped) {
  held_.MarginLeft = 200;
  held_.MarginBottom = -12;
  SettingsDialog& dialog = Start();
  EXPECT_EQ(dialog.marginOnPaperLabels[0]->text(), QStringLiteral("≈ 8.5 mm"));
  EXPECT_EQ(dialog.marginOnPaperLabels[3]->text(), QStringLiteral("≈ -0.5 mm"));
  dialog.topMarginEdit->setText(QStringLiteral("600"));
  EXPECT_EQ(dialog.marginOnPaperLabels[2]->text(), QStringLiteral("≈ 25.4 mm"));
  dialog.topMarginEdit->setText(QStringLiteral("６０"));
  EXPECT_EQ(dialog.marginOnPaperLabels[2]->text(), QStringLiteral("≈ 2.5 mm"));
  dialog.topMarginEdit->setText(QStringLiteral("6x"));
  EXPECT_EQ(dialog.marginOnPaperLabels[2]->text(), QString());
}

// ---- accounts ----

TEST_F(SettingsDialogTest, UncheckedAccountStaysDisabledAfterCancelButNotInTheFile) {
  SettingsDialog& dialog = Start({kAccountA, kAccountB});
  ASSERT_EQ(dialog.accountCheckList->count(), 2);
  dialog.Open(held_);
  dialog.accountCheckList->item(1)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(dialog.accountCheckList->currentRow(), 1);
  dialog.OnCancel();
  EXPECT_EQ(accounts_[0], kAccountA);
  EXPECT_EQ(accounts_[1], "beta|0|127.0.0.1|b|pw|0|0|font|[]|10|1||1|1|0");
  AccountList saved;
  LoadAccounts(dir_.Dir(), saved);
  EXPECT_EQ(saved[1], kAccountB);
}

TEST_F(SettingsDialogTest, DeletingTheOnlyAccountThenOkWritesAnEmptyList) {
  SettingsDialog& dialog = Start({kAccountA});
  CreateHistory(dir_.Dir(), "alpha", kAccountA);
  dialog.Open(held_);
  dialog.OnDeleteAccount();  // nothing selected: nothing happens
  EXPECT_EQ(accounts_.size(), 1u);
  dialog.accountCheckList->setCurrentRow(0);
  dialog.OnDeleteAccount();
  EXPECT_TRUE(accounts_.empty());
  EXPECT_EQ(dialog.accountCheckList->count(), 0);
  EXPECT_FALSE(fs::exists(HistoryPath(dir_.Dir(), "alpha")));
  EXPECT_NE(ReadBytes(dir_.Dir() + "User.inf"), "");  // only OK writes it
  dialog.OnOk();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(fs::exists(dir_.Dir() + "User.inf"));
  EXPECT_EQ(ReadBytes(dir_.Dir() + "User.inf"), "");
}

// Text typed at once goes into the first box, also after a button closed
// the window the last time.
TEST_F(SettingsDialogTest, TheDialogAndEachNewAccountOpenWithTheFocusOnTheFirstBox) {
  SettingsDialog& dialog = Start();
  dialog.Open(held_);
  EXPECT_EQ(dialog.focusWidget(), dialog.accountCheckList);
  for (int time = 1; time <= 2; ++time) {
    dialog.OnNewAccount();
    EXPECT_EQ(editor_->focusWidget(), editor_->aliasEdit) << "opening " << time;
    editor_->cancelButton->setFocus(Qt::MouseFocusReason);  // as clicking it does
    editor_->cancelButton->click();
  }
}

// ---- connection page ----

TEST_F(SettingsDialogTest, ProxyBoxesFollowTheOptionAndOkKeepsTheTypedProxy) {
  held_.ProxyAddress = "old.proxy";
  held_.ProxyPort = "3128";
  SettingsDialog& dialog = Start();
  dialog.Open(held_);
  dialog.proxyRadio->click();
  ASSERT_TRUE(dialog.proxyRadio->isChecked());
  EXPECT_EQ(dialog.proxyAddressEdit->text(), "old.proxy");
  EXPECT_EQ(dialog.proxyPortEdit->text(), "3128");
  EXPECT_TRUE(dialog.proxyAddressEdit->isEnabled());
  dialog.proxyAddressEdit->setText("new.proxy");
  dialog.OnOk();
  EXPECT_EQ(held_.ProxyAddress, "new.proxy");
  EXPECT_EQ(held_.ProxyPort, "3128");
  dialog.Open(held_);
  dialog.directConnectionRadio->click();
  EXPECT_TRUE(dialog.proxyAddressEdit->text().isEmpty());
  EXPECT_FALSE(dialog.proxyPortEdit->isEnabled());
  dialog.OnOk();
  EXPECT_EQ(held_.ProxyAddress, "new.proxy");  // kept while the proxy is off
}

// ---- rules ----

TEST(SettingsDialogRulesTest, WholeNumbers) {
  struct Row {
    const char* text;
    std::optional<int> value;
  } rows[] = {{"12", 12},        {"  -7", -7},          {"+3", 3},
              {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
              {"2147483648", {}}, {"1 ", {}},           {"", {}},
              {"-", {}},          {"1.5", {}},          {"１", {}}};
  for (const Row& row : rows) EXPECT_EQ(ParseWholeNumber(row.text), row.value) << row.text;
}

TEST(SettingsDialogRulesTest, CheckMarkRewritesField2OfEveryRecordOfThatAlias) {
  AccountList list;
  list.Add("a|1|h|u");
  list.Add("b|x|h2");
  list.Add("bb|1");
  SetAccountChecked(list, "b", false);
  // "|" sorts after the letters, so "bb" stands before "b".
  EXPECT_EQ(list.Records(), (std::vector<std::string>{"a|1|h|u", "bb|1", "b|0|h2"}));
  SetAccountChecked(list, "bb", false);  // no field after field 2
  EXPECT_EQ(list[1], "bb|0|");
}

}  // namespace
}  // namespace pelnor
