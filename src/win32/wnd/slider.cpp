#include "win32/wnd/slider.h"


namespace wnd {

bool Slider::Create(HWND parent, int id, int x, int y, int w, int h) {
  hwnd_ = CreateWindowExW(0, TRACKBAR_CLASSW, L"",
                          WS_CHILD | TBS_HORZ | TBS_NOTICKS | TBS_BOTH | WS_TABSTOP, x, y, w, h,
                          parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  return hwnd_ != nullptr;
}

void Slider::SetRange(int minimum, int maximum) {
  SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, minimum);
  SendMessageW(hwnd_, TBM_SETRANGEMAX, TRUE, maximum);
}
void Slider::SetPosition(int pos) { SendMessageW(hwnd_, TBM_SETPOS, TRUE, pos); }
int Slider::Position() const { return static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0)); }
void Slider::SetPageSize(int page) { SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, page); }
void Slider::Move(int x, int y, int w, int h) { MoveWindow(hwnd_, x, y, w, h, TRUE); }
void Slider::Show(bool show) { ShowWindow(hwnd_, show ? SW_SHOW : SW_HIDE); }

}  // namespace wnd
