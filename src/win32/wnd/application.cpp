#include "win32/wnd/application.h"

#include "win32/wnd/frame.h"

namespace wnd {

int Application::Run() {
  if (!InitMainWindow()) return 0;
  if (!InitInstance()) return 0;
  MSG msg;
  for (;;) {
    // Idle pass once the queue is empty: the tool bar and menu follow the state.
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && frame_ && frame_->Handle()) {
      frame_->IdleAction();
    }
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0 || r == -1) break;
    HWND target = frame_ ? frame_->Handle() : nullptr;
    if (accel_ && target && TranslateAcceleratorW(target, accel_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace wnd
