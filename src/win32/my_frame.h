// The main frame: caption, menu, tool bar, status bar, system menu, sizing
// rules, and the commands and control messages it passes to the main
// window's route.
#pragma once

#include "win32/wnd/win.h"

#include "win32/frame_client.h"
#include "win32/shell_context.h"
#include "win32/wnd/frame.h"

class TMyFrame : public wnd::DecoratedFrame {
 public:
  TMyFrame(const ShellContext& shell, FrameClient& client);
  bool CreateFrame();
  void ShowFirst(int showState);
  // Rebuilds the tool bar from the twelve group flags.
  void RebuildToolBar();
  HMENU MenuHandle() const { return menu_; }
  bool Painted() const { return !firstPaint_; }
  // Registers the media keys system-wide (or gives them back); a key that
  // another program holds stays with it.
  void HoldMediaKeys(bool hold);

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  bool CanClose() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void FirstPaint();
  void RebuildSystemMenu();
  void OnWindowPosChanged();

  const ShellContext& shell_;
  FrameClient& client_;
  HMENU menu_ = nullptr;
  HMENU sysMenu_ = nullptr;
  bool firstPaint_ = true;
  int ownSystemItems_ = 7;
};
