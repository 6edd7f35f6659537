// Window geometry the player needs to place video: the frame, the main
// window, the dedicated video window (whose handle comes from the media
// device) and the screen. Rectangles are in screen pixels except Client(),
// which is the client area in the window's own coordinates.
#pragma once

#include <cstdint>

#include "platform/mci.h"

namespace platform {

struct WindowRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

enum class ShowMode { kHide, kShow, kNormal, kMinimized, kMaximized, kRestore };

class VideoWindow {
 public:
  virtual ~VideoWindow() = default;
  virtual WindowHandle MainWindow() = 0;  // the list window inside the frame
  virtual WindowHandle Frame() = 0;
  // The work area of the monitor the window is on (the nearest one).
  virtual WindowRect ScreenOf(WindowHandle w) = 0;

  virtual WindowRect Bounds(WindowHandle w) = 0;            // outer rectangle on the screen
  virtual WindowRect Client(WindowHandle w) = 0;            // x, y are 0
  virtual WindowRect NormalPlacement(WindowHandle w) = 0;   // the restored rectangle
  virtual void Move(WindowHandle w, const WindowRect& r) = 0;
  virtual void Show(WindowHandle w, ShowMode mode) = 0;
  virtual bool IsMaximized(WindowHandle w) = 0;
  virtual bool IsMinimized(WindowHandle w) = 0;
  virtual void Repaint(WindowHandle w) = 0;
  // The largest size the user may drag the frame to.
  virtual void SetFrameMaxTrackSize(int32_t w, int32_t h) = 0;

  // The screen saver's active switch (broadcast to all windows when set).
  virtual bool ScreenSaverActive() = 0;
  virtual void SetScreenSaverActive(bool on) = 0;
};

}  // namespace platform
