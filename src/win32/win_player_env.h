// Win32 answers to the player's geometry, drive and clock questions.
#pragma once

#include "win32/wnd/win.h"

#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/video_window.h"

class WinVideoWindow : public platform::VideoWindow {
 public:
  WinVideoWindow(HWND frame, HWND mainWindow) : frame_(frame), main_(mainWindow) {}
  void SetWindows(HWND frame, HWND mainWindow) {
    frame_ = frame;
    main_ = mainWindow;
  }
  // The frame answers WM_GETMINMAXINFO with this (0 = no limit).
  POINT MaxTrackSize() const { return maxTrack_; }

  platform::WindowHandle MainWindow() override { return reinterpret_cast<platform::WindowHandle>(main_); }
  platform::WindowHandle Frame() override { return reinterpret_cast<platform::WindowHandle>(frame_); }
  platform::WindowRect ScreenOf(platform::WindowHandle w) override;
  platform::WindowRect Bounds(platform::WindowHandle w) override;
  platform::WindowRect Client(platform::WindowHandle w) override;
  platform::WindowRect NormalPlacement(platform::WindowHandle w) override;
  void Move(platform::WindowHandle w, const platform::WindowRect& r) override;
  void Show(platform::WindowHandle w, platform::ShowMode mode) override;
  bool IsMaximized(platform::WindowHandle w) override;
  bool IsMinimized(platform::WindowHandle w) override;
  void Repaint(platform::WindowHandle w) override;
  void SetFrameMaxTrackSize(int32_t w, int32_t h) override { maxTrack_ = {w, h}; }
  bool ScreenSaverActive() override;
  void SetScreenSaverActive(bool on) override;

 private:
  HWND frame_, main_;
  POINT maxTrack_{0, 0};
};

class WinDrives : public platform::Drives {
 public:
  bool IsFixedDrive(const std::string& path) override;
  bool ShortPath(const std::string& path, std::string* shortPath) override;
};

class WinClock : public platform::Clock {
 public:
  platform::LocalTime Now() override;
};
