// The application object: owns the message loop with accelerators and the
// idle pass in which the frame re-evaluates its command enablers.
#pragma once

#include "win32/wnd/win.h"

namespace wnd {

class DecoratedFrame;

class Application {
 public:
  virtual ~Application() = default;
  // Builds the main window (InitMainWindow) and runs the loop; returns the exit code.
  int Run();
  void SetAccelerators(HACCEL accel) { accel_ = accel; }
  void SetMainFrame(DecoratedFrame* frame) { frame_ = frame; }
  DecoratedFrame* MainFrame() const { return frame_; }

 protected:
  virtual bool InitMainWindow() = 0;
  virtual bool InitInstance() { return true; }

 private:
  HACCEL accel_ = nullptr;
  DecoratedFrame* frame_ = nullptr;
};

}  // namespace wnd
