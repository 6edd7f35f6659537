#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/frame_rules.h"
#include "app/startup.h"

using namespace app;

TEST(AppFrame, MovedFrameIsPulledBackOnScreen) {
  const Areas one{{0, 0, 1024, 768}};
  Rect r = KeepFrameOnScreen({1100, 900, 1600, 1300}, one);
  EXPECT_EQ(r.left, 524);
  EXPECT_EQ(r.right, 1024);
  EXPECT_EQ(r.top, 368);
  EXPECT_EQ(r.bottom, 768);
  // Partly off the screen is allowed; only an edge at or beyond it moves.
  r = KeepFrameOnScreen({1000, -50, 1500, 350}, one);
  EXPECT_EQ(r.left, 1000);
  EXPECT_EQ(r.top, -50);
  r = KeepFrameOnScreen({1024, 0, 1524, 400}, one);
  EXPECT_EQ(r.left, 524);
}

// A second monitor right of the primary one, taller, with its task bar on top.
const Areas kTwo{{0, 0, 1024, 728}, {1024, 30, 2944, 1080}};

TEST(AppFrame, SecondMonitorKeepsItsWindows) {
  // A frame moved onto the second monitor stays there.
  Rect r = KeepFrameOnScreen({1500, 600, 2000, 1000}, kTwo);
  EXPECT_EQ(r.left, 1500);
  EXPECT_EQ(r.top, 600);
  // Beyond both: back onto the nearer one's edge.
  r = KeepFrameOnScreen({3000, 1200, 3500, 1600}, kTwo);
  EXPECT_EQ(r.left, 2444);
  EXPECT_EQ(r.top, 680);
  // A saved start position there survives; the same on the primary alone is pulled back.
  EXPECT_EQ(&AreaFor(2000, 500, 500, 400, kTwo), &kTwo[1]);
  EXPECT_EQ(&AreaFor(700, 100, 500, 400, kTwo), &kTwo[0]);  // overlaps the primary more
  EXPECT_EQ(&AreaFor(-900, 100, 500, 400, kTwo), &kTwo[0]);  // the left monitor is gone
  EXPECT_EQ(ClampIntoArea(2000, 500, kTwo[1].left, kTwo[1].right), 2000);
  EXPECT_EQ(ClampIntoArea(2000, 500, kTwo[0].left, kTwo[0].right), 524);
  EXPECT_EQ(ClampIntoArea(-900, 500, kTwo[0].left, kTwo[0].right), 0);
}

TEST(AppFrame, MaximizedFrame) {
  MaximizedPlacement m = MaximizedFrame(true, {30, 40, 530, 440}, kInitialMaxTrackWidth,
                                        kInitialMaxTrackHeight, {0, 0, 1024, 768}, 4, 4);
  EXPECT_EQ(m.x, 30);
  EXPECT_EQ(m.y, 40);
  EXPECT_EQ(m.width, 640);
  EXPECT_EQ(m.height, 400);
  // The work area of its monitor: here a task bar 40 high on top.
  m = MaximizedFrame(false, {30, 40, 530, 440}, 640, 400, {0, 40, 1024, 768}, 4, 3);
  EXPECT_EQ(m.x, -4);
  EXPECT_EQ(m.y, 37);
  EXPECT_EQ(m.width, 1032);
  EXPECT_EQ(m.height, 734);
}

TEST(AppFrame, SystemCommandsAndCaptionClicks) {
  EXPECT_EQ(RouteSystemCommand(CM_PLAY), SystemCommandRoute::kCommand);
  EXPECT_EQ(RouteSystemCommand(CM_WPCHANGENOW), SystemCommandRoute::kWallpaper);
  EXPECT_EQ(RouteSystemCommand(CM_EXIT), SystemCommandRoute::kClose);
  EXPECT_EQ(RouteSystemCommand(0xF020), SystemCommandRoute::kDefault);  // minimise
  EXPECT_EQ(RouteSystemCommand(0x8000), SystemCommandRoute::kDefault);

  EXPECT_EQ(OnCaptionRightDoubleClick(true, true), CaptionRightDoubleClick::kChangeWallpaper);
  EXPECT_EQ(OnCaptionRightDoubleClick(false, false),
            CaptionRightDoubleClick::kRestoreToStartPlacement);
  EXPECT_EQ(OnCaptionRightDoubleClick(false, true), CaptionRightDoubleClick::kVideoOwnSize);
}

TEST(AppStartup, ShowStateAutoPlayAndResumePath) {
  EXPECT_EQ(FirstShowState(false, 7), 1);
  EXPECT_EQ(FirstShowState(true, 7), 7);
  for (int show : {2, 6, 7}) {
    EXPECT_TRUE(PostPlayAtFrameSetup(show, true));
    EXPECT_FALSE(PostPlayAtFirstPaint(show, true));
  }
  EXPECT_FALSE(PostPlayAtFrameSetup(1, true));
  EXPECT_TRUE(PostPlayAtFirstPaint(3, true));
  EXPECT_FALSE(PostPlayAtFirstPaint(1, false));

  EXPECT_EQ(ResumeFilePath("c:\\"), "c:\\temp.snf");
  EXPECT_EQ(ResumeFilePath("c:\\music"), "c:\\music\\temp.snf");
  // "表" ends in the byte of a backslash but is no separator.
  EXPECT_EQ(ResumeFilePath("c:\\\x95\x5c"), "c:\\\x95\x5c\\temp.snf");
}
