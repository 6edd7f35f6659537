#include "win32/win_notify.h"

#include "win32/wnd/text_conv.h"

namespace win32 {

int WinNotifier::MessageBox(const std::string& text, const std::string& caption, unsigned style,
                            bool owned) {
  HWND owner = owned ? owner_ : nullptr;
  // Without an owner the box must still come to the front (start-up errors).
  UINT extra = owned ? 0 : MB_SETFOREGROUND | MB_TASKMODAL;
  return ::MessageBoxW(owner, wnd::Wide(text).c_str(), wnd::Wide(caption).c_str(), style | extra);
}

void WinNotifier::Beep(unsigned kind) { MessageBeep(kind); }

}  // namespace win32
