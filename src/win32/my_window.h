// The main window: owns the song list, the player state and every option;
// every command of the menu, keys, tool bar, system menu and play pod arrives
// here. It translates window messages into calls on the core.
#pragma once

#include "win32/wnd/win.h"

#include <memory>
#include <string>

#include "app/commands.h"
#include "app/settings.h"
#include "win32/wnd/slider.h"
#include "win32/wnd/window.h"

class TMyApp;
class TMyFrame;

class TMyWindow : public wnd::Window {
 public:
  explicit TMyWindow(TMyApp& app);
  ~TMyWindow() override;

  void SetFrame(TMyFrame* frame) { frame_ = frame; }
  bool CreateChild(HWND parent);

  app::Settings& Settings() { return settings_; }
  const app::Settings& Settings() const { return settings_; }
  app::OsGeneration OsGeneration() const { return osGeneration_; }
  // The state the enabling rules look at.
  app::CommandState Snapshot() const;
  bool QueryEnable(UINT id, bool* enabled) const override;
  void OnCaptionRightDoubleClick(bool minimized);
  // Set when start-up decided to end the program (a command-line failure).
  bool EndRequested() const { return endRequested_; }
  bool AutoPlayPending() const { return autoPlayPending_; }
  void ClearAutoPlayPending() { autoPlayPending_ = false; }
  bool Checked(UINT id, bool* checked) const;

  // Frame hooks.
  bool MayClose();  // the exit sequence; always agrees
  void OnFrameMinimized();
  LRESULT OnExternalControl(WPARAM wp, LPARAM lp);
  LRESULT OnPowerBroadcast(WPARAM wp, LPARAM lp);
  void OnDropFiles(HDROP drop);
  bool VideoInMainWindow() const { return false; }
  bool ListEmpty() const;

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(HDC dc, const RECT& area) override;

 private:
  void RegisterCommands();
  void Toggle(UINT id, bool* field);
  void BuildListFont();
  void PlaceSlider();
  void OnTimer();
  void Help(UINT command);

  TMyApp& app_;
  TMyFrame* frame_ = nullptr;
  app::Settings& settings_;  // the record the application object began to read
  app::OsGeneration osGeneration_ = app::OsGeneration::kWindowsNT4;
  bool endRequested_ = false;
  bool autoPlayPending_ = false;
  bool commandLineList_ = false;
  bool closeAfterPlay_ = false;
  std::string resumePath_;
  std::string settingsPath_;
  HFONT listFont_ = nullptr;
  SIZE cell_{0, 0};
  HBRUSH faceBrush_ = nullptr;
  HWND listScroll_ = nullptr;
  wnd::Slider slider_;
  int suspendState_ = 0;
  char messageBuffer_[1024] = {};
};
