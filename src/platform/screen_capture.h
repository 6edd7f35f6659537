// What the frame capture needs from the screen and the main frame: the
// pixels the main window's client area shows, and the frame's window order.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class CaptureScreen {
 public:
  virtual ~CaptureScreen() = default;
  // Has the frame paint whatever is pending at once, so the client area
  // shows the current picture.
  virtual void RepaintNow() = 0;
  virtual void ClientSize(int32_t* width, int32_t* height) = 0;
  virtual bool SliderShown() = 0;
  // The display reports palette capability.
  virtual bool PaletteDisplay() = 0;
  // Copies the client area's top-left part of the size in dib's information
  // header off the screen and reads it into dib in that header's format:
  // dib already holds the header and room for the colour table and pixels.
  // The palette is built from paletteEntries system palette entries.
  // False when the bitmap, palette or display context cannot be had.
  virtual bool ReadFrame(uint32_t paletteEntries, std::string* dib) = 0;

  // Ctrl held on Copy: the frame steps out of the way first.
  virtual void SendFrameToBack() = 0;
  virtual void RestoreFrame(bool topmost) = 0;
  virtual void Sleep(uint32_t ms) = 0;
};

}  // namespace platform
