#include "win32/slider_thumb.h"

namespace win32 {

LRESULT DrawSliderThumb(const NMCUSTOMDRAW& cd) {
  if (cd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (cd.dwDrawStage != CDDS_ITEMPREPAINT || cd.dwItemSpec != TBCD_THUMB) return CDRF_DODEFAULT;
  static HBITMAP thumb = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kSliderThumbBitmap), IMAGE_BITMAP, 0,
                 0, LR_DEFAULTCOLOR));
  if (!thumb) return CDRF_DODEFAULT;
  BITMAP bm{};
  GetObjectW(thumb, sizeof bm, &bm);
  RECT client;
  GetClientRect(cd.hdr.hwndFrom, &client);
  // Centred on the control's own thumb, which moves and hit-tests as usual.
  const int x = (cd.rc.left + cd.rc.right) / 2 - bm.bmWidth / 2;
  const int y = (client.bottom - bm.bmHeight) / 2;
  HDC mem = CreateCompatibleDC(cd.hdc);
  HGDIOBJ old = SelectObject(mem, thumb);
  BitBlt(cd.hdc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
  return CDRF_SKIPDEFAULT;
}

}  // namespace win32
