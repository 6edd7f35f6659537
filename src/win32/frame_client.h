// The main window as the frame sees it: the window between its bars, the
// enabling rules of its menu and tool bar, the one route for commands and
// control messages, and the hooks the frame calls as it is made, sized,
// minimised, maximised and closed.
#pragma once

#include "win32/wnd/win.h"

#include "app/commands.h"
#include "win32/wnd/frame.h"
#include "win32/wnd/window.h"

class FrameClient : public wnd::Window, public wnd::CommandStates {
 public:
  // Start-up.
  virtual bool CreateChild(HWND parent) = 0;
  // Set when start-up decided to end the program (a command-line failure).
  virtual bool EndRequested() const = 0;
  virtual bool AutoPlayPending() const = 0;
  virtual void ClearAutoPlayPending() = 0;
  // A command of the program's own, carried out after the current message
  // and after everything queued before it.
  virtual void PostOwnCommand(UINT id) = 0;

  // The one way in for commands and control messages, whether they reach
  // the frame or the main window (see README, "How a message travels").
  // False when msg is none of them.
  virtual bool Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) = 0;
  // What the system menu's items look at.
  virtual app::OsGeneration OsGeneration() const = 0;
  virtual app::CommandState Snapshot() const = 0;

  // Frame hooks.
  virtual bool MayClose() = 0;  // the exit sequence; agrees once, refuses a request during it
  virtual void OnFrameMinimized() = 0;
  virtual void OnFrameRestored() = 0;
  virtual void OnFrameMaximizing() = 0;  // before the default maximise
  // Every size change of the frame: the play pod follows the minimised state.
  virtual void OnFrameSized(bool minimized) = 0;
  virtual void OnCaptionLeftDoubleClick() = 0;
  virtual void OnCaptionRightDoubleClick(bool minimized) = 0;
  virtual bool VideoInMainWindow() const = 0;
  virtual POINT VideoMaxTrack() const = 0;
};
