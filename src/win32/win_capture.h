// The screen side of the frame capture: reads the main window's client area
// back through GDI and moves the frame out of the way on request.
#pragma once

#include "win32/wnd/win.h"

#include "platform/screen_capture.h"

namespace win32 {

class WinCaptureScreen : public platform::CaptureScreen {
 public:
  WinCaptureScreen(HWND window, HWND slider) : window_(window), slider_(slider) {}

  void RepaintNow() override;
  void ClientSize(int32_t* width, int32_t* height) override;
  bool SliderShown() override;
  bool PaletteDisplay() override;
  bool ReadFrame(uint32_t paletteEntries, std::string* dib) override;
  void SendFrameToBack() override;
  void RestoreFrame(bool topmost) override;
  void Sleep(uint32_t ms) override;

 private:
  HWND Frame() const { return GetAncestor(window_, GA_ROOT); }
  HWND window_;
  HWND slider_;
};

}  // namespace win32
