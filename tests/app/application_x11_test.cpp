// The application on an X desktop whose tray host comes late, as when the
// program is autostarted before the panel: start-up goes on without waiting
// for anyone, and the icon is added once the tray is there.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "core/store/account_store.h"
#include "platform/qt_printer.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"
#include "support/x11_desktop.h"

namespace pelnor {
namespace {

class NoTrayDesktop : public ::testing::Environment {
 public:
  void SetUp() override {
    desktop_ = testing::X11Desktop::Start(whyNot_, /*withTray=*/false);
    if (!desktop_) return;
    unsetenv("DBUS_SESSION_BUS_ADDRESS");  // the XEmbed tray, not a D-Bus one
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override {
    app_.reset();
    desktop_.reset();
  }

  static std::string whyNot_;
  static std::unique_ptr<testing::X11Desktop> desktop_;

 private:
  int argc_ = 1;
  char name_[24] = "application_x11_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

std::string NoTrayDesktop::whyNot_;
std::unique_ptr<testing::X11Desktop> NoTrayDesktop::desktop_;
const auto* const kDesktop = ::testing::AddGlobalTestEnvironment(new NoTrayDesktop);

QMessageBox* ShownMessageBox() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<QMessageBox*>(window); box != nullptr && box->isVisible()) return box;
  return nullptr;
}

TEST(ApplicationX11Test, WithoutATrayStartUpGoesOnAndTheIconFollowsTheTray) {
  if (!NoTrayDesktop::whyNot_.empty()) GTEST_SKIP() << "no test desktop: " << NoTrayDesktop::whyNot_;
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  test::TempDir temp("application-x11-");
  const std::string dir = temp.Dir();
  test::WriteBytes(dir + "Defult.ini",
                   "[File]\r\nTime=180000\r\n[System]\r\nversion=1.7\r\nFirstStart=0\r\n");
  AccountList accounts;
  accounts.Add("alpha|1|127.0.0.1|a|pw|0|0|font|[]|10|1||1|1|0");
  SaveAccounts(dir, accounts);

  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host(shell, timers);
  QtPrinter printer(dir);
  ApplicationServices services;  // the program's own message boxes
  services.ProgramDir = dir;
  services.Tray = &host;
  services.Printer = &printer;
  {
    Application app(std::move(services));
    // A modal box during start-up is noted and closed, so that it fails
    // the test instead of hanging it.
    bool modalSeen = false;
    QTimer watch;
    watch.callOnTimeout([&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modalSeen = true;
        modal->close();
      }
    });
    watch.start(100);
    app.Start();
    watch.stop();
    EXPECT_FALSE(modalSeen);
    EXPECT_EQ(app.Accounts().size(), 1u);
    EXPECT_TRUE(app.CheckTimer().Armed());
    EXPECT_EQ(app.CheckTimer().Interval(), 180000);
    QMessageBox* notice = ShownMessageBox();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), QStringLiteral("タスクトレイにアイコンを登録できません。"));
    EXPECT_FALSE(notice->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The panel comes up: the icon goes into its tray.
    ASSERT_TRUE(NoTrayDesktop::desktop_->RestartTray());
    QSystemTrayIcon* tray = shell.SystemTrayIcon(app.Tray().IconId());
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray->geometry().width() > 0; }, 10000));
    EXPECT_TRUE(tray->isVisible());
    notice->close();
  }
}

}  // namespace
}  // namespace pelnor
