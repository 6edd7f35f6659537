// The monitors' work areas, and a window's normal placement in the screen
// coordinates that the settings keep.
#pragma once

#include "win32/wnd/win.h"

#include "app/frame_rules.h"

namespace win32 {

// Work areas of every monitor, the primary one first.
app::Areas WorkAreas();
// The work area of the window's monitor, relative to that monitor's top-left
// corner (the frame of reference of a maximised window's position).
app::Rect MonitorWorkArea(HWND w);

// The window's normal (restored) rectangle in screen coordinates. The
// platform's placement of an ordinary top-level window is relative to the
// work area instead, which differs by a task bar at the top or left.
app::Rect NormalRect(HWND w);
void SetNormalRect(HWND w, const app::Rect& r);

}  // namespace win32
