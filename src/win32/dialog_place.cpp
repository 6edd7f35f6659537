#include "win32/dialog_place.h"

#include "ui/frame_layout.h"
#include "win32/win_screen.h"

namespace win32 {

namespace {

HHOOK cbtHook = nullptr;
HWND mainFrame = nullptr;

void Place(HWND dlg) {
  if (!mainFrame || !IsWindow(mainFrame) || dlg == mainFrame) return;
  if (GetWindowLongW(dlg, GWL_STYLE) & WS_CHILD) return;  // a page inside another dialog
  RECT d;
  GetWindowRect(dlg, &d);
  app::Rect main;
  if (IsIconic(mainFrame)) {
    main = NormalRect(mainFrame);  // where it comes back to
  } else {
    RECT f;
    GetWindowRect(mainFrame, &f);
    main = {f.left, f.top, f.right, f.bottom};
  }
  const app::Rect to = ui::CentredDialog(main, d.right - d.left, d.bottom - d.top, WorkAreas());
  SetWindowPos(dlg, nullptr, to.left, to.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Runs after a window procedure has handled a sent message: a dialog's set-up
// (the platform's own placement included) is done and it is not shown yet.
// Only while a dialog is being made: a hook on every message costs the
// platform a round trip per message.
HHOOK afterHook = nullptr;
int pendingDialogs = 0;

LRESULT CALLBACK AfterMessage(int code, WPARAM wp, LPARAM lp) {
  const LRESULT r = CallNextHookEx(afterHook, code, wp, lp);
  const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
  if (code == HC_ACTION && m->message == WM_INITDIALOG &&
      !(GetWindowLongW(m->hwnd, GWL_STYLE) & WS_CHILD)) {
    Place(m->hwnd);
    if (--pendingDialogs <= 0 && afterHook) {
      UnhookWindowsHookEx(afterHook);
      afterHook = nullptr;
      pendingDialogs = 0;
    }
  }
  return r;
}

// A top-level dialog window is being made: watch for the end of its set-up.
LRESULT CALLBACK OnCbt(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    const auto* c = reinterpret_cast<const CBT_CREATEWNDW*>(lp);
    wchar_t cls[16] = L"";
    if (!(c->lpcs->style & WS_CHILD) && GetClassNameW(reinterpret_cast<HWND>(wp), cls, 16) &&
        lstrcmpW(cls, L"#32770") == 0) {
      ++pendingDialogs;
      if (!afterHook) {
        afterHook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
      }
    }
  }
  return CallNextHookEx(cbtHook, code, wp, lp);
}

}  // namespace

void CentreDialogsOn(HWND frame) {
  mainFrame = frame;
  if (!cbtHook) cbtHook = SetWindowsHookExW(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
}

void StopCentringDialogs() {
  if (cbtHook) UnhookWindowsHookEx(cbtHook);
  if (afterHook) UnhookWindowsHookEx(afterHook);
  cbtHook = afterHook = nullptr;
  pendingDialogs = 0;
  mainFrame = nullptr;
}

}  // namespace win32
