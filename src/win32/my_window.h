// The main window: owns the song list, the player state and every option;
// every command of the menu, keys, tool bar, system menu and play pod arrives
// here. It translates window messages into calls on the core.
#pragma once

#include "win32/wnd/win.h"

#include <memory>
#include <string>

#include "app/commands.h"
#include "app/external_control.h"
#include "app/settings.h"
#include "songlist/gather.h"
#include "songlist/model.h"
#include "songlist/snf_commands.h"
#include "songlist/startup.h"
#include "win32/win_platform.h"
#include "win32/wnd/slider.h"
#include "win32/wnd/window.h"

class TMyApp;
class TMyFrame;

class TMyWindow : public wnd::Window, private songlist::ViewLink, private songlist::CdTrackSource {
 public:
  explicit TMyWindow(TMyApp& app);
  ~TMyWindow() override;

  void SetFrame(TMyFrame* frame) { frame_ = frame; }
  bool CreateChild(HWND parent);

  app::Settings& Settings() { return settings_; }
  const app::Settings& Settings() const { return settings_; }
  app::OsGeneration OsGeneration() const { return osGeneration_; }
  // Set when start-up decided to end the program (a command-line failure).
  bool EndRequested() const { return endRequested_; }
  bool AutoPlayPending() const { return autoPlayPending_; }
  void ClearAutoPlayPending() { autoPlayPending_ = false; }
  bool Checked(UINT id, bool* checked) const;
  // The state the enabling rules look at.
  app::CommandState Snapshot() const;
  bool QueryEnable(UINT id, bool* enabled) const override;

  // Frame hooks.
  bool MayClose();  // the exit sequence; always agrees
  void OnFrameMinimized();
  void OnCaptionRightDoubleClick(bool minimized);
  LRESULT OnExternalControl(WPARAM wp, LPARAM lp);
  LRESULT OnPowerBroadcast(WPARAM wp, LPARAM lp);
  void OnDropFiles(HDROP drop);
  bool VideoInMainWindow() const { return false; }
  songlist::SongList& List() { return *list_; }

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(HDC dc, const RECT& area) override;

 private:
  // songlist::ViewLink
  void RefreshTitle() override;
  void Repaint() override;
  void ScrollToCurrent() override {}
  // songlist::CdTrackSource: the audio CD tracks arrive with the CD support.
  std::vector<std::string> Tracks(const std::string& drive) override { return {}; }

  void RegisterCommands();
  void ListCommand(UINT id, std::function<void()> action);
  void OptionsFromSettings();
  void SettingsFromOptions();
  void DecideFirstList();
  void BuildListFont();
  void PlaceSlider();
  void OnTimer();
  app::PlayState PlayerState() const;

  TMyApp& app_;
  TMyFrame* frame_ = nullptr;
  app::Settings& settings_;  // the record the application object began to read
  app::OsGeneration osGeneration_ = app::OsGeneration::kWindowsNT4;
  bool endRequested_ = false;
  bool autoPlayPending_ = false;
  bool commandLineList_ = false;
  bool closeAfterPlay_ = false;
  std::string resumePath_;
  std::string startDirectory_;

  // The song list and its collaborators.
  std::unique_ptr<songlist::PlaybackLink> player_;
  songlist::Random random_;
  win32::WinCollator collator_;
  win32::WinCursor cursor_;
  win32::WinClipboard clipboard_{nullptr};
  win32::WinFileDialog dialog_{nullptr};
  songlist::SnfOptions snfOptions_;
  songlist::GatherOptions gatherOptions_;
  std::unique_ptr<songlist::SongList> list_;
  std::unique_ptr<songlist::SongFiles> songFiles_;
  std::unique_ptr<songlist::Gatherer> gatherer_;
  std::unique_ptr<songlist::ExitSequence> exit_;
  app::ExternalControl external_;
  app::PowerNotice power_;

  HFONT listFont_ = nullptr;
  SIZE cell_{0, 0};
  HWND listScroll_ = nullptr;
  wnd::Slider slider_;
  char messageBuffer_[1024] = {};
};
