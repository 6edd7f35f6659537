#include "win32/my_frame.h"

#include <psapi.h>

#include <vector>


#include "app/command_ids.h"
#include "app/commands.h"
#include "app/frame_rules.h"
#include "app/startup.h"
#include "ui/status_text.h"
#include "win32/my_app.h"
#include "win32/my_window.h"
#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

TMyFrame::TMyFrame(TMyApp& app, TMyWindow& client) : app_(app), client_(client) {
  SetClient(&client, &client);
  client.SetFrame(this);
}

bool TMyFrame::CreateFrame() {
  const app::Settings& s = app_.SettingsRef();
  const app::Placement& p = app_.StartPlacement();
  menu_ = LoadMenuW(GetModuleHandleW(nullptr), L"COMMANDS");
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  return Create(L"CorvellaFrame", L"Corvella", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                s.topmost ? WS_EX_TOPMOST : 0, p.x, p.y, p.w, p.h, nullptr, menu_, nullptr,
                CS_DBLCLKS, icon);
}

void TMyFrame::ShowFirst(int showState) {
  ShowWindow(hwnd_, showState);
  UpdateWindow(hwnd_);
}

void TMyFrame::RebuildToolBar() {
  std::vector<ToolButton> buttons;
  for (uint16_t id : app::ToolBarLayout(app_.SettingsRef().buttons)) buttons.push_back({id});
  SetToolButtons(buttons);
}

void TMyFrame::HoldMediaKeys(bool hold) {
  for (uint32_t vk : app::kMediaKeys) {
    const int id = static_cast<int>(vk);
    if (hold) {
      // Fails quietly when another program holds the key.
      RegisterHotKey(hwnd_, id, MOD_NOREPEAT, vk);
    } else {
      UnregisterHotKey(hwnd_, id);
    }
  }
}

void TMyFrame::SetupWindow() {
  CreateStatusBar(10, wnd::Wide(ui::kLongestTimeText));
  CreateToolBar(20);
  RebuildToolBar();
  client_.CreateChild(hwnd_);
  if (client_.EndRequested()) return;
  sysMenu_ = GetSystemMenu(hwnd_, FALSE);
  if (!app_.SettingsRef().menuBar) SetMenu(hwnd_, nullptr);
  if (app::PostPlayAtFrameSetup(app_.ShowState(), client_.AutoPlayPending())) {
    client_.ClearAutoPlayPending();
    client_.PostOwnCommand(CM_PLAY);
  }
  HoldMediaKeys(app_.SettingsRef().mediaKeys);
  Layout();
}

void TMyFrame::CleanupWindow() {
  HoldMediaKeys(false);
  PostQuitMessage(0);
}

bool TMyFrame::CanClose() { return client_.MayClose(); }

void TMyFrame::FirstPaint() {
  firstPaint_ = false;
  app::BarVisibility bars = app::ReadBarsAtFirstPaint(app_.SettingsFileRef().profile());
  if (bars.hideToolBar) ShowToolBar(false);
  if (bars.hideStatusBar) ShowStatusBar(false);
  if (bars.hideToolBar || bars.hideStatusBar) Layout();
  if (app::PostPlayAtFirstPaint(app_.ShowState(), client_.AutoPlayPending())) {
    client_.ClearAutoPlayPending();
    client_.PostOwnCommand(CM_PLAY);
  }
}

static void AppendEntries(HMENU menu, const std::vector<app::MenuEntry>& entries) {
  for (const app::MenuEntry& e : entries) {
    if (e.IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (e.IsPopup()) {
      HMENU sub = CreatePopupMenu();
      AppendEntries(sub, e.items);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                  wnd::Wide(e.label).c_str());
    } else {
      UINT flags = MF_STRING | (e.enabled ? MF_ENABLED : MF_GRAYED) |
                   (e.checked ? MF_CHECKED : MF_UNCHECKED);
      AppendMenuW(menu, flags, e.id, wnd::Wide(e.label).c_str());
    }
  }
}

