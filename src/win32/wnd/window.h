// A small window-class layer: a C++ object per window; each class handles its
// messages in its own WndProc and passes the rest to its base class.
#pragma once

#include "win32/wnd/win.h"

namespace wnd {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }

  // Registers (once) and creates the window; SetupWindow runs inside WM_CREATE.
  bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
              int x, int y, int w, int h, HWND parent, HMENU menuOrId, HBRUSH background = nullptr,
              UINT classStyle = CS_DBLCLKS, HICON icon = nullptr);

  static Window* FromHandle(HWND hwnd);

 protected:
  virtual void SetupWindow() {}
  virtual void CleanupWindow() {}
  // Called on WM_CLOSE; return false to refuse closing.
  virtual bool CanClose() { return true; }
  virtual void Paint(HDC dc, const RECT& area) {}
  virtual LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace wnd
