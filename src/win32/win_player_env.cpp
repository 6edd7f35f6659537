#include "win32/win_player_env.h"

#include <string>

#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

namespace {
HWND H(platform::WindowHandle w) { return reinterpret_cast<HWND>(w); }
platform::WindowRect FromRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
}  // namespace

platform::WindowRect WinVideoWindow::Bounds(platform::WindowHandle w) {
  RECT r = {};
  GetWindowRect(H(w), &r);
  return FromRect(r);
}

platform::WindowRect WinVideoWindow::Client(platform::WindowHandle w) {
  RECT r = {};
  GetClientRect(H(w), &r);
  return FromRect(r);
}

platform::WindowRect WinVideoWindow::ScreenOf(platform::WindowHandle w) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromWindow(H(w), MONITOR_DEFAULTTONEAREST), &mi)) {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return FromRect(mi.rcWork);
}

platform::WindowRect WinVideoWindow::NormalPlacement(platform::WindowHandle w) {
  // Screen coordinates, as VX and VY are used to place the window again.
  const app::Rect n = win32::NormalRect(H(w));
  return FromRect(RECT{n.left, n.top, n.right, n.bottom});
}

void WinVideoWindow::Move(platform::WindowHandle w, const platform::WindowRect& r) {
  MoveWindow(H(w), r.x, r.y, r.w, r.h, TRUE);
}

void WinVideoWindow::Show(platform::WindowHandle w, platform::ShowMode mode) {
  int cmd = SW_SHOW;
  switch (mode) {
    case platform::ShowMode::kHide: cmd = SW_HIDE; break;
    case platform::ShowMode::kShow: cmd = SW_SHOW; break;
    case platform::ShowMode::kNormal: cmd = SW_SHOWNORMAL; break;
    case platform::ShowMode::kMinimized: cmd = SW_MINIMIZE; break;
    case platform::ShowMode::kMaximized: cmd = SW_SHOWMAXIMIZED; break;
    case platform::ShowMode::kRestore: cmd = SW_RESTORE; break;
  }
  ShowWindow(H(w), cmd);
}

bool WinVideoWindow::IsMaximized(platform::WindowHandle w) { return IsZoomed(H(w)) != FALSE; }
bool WinVideoWindow::IsMinimized(platform::WindowHandle w) { return IsIconic(H(w)) != FALSE; }

void WinVideoWindow::Repaint(platform::WindowHandle w) {
  InvalidateRect(H(w), nullptr, TRUE);
  UpdateWindow(H(w));
}

bool WinVideoWindow::ScreenSaverActive() {
  BOOL on = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &on, 0);
  return on != FALSE;
}

void WinVideoWindow::SetScreenSaverActive(bool on) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, on ? TRUE : FALSE, nullptr, SPIF_SENDCHANGE);
}

bool WinDrives::IsFixedDrive(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  std::wstring root = wnd::Wide(path.substr(0, 2) + "\\");
  return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
}

bool WinDrives::ShortPath(const std::string& path, std::string* shortPath) {
  std::wstring longName = wnd::Wide(path);
  wchar_t buf[MAX_PATH] = {};
  DWORD n = GetShortPathNameW(longName.c_str(), buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  return wnd::NarrowExact(buf, shortPath);
}

platform::LocalTime WinClock::Now() {
  SYSTEMTIME t = {};
  GetLocalTime(&t);
  return {t.wHour, t.wMinute, t.wSecond};
}
