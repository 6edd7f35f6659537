// What other programs (automation, the black-box tests) ask the running
// player by registered messages, where Wine answers only inside a process.
// The remote-control message's answers are the main window's own
// (TMyWindow::OnExternalControl, in automation.cpp too).
#pragma once

#include "win32/wnd/win.h"

#include "win32/wnd/frame.h"

namespace win32 {

// "Corvella.MenuState": a command's state in the frame's menu (wParam the
// command id), enabled and checked as the idle pass leaves it, also while
// the menu bar is hidden.
bool IsMenuStateQuery(UINT msg);
LRESULT MenuState(wnd::DecoratedFrame& frame, HMENU menu, UINT id);

// "Corvella.Usage": the process's own resource use; wParam 0 handles, 1 GDI
// objects, 2 USER objects, 3 private memory in KB, 4 working set in KB, 5
// processor time in ms.
bool IsUsageQuery(UINT msg);
LRESULT Usage(WPARAM what);

// "Corvella.Ping", a marker: posted with a nonzero wParam it is remembered
// once everything posted or queued before it has been carried out; sent with
// 0 it answers the last one remembered. (A sent message overtakes posted
// ones.)
class PingMarker {
 public:
  static bool Is(UINT msg);
  // The query (wParam 0): true with *result set; false for a marker, which
  // takes its turn on the route.
  bool Answer(WPARAM wp, LRESULT* result) const;
  // The marker's turn has come.
  void Reached(WPARAM wp) { last_ = wp; }

 private:
  WPARAM last_ = 0;
};

}  // namespace win32
