// A thread object: Run() on its own thread, Start() and WaitForExit().
#pragma once

#include "win32/wnd/win.h"

namespace wnd {

class Thread {
 public:
  virtual ~Thread();
  bool Start();
  // Waits for Run() to return (INFINITE by default); true when it ended.
  bool WaitForExit(DWORD ms = INFINITE);
  bool Running() const;

 protected:
  virtual DWORD Run() = 0;

 private:
  static DWORD WINAPI Entry(void* self);
  HANDLE handle_ = nullptr;
};

}  // namespace wnd
