#include <gtest/gtest.h>

#include <string>

#include "core/tray/notify_icon_error.h"
#include "core/tray/tip_help.h"
#include "tray_fixture.h"

namespace pelnor::testing {
namespace {

using TrayIconShellTest = TrayTest;

TEST_F(TrayIconShellTest, DefaultsOfAnIconMadeInCode) {
  auto icon = MakeIcon();
  EXPECT_EQ(icon->TipHelp(), "TipHelp");
  EXPECT_EQ(icon->AnimateRate(), 500);
  EXPECT_TRUE(icon->AutoPopup());
  EXPECT_TRUE(icon->Enabled());
  EXPECT_FALSE(icon->Visible());
  EXPECT_FALSE(icon->Added());
  EXPECT_FALSE(icon->Animating());
  EXPECT_TRUE(icon->Icon().Empty());
  EXPECT_EQ(icon->AnimateIcons(), nullptr);
  EXPECT_TRUE(shell.requests.empty());
}

TEST_F(TrayIconShellTest, ShowingSendsOneAddWithTheWholeRecord) {
  auto icon = MakeIcon();
  icon->SetIcon(NamedIcon("static"));
  icon->SetTipHelp("Pelnor");
  icon->SetVisible(true);

  ASSERT_EQ(shell.requests.size(), 1u);
  const ShellRequest& r = shell.requests[0];
  EXPECT_EQ(r.call, ShellCall::Add);
  EXPECT_EQ(r.data.cbSize, 88u);
  EXPECT_EQ(r.data.uID, 1u);
  EXPECT_EQ(r.data.uFlags, 7u);
  EXPECT_EQ(r.data.uCallbackMessage, 1224u);
  EXPECT_EQ(IconName(r.data.hIcon), "static");
  EXPECT_EQ(r.data.szTip, "Pelnor");
  EXPECT_TRUE(icon->Visible());
  EXPECT_TRUE(icon->Added());

  icon->SetVisible(true);  // unchanged: nothing
  EXPECT_EQ(shell.requests.size(), 1u);
}

TEST_F(TrayIconShellTest, HidingDeletesTheIcon) {
  auto icon = MakeShownIcon();
  icon->SetVisible(false);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].call, ShellCall::Delete);
  EXPECT_FALSE(icon->Added());
  EXPECT_FALSE(icon->Visible());
}

TEST_F(TrayIconShellTest, DestroyingAShownIconDeletesIt) {
  auto icon = MakeShownIcon();
  icon.reset();
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].call, ShellCall::Delete);
  EXPECT_EQ(shell.requests[0].data.uID, 1u);
}

TEST_F(TrayIconShellTest, DestroyingAHiddenIconSendsNothing) {
  MakeIcon().reset();
  EXPECT_TRUE(shell.requests.empty());
}

struct IconSourceCase {
  const char* name;
  const char* own;
  const char* form;
  const char* application;
  const char* expected;  // "" = no icon anywhere
};

class IconSourceTest : public TrayTest, public ::testing::WithParamInterface<IconSourceCase> {};

TEST_P(IconSourceTest, VisibleNeedsAnIconFromSomewhere) {
  const IconSourceCase& c = GetParam();
  FakeOwner owner;
  if (*c.form) owner.formIcon = NamedIcon(c.form);
  if (*c.application) shell.applicationIcon = NamedIcon(c.application);
  auto icon = MakeIcon(&owner);
  if (*c.own) icon->SetIcon(NamedIcon(c.own));

  icon->SetVisible(true);

  EXPECT_EQ(IconName(icon->GetIconHandle()), c.expected);
  if (*c.expected) {
    EXPECT_TRUE(icon->Visible());
    ASSERT_EQ(shell.Requests(ShellCall::Add).size(), 1u);
    EXPECT_EQ(IconName(shell.Requests(ShellCall::Add)[0].data.hIcon), c.expected);
  } else {
    EXPECT_FALSE(icon->Visible());
    EXPECT_FALSE(icon->Added());
    EXPECT_TRUE(shell.requests.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, IconSourceTest,
    ::testing::Values(IconSourceCase{"OwnIconFirst", "own", "form", "app", "own"},
                      IconSourceCase{"ThenTheFormIcon", "", "form", "app", "form"},
                      IconSourceCase{"ThenTheApplicationIcon", "", "", "app", "app"},
                      IconSourceCase{"NoIconAnywhere", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconShellTest, WithoutAnOwnerTheApplicationIconServes) {
  shell.applicationIcon = NamedIcon("app");
  auto icon = MakeIcon();
  icon->SetVisible(true);
  EXPECT_TRUE(icon->Added());
}

TEST_F(TrayIconShellTest, RefusedAddRaisesAndLeavesTheIconNotAdded) {
  shell.acceptAdd = false;
  auto icon = MakeIcon();
  icon->SetIcon(NamedIcon("static"));
  EXPECT_THROW(icon->SetVisible(true), ENotifyIconError);
  EXPECT_FALSE(icon->Added());
  icon.reset();
  EXPECT_TRUE(shell.Requests(ShellCall::Delete).empty());
}

TEST_F(TrayIconShellTest, StoredPropertiesAddTheIconOnlyWhenLoaded) {
  auto icon = MakeIcon();
  icon->ReadState();
  EXPECT_EQ(icon->TipHelp(), "");
  icon->SetIcon(NamedIcon("static"));
  icon->SetVisible(true);
  EXPECT_TRUE(icon->Visible());
  EXPECT_TRUE(shell.requests.empty());

  icon->Loaded();
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].call, ShellCall::Add);
  EXPECT_EQ(shell.requests[0].data.uFlags, 3u);  // a form that stores no tip has none
}

TEST_F(TrayIconShellTest, LoadedWithoutVisibleAddsNothing) {
  auto icon = MakeIcon();
  icon->ReadState();
  icon->Loaded();
  EXPECT_TRUE(shell.requests.empty());
}

TEST_F(TrayIconShellTest, TipKeepsItsFirst62Characters) {
  auto icon = MakeShownIcon();
  const std::string tip70(70, 'a');
  icon->SetTipHelp(tip70);
  EXPECT_EQ(icon->TipHelp(), std::string(62, 'a'));
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].call, ShellCall::Modify);
  EXPECT_EQ(shell.requests[0].data.szTip, std::string(62, 'a'));

  icon->SetTipHelp(std::string(62, 'a'));
  icon->SetTipHelp(tip70);  // same first 62 characters
  EXPECT_EQ(shell.requests.size(), 1u);
}