void TMyFrame::RebuildSystemMenu() {
  if (!sysMenu_) return;
  app::OsGeneration os = client_.OsGeneration();
  int own = app::SystemMenuOwnItems(os);
  // Our items of the last opening go first (popups are destroyed with them).
  while (GetMenuItemCount(sysMenu_) > own) DeleteMenu(sysMenu_, own, MF_BYPOSITION);
  app::CommandState state = client_.Snapshot();
  std::vector<app::MenuEntry> items = app::SystemMenuAdditions(
      IsIconic(hwnd_) != 0, app_.SettingsRef().menuBar, os, state,
      app::MenuChecks(app_.SettingsRef()));
  AppendEntries(sysMenu_, items);
  DrawMenuBar(hwnd_);
}

void TMyFrame::OnWindowPosChanged() {
  if (IsIconic(hwnd_)) return;
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  const app::Rect r{wr.left, wr.top, wr.right, wr.bottom};
  // A maximised frame with a video is only as big as the picture; where it
  // went is where it comes back to, at its normal size.
  if (IsZoomed(hwnd_) && client_.VideoInMainWindow()) {
    const app::Rect n = win32::NormalRect(hwnd_);
    if (n.left != r.left || n.top != r.top) {
      win32::SetNormalRect(hwnd_, {r.left, r.top, r.left + n.Width(), r.top + n.Height()});
    }
  }
  const app::Rect to = app::KeepFrameOnScreen(r, win32::WorkAreas());
  if (to.left != r.left || to.top != r.top) {
    SetWindowPos(hwnd_, nullptr, to.left, to.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// Menus live in each process under Wine, so other programs (automation, the
// black-box tests) ask the frame for a command's menu state with this message.
static const UINT kMenuStateQuery = RegisterWindowMessageW(L"Corvella.MenuState");
// And for its own resource use (wParam 0 handles, 1 GDI objects, 2 USER
// objects, 3 private memory in KB, 4 working set in KB, 5 processor time in
// ms): Wine answers these only inside a process.
static const UINT kUsageQuery = RegisterWindowMessageW(L"Corvella.Usage");

namespace {

// Wine answers GetProcessHandleCount with 0; the system's handle list still
// names the owner of every handle.
DWORD CountOwnHandles() {
  struct Entry {
    ULONG pid;
    UCHAR type, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  struct List {
    ULONG count;
    Entry entries[1];
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const Query query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<char> buf(1 << 20);
  for (int tries = 0; tries < 4; ++tries) {
    ULONG len = 0;
    const LONG status = query(16 /* SystemHandleInformation */, buf.data(), ULONG(buf.size()), &len);
    if (status == 0) {
      const List* list = reinterpret_cast<const List*>(buf.data());
      const DWORD self = GetCurrentProcessId();
      DWORD n = 0;
      for (ULONG i = 0; i < list->count; ++i)
        if (list->entries[i].pid == self) ++n;
      return n;
    }
    buf.resize(buf.size() * 4);
  }
  return 0;
}

// Wine's GetGuiResources is a stub; it keeps GDI handles in a per-process
// table named by the process block, 24-byte entries with a nonzero type byte
// for every live object.
DWORD CountOwnGdiObjects() {
#if defined(_M_IX86) || defined(__i386__)
  using GetPeb = void*(WINAPI*)();
  static const GetPeb getPeb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
  if (!getPeb) return 0;
  const BYTE* peb = static_cast<const BYTE*>(getPeb());
  const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94);
  if (!table) return 0;
  DWORD n = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i * 24 + 14] != 0) ++n;
  return n;
#else
  return 0;
#endif
}

LRESULT Usage(WPARAM what) {
  HANDLE self = GetCurrentProcess();
  switch (what) {
    case 0: {
      DWORD n = 0;
      if (!GetProcessHandleCount(self, &n) || n == 0) n = CountOwnHandles();
      return static_cast<LRESULT>(n);
    }
    case 1: {
      DWORD n = GetGuiResources(self, GR_GDIOBJECTS);
      if (n == 0) n = CountOwnGdiObjects();
      return static_cast<LRESULT>(n);
    }
    case 2: return static_cast<LRESULT>(GetGuiResources(self, GR_USEROBJECTS));
    case 5: {
      FILETIME created, exited, kernel, user;
      if (!GetProcessTimes(self, &created, &exited, &kernel, &user)) return 0;
      auto ticks = [](const FILETIME& f) {
        return (uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime;
      };
      return static_cast<LRESULT>((ticks(kernel) + ticks(user)) / 10000);
    }
    case 3:
    case 4: {
      PROCESS_MEMORY_COUNTERS pmc{};
      pmc.cb = sizeof pmc;
      if (!GetProcessMemoryInfo(self, &pmc, sizeof pmc)) return 0;
      return static_cast<LRESULT>((what == 3 ? pmc.PagefileUsage : pmc.WorkingSetSize) / 1024);
    }
  }
  return 0;
}

}  // namespace

LRESULT TMyFrame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kUsageQuery && msg != 0) return Usage(wp);
  if (msg == kMenuStateQuery && msg != 0) {
    IdleAction();
    if (menu_ && !GetMenu(hwnd_)) UpdateMenu(menu_);
    return static_cast<LRESULT>(GetMenuState(menu_, static_cast<UINT>(wp), MF_BYCOMMAND));
  }
  // Commands of the menu, the accelerators, the tool bar, the system menu's
  // own items and the pod, and every control message, go to the one route.
  if (msg == WM_COMMAND && lp != 0 && reinterpret_cast<HWND>(lp) != toolbar_) {
    return wnd::DecoratedFrame::WndProc(msg, wp, lp);  // a control's notice
  }
  if (msg == WM_SYSCOMMAND && wp < 0x8000 &&
      app::RouteSystemCommand(static_cast<uint32_t>(wp)) != app::SystemCommandRoute::kDefault) {
    msg = WM_COMMAND;
  }
  LRESULT routed = 0;
  if (client_.Route(msg, wp, lp, &routed)) return routed;
  switch (msg) {
    case WM_PAINT:
      if (firstPaint_) {
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        FirstPaint();
        return r;
      }
      break;
    case WM_INITMENUPOPUP:
      if (HIWORD(lp)) {  // the system menu
        RebuildSystemMenu();
        return 0;
      }
      break;
    case WM_SYSCOMMAND: {
      UINT cmd = static_cast<UINT>(wp);
      if ((cmd & 0xFFF0) == SC_MINIMIZE) {
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        client_.OnFrameMinimized();
        return r;
      }
      if ((cmd & 0xFFF0) == SC_MAXIMIZE && client_.VideoInMainWindow() && !IsZoomed(hwnd_)) {
        const app::Rect before = win32::NormalRect(hwnd_);
        client_.OnFrameMaximizing();
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        win32::SetNormalRect(hwnd_, before);  // restoring returns to it
        return r;
      }
      if ((cmd & 0xFFF0) == SC_RESTORE) {
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        client_.OnFrameRestored();
        return r;
      }
      break;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wp == HTCAPTION) {
        LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        client_.OnCaptionLeftDoubleClick();
        return r;
      }
      break;
    case WM_NCRBUTTONDBLCLK:
      if (wp == HTCAPTION) {
        client_.OnCaptionRightDoubleClick(IsIconic(hwnd_) != 0);
        return 0;
      }
      break;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      const POINT track = client_.VideoMaxTrack();
      const app::MaximizedPlacement m = app::MaximizedFrame(
          client_.VideoInMainWindow(), win32::NormalRect(hwnd_),
          track.x ? track.x : app::kInitialMaxTrackWidth,
          track.y ? track.y : app::kInitialMaxTrackHeight, win32::MonitorWorkArea(hwnd_),
          GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
      mm->ptMaxPosition = {m.x, m.y};
      mm->ptMaxSize = {m.width, m.height};
      return 0;
    }
    case WM_SIZE: {
      LRESULT r = wnd::DecoratedFrame::WndProc(msg, wp, lp);
      // Size messages of the frame still being made say nothing of its state.
      if (IsWindowVisible(hwnd_)) client_.OnFrameSized(wp == SIZE_MINIMIZED);
      return r;
    }
    case WM_WINDOWPOSCHANGED: {
      LRESULT r = wnd::DecoratedFrame::WndProc(msg, wp, lp);
      OnWindowPosChanged();
      return r;
    }
    case WM_DESTROY:
      CleanupWindow();
      return 0;
    default:
      break;
  }
  return wnd::DecoratedFrame::WndProc(msg, wp, lp);
}
