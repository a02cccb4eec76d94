// The tray icon in a real system tray: Xvfb with trayer, clicked through
// xdotool. Skipped, with the reason, where those programs are missing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/qt_tray_adapters.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_icon.h"
#include "support/qt_test_app.h"
#include "support/x11_desktop.h"

namespace pelnor::testing {
namespace {

class X11TrayPlatform : public test::QtPlatform {
 public:
  void BeforeApplication() override {
    desktop_ = X11Desktop::Start(whyNot_);
    if (!desktop_) return;
    // Without a session bus Qt embeds into trayer instead of looking for a
    // StatusNotifierItem host.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  void WithApplication() override {
    if (!desktop_) return;
    if (!QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000))
      whyNot_ = "trayer never took the system tray";
  }
  void AfterApplication() override { desktop_.reset(); }

  static std::string whyNot_;
  static X11Desktop& Desktop() { return *desktop_; }

 private:
  static std::unique_ptr<X11Desktop> desktop_;
};

std::string X11TrayPlatform::whyNot_;
std::unique_ptr<X11Desktop> X11TrayPlatform::desktop_;
[[maybe_unused]] const bool kX11TrayChosen = test::UseQtPlatform(std::make_unique<X11TrayPlatform>());

class TrayX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!X11TrayPlatform::whyNot_.empty())
      GTEST_SKIP() << "no test desktop: " << X11TrayPlatform::whyNot_;
    shell = std::make_unique<QtTrayShell>();
    host = std::make_unique<TrayHost>(*shell, timers);
    icon = std::make_unique<TrayIcon>(*host);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::darkBlue);
    icon->SetIcon(QtTrayIcon(QIcon(pixmap)));
    icon->SetTipHelp("Pelnor");
    icon->SetVisible(true);
  }
  void TearDown() override {
    icon.reset();
    host.reset();
    shell.reset();
  }

  // Where the embedded icon sits on the screen, once trayer has taken it.
  QPoint IconCentre() {
    QSystemTrayIcon* tray = shell->SystemTrayIcon(icon->IconId());
    EXPECT_NE(tray, nullptr);
    if (tray == nullptr) return {};
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray->geometry().width() > 0; }, 10000));
    QTest::qWait(300);  // let trayer finish placing it
    return tray->geometry().center();
  }

  void Xdotool(const QPoint& at, const std::string& clickArgs) {
    std::vector<std::string> argv = {"xdotool", "mousemove", std::to_string(at.x()),
                                     std::to_string(at.y()), "click"};
    for (std::size_t start = 0; start < clickArgs.size();) {
      std::size_t end = clickArgs.find(' ', start);
      if (end == std::string::npos) end = clickArgs.size();
      argv.push_back(clickArgs.substr(start, end - start));
      start = end + 1;
    }
    // The program keeps handling its events while xdotool clicks.
    const pid_t pid = StartProgram(argv);
    ASSERT_GT(pid, 0);
    int status = -1;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ProgramEnded(pid, status); }, 10000));
    ASSERT_EQ(status, 0);
  }

  QtTrayTimerFactory timers;
  std::unique_ptr<QtTrayShell> shell;
  std::unique_ptr<TrayHost> host;
  std::unique_ptr<TrayIcon> icon;
};

TEST_F(TrayX11Test, TheIconIsAddedWithItsTip) {
  EXPECT_TRUE(icon->Added());
  QSystemTrayIcon* tray = shell->SystemTrayIcon(icon->IconId());
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->isVisible());
  EXPECT_EQ(tray->toolTip(), QStringLiteral("Pelnor"));
  EXPECT_FALSE(IconCentre().isNull());
}

TEST_F(TrayX11Test, ALeftClickFiresOnClick) {
  int clicks = 0, doubles = 0;
  icon->OnClick = [&](TrayIcon&) { ++clicks; };
  icon->OnDblClick = [&](TrayIcon&) { ++doubles; };
  Xdotool(IconCentre(), "1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, 5000));
  QTest::qWait(shell->DoubleClickTime() + 100);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubles, 0);
}

TEST_F(TrayX11Test, ADoubleClickFiresOnlyOnDblClick) {
  int clicks = 0, doubles = 0;
  icon->OnClick = [&](TrayIcon&) { ++clicks; };
  icon->OnDblClick = [&](TrayIcon&) { ++doubles; };
  Xdotool(IconCentre(), "--repeat 2 --delay 80 1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return doubles == 1; }, 5000));
  QTest::qWait(shell->DoubleClickTime() + 200);
  EXPECT_EQ(clicks, 0);
}

TEST_F(TrayX11Test, ARightClickOpensTheMenuOnlyWhileEnabled) {
  QMenu menu;
  menu.addAction(QStringLiteral("終了"));
  auto popup = std::make_shared<QtTrayMenu>(&menu);  // the tray holds it weakly
  icon->SetRBPopupMenu(popup);
  const QPoint at = IconCentre();

  icon->SetEnabled(false);
  Xdotool(at, "3");
  QTest::qWait(300);
  EXPECT_FALSE(menu.isVisible());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  icon->SetEnabled(true);
  Xdotool(at, "3");
  EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 5000));
  menu.close();
}

TEST_F(TrayX11Test, TheIconComesBackWhenTheTrayIsRestarted) {
  int clicks = 0;
  icon->OnClick = [&](TrayIcon&) { ++clicks; };
  QSystemTrayIcon* tray = shell->SystemTrayIcon(icon->IconId());
  ASSERT_NE(tray, nullptr);
  ASSERT_FALSE(IconCentre().isNull());

  ASSERT_TRUE(X11TrayPlatform::Desktop().RestartTray());
  QTest::qWait(500);
  ASSERT_TRUE(QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
  Xdotool(IconCentre(), "1");
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, 5000));
  EXPECT_TRUE(icon->Added());
}

}  // namespace
}  // namespace pelnor::testing
