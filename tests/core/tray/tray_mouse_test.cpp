#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tray_fixture.h"

namespace pelnor::testing {
namespace {

using M = TrayMouseMessage;

// Records every event an icon fires, as text.
class TrayMouseTest : public TrayTest {
 protected:
  void Watch(TrayIcon& icon) {
    icon.OnClick = [this](TrayIcon&) { events.push_back("click@" + std::to_string(clock.Now())); };
    icon.OnDblClick = [this](TrayIcon&) { events.push_back("dblclick"); };
    icon.OnMouseDown = [this](TrayIcon&, MouseButton b, ShiftState s, int x, int y) {
      events.push_back("down " + Describe(b, s, x, y));
    };
    icon.OnMouseUp = [this](TrayIcon&, MouseButton b, ShiftState s, int x, int y) {
      events.push_back("up " + Describe(b, s, x, y));
    };
    icon.OnMouseMove = [this](TrayIcon&, ShiftState s, int x, int y) {
      events.push_back(std::string("move ") + (s.Empty() ? "-" : "?") + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
  }

  static std::string Describe(MouseButton b, ShiftState s, int x, int y) {
    const char* button = b == MouseButton::mbLeft ? "left" : b == MouseButton::mbRight ? "right" : "middle";
    const bool shiftMatches = (b == MouseButton::mbLeft && s == Shift::ssLeft) ||
                              (b == MouseButton::mbRight && s == Shift::ssRight) ||
                              (b == MouseButton::mbMiddle && s == Shift::ssMiddle);
    return std::string(button) + (shiftMatches ? "" : " (wrong shift)") + " " + std::to_string(x) + "," +
           std::to_string(y);
  }

  void Send(const std::vector<M>& messages, int id = 1) {
    for (M m : messages) shell.Send(id, m);
  }

  void Click(int id = 1) { Send({M::tmLButtonDown, M::tmLButtonUp}, id); }
  void DoubleClick(int id = 1) {
    Send({M::tmLButtonDown, M::tmLButtonUp, M::tmLButtonDblClk, M::tmLButtonUp}, id);
  }

  using Events = std::vector<std::string>;
  Events events;
};

// ---- single click versus double click ----

TEST_F(TrayMouseTest, ASingleClickFiresOnceDoubleClickTimePlus50AfterRelease) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click@" + std::to_string(clock.Now())); };
  Click();
  EXPECT_TRUE(icon->ClickPending());
  clock.Advance(549);
  EXPECT_TRUE(events.empty());
  clock.Advance(1);
  EXPECT_EQ(events, Events{"click@550"});
  EXPECT_FALSE(icon->ClickPending());
  clock.Advance(5000);
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(TrayMouseTest, TheWaitFollowsTheSystemDoubleClickTime) {
  shell.doubleClickTime = 200;
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click@" + std::to_string(clock.Now())); };
  Click();
  clock.Advance(1000);
  EXPECT_EQ(events, Events{"click@250"});
}

TEST_F(TrayMouseTest, ADoubleClickFiresOnlyOnDblClick) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click"); };
  icon->OnDblClick = [this](TrayIcon&) { events.push_back("dblclick"); };
  Send({M::tmLButtonDown, M::tmLButtonUp});
  clock.Advance(200);
  Send({M::tmLButtonDblClk, M::tmLButtonUp});
  clock.Advance(5000);
  EXPECT_EQ(events, Events{"dblclick"});
  EXPECT_FALSE(icon->ClickPending());
}

TEST_F(TrayMouseTest, TwoClicksFurtherApartFireOnClickTwice) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click@" + std::to_string(clock.Now())); };
  Click();
  clock.Advance(700);
  Click();
  clock.Advance(700);
  EXPECT_EQ(events, (Events{"click@550", "click@1250"}));
}

TEST_F(TrayMouseTest, DisablingSwallowsAPendingClick) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click"); };
  Click();
  clock.Advance(100);
  icon->SetEnabled(false);
  EXPECT_FALSE(icon->ClickPending());
  icon->SetEnabled(true);  // a quick check cycle re-enables before the wait ends
  clock.Advance(5000);
  EXPECT_TRUE(events.empty());
}

TEST_F(TrayMouseTest, AClickAfterReEnablingWaitsItsOwnFullTime) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click@" + std::to_string(clock.Now())); };
  Click();
  icon->SetEnabled(false);
  icon->SetEnabled(true);
  clock.Advance(300);
  Click();
  clock.Advance(5000);
  EXPECT_EQ(events, Events{"click@850"});
}

