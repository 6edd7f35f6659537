#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/frame_rules.h"
#include "app/startup.h"

using namespace app;

TEST(AppFrame, MovedFrameIsPulledBackOnScreen) {
  Rect r = KeepFrameOnScreen({1100, 900, 1600, 1300}, 1024, 768);
  EXPECT_EQ(r.left, 524);
  EXPECT_EQ(r.right, 1024);
  EXPECT_EQ(r.top, 368);
  EXPECT_EQ(r.bottom, 768);
  // Partly off the screen is allowed; only an edge at or beyond it moves.
  r = KeepFrameOnScreen({1000, -50, 1500, 350}, 1024, 768);
  EXPECT_EQ(r.left, 1000);
  EXPECT_EQ(r.top, -50);
  r = KeepFrameOnScreen({1024, 0, 1524, 400}, 1024, 768);
  EXPECT_EQ(r.left, 524);
}

TEST(AppFrame, MaximizedFrame) {
  MaximizedPlacement m = MaximizedFrame(true, {30, 40, 530, 440}, kInitialMaxTrackWidth,
                                        kInitialMaxTrackHeight, 1024, 768, 4, 4);
  EXPECT_EQ(m.x, 30);
  EXPECT_EQ(m.y, 40);
  EXPECT_EQ(m.width, 640);
  EXPECT_EQ(m.height, 400);
  m = MaximizedFrame(false, {30, 40, 530, 440}, 640, 400, 1024, 768, 4, 3);
  EXPECT_EQ(m.x, -4);
  EXPECT_EQ(m.y, -3);
  EXPECT_EQ(m.width, 1032);
  EXPECT_EQ(m.height, 774);
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
