#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/tray/notify_icon_error.h"
#include "tray_fixture.h"

namespace pelnor::testing {
namespace {

class TrayAnimationTest : public TrayTest {
 protected:
  void SetUp() override {
    frames = std::make_shared<ImageList>(
        std::vector<IconHandle>{NamedIcon("f0"), NamedIcon("f1"), NamedIcon("f2")});
  }

  // Names of the icons sent in modify requests, in order; clears them.
  std::vector<std::string> TakeModifies() {
    std::vector<std::string> names;
    for (const ShellRequest& r : shell.Requests(ShellCall::Modify)) names.push_back(IconName(r.data.hIcon));
    shell.requests.clear();
    return names;
  }

  using Names = std::vector<std::string>;
  std::shared_ptr<ImageList> frames;
};

TEST_F(TrayAnimationTest, WithoutFramesStartAndStopDoNothing) {
  auto icon = MakeShownIcon();
  icon->StartAnimation(false);
  icon->StartAnimation(true);
  EXPECT_FALSE(icon->Animating());

  icon->SetAnimateIcons(std::make_shared<ImageList>());
  icon->StartAnimation(false);
  EXPECT_FALSE(icon->Animating());

  icon->StopAnimation();
  clock.Advance(5000);
  EXPECT_TRUE(shell.requests.empty());
  EXPECT_EQ(clock.ActiveTimers(), 0);
}

TEST_F(TrayAnimationTest, ContinuousShowsAFrameAtOnceThenOneEveryRate) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  EXPECT_TRUE(icon->Animating());
  EXPECT_FALSE(icon->AnimateStep());
  EXPECT_EQ(TakeModifies(), Names{"f0"});

  clock.Advance(499);
  EXPECT_EQ(TakeModifies(), Names{});
  clock.Advance(1);
  EXPECT_EQ(TakeModifies(), Names{"f1"});
  clock.Advance(1000);
  EXPECT_EQ(TakeModifies(), (Names{"f2", "f0"}));
}

TEST_F(TrayAnimationTest, StopPutsTheStaticIconBackAndNoFrameFollows) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  clock.Advance(500);
  TakeModifies();

  icon->StopAnimation();
  EXPECT_FALSE(icon->Animating());
  EXPECT_EQ(TakeModifies(), Names{"static"});
  clock.Advance(5000);
  EXPECT_TRUE(shell.requests.empty());
}

TEST_F(TrayAnimationTest, ContinuousRestartBeginsWithTheFirstFrame) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  clock.Advance(500);
  icon->StopAnimation();
  TakeModifies();

  icon->StartAnimation(false);
  EXPECT_EQ(TakeModifies(), Names{"f0"});
}

TEST_F(TrayAnimationTest, StartWhileRunningIsIgnored) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  icon->StartAnimation(true);
  EXPECT_FALSE(icon->AnimateStep());
  EXPECT_EQ(TakeModifies(), Names{"f0"});
}

TEST_F(TrayAnimationTest, ANewRateCountsFromTheNextFrame) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->SetAnimateRate(200);
  icon->StartAnimation(false);
  icon->SetAnimateRate(1000);
  clock.Advance(200);
  EXPECT_EQ(TakeModifies(), (Names{"f0", "f1"}));
  clock.Advance(999);
  EXPECT_EQ(TakeModifies(), Names{});
  clock.Advance(1);
  EXPECT_EQ(TakeModifies(), Names{"f2"});
}

TEST_F(TrayAnimationTest, StepModeShowsTheNextFrameAtEachStart) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  Names shown;
  for (int i = 0; i < 4; ++i) {
    icon->StartAnimation(true);
    EXPECT_TRUE(icon->AnimateStep());
    clock.Advance(2000);
    for (const std::string& n : TakeModifies()) shown.push_back(n);
    icon->StopAnimation();
    EXPECT_EQ(TakeModifies(), Names{"static"});
  }
  EXPECT_EQ(shown, (Names{"f0", "f1", "f2", "f0"}));
}

TEST_F(TrayAnimationTest, ChangesDuringAStepShowTheCurrentFrame) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(true);
  TakeModifies();
  icon->SetTipHelp("Pelnor");
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(IconName(shell.requests[0].data.hIcon), "f0");
  EXPECT_EQ(shell.requests[0].data.szTip, "Pelnor");
}

TEST_F(TrayAnimationTest, ChangesDuringAContinuousRunWaitForTheNextFrame) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  TakeModifies();
  icon->SetTipHelp("Pelnor");
  icon->SetIcon(NamedIcon("other"));
  EXPECT_TRUE(shell.requests.empty());

  clock.Advance(500);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(IconName(shell.requests[0].data.hIcon), "f1");
  EXPECT_EQ(shell.requests[0].data.szTip, "Pelnor");
  EXPECT_EQ(shell.requests[0].data.uFlags, 7u);

  shell.requests.clear();
  icon->StopAnimation();
  EXPECT_EQ(TakeModifies(), Names{"other"});
}

TEST_F(TrayAnimationTest, AHiddenIconAnimatesWithoutRequestsAndShowsTheFrameWhenAdded) {
  auto icon = MakeIcon();
  icon->SetIcon(NamedIcon("static"));
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  clock.Advance(500);
  EXPECT_TRUE(shell.requests.empty());

  icon->SetVisible(true);
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].call, ShellCall::Add);
  EXPECT_EQ(IconName(shell.requests[0].data.hIcon), "f1");
}

TEST_F(TrayAnimationTest, FramesCannotBeSwappedWhileRunning) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  auto others = std::make_shared<ImageList>(std::vector<IconHandle>{NamedIcon("x")});
  icon->SetAnimateIcons(others);
  EXPECT_EQ(icon->AnimateIcons(), frames);

  icon->StopAnimation();
  icon->SetAnimateIcons(others);
  EXPECT_EQ(icon->AnimateIcons(), others);
}

TEST_F(TrayAnimationTest, ADestroyedImageListIsForgotten) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  frames.reset();
  EXPECT_EQ(icon->AnimateIcons(), nullptr);
  icon->StartAnimation(false);
  EXPECT_FALSE(icon->Animating());
}

TEST_F(TrayAnimationTest, FramesGoneUnderARunningAnimationSendNothing) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  TakeModifies();
  frames->Clear();
  clock.Advance(1500);
  frames.reset();
  clock.Advance(1500);
  EXPECT_TRUE(shell.requests.empty());
  icon->StopAnimation();
  EXPECT_EQ(TakeModifies(), Names{"static"});
}

TEST_F(TrayAnimationTest, ARefusedFrameIsSkippedButARefusedStopRaises) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  shell.acceptModify = false;
  EXPECT_NO_THROW(icon->StartAnimation(false));
  EXPECT_NO_THROW(clock.Advance(1000));
  EXPECT_EQ(TakeModifies(), (Names{"f0", "f1", "f2"}));
  EXPECT_THROW(icon->StopAnimation(), ENotifyIconError);
  EXPECT_FALSE(icon->Animating());
}

TEST_F(TrayAnimationTest, DestroyingARunningIconStopsItsFrames) {
  auto icon = MakeShownIcon();
  icon->SetAnimateIcons(frames);
  icon->StartAnimation(false);
  icon.reset();
  shell.requests.clear();
  clock.Advance(5000);
  EXPECT_TRUE(shell.requests.empty());
  EXPECT_EQ(clock.ActiveTimers(), 0);
}

}  // namespace
}  // namespace pelnor::testing