TEST_F(TrayMouseTest, OnMouseUpSuppressesOnClick) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  Click();
  clock.Advance(5000);
  EXPECT_EQ(events, (Events{"down left 640,480", "up left 640,480"}));
  EXPECT_FALSE(icon->ClickPending());
}

TEST_F(TrayMouseTest, WithoutOnClickAReleaseLeavesNothingPending) {
  auto icon = MakeShownIcon();
  Click();
  EXPECT_FALSE(icon->ClickPending());
  EXPECT_EQ(clock.ActiveTimers(), 0);
}

TEST_F(TrayMouseTest, ClickPendingOnOneIconIsNotFiredByAnother) {
  auto a = MakeShownIcon();
  auto b = MakeShownIcon();
  a->OnClick = [this](TrayIcon& s) { events.push_back("a:" + std::to_string(s.IconId())); };
  b->OnClick = [this](TrayIcon& s) { events.push_back("b:" + std::to_string(s.IconId())); };
  Click(1);
  shell.Send(2, M::tmMouseMove);
  clock.Advance(1000);
  EXPECT_EQ(events, Events{"a:1"});
}

TEST_F(TrayMouseTest, AnOnClickThatFreesItsIconIsSafe) {
  auto icon = MakeShownIcon();
  icon->OnClick = [&](TrayIcon&) {
    events.push_back("click");
    icon.reset();
  };
  Click();
  clock.Advance(1000);
  EXPECT_EQ(events, Events{"click"});
  EXPECT_EQ(icon, nullptr);
}

TEST_F(TrayMouseTest, FreeingAnIconWithAPendingClickCancelsIt) {
  auto icon = MakeShownIcon();
  icon->OnClick = [this](TrayIcon&) { events.push_back("click"); };
  Click();
  icon.reset();
  clock.Advance(1000);
  EXPECT_TRUE(events.empty());
}

// ---- the other buttons and the mouse events ----

struct DispatchCase {
  const char* name;
  std::vector<M> messages;
  std::vector<std::string> events;
};

class MouseDispatchTest : public TrayMouseTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(MouseDispatchTest, FiresTheEventsOfEachMessage) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  shell.cursor = {12, 34};
  Send(GetParam().messages);
  clock.Advance(5000);
  EXPECT_EQ(events, GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MouseDispatchTest,
    ::testing::Values(
        DispatchCase{"Move", {M::tmMouseMove}, {"move - 12,34"}},
        DispatchCase{"LeftDown", {M::tmLButtonDown}, {"down left 12,34"}},
        DispatchCase{"LeftUp", {M::tmLButtonUp}, {"up left 12,34"}},
        DispatchCase{"LeftDoubleClick", {M::tmLButtonDblClk}, {"dblclick"}},
        DispatchCase{"RightDown", {M::tmRButtonDown}, {"down right 12,34"}},
        DispatchCase{"RightUp", {M::tmRButtonUp}, {"up right 12,34"}},
        DispatchCase{"RightDoubleClickDoesNothing", {M::tmRButtonDblClk}, {}},
        DispatchCase{"MiddleDown", {M::tmMButtonDown}, {"down middle 12,34"}},
        DispatchCase{"MiddleUp", {M::tmMButtonUp}, {"up middle 12,34"}},
        DispatchCase{"UnknownMessage", {static_cast<M>(0x020A)}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayMouseTest, ADisabledIconIgnoresEveryMessage) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  icon->SetEnabled(false);
  Send({M::tmMouseMove, M::tmLButtonDown, M::tmLButtonUp, M::tmLButtonDblClk, M::tmLButtonUp,
        M::tmRButtonDown, M::tmRButtonUp, M::tmMButtonDown, M::tmMButtonUp});
  clock.Advance(5000);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(menu->popups.empty());
}

// ---- menus ----

TEST_F(TrayMouseTest, RightPressPopsUpItsMenuAtTheCursorInsteadOfMouseDown) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  shell.cursor = {100, 200};
  Send({M::tmRButtonDown, M::tmRButtonUp});
  ASSERT_EQ(menu->popups.size(), 1u);
  EXPECT_EQ(menu->popups[0].X, 100);
  EXPECT_EQ(menu->popups[0].Y, 200);
  EXPECT_EQ(events, Events{"up right 100,200"});
}

