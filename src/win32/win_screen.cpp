#include "win32/win_screen.h"

namespace win32 {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR m, HDC, LPRECT, LPARAM data) {
  auto* areas = reinterpret_cast<app::Areas*>(data);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(m, &mi)) return TRUE;
  app::Rect r{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  if (mi.dwFlags & MONITORINFOF_PRIMARY) {
    areas->insert(areas->begin(), r);
  } else {
    areas->push_back(r);
  }
  return TRUE;
}

// Screen minus workspace coordinates for the window's monitor.
POINT WorkspaceOffset(HWND w) {
  POINT d{0, 0};
  if (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return d;  // already screen
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &mi)) return d;
  d.x = mi.rcWork.left - mi.rcMonitor.left;
  d.y = mi.rcWork.top - mi.rcMonitor.top;
  return d;
}

}  // namespace

app::Areas WorkAreas() {
  app::Areas areas;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
  if (areas.empty()) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    areas.push_back({r.left, r.top, r.right, r.bottom});
  }
  return areas;
}

app::Rect MonitorWorkArea(HWND w) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &mi)) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
  }
  const RECT& m = mi.rcMonitor;
  const RECT& r = mi.rcWork;
  return {r.left - m.left, r.top - m.top, r.right - m.left, r.bottom - m.top};
}

app::Rect NormalRect(HWND w) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(w, &wp)) return {};
  const POINT d = WorkspaceOffset(w);
  const RECT& r = wp.rcNormalPosition;
  return {r.left + d.x, r.top + d.y, r.right + d.x, r.bottom + d.y};
}

void SetNormalRect(HWND w, const app::Rect& r) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(w, &wp)) return;
  const POINT d = WorkspaceOffset(w);
  wp.rcNormalPosition = {r.left - d.x, r.top - d.y, r.right - d.x, r.bottom - d.y};
  wp.flags = 0;
  SetWindowPlacement(w, &wp);
}

}  // namespace win32
