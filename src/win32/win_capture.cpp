#include "win32/win_capture.h"

#include <cstring>
#include <vector>

#include "desktop/capture.h"

namespace win32 {

void WinCaptureScreen::RepaintNow() {
  // Only what is pending is painted: invalidating would flash the video.
  RedrawWindow(Frame(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WinCaptureScreen::ClientSize(int32_t* width, int32_t* height) {
  RECT rc{};
  GetClientRect(window_, &rc);
  *width = rc.right;
  *height = rc.bottom;
}

bool WinCaptureScreen::SliderShown() { return slider_ && IsWindowVisible(slider_); }

bool WinCaptureScreen::PaletteDisplay() {
  HDC dc = GetDC(window_);
  if (!dc) return false;
  bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(window_, dc);
  return palette;
}

bool WinCaptureScreen::ReadFrame(uint32_t paletteEntries, std::string* dib) {
  if (dib->size() < sizeof(BITMAPINFOHEADER) || paletteEntries == 0 || paletteEntries > 0xFFFF) {
    return false;
  }
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib->data(), sizeof header);
  const int w = header.biWidth, h = header.biHeight;
  const size_t pixelsAt =
      header.biSize + 4 * size_t{desktop::ColourTableLength(header.biBitCount)};
  if (dib->size() < pixelsAt) return false;

  HDC wdc = GetDC(window_);
  if (!wdc) return false;
  HDC mem = CreateCompatibleDC(wdc);
  HBITMAP bmp = CreateCompatibleBitmap(wdc, w, h);
  bool ok = false;
  if (mem && bmp) {
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w + 1, h + 1, wdc, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);

    std::vector<char> buf(sizeof(LOGPALETTE) + paletteEntries * sizeof(PALETTEENTRY));
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(paletteEntries);
    GetSystemPaletteEntries(wdc, 0, paletteEntries, lp->palPalEntry);
    HPALETTE pal = CreatePalette(lp);
    if (pal) {
      HPALETTE oldPal = SelectPalette(wdc, pal, FALSE);
      RealizePalette(wdc);
      ok = GetDIBits(wdc, bmp, 0, static_cast<UINT>(h), &(*dib)[pixelsAt],
                     reinterpret_cast<BITMAPINFO*>(&(*dib)[0]), DIB_RGB_COLORS) != 0;
      SelectPalette(wdc, oldPal, FALSE);
      DeleteObject(pal);
    }
    // The stored header is the one we filled, whatever the driver wrote back.
    std::memcpy(&(*dib)[0], &header, sizeof header);
  }
  if (bmp) DeleteObject(bmp);
  if (mem) DeleteDC(mem);
  ReleaseDC(window_, wdc);
  return ok;
}

void WinCaptureScreen::SendFrameToBack() {
  SetWindowPos(Frame(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WinCaptureScreen::RestoreFrame(bool topmost) {
  // Sent to the bottom, a plain window would stay buried under "not topmost".
  SetWindowPos(Frame(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void WinCaptureScreen::Sleep(uint32_t ms) { ::Sleep(ms); }

}  // namespace win32