TEST_F(TrayMouseTest, LeftPressPopsUpTheLeftMenu) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  auto left = std::make_shared<FakeMenu>();
  auto right = std::make_shared<FakeMenu>();
  icon->SetLBPopupMenu(left);
  icon->SetRBPopupMenu(right);
  shell.Send(1, M::tmLButtonDown);
  EXPECT_EQ(left->popups.size(), 1u);
  EXPECT_TRUE(right->popups.empty());
  EXPECT_TRUE(events.empty());
}

TEST_F(TrayMouseTest, WithoutAutoPopupThePressIsAMouseDown) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  auto left = std::make_shared<FakeMenu>();
  auto right = std::make_shared<FakeMenu>();
  icon->SetLBPopupMenu(left);
  icon->SetRBPopupMenu(right);
  icon->SetAutoPopup(false);
  Send({M::tmLButtonDown, M::tmRButtonDown});
  EXPECT_TRUE(left->popups.empty());
  EXPECT_TRUE(right->popups.empty());
  EXPECT_EQ(events, (Events{"down left 640,480", "down right 640,480"}));
}

TEST_F(TrayMouseTest, ADestroyedMenuFallsBackToMouseDown) {
  auto icon = MakeShownIcon();
  Watch(*icon);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  menu.reset();
  EXPECT_EQ(icon->RBPopupMenu(), nullptr);
  shell.Send(1, M::tmRButtonDown);
  EXPECT_EQ(events, Events{"down right 640,480"});
}

TEST_F(TrayMouseTest, AWindowedOwnerComesToTheFrontBeforeTheMenu) {
  FakeOwner owner;
  owner.handle = 42;
  auto icon = MakeShownIcon(&owner);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  shell.onProcessMessages = [&] { EXPECT_TRUE(menu->popups.empty()); };
  shell.Send(1, M::tmRButtonDown);
  EXPECT_EQ(shell.foreground, std::vector<WindowHandle>{42});
  EXPECT_EQ(shell.processed, 1);
  EXPECT_EQ(menu->popups.size(), 1u);
}

TEST_F(TrayMouseTest, AnOwnerWithoutWindowIsLeftAlone) {
  FakeOwner owner;
  auto icon = MakeShownIcon(&owner);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  shell.Send(1, M::tmRButtonDown);
  EXPECT_TRUE(shell.foreground.empty());
  EXPECT_EQ(shell.processed, 0);
  EXPECT_EQ(menu->popups.size(), 1u);
}

TEST_F(TrayMouseTest, NoMenuWhenTheIconIsDisabledWhilePendingEventsRun) {
  FakeOwner owner;
  owner.handle = 42;
  auto icon = MakeShownIcon(&owner);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  shell.onProcessMessages = [&] { icon->SetEnabled(false); };  // a check cycle starts
  shell.Send(1, M::tmRButtonDown);
  EXPECT_TRUE(menu->popups.empty());
}

TEST_F(TrayMouseTest, NoMenuWhenTheIconIsFreedWhilePendingEventsRun) {
  FakeOwner owner;
  owner.handle = 42;
  auto icon = MakeShownIcon(&owner);
  auto menu = std::make_shared<FakeMenu>();
  icon->SetRBPopupMenu(menu);
  shell.onProcessMessages = [&] { icon.reset(); };
  shell.Send(1, M::tmRButtonDown);
  EXPECT_TRUE(menu->popups.empty());
}

}  // namespace
}  // namespace pelnor::testing
