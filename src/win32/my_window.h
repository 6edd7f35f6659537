// The main window: owns the song list, the player and every option; every
// command of the menu, keys, tool bar, system menu and play pod arrives here.
// It translates window messages into calls on the core. Its members are
// spread over files by purpose: my_window.cpp (start-up, its own window
// messages, the frame's hooks, the exit sequence), my_window_route.cpp (how
// a message travels), my_window_commands.cpp (the commands and their
// enabling rules), my_window_links.cpp (the list, the player and their
// links) and automation.cpp (the remote-control message).
#pragma once

#include "win32/wnd/win.h"

#include <functional>
#include <memory>
#include <string>

#include "app/command_route.h"
#include "app/commands.h"
#include "app/exit_sequence.h"
#include "app/external_control.h"
#include "app/settings.h"
#include "mpegaudio/mp3.h"
#include "playback/mp3_adapter.h"
#include "playback/mp3_link.h"
#include "playback/player.h"
#include "playback/player_view.h"
#include "songlist/audio_cd.h"
#include "songlist/gather.h"
#include "songlist/model.h"
#include "songlist/snf_commands.h"
#include "songlist/startup.h"
#include "ui/list_input.h"
#include "ui/option_dialogs.h"
#include "ui/play_pod.h"
#include "ui/status_text.h"
#include "win32/automation.h"
#include "win32/frame_client.h"
#include "win32/list_view.h"
#include "win32/my_thread.h"
#include "win32/play_pod.h"
#include "win32/shell_context.h"
#include "win32/win_mci.h"
#include "win32/win_picture.h"
#include "win32/win_midi.h"
#include "win32/win_platform.h"
#include "win32/win_player_env.h"
#include "win32/win_wallpaper.h"
#include "win32/wnd/frame.h"
#include "win32/wnd/slider.h"
#include "win32/wnd/window.h"

class TMyFrame;

