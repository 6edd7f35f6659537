// Fakes of what the player talks to besides the media control interface:
// the main window, window geometry, drives, the clock and the MP3 player.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/video_window.h"
#include "playback/mp3_link.h"
#include "playback/player_view.h"

struct FakePlayerView : playback::PlayerView {
  int titles = 0, listRedraws = 0, scrolls = 0, housekeeping = 0, wallpapers = 0, ends = 0;
  int sliderRedraws = 0;
  bool dragging = false, statusBar = true, dialogOpen = false, painted = true;
  bool videoInList = false;
  std::string trackText, timeText;
  int32_t sliderMax = -1, sliderPage = -1, sliderPos = -1;
  std::vector<uint16_t> posted;
  std::vector<uint32_t> notifies;

  void RefreshTitle() override { ++titles; }
  void RedrawList() override { ++listRedraws; }
  void ScrollToCurrent() override { ++scrolls; }
  bool ListDragging() override { return dragging; }
  void ListHousekeeping() override { ++housekeeping; }
  void SetVideoInList(bool v) override { videoInList = v; }
  void SetTrackText(const std::string& t) override { trackText = t; }
  bool StatusBarShown() override { return statusBar; }
  void SetTimeText(const std::string& t) override { timeText = t; }
  void SetSliderRange(int32_t max, int32_t page) override {
    sliderMax = max;
    sliderPage = page;
  }
  void SetSliderPosition(int32_t pos) override { sliderPos = pos; }
  void RedrawSlider() override { ++sliderRedraws; }
  bool DialogOpen() override { return dialogOpen; }
  bool FramePainted() override { return painted; }
  void PostCommand(uint16_t id) override { posted.push_back(id); }
  void PostNotify(uint32_t code) override { notifies.push_back(code); }
  void ChangeWallpaper() override { ++wallpapers; }
  void EndProgram() override { ++ends; }
};

// Windows by handle: 1 the frame, 2 the main window, others as added.
struct FakeVideoWindow : platform::VideoWindow {
  struct Win {
    platform::WindowRect bounds, client;
    bool maximized = false, minimized = false, visible = true;
  };
  std::map<platform::WindowHandle, Win> windows;
  int32_t screenX = 0, screenY = 0, screenW = 1024, screenH = 768;
  bool saver = true;
  std::vector<bool> saverSets;
  int32_t maxTrackW = 0, maxTrackH = 0;
  std::vector<std::string> log;
  // The frame's decorations around the main window's client area.
  int32_t frameExtraW = 8, frameExtraH = 80;

  FakeVideoWindow() {
    windows[1].bounds = {100, 100, 508, 480};
    windows[2].client = {0, 0, 500, 400};
    windows[0x777].bounds = {50, 60, 328, 270};
    windows[0x777].client = {0, 0, 320, 240};
  }
  platform::WindowHandle MainWindow() override { return 2; }
  platform::WindowHandle Frame() override { return 1; }
  platform::WindowRect ScreenOf(platform::WindowHandle) override { return {screenX, screenY, screenW, screenH}; }
  platform::WindowRect Bounds(platform::WindowHandle w) override { return windows[w].bounds; }
  platform::WindowRect Client(platform::WindowHandle w) override { return windows[w].client; }
  platform::WindowRect NormalPlacement(platform::WindowHandle w) override { return windows[w].bounds; }
  void Move(platform::WindowHandle w, const platform::WindowRect& r) override {
    log.push_back("move " + std::to_string(w) + " " + std::to_string(r.x) + "," + std::to_string(r.y) +
                  "," + std::to_string(r.w) + "," + std::to_string(r.h));
    Win& win = windows[w];
    platform::WindowRect old = win.bounds;
    win.bounds = r;
    if (w == 1) {
      windows[2].client.w = r.w - frameExtraW;
      windows[2].client.h = r.h - frameExtraH;
    } else {
      win.client.w += r.w - old.w;
      win.client.h += r.h - old.h;
    }
  }
  void Show(platform::WindowHandle w, platform::ShowMode m) override {
    log.push_back("show " + std::to_string(w) + " " + std::to_string(static_cast<int>(m)));
    Win& win = windows[w];
    if (m == platform::ShowMode::kMinimized) win.minimized = true;
    if (m == platform::ShowMode::kMaximized) win.maximized = true;
    if (m == platform::ShowMode::kRestore) win.maximized = win.minimized = false;
  }
  bool IsMaximized(platform::WindowHandle w) override { return windows[w].maximized; }
  bool IsMinimized(platform::WindowHandle w) override { return windows[w].minimized; }
  void Repaint(platform::WindowHandle w) override { log.push_back("repaint " + std::to_string(w)); }
  void SetFrameMaxTrackSize(int32_t w, int32_t h) override {
    maxTrackW = w;
    maxTrackH = h;
  }
  bool ScreenSaverActive() override { return saver; }
  void SetScreenSaverActive(bool on) override {
    saver = on;
    saverSets.push_back(on);
  }
};

struct FakeDrives : platform::Drives {
  bool fixed = true;
  bool IsFixedDrive(const std::string&) override { return fixed; }
  bool ShortPath(const std::string& p, std::string* s) override {
    *s = p;
    return false;
  }
};

struct FakeClock : platform::Clock {
  platform::LocalTime now{12, 0, 0};
  platform::LocalTime Now() override { return now; }
};

struct FakeMp3 : playback::Mp3Player {
  bool checkOk = true, startOk = true, pauseOk = true, restartOk = true, restartFailed = false;
  uint32_t lengthMs = 180000;
  uint32_t seekFrame = 0, usPerFrame = 26122, rate = 44100, samples = 0;
  bool samplesKnown = true;
  std::vector<std::string> calls;

  bool CheckMP3File(const std::string& path, uint32_t* len, std::string* msg) override {
    calls.push_back("check " + path);
    if (!checkOk) {
      *msg = "not an mp3";
      return false;
    }
    *len = lengthMs;
    return true;
  }
  bool StartMP3(const std::string& path, std::string* msg) override {
    calls.push_back("start " + path);
    seekFrame = 0;
    if (!startOk) *msg = "no wave device";
    return startOk;
  }
  bool SeekMP3(uint32_t frame) override {
    calls.push_back("seek " + std::to_string(frame));
    seekFrame = frame;
    return true;
  }
  void StopMP3() override { calls.push_back("stop"); }
  bool PauseOutput(std::string* msg) override {
    calls.push_back("pause");
    if (!pauseOk) *msg = "pause failed";
    return pauseOk;
  }
  bool RestartOutput(std::string* msg) override {
    calls.push_back("restart");
    if (!restartOk) *msg = "restart failed";
    return restartOk;
  }
  bool RestartFailed() override { return restartFailed; }
  void StopAfterRunOut() override { calls.push_back("stop after run-out"); }
  bool Restarting() override { return false; }
  bool SamplesPlayed(uint32_t* s) override {
    *s = samples;
    return samplesKnown;
  }
  uint32_t SeekFrame() override { return seekFrame; }
  uint32_t MicrosecondsPerFrame() override { return usPerFrame; }
  uint32_t SampleRate() override { return rate; }
};
