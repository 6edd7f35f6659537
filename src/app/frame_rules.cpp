#include "app/frame_rules.h"

#include "app/command_ids.h"

namespace app {

Rect KeepFrameOnScreen(const Rect& frame, int32_t screenWidth, int32_t screenHeight) {
  Rect r = frame;
  const int32_t w = frame.Width(), h = frame.Height();
  if (r.left >= screenWidth) {
    r.left = screenWidth - w;
    r.right = screenWidth;
  }
  if (r.top >= screenHeight) {
    r.top = screenHeight - h;
    r.bottom = screenHeight;
  }
  return r;
}

MaximizedPlacement MaximizedFrame(bool videoActiveInMain, const Rect& normal, int32_t maxTrackWidth,
                                  int32_t maxTrackHeight, int32_t screenWidth,
                                  int32_t screenHeight, int32_t borderX, int32_t borderY) {
  MaximizedPlacement m;
  if (videoActiveInMain) {
    m.x = normal.left;
    m.y = normal.top;
    m.width = maxTrackWidth;
    m.height = maxTrackHeight;
  } else {
    m.x = -borderX;
    m.y = -borderY;
    m.width = screenWidth + 2 * borderX;
    m.height = screenHeight + 2 * borderY;
  }
  return m;
}

SystemCommandRoute RouteSystemCommand(uint32_t wParam) {
  if (wParam >= 0x8000) return SystemCommandRoute::kDefault;
  if (wParam == CM_WPCHANGENOW) return SystemCommandRoute::kWallpaper;
  if (wParam == CM_EXIT) return SystemCommandRoute::kClose;
  return SystemCommandRoute::kCommand;
}

CaptionRightDoubleClick OnCaptionRightDoubleClick(bool minimized, bool videoOpen) {
  if (minimized) return CaptionRightDoubleClick::kChangeWallpaper;
  return videoOpen ? CaptionRightDoubleClick::kVideoOwnSize
                   : CaptionRightDoubleClick::kRestoreToStartPlacement;
}

}  // namespace app
