// The play pod's windows: a floating frame with a small caption (TMyFloat)
// whose client is the five-button palette (TMyTool). Both only relay: the
// buttons' commands and the application commands go to the main frame, which
// routes them as menu commands.
#pragma once

#include "win32/wnd/win.h"

#include <functional>

#include "win32/wnd/frame.h"
#include "win32/wnd/window.h"

class TMyTool : public wnd::Window {
 public:
  // target receives the commands; states enables the buttons.
  TMyTool(HWND target, wnd::CommandStates& states) : target_(target), states_(states) {}
  bool CreatePalette(HWND parent);
  // Client size that holds the buttons in one row.
  SIZE ClientSize() const;
  // Called as the palette goes, with the frame's normal top-left corner.
  std::function<void(int x, int y)> onCleanup;

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void UpdateButtons();

  HWND target_;
  wnd::CommandStates& states_;
  HWND toolbar_ = nullptr;
  HIMAGELIST images_ = nullptr;
};

class TMyFloat : public wnd::Window {
 public:
  TMyFloat(HWND target, wnd::CommandStates& states) : target_(target), tool_(target, states) {}
  ~TMyFloat() override;
  // Creates the frame and its palette at (x, y), sized to the palette and
  // brought fully onto the screen; false when either could not be made.
  bool CreatePod(int x, int y, bool topmost);
  void SetTopmost(bool topmost);
  TMyTool& Tool() { return tool_; }
  // A double-click on the caption brings the main frame back.
  std::function<void()> onCaptionDoubleClick;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HWND target_;
  TMyTool tool_;
};
