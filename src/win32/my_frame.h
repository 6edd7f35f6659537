// The main frame: caption, menu, tool bar, status bar, system menu, sizing
// rules, and the messages it passes on to the main window.
#pragma once

#include "win32/wnd/win.h"

#include "win32/wnd/frame.h"

class TMyApp;
class TMyWindow;

class TMyFrame : public wnd::DecoratedFrame {
 public:
  TMyFrame(TMyApp& app, TMyWindow& client);
  bool CreateFrame();
  void ShowFirst(int showState);
  // Rebuilds the tool bar from the twelve group flags.
  void RebuildToolBar();
  HMENU MenuHandle() const { return menu_; }
  bool Painted() const { return !firstPaint_; }

  bool QueryChecked(UINT id, bool* checked) override;

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  bool CanClose() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void FirstPaint();
  void RebuildSystemMenu();
  void OnWindowPosChanged();

  TMyApp& app_;
  TMyWindow& client_;
  HMENU menu_ = nullptr;
  HMENU sysMenu_ = nullptr;
  bool firstPaint_ = true;
  WPARAM lastPing_ = 0;  // see Corvella.Ping
  int ownSystemItems_ = 7;
};
