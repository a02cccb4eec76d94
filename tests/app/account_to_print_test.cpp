// An account typed into the program's own editor gets its mail printed by
// the next check: the application offscreen, Dovecot, the built-in PDF
// printer.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <filesystem>
#include <memory>

#include "app/application.h"
#include "core/check/pop3_check_client.h"
#include "core/store/history.h"
#include "core/text/sjis.h"
#include "platform/qt_printer.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "support/dovecot_fixture.h"
#include "support/pdf_probe.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"
#include "support/test_mails.h"
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

TEST(AccountToPrint, AccountTypedInTheEditorGetsItsMailPrinted) {
  if (!test::HavePopplerTools()) GTEST_SKIP() << "poppler-utils missing";
  test::DovecotServer dovecot;
  dovecot.AddUser("taro", "secret");
  dovecot.Start();
  dovecot.Deliver("taro", test::JapaneseMail("山田", "yamada@example.jp", "見積のご依頼", {"よろしく"}));

  test::TempDir temp("account-to-print-");
  const std::string dir = temp.Dir();
  test::WriteBytes(dir + "Defult.ini", "[System]\r\nversion=1.7\r\nFirstStart=0\r\n");
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host{shell, timers};
  QtPrinter printer{dir};
  ApplicationServices services;
  services.ProgramDir = dir;
  services.Tray = &host;
  services.Printer = &printer;
  const std::string port = std::to_string(dovecot.Port());
  services.MakePop = [port] {
    return std::make_unique<Pop3SessionClient>([] { QCoreApplication::processEvents(); }, port);
  };
  services.ShowMessage = [](const QString&, QMessageBox::Icon) {};
  auto app = std::make_unique<Application>(std::move(services));
  app->Start();

  app->OnSettings();
  SettingsDialog& dialog = app->SettingsWindow();
  dialog.OnNewAccount();
  AccountEditorDialog& editor = app->AccountEditor();
  // keyClicks takes ASCII only; the alias goes in as typed key events.
  for (QChar c : QStringLiteral("会社"))
    QTest::sendKeyEvent(QTest::Press, editor.aliasEdit, Qt::Key_unknown, QString(c), Qt::NoModifier);
  QTest::keyClicks(editor.serverEdit, "127.0.0.1");
  QTest::keyClicks(editor.userEdit, "taro");
  QTest::keyClicks(editor.passwordEdit, "secret");
  editor.printerCombo->setCurrentIndex(editor.printerCombo->count() - 1);  // "PDF出力"
  editor.OnOk();
  ASSERT_EQ(app->Accounts().size(), 1u);
  EXPECT_EQ(app->Accounts()[0].rfind(Sjis("会社|1|127.0.0.1|taro|secret|"), 0), 0u);
  EXPECT_TRUE(fs::exists(HistoryPath(dir, Sjis("会社"))));
  dialog.logCheck->setChecked(true);
  dialog.OnOk();
  EXPECT_TRUE(fs::exists(dir + "User.inf"));

  app->OnCheckNow();
  auto log = [&] { return fs::exists(dir + "Log.txt") ? ReadBytes(dir + "Log.txt") : std::string(); };
  for (int i = 0; i < 300 && log().find(Sjis("<出力終了>")) == std::string::npos; ++i)
    QTest::qWait(50);
  EXPECT_NE(log().find(Sjis("<出力終了>")), std::string::npos);
  ASSERT_TRUE(fs::exists(dir + "PDF"));
  fs::path pdf = fs::directory_iterator(dir + "PDF")->path();
  const std::string text = test::PdfToText(pdf);
  EXPECT_NE(text.find("会社"), std::string::npos) << text;
  EXPECT_NE(text.find("見積のご依頼"), std::string::npos) << text;
  app.reset();
}

}  // namespace
}  // namespace pelnor
