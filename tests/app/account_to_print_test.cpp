// An account typed into the program's own editor gets its mail printed by
// the next check: the main form offscreen, Dovecot, the built-in PDF printer.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/Unit1.h"
#include "core/check/pop3_check_client.h"
#include "support/pdf_probe.h"
#include "platform/qt_printer.h"
#include "core/text/sjis.h"
#include "support/dovecot_fixture.h"
#include "support/test_mails.h"
#include "ui/account_editor_dialog.h"
#include "core/store/history.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(AccountToPrint, AccountTypedInTheEditorGetsItsMailPrinted) {
  if (!test::HavePopplerTools()) GTEST_SKIP() << "poppler-utils missing";
  test::DovecotServer dovecot;
  dovecot.AddUser("taro", "secret");
  dovecot.Start();
  dovecot.Deliver("taro", test::JapaneseMail("山田", "yamada@example.jp", "見積のご依頼", {"よろしく"}));

  char pattern[] = "/tmp/account_to_print_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = std::string(pattern) + "/";
  std::ofstream(dir + "Defult.ini", std::ios::binary) << "[System]\r\nversion=1.7\r\nFirstStart=0\r\n";
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host{shell, timers};
  QtPrinter printer{dir};
  TForm1Services services;
  services.ProgramDir = dir;
  services.Tray = &host;
  services.Printer = &printer;
  const std::string port = std::to_string(dovecot.Port());
  services.MakePop = [port] {
    return std::make_unique<Pop3SessionClient>([] { QCoreApplication::processEvents(); }, port);
  };
  services.ShowMessage = [](const QString&, QMessageBox::Icon) {};
  auto form = std::make_unique<TForm1>(std::move(services));
  form->FormCreate();

  form->N3Click();
  form->Button3Click();
  AccountEditorDialog& editor = *form->Form2;
  // keyClicks takes ASCII only; the alias goes in as typed key events.
  for (QChar c : QStringLiteral("会社"))
    QTest::sendKeyEvent(QTest::Press, editor.Edit1, Qt::Key_unknown, QString(c), Qt::NoModifier);
  QTest::keyClicks(editor.Edit2, "127.0.0.1");
  QTest::keyClicks(editor.Edit3, "taro");
  QTest::keyClicks(editor.Edit4, "secret");
  editor.ComboBox1->setCurrentIndex(editor.ComboBox1->count() - 1);  // "PDF出力"
  editor.Button1Click();
  ASSERT_EQ(form->AccountList.size(), 1u);
  EXPECT_EQ(form->AccountList[0].rfind(Sjis("会社|1|127.0.0.1|taro|secret|"), 0), 0u);
  EXPECT_TRUE(fs::exists(HistoryPath(dir, Sjis("会社"))));
  form->CheckBox2->setChecked(true);
  form->Button1Click();
  EXPECT_TRUE(fs::exists(dir + "User.inf"));

  form->N1Click();
  for (int i = 0; i < 300 && ReadFile(dir + "Log.txt").find(Sjis("<出力終了>")) == std::string::npos; ++i)
    QTest::qWait(50);
  EXPECT_NE(ReadFile(dir + "Log.txt").find(Sjis("<出力終了>")), std::string::npos);
  ASSERT_TRUE(fs::exists(dir + "PDF"));
  fs::path pdf = fs::directory_iterator(dir + "PDF")->path();
  const std::string text = test::PdfToText(pdf);
  EXPECT_NE(text.find("会社"), std::string::npos) << text;
  EXPECT_NE(text.find("見積のご依頼"), std::string::npos) << text;
  form.reset();
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pelnor

// The forms need a QApplication, on the offscreen platform.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
