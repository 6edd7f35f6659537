#include "win32/my_frame.h"

#include <vector>

#include "app/command_ids.h"
#include "app/commands.h"
#include "app/frame_rules.h"
#include "app/startup.h"
#include "ui/status_text.h"
#include "win32/automation.h"
#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

TMyFrame::TMyFrame(const ShellContext& shell, FrameClient& client)
    : shell_(shell), client_(client) {
  SetClient(&client, &client);
}

bool TMyFrame::CreateFrame() {
  const app::Settings& s = shell_.settings;
  const app::Placement& p = shell_.startPlacement;
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
  for (uint16_t id : app::ToolBarLayout(shell_.settings.buttons)) buttons.push_back({id});
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
  if (!shell_.settings.menuBar) SetMenu(hwnd_, nullptr);
  if (app::PostPlayAtFrameSetup(shell_.showState, client_.AutoPlayPending())) {
    client_.ClearAutoPlayPending();
    client_.PostOwnCommand(CM_PLAY);
  }
  HoldMediaKeys(shell_.settings.mediaKeys);
  Layout();
}

void TMyFrame::CleanupWindow() {
  HoldMediaKeys(false);
  PostQuitMessage(0);
}

bool TMyFrame::CanClose() { return client_.MayClose(); }

void TMyFrame::FirstPaint() {
  firstPaint_ = false;
  app::BarVisibility bars = app::ReadBarsAtFirstPaint(shell_.settingsFile.profile());
  if (bars.hideToolBar) ShowToolBar(false);
  if (bars.hideStatusBar) ShowStatusBar(false);
  if (bars.hideToolBar || bars.hideStatusBar) Layout();
  if (app::PostPlayAtFirstPaint(shell_.showState, client_.AutoPlayPending())) {
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
      IsIconic(hwnd_) != 0, shell_.settings.menuBar, os, state,
      app::MenuChecks(shell_.settings));
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

LRESULT TMyFrame::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (win32::IsUsageQuery(msg)) return win32::Usage(wp);
  if (win32::IsMenuStateQuery(msg)) return win32::MenuState(*this, menu_, static_cast<UINT>(wp));
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