TEST_F(TrayIconShellTest, FlagsCarryTheTipOnlyWhenThereIsOne) {
  auto icon = MakeShownIcon();
  icon->SetTipHelp("");
  icon->SetTipHelp("Pelnor");
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(shell.requests[0].data.uFlags, NIF_MESSAGE | NIF_ICON);
  EXPECT_EQ(shell.requests[0].data.uFlags, 3u);
  EXPECT_EQ(shell.requests[1].data.uFlags, 7u);
  EXPECT_EQ(shell.requests[1].data.szTip, "Pelnor");
}

TEST_F(TrayIconShellTest, TipOfAHiddenIconIsOnlyStored) {
  auto icon = MakeIcon();
  icon->SetTipHelp("Pelnor");
  EXPECT_EQ(icon->TipHelp(), "Pelnor");
  EXPECT_TRUE(shell.requests.empty());
}

TEST_F(TrayIconShellTest, RefusedModifyRaisesToWhoeverChangedTheIcon) {
  auto icon = MakeShownIcon();
  shell.acceptModify = false;
  EXPECT_THROW(icon->SetTipHelp("Pelnor"), ENotifyIconError);
  EXPECT_THROW(icon->SetIcon(NamedIcon("other")), ENotifyIconError);
}

TEST_F(TrayIconShellTest, NewIconIsSentAndAnEmptyOneFallsBack) {
  shell.applicationIcon = NamedIcon("app");
  auto icon = MakeShownIcon();
  icon->SetIcon(NamedIcon("other"));
  icon->SetIcon(IconHandle());
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(IconName(shell.requests[0].data.hIcon), "other");
  EXPECT_EQ(IconName(shell.requests[1].data.hIcon), "app");
  EXPECT_TRUE(icon->Icon().Empty());
}

struct RateCase {
  int set;
  int read;
};

class AnimateRateTest : public TrayTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(AnimateRateTest, StoresAtLeast100) {
  auto icon = MakeIcon();
  icon->SetAnimateRate(GetParam().set);
  EXPECT_EQ(icon->AnimateRate(), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Rates, AnimateRateTest,
                         ::testing::Values(RateCase{50, 100}, RateCase{99, 100}, RateCase{100, 100},
                                           RateCase{101, 101}, RateCase{500, 500},
                                           RateCase{0, 100}, RateCase{-20, 100}));

struct TipCase {
  const char* name;
  std::string in;
  std::string out;
};

class TruncateTipTest : public ::testing::TestWithParam<TipCase> {};

TEST_P(TruncateTipTest, KeepsWholeCharactersWithin62Bytes) {
  EXPECT_EQ(TruncateTip(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Tips, TruncateTipTest,
    ::testing::Values(
        TipCase{"Short", "Pelnor", "Pelnor"},
        TipCase{"Empty", "", ""},
        TipCase{"Exactly62", std::string(62, 'x'), std::string(62, 'x')},
        TipCase{"Ascii70", std::string(70, 'x'), std::string(62, 'x')},
        // 31 double-byte characters fill 62 bytes exactly.
        TipCase{"Kanji31", [] { std::string s; for (int i = 0; i < 35; ++i) s += "\x88\x9F"; return s; }(),
                [] { std::string s; for (int i = 0; i < 31; ++i) s += "\x88\x9F"; return s; }()},
        // A character whose second byte would be the 63rd is dropped whole.
        TipCase{"NoHalfCharacter", std::string(61, 'x') + "\x82\xA0" + "y", std::string(61, 'x')},
        TipCase{"HalfWidthKanaAreSingleBytes", std::string(64, '\xB1'), std::string(62, '\xB1')},
        TipCase{"TrailByteLooksLikeLead", "\x81\x81" + std::string(62, 'x'), "\x81\x81" + std::string(60, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelnor::testing