class TMyWindow : public FrameClient,
                  private songlist::ViewLink,
                  private songlist::CdTrackSource,
                  private playback::PlayerView {
 public:
  explicit TMyWindow(ShellContext& shell);

  ~TMyWindow() override;

  void SetFrame(TMyFrame* frame) { frame_ = frame; }
  bool CreateChild(HWND parent) override;

  app::Settings& Settings() { return settings_; }
  const app::Settings& Settings() const { return settings_; }
  app::OsGeneration OsGeneration() const override { return osGeneration_; }
  bool EndRequested() const override { return endRequested_; }
  bool AutoPlayPending() const override { return autoPlayPending_; }
  void ClearAutoPlayPending() override { autoPlayPending_ = false; }
  // The state the enabling rules look at.
  app::CommandState Snapshot() const override;
  // wnd::CommandStates: the enabling rules and check marks.
  void BeginPass() override;
  void EndPass() override { batchSnapshot_.reset(); }
  bool Enabled(UINT id) override;
  bool Checked(UINT id, bool* checked) override;

  // The one way in for commands and control messages (my_window_route.cpp).
  bool Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
  void PostOwnCommand(UINT id) override;

  // Frame hooks.
  bool MayClose() override;
  void OnFrameMinimized() override;
  void OnFrameRestored() override;
  void OnFrameMaximizing() override;
  void OnFrameSized(bool minimized) override;
  void OnCaptionLeftDoubleClick() override;
  void OnCaptionRightDoubleClick(bool minimized) override;
  void OnDropFiles(HDROP drop);
  bool VideoInMainWindow() const override;
  POINT VideoMaxTrack() const override { return video_.MaxTrackSize(); }
  songlist::SongList& List() { return *list_; }

 protected:
  void SetupWindow() override;
  void CleanupWindow() override;
  void Paint(HDC dc, const RECT& area) override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // What the route does with a message whose turn has come.
  intptr_t Carry(const app::RoutedMessage& m);
  bool WaitsForList(const app::RoutedMessage& m) const;
  // A command by id: checkRule applies its enabling rule first.
  void RunCommand(UINT id, bool checkRule);
  // The handlers of the commands.
  void Execute(UINT id);
  // A command that changes the song list, with the dialogs' directories.
  void ListCommand(const std::function<void()>& action);
  // Returns whether anything changed that the caption or the list shows.
  bool OnExternalControl(WPARAM wp, LPARAM lp, LRESULT* reply);
  void OnPowerBroadcast(WPARAM wp);
  void OnScroll(WPARAM wp, LPARAM lp);
  // The caption, the list and the bars after a command.
  void Refresh();
  // songlist::ViewLink and playback::PlayerView (shared names meet here).
  void RefreshTitle() override;
  void Repaint() override;
  void ScrollToCurrent() override;
  // songlist::CdTrackSource: the start-up list of a bare drive.
  std::vector<std::string> Tracks(const std::string& drive) override;
  songlist::AudioCdLinks CdLinks();
  // playback::PlayerView
  void RedrawList() override { Repaint(); }
  bool ListDragging() override;
  void ListHousekeeping() override;
  void SetVideoInList(bool video) override;
  void SetTrackText(const std::string& text) override;
  bool StatusBarShown() override;
  void SetTimeText(const std::string& text) override;
  void SetSliderRange(int32_t max, int32_t page) override;
  void SetSliderPosition(int32_t pos) override;
  void RedrawSlider() override;
  bool DialogOpen() override { return sliderControl_.dialogOpen; }
  bool FramePainted() override;
  void PostCommand(uint16_t id) override;
  void PostNotify(uint32_t code) override;
  void ChangeWallpaper() override;
  void EndProgram() override;

  void OptionsFromSettings();
  void SettingsFromOptions();
  void DecideFirstList();
  void BuildListFont();
  void PlaceSlider();
  // Shows or hides the bars after the window customisation dialog.
  void ApplyWindowOptions(const ui::WindowOptions& before);
  void OnSlider(int code, int position);
  app::PlayState PlayerState() const;

  // A double-click on the pod's caption, posted to this window.
  static constexpr UINT kShowFrameMessage = WM_APP + 0x51;

  ShellContext& shell_;
  TMyFrame* frame_ = nullptr;
  app::Settings& settings_;  // the record the application object began to read
  app::OsGeneration osGeneration_ = app::OsGeneration::kWindowsNT4;
  bool endRequested_ = false;
  bool autoPlayPending_ = false;
  bool commandLineList_ = false;
  std::string resumePath_;
  std::string startDirectory_;

  // Platform services.
  songlist::Random random_;
  win32::WinCollator collator_;
  win32::WinCursor cursor_;
  win32::WinClipboard clipboard_{nullptr};
  win32::WinFileDialog dialog_{nullptr};
  win32::WinPictureMci mci_;
  WinMidiOut midi_;
  WinDrives drives_;
  WinClock clock_;
  WinVideoWindow video_{nullptr, nullptr};
  win32::WinWallpaper wallpaper_;
  mpegaudio::TMP3 decoder_;
  std::unique_ptr<win32::Mp3Output> mp3Output_;
  std::unique_ptr<playback::Mp3Player> mp3_;

  // The song list, the player and the list view.
  class PlaybackForwarder;
  std::unique_ptr<PlaybackForwarder> forward_;
  songlist::SnfOptions snfOptions_;
  songlist::GatherOptions gatherOptions_;
  std::unique_ptr<songlist::SongList> list_;
  std::unique_ptr<playback::Player> player_;
  std::unique_ptr<songlist::SongFiles> songFiles_;
  std::unique_ptr<songlist::Gatherer> gatherer_;
  std::unique_ptr<songlist::ExitSequence> exit_;
  class ExitLink;
  app::ExitOrder exitOrder_;
  class VideoLink;
  std::unique_ptr<VideoLink> videoLink_;
  std::unique_ptr<win32::ListView> listView_;
  class SliderLink;
  std::unique_ptr<SliderLink> sliderLink_;
  ui::SliderControl sliderControl_;
  playback::SliderEvent sliderEvent_ = playback::SliderEvent::kPageStep;
  app::CommandRoute route_{[this](const app::RoutedMessage& m) { return Carry(m); },
                          [this](const app::RoutedMessage& m) { return WaitsForList(m); }};
  bool wakePosted_ = false;
  win32::PingMarker ping_;
  std::string caption_;  // the caption last set
  app::ExternalControl external_;
  class ControlView;  // what remote controls may read
  uint32_t lastRemotePosition_ = 0;
  app::PowerNotice power_;

  HFONT listFont_ = nullptr;
  HWND listScroll_ = nullptr;
  wnd::Slider slider_;
  bool videoInList_ = false;
  // The state taken once for a pass over all enablers (menu and tool bar).
  std::unique_ptr<app::CommandState> batchSnapshot_;

  // The play pod; its windows go first, while the settings they store into live.
  class PodLink;
  std::unique_ptr<PodLink> podLink_;
  std::unique_ptr<ui::PlayPod> pod_;
  std::unique_ptr<TMyFloat> podFrame_;
};
