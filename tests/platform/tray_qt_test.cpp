// The Qt side of the tray on the offscreen platform: timers, the mapping of
// Qt's activations to button messages, menus, icons and text.

#include <gtest/gtest.h>

#include <QCursor>
#include <QGuiApplication>
#include <QStyleHints>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <memory>
#include <vector>

#include "core/text/sjis.h"
#include "platform/qt_tray_adapters.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_icon.h"

namespace pelnor {
namespace {

QIcon SolidIcon(Qt::GlobalColor color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

// ---- timers ----

TEST(QtTrayTimerTest, FiresOnceAfterItsTime) {
  QtTrayTimer timer;
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };
  QElapsedTimer elapsed;
  elapsed.start();
  timer.Start(60);
  EXPECT_TRUE(timer.Active());
  ASSERT_TRUE(QTest::qWaitFor([&] { return fired == 1; }, 2000));
  EXPECT_GE(elapsed.elapsed(), 55);
  EXPECT_FALSE(timer.Active());
  QTest::qWait(150);
  EXPECT_EQ(fired, 1);
}

TEST(QtTrayTimerTest, StoppedTimerDoesNotFire) {
  QtTrayTimer timer;
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };
  timer.Start(30);
  timer.Stop();
  QTest::qWait(120);
  EXPECT_EQ(fired, 0);
}

TEST(QtTrayTimerTest, AHandlerMayFreeItsOwnTimer) {
  QtTrayTimerFactory factory;
  std::unique_ptr<TrayTimer> timer = factory.CreateTimer();
  timer->OnTimer = [&] { timer.reset(); };
  timer->Start(10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return timer == nullptr; }, 2000));
  QTest::qWait(20);  // lets the deferred deletion run
}

// ---- activations ----

struct ActivationCase {
  QSystemTrayIcon::ActivationReason reason;
  std::vector<TrayMouseMessage> messages;
};

TEST(QtTrayShellTest, ActivationsBecomeButtonMessages) {
  using M = TrayMouseMessage;
  const std::vector<ActivationCase> cases = {
      {QSystemTrayIcon::Trigger, {M::tmLButtonDown, M::tmLButtonUp}},
      {QSystemTrayIcon::DoubleClick, {M::tmLButtonDblClk, M::tmLButtonUp}},
      {QSystemTrayIcon::Context, {M::tmRButtonDown, M::tmRButtonUp}},
      {QSystemTrayIcon::MiddleClick, {M::tmMButtonDown, M::tmMButtonUp}},
      {QSystemTrayIcon::Unknown, {}},
  };
  QtTrayShell shell;
  for (const ActivationCase& c : cases) {
    std::vector<TrayMouseMessage> seen;
    shell.OnNotify = [&](int id, TrayMouseMessage m) {
      EXPECT_EQ(id, 7);
      seen.push_back(m);
    };
    shell.Activate(7, c.reason);
    EXPECT_EQ(seen, c.messages) << "reason " << c.reason;
  }
}

TEST(QtTrayShellTest, DesktopServices) {
  QtTrayShell shell;
  EXPECT_EQ(shell.DoubleClickTime(), QGuiApplication::styleHints()->mouseDoubleClickInterval());
  EXPECT_GT(shell.DoubleClickTime(), 0);
  const QPoint cursor = QCursor::pos();
  EXPECT_EQ(shell.CursorPos().X, cursor.x());
  EXPECT_EQ(shell.CursorPos().Y, cursor.y());
  EXPECT_NO_THROW(shell.SetForegroundWindow(0));
}

TEST(QtTrayShellTest, ModifyAndDeleteOfAnUnknownIconAreRefused) {
  QtTrayShell shell;
  NotifyIconData data;
  data.uID = 3;
  EXPECT_FALSE(shell.Modify(data));
  EXPECT_FALSE(shell.Delete(data));
}

// ---- the tray icon on the Qt shell ----

class QtTrayIconTest : public ::testing::Test {
 protected:
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host{shell, timers};
};

// Qt embeds the icon once a tray host appears (tests/app/application_x11_test).
TEST_F(QtTrayIconTest, WithoutATrayHostTheIconWaitsForOne) {
  if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this desktop has a tray host";
  TrayIcon icon(host);
  icon.SetIcon(QtTrayIcon(SolidIcon(Qt::red)));
  EXPECT_NO_THROW(icon.SetVisible(true));
  EXPECT_TRUE(icon.Added());
  EXPECT_NE(shell.SystemTrayIcon(icon.IconId()), nullptr);
}

TEST_F(QtTrayIconTest, AClickFiresOnClickAfterTheDoubleClickTime) {
  TrayIcon icon(host);
  int clicks = 0;
  icon.OnClick = [&](TrayIcon&) { ++clicks; };
  QElapsedTimer elapsed;
  elapsed.start();
  shell.Activate(icon.IconId(), QSystemTrayIcon::Trigger);
  EXPECT_TRUE(icon.ClickPending());
  ASSERT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, 5000));
  EXPECT_GE(elapsed.elapsed(), shell.DoubleClickTime() + 50 - 5);
}

