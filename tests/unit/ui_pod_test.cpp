// The play pod's options, its life across minimise and restore, its placement
// on the screen and its buttons' enabling.
#include <gtest/gtest.h>

#include <climits>

#include "app/command_ids.h"
#include "ui/play_pod.h"

namespace {

struct FakePod : ui::PodWindows {
  bool exists = false, topmost = false, failCreate = false;
  int creates = 0, removes = 0;
  bool CreatePod(bool top) override {
    ++creates;
    if (failCreate) return false;
    exists = true;
    topmost = top;
    return true;
  }
  void RemovePod() override {
    ++removes;
    exists = false;
  }
  bool PodExists() const override { return exists; }
  void SetPodTopmost(bool top) override { topmost = top; }
};

struct PodTest : ::testing::Test {
  app::Settings s;
  FakePod w;
  ui::PlayPod pod{s, w};
};

TEST_F(PodTest, StartShowsThePodOnlyWhenWantedNow) {
  s.controlPad = true;
  s.topPad = true;
  pod.Start(false);
  EXPECT_TRUE(w.exists);
  EXPECT_TRUE(w.topmost);

  // Shown only while minimised: a normal start shows nothing, a minimised one does.
  app::Settings s2;
  s2.controlPad = s2.iconPad = true;
  FakePod w2;
  ui::PlayPod(s2, w2).Start(false);
  EXPECT_EQ(w2.creates, 0);
  ui::PlayPod(s2, w2).Start(true);
  EXPECT_TRUE(w2.exists);

  app::Settings off;
  FakePod w3;
  ui::PlayPod(off, w3).Start(true);
  EXPECT_EQ(w3.creates, 0);
}

TEST_F(PodTest, ShowPodTogglesTheOptionAndThePod) {
  pod.Start(false);
  EXPECT_TRUE(pod.OnCommand(CM_CONTROLPAD));
  EXPECT_TRUE(s.controlPad);
  EXPECT_TRUE(w.exists);
  EXPECT_TRUE(pod.OnCommand(CM_CONTROLPAD));
  EXPECT_FALSE(s.controlPad);
  EXPECT_FALSE(w.exists);
  EXPECT_FALSE(pod.OnCommand(CM_PLAY));
}

TEST_F(PodTest, WithIconPadThePodWaitsForTheMinimisedWindow) {
  s.iconPad = true;
  pod.Start(false);
  pod.OnCommand(CM_CONTROLPAD);
  EXPECT_TRUE(s.controlPad);  // checked, yet nothing shown
  EXPECT_EQ(w.creates, 0);
  pod.SetMinimized(true);
  EXPECT_TRUE(w.exists);
  pod.SetMinimized(true);  // repeated size messages make no second pod
  EXPECT_EQ(w.creates, 1);
  pod.SetMinimized(false);
  EXPECT_FALSE(w.exists);
  // Turning the option off while minimised leaves no pod behind on restore.
  pod.SetMinimized(true);
  pod.OnCommand(CM_CONTROLPAD);
  EXPECT_FALSE(w.exists);
  pod.SetMinimized(false);
  EXPECT_EQ(w.creates, 2);
}

TEST_F(PodTest, IconPadToggleMovesThePodBetweenNormalAndMinimised) {
  s.controlPad = true;
  pod.Start(false);
  ASSERT_TRUE(w.exists);
  pod.OnCommand(CM_ICONPAD);
  EXPECT_TRUE(s.iconPad);
  EXPECT_FALSE(w.exists);
  pod.OnCommand(CM_ICONPAD);
  EXPECT_FALSE(s.iconPad);
  EXPECT_TRUE(w.exists);
  // Without the pod option the toggle touches only the flag.
  s.controlPad = false;
  pod.OnCommand(CM_CONTROLPAD);  // on again: shown
  pod.OnCommand(CM_CONTROLPAD);  // off: removed
  int before = w.creates + w.removes;
  pod.OnCommand(CM_ICONPAD);
  pod.OnCommand(CM_ICONPAD);
  EXPECT_EQ(w.creates + w.removes, before);
}

TEST_F(PodTest, OnTopFollowsTheOptionOnlyWhileThePodExists) {
  s.controlPad = true;
  pod.Start(false);
  pod.OnCommand(CM_TOPPAD);
  EXPECT_TRUE(s.topPad);
  EXPECT_TRUE(w.topmost);
  pod.OnCommand(CM_TOPPAD);
  EXPECT_FALSE(w.topmost);
  pod.OnCommand(CM_ICONPAD);  // pod gone
  pod.OnCommand(CM_TOPPAD);
  EXPECT_TRUE(s.topPad);
  EXPECT_FALSE(w.topmost);
  pod.SetMinimized(true);  // made anew, on top
  EXPECT_TRUE(w.topmost);
}

TEST_F(PodTest, ClosedFromItsCaptionSwitchesTheOptionOff) {
  s.controlPad = true;
  pod.Start(false);
  EXPECT_TRUE(pod.OnCommand(CM_PODCLOSED));
  EXPECT_FALSE(s.controlPad);
  EXPECT_FALSE(w.exists);  // forgotten
  EXPECT_FALSE(app::MenuChecks(s).empty());
  for (const auto& mc : app::MenuChecks(s)) {
    if (mc.first == CM_CONTROLPAD) {
      EXPECT_FALSE(mc.second);
    }
  }
}

TEST_F(PodTest, ExitRemovesThePodButKeepsTheOptions) {
  s.controlPad = s.topPad = true;
  pod.Start(false);
  pod.Exit();
  EXPECT_FALSE(w.exists);
  EXPECT_TRUE(s.controlPad);
  EXPECT_TRUE(s.topPad);
  pod.SetMinimized(true);  // late size messages of the closing frame
  pod.SetMinimized(false);
  EXPECT_EQ(w.creates, 1);
}

TEST_F(PodTest, AFailedCreateIsTriedAgainOnTheNextChange) {
  w.failCreate = true;
  s.controlPad = s.iconPad = true;
  pod.Start(true);
  EXPECT_FALSE(w.exists);
  w.failCreate = false;
  pod.SetMinimized(false);
  pod.SetMinimized(true);
  EXPECT_TRUE(w.exists);
}

const app::Areas kScreen{{0, 0, 640, 480}};

TEST(PodPlacement, PullsThePodBackOntoTheScreen) {
  // Inside: left alone.
  ui::PodOrigin o = ui::PlacePodOnScreen(100, 50, 150, 40, kScreen);
  EXPECT_FALSE(o.moved);
  EXPECT_EQ(o.x, 100);
  // Touching the right edge exactly is still inside.
  EXPECT_FALSE(ui::PlacePodOnScreen(490, 440, 150, 40, kScreen).moved);
  // Beyond the right and bottom edges: each edge pulled back to touch.
  o = ui::PlacePodOnScreen(600, 50, 150, 40, kScreen);
  EXPECT_TRUE(o.moved);
  EXPECT_EQ(o.x, 490);
  EXPECT_EQ(o.y, 50);
  o = ui::PlacePodOnScreen(10, 2000, 150, 40, kScreen);
  EXPECT_EQ(o.x, 10);
  EXPECT_EQ(o.y, 440);
  // Left of and above the screen, and values no screen has.
  o = ui::PlacePodOnScreen(-30, -5, 150, 40, kScreen);
  EXPECT_TRUE(o.moved);
  EXPECT_EQ(o.x, 0);
  EXPECT_EQ(o.y, 0);
  o = ui::PlacePodOnScreen(INT32_MIN, INT32_MAX, 150, 40, kScreen);
  EXPECT_EQ(o.x, 0);
  EXPECT_EQ(o.y, 440);
  o = ui::PlacePodOnScreen(INT32_MAX, INT32_MIN, 150, 40, kScreen);
  EXPECT_EQ(o.x, 490);
  EXPECT_EQ(o.y, 0);
}

TEST(PodPlacement, StoredPositionIsNeverNegative) {
  app::Settings s;
  ui::StorePodPosition(-8, 300, kScreen, &s);
  EXPECT_EQ(s.px, 0);
  EXPECT_EQ(s.py, 300);
  ui::StorePodPosition(12, -1, kScreen, &s);
  EXPECT_EQ(s.px, 12);
  EXPECT_EQ(s.py, 0);
  // On a monitor left of the primary one the position is kept, and found again.
  const app::Areas two{{0, 0, 640, 480}, {-800, 0, 0, 600}};
  ui::StorePodPosition(-700, 500, two, &s);
  EXPECT_EQ(s.px, -700);
  EXPECT_EQ(s.py, 500);
  EXPECT_FALSE(ui::PlacePodOnScreen(-700, 500, 150, 40, two).moved);
  ui::PodOrigin o = ui::PlacePodOnScreen(-700, 590, 150, 40, two);
  EXPECT_EQ(o.x, -700);
  EXPECT_EQ(o.y, 560);
}

}  // namespace
