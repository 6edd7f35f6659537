#include "app/frame_rules.h"

#include "app/command_ids.h"

#include <algorithm>
#include <climits>

namespace app {

const Rect& AreaFor(int64_t x, int64_t y, int64_t w, int64_t h, const Areas& areas) {
  const Rect* best = &areas.front();
  int64_t bestOverlap = -1, bestDistance = INT64_MAX;
  for (const Rect& a : areas) {
    const int64_t ox = std::min<int64_t>(x + w, a.right) - std::max<int64_t>(x, a.left);
    const int64_t oy = std::min<int64_t>(y + h, a.bottom) - std::max<int64_t>(y, a.top);
    if (ox > 0 && oy > 0) {
      if (ox * oy > bestOverlap) {
        bestOverlap = ox * oy;
        best = &a;
      }
      continue;
    }
    if (bestOverlap >= 0) continue;
    const int64_t dx = std::max<int64_t>({0, a.left - (x + w), x - a.right});
    const int64_t dy = std::max<int64_t>({0, a.top - (y + h), y - a.bottom});
    // Coordinates are 32-bit, so the squares stay well inside 64 bits after halving.
    const int64_t d = (dx / 2) * (dx / 2) + (dy / 2) * (dy / 2);
    if (d < bestDistance) {
      bestDistance = d;
      best = &a;
    }
  }
  return *best;
}

int32_t ClampIntoArea(int64_t pos, int64_t size, int32_t lo, int32_t hi) {
  if (hi - pos < size) {
    pos = std::max<int64_t>(hi - size, lo);
  } else if (pos + size <= lo) {
    pos = lo;
  }
  return static_cast<int32_t>(std::clamp<int64_t>(pos, INT32_MIN, INT32_MAX));
}

Rect KeepFrameOnScreen(const Rect& frame, const Areas& areas) {
  const int32_t w = frame.Width(), h = frame.Height();
  const Rect& a = AreaFor(frame.left, frame.top, w, h, areas);
  Rect r = frame;
  if (r.left >= a.right) {
    r.left = a.right - w;
  } else if (r.right <= a.left) {
    r.left = a.left;
  }
  if (r.top >= a.bottom) {
    r.top = a.bottom - h;
  } else if (r.bottom <= a.top) {
    r.top = a.top;
  }
  r.right = r.left + w;
  r.bottom = r.top + h;
  return r;
}

MaximizedPlacement MaximizedFrame(bool videoActiveInMain, const Rect& normal, int32_t maxTrackWidth,
                                  int32_t maxTrackHeight, const Rect& workArea, int32_t borderX,
                                  int32_t borderY) {
  MaximizedPlacement m;
  if (videoActiveInMain) {
    m.x = normal.left;
    m.y = normal.top;
    m.width = maxTrackWidth;
    m.height = maxTrackHeight;
  } else {
    m.x = workArea.left - borderX;
    m.y = workArea.top - borderY;
    m.width = workArea.Width() + 2 * borderX;
    m.height = workArea.Height() + 2 * borderY;
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
