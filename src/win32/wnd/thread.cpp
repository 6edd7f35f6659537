#include "win32/wnd/thread.h"

namespace wnd {

Thread::~Thread() {
  if (handle_) CloseHandle(handle_);
}

DWORD WINAPI Thread::Entry(void* self) { return static_cast<Thread*>(self)->Run(); }

bool Thread::Start() {
  if (handle_) return false;
  DWORD id = 0;
  handle_ = CreateThread(nullptr, 0, Entry, this, 0, &id);
  return handle_ != nullptr;
}

bool Thread::WaitForExit(DWORD ms) {
  if (!handle_) return true;
  return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0;
}

bool Thread::Running() const {
  return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

}  // namespace wnd
