#include "win32/wnd/window.h"

namespace wnd {

static const wchar_t kPropName[] = L"CorvellaWndObject";

Window::~Window() {
  if (hwnd_ && IsWindow(hwnd_)) {
    RemovePropW(hwnd_, kPropName);
    DestroyWindow(hwnd_);
  }
}

Window* Window::FromHandle(HWND hwnd) {
  return static_cast<Window*>(GetPropW(hwnd, kPropName));
}

bool Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                    int x, int y, int w, int h, HWND parent, HMENU menuOrId, HBRUSH background,
                    UINT classStyle, HICON icon) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc;
  if (!GetClassInfoExW(inst, className, &wc)) {
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return false;
  }
  HWND h2 = CreateWindowExW(exStyle, className, title, style, x, y, w, h, parent, menuOrId, inst,
                            this);
  return h2 != nullptr;
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      SetupWindow();
      return 0;
    case WM_CLOSE:
      if (CanClose()) DestroyWindow(hwnd_);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc, ps.rcPaint);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_DESTROY:
      CleanupWindow();
      break;
    default:
      break;
  }
  return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = FromHandle(hwnd);
  if (!self && (msg == WM_NCCREATE || msg == WM_CREATE)) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    self = static_cast<Window*>(cs->lpCreateParams);
    if (self) {
      self->hwnd_ = hwnd;
      SetPropW(hwnd, kPropName, self);
    }
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT r = self->WndProc(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kPropName);
    self->hwnd_ = nullptr;
  }
  return r;
}

}  // namespace wnd
