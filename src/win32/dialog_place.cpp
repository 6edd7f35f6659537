#include "win32/dialog_place.h"

#include "ui/frame_layout.h"
#include "win32/win_screen.h"

namespace win32 {

namespace {

HHOOK hook = nullptr;
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
LRESULT CALLBACK AfterMessage(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (m->message == WM_INITDIALOG) Place(m->hwnd);
  }
  return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

void CentreDialogsOn(HWND frame) {
  mainFrame = frame;
  if (!hook) hook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}

void StopCentringDialogs() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
  mainFrame = nullptr;
}

}  // namespace win32
