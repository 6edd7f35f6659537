// A small window-class layer: a C++ object per window, messages dispatched by
// number and commands by id, with command enablers evaluated by the frame.
#pragma once

#include "win32/wnd/win.h"

#include <functional>
#include <string>
#include <unordered_map>

namespace wnd {

class Window {
 public:
  using MsgHandler = std::function<LRESULT(WPARAM, LPARAM)>;
  using CmdHandler = std::function<void()>;
  // Returns true when the command is enabled; may also set *checked.
  using Enabler = std::function<bool()>;

  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }

  // Registers (once) and creates the window; SetupWindow runs inside WM_CREATE.
  bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
              int x, int y, int w, int h, HWND parent, HMENU menuOrId, HBRUSH background = nullptr,
              UINT classStyle = CS_DBLCLKS, HICON icon = nullptr);

  void OnMessage(UINT msg, MsgHandler h) { msgMap_[msg] = std::move(h); }
  void OnCommand(UINT id, CmdHandler h) { cmdMap_[id] = std::move(h); }
  void OnEnable(UINT id, Enabler e) { enableMap_[id] = std::move(e); }

  // Command routing: true when this window has a handler for id.
  bool HasCommand(UINT id) const { return cmdMap_.count(id) != 0; }
  bool DispatchCommand(UINT id);
  // Enabling of a command: true with *enabled set when a rule exists.
  virtual bool QueryEnable(UINT id, bool* enabled) const;
  // Bracket a pass over many enablers, so a window can take its state once.
  virtual void BeginEnableQueries() {}
  virtual void EndEnableQueries() {}

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
  std::unordered_map<UINT, MsgHandler> msgMap_;
  std::unordered_map<UINT, CmdHandler> cmdMap_;
  std::unordered_map<UINT, Enabler> enableMap_;
};

}  // namespace wnd