TEST_F(QtTrayIconTest, ADoubleClickFiresOnlyOnDblClick) {
  TrayIcon icon(host);
  int clicks = 0, doubles = 0;
  icon.OnClick = [&](TrayIcon&) { ++clicks; };
  icon.OnDblClick = [&](TrayIcon&) { ++doubles; };
  shell.Activate(icon.IconId(), QSystemTrayIcon::Trigger);
  shell.Activate(icon.IconId(), QSystemTrayIcon::DoubleClick);
  QTest::qWait(shell.DoubleClickTime() + 200);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 0);
}

TEST_F(QtTrayIconTest, ContextClickOpensTheMenuOnlyWhenEnabled) {
  QWidget form;
  QMenu menu;
  menu.addAction(QStringLiteral("終了"));
  auto popup = std::make_shared<QtTrayMenu>(&menu);
  QtTrayOwner owner(&form);
  TrayIcon icon(host, &owner);
  icon.SetRBPopupMenu(popup);

  icon.SetEnabled(false);
  shell.Activate(icon.IconId(), QSystemTrayIcon::Context);
  QTest::qWait(50);
  EXPECT_FALSE(menu.isVisible());

  icon.SetEnabled(true);
  icon.SetAutoPopup(false);
  shell.Activate(icon.IconId(), QSystemTrayIcon::Context);
  QTest::qWait(50);
  EXPECT_FALSE(menu.isVisible());

  icon.SetAutoPopup(true);
  shell.Activate(icon.IconId(), QSystemTrayIcon::Context);
  EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000));
  menu.close();
}

// The offscreen platform has no tray; this shell accepts the icon anyway and
// counts the frames that reach it.
class FrameCountingShell : public QtTrayShell {
 public:
  bool Add(const NotifyIconData&) override { return true; }
  bool Modify(const NotifyIconData& data) override {
    frames.push_back(data.hIcon);
    return true;
  }
  std::vector<IconHandle> frames;
};

TEST(QtTrayAnimationTest, FramesFollowOnQtTimers) {
  FrameCountingShell shell;
  QtTrayTimerFactory timers;
  TrayHost host(shell, timers);
  TrayIcon icon(host);
  const IconHandle red = QtTrayIcon(SolidIcon(Qt::red));
  const IconHandle green = QtTrayIcon(SolidIcon(Qt::green));
  const IconHandle still = QtTrayIcon(SolidIcon(Qt::blue));
  icon.SetIcon(still);
  icon.SetVisible(true);
  auto frames = std::make_shared<ImageList>(std::vector<IconHandle>{red, green});
  icon.SetAnimateIcons(frames);
  icon.SetAnimateRate(100);

  icon.StartAnimation(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shell.frames.size() >= 3; }, 3000));
  icon.StopAnimation();
  ASSERT_GE(shell.frames.size(), 4u);
  EXPECT_EQ(shell.frames[0], red);
  EXPECT_EQ(shell.frames[1], green);
  EXPECT_EQ(shell.frames[2], red);
  EXPECT_EQ(shell.frames.back(), still);

  const std::size_t sent = shell.frames.size();
  QTest::qWait(300);
  EXPECT_EQ(shell.frames.size(), sent);
}

// ---- icons, owners and text ----

TEST(QtTrayAdaptersTest, IconsRoundTrip) {
  EXPECT_TRUE(QtTrayIcon(QIcon()).Empty());
  EXPECT_TRUE(ToQIcon(IconHandle()).isNull());
  const QIcon red = SolidIcon(Qt::red);
  const IconHandle icon = QtTrayIcon(red);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(ToQIcon(icon).cacheKey(), red.cacheKey());
}

TEST(QtTrayAdaptersTest, OwnerIsAFormWithItsIconAndWindow) {
  auto form = std::make_unique<QWidget>();
  form->setWindowIcon(SolidIcon(Qt::blue));
  QtTrayOwner owner(form.get());
  EXPECT_FALSE(owner.FormIcon().Empty());
  EXPECT_EQ(owner.Handle(), reinterpret_cast<WindowHandle>(form.get()));

  {
    QWidget child(form.get());
    EXPECT_TRUE(QtTrayOwner(&child).FormIcon().Empty());
  }

  form.reset();
  EXPECT_EQ(owner.Handle(), 0u);
  EXPECT_TRUE(owner.FormIcon().Empty());
}

TEST(QtTrayAdaptersTest, ShiftJisTipBecomesUnicode) {
  EXPECT_EQ(TipToQString(Sjis("ペルノア メール")), QStringLiteral("ペルノア メール"));
  EXPECT_EQ(TipToQString("Pelnor"), QStringLiteral("Pelnor"));
}

TEST(QtTrayAdaptersTest, APopupMenuWhoseQMenuIsGoneDoesNothing) {
  auto menu = std::make_unique<QMenu>();
  QtTrayMenu popup(menu.get());
  menu.reset();
  EXPECT_EQ(popup.Menu(), nullptr);
  EXPECT_NO_THROW(popup.Popup(10, 10));
}

}  // namespace
}  // namespace pelnor
