// Geometry and routing rules of the main frame: where a moved or maximised
// frame goes, where a system command is sent, and what a caption double-click
// with the right button does.
#pragma once

#include <cstdint>
#include <vector>

namespace app {

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

// The work areas of the display monitors, at least one.
using Areas = std::vector<Rect>;
// The area a window of that placement belongs to: the one it overlaps most,
// or, overlapping none (its monitor is gone), the nearest one.
const Rect& AreaFor(int64_t x, int64_t y, int64_t w, int64_t h, const Areas& areas);

// A saved position along one axis, for a window of that size in the area
// lo..hi: a far edge past hi is pulled back to hi, but the near edge never
// before lo; a window wholly before lo is moved onto it.
int32_t ClampIntoArea(int64_t pos, int64_t size, int32_t lo, int32_t hi);

// After the frame has moved (and is not minimised), in its own area: a frame
// whose left edge lies at or beyond the area's right edge is moved left until
// its right edge is on it; the same for the top and bottom edges, and for a
// frame wholly left of or above the area. The size is kept.
Rect KeepFrameOnScreen(const Rect& frame, const Areas& areas);

// Where the maximised frame goes. While a video plays or is paused in the main
// window it keeps its normal position and takes the maximum-track size;
// otherwise it covers the work area of its monitor (given relative to that
// monitor, as the platform places a maximised window) plus one sizing border
// on every side, so a task bar or a second monitor of another size is kept.
struct MaximizedPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
};
MaximizedPlacement MaximizedFrame(bool videoActiveInMain, const Rect& normal, int32_t maxTrackWidth,
                                  int32_t maxTrackHeight, const Rect& workArea, int32_t borderX,
                                  int32_t borderY);
// The maximum-track size before a video changes it.
constexpr int32_t kInitialMaxTrackWidth = 640;
constexpr int32_t kInitialMaxTrackHeight = 400;

// A system command of the frame (wParam of the system-command message).
enum class SystemCommandRoute {
  kDefault,    // the platform's own items (minimise, maximise, restore, close, ...)
  kCommand,    // one of our items: deliver it to the main window as a command
  kWallpaper,  // 400: change the wallpaper now
  kClose,      // 24310: close the frame
};
SystemCommandRoute RouteSystemCommand(uint32_t wParam);

// A right double-click on the caption.
enum class CaptionRightDoubleClick {
  kChangeWallpaper,         // minimised frame
  kRestoreToStartPlacement, // normal frame without a video: restore, then X, Y, W, H of the start
  kVideoOwnSize,            // a video is open: its window gets the video's own size
};
CaptionRightDoubleClick OnCaptionRightDoubleClick(bool minimized, bool videoOpen);


}  // namespace app
