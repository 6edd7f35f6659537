// Message boxes and beeps through the platform.
#pragma once

#include "win32/wnd/win.h"

#include "platform/notify.h"

namespace win32 {

class WinNotifier : public platform::Notifier {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned style,
                 bool owned) override;
  void Beep(unsigned kind) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace win32
