#include <gtest/gtest.h>

#include <vector>

#include "core/text/sjis.h"
#include "core/tray/notify_icon_error.h"
#include "tray_fixture.h"

namespace pelnor::testing {
namespace {

using TrayRegistryTest = TrayTest;

TEST_F(TrayRegistryTest, FirstIconGetsOneAndTheNextTheLastPlusOne) {
  auto a = MakeIcon();
  auto b = MakeIcon();
  EXPECT_EQ(a->IconId(), 1);
  EXPECT_EQ(b->IconId(), 2);

  a.reset();
  auto c = MakeIcon();
  EXPECT_EQ(c->IconId(), 3);
}

TEST_F(TrayRegistryTest, FreeingTheLastIconHandsItsNumberOutAgain) {
  auto a = MakeIcon();
  auto b = MakeIcon();
  b.reset();
  EXPECT_EQ(MakeIcon()->IconId(), 2);
}

TEST_F(TrayRegistryTest, AnEmptyRegistryStartsAgainAtOne) {
  MakeIcon().reset();
  MakeIcon().reset();
  EXPECT_EQ(host.Registry().Count(), 0u);
  EXPECT_EQ(MakeIcon()->IconId(), 1);
}

TEST_F(TrayRegistryTest, TheHundredAndFirstIconIsRefused) {
  std::vector<std::unique_ptr<TrayIcon>> icons;
  for (int i = 0; i < 100; ++i) icons.push_back(MakeIcon());
  EXPECT_EQ(icons.back()->IconId(), 100);

  try {
    MakeIcon();
    FAIL() << "a 101st icon was accepted";
  } catch (const ENotifyIconError& e) {
    EXPECT_EQ(SjisToUtf8(e.what()), "タスクトレイにアイコンを登録できません。");
  }
  EXPECT_EQ(host.Registry().Count(), 100u);

  icons.erase(icons.begin());
  EXPECT_EQ(MakeIcon()->IconId(), 101);
}

TEST_F(TrayRegistryTest, ErrorTextIsShiftJis) {
  const std::string text = ENotifyIconError().what();
  EXPECT_EQ(text, Sjis("タスクトレイにアイコンを登録できません。"));
  EXPECT_EQ(text.substr(0, 2), "\x83\x5E");  // タ
}

TEST_F(TrayRegistryTest, NotificationsGoToTheIconWithThatNumber) {
  auto a = MakeIcon();
  auto b = MakeIcon();
  int aDown = 0, bDown = 0;
  a->OnMouseDown = [&](TrayIcon&, MouseButton, ShiftState, int, int) { ++aDown; };
  b->OnMouseDown = [&](TrayIcon&, MouseButton, ShiftState, int, int) { ++bDown; };

  shell.Send(2, TrayMouseMessage::tmMButtonDown);
  EXPECT_EQ(aDown, 0);
  EXPECT_EQ(bDown, 1);
  EXPECT_EQ(host.Callbacks().CurrentIcon(), b.get());
}

TEST_F(TrayRegistryTest, NotificationsForUnknownOrFreedIconsAreIgnored) {
  auto a = MakeIcon();
  shell.Send(1, TrayMouseMessage::tmMouseMove);
  ASSERT_EQ(host.Callbacks().CurrentIcon(), a.get());

  a.reset();
  EXPECT_EQ(host.Callbacks().CurrentIcon(), nullptr);
  shell.Send(1, TrayMouseMessage::tmLButtonUp);
  shell.Send(7, TrayMouseMessage::tmLButtonUp);
  EXPECT_EQ(host.Callbacks().CurrentIcon(), nullptr);
}

TEST_F(TrayRegistryTest, TheFirstIconSetsUpTheCallbackWindow) {
  EXPECT_FALSE(host.HasCallbackWindow());
  EXPECT_FALSE(shell.OnNotify);
  auto a = MakeIcon();
  EXPECT_TRUE(host.HasCallbackWindow());
  EXPECT_TRUE(shell.OnNotify);
}

}  // namespace
}  // namespace pelnor::testing
