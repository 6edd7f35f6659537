#include "win32/my_window.h"

#include <ctime>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/frame_rules.h"
#include "app/manual.h"
#include "app/startup.h"
#include "desktop/capture.h"
#include "desktop/wallpaper.h"
#include "text/sjis.h"
#include "win32/font_dialog.h"
#include "win32/slider_thumb.h"
#include "win32/win_screen.h"
#include "win32/midi_dialog.h"
#include "win32/my_app.h"
#include "win32/my_frame.h"
#include "win32/option_dialogs.h"
#include "win32/time_dialog.h"
#include "win32/win_capture.h"
#include "win32/win_help.h"
#include "win32/wp_dialog.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

// The song list is built before the player it talks to; this forwards its
// playback calls once the player exists.
class TMyWindow::PlaybackForwarder : public songlist::PlaybackLink {
 public:
  songlist::PlaybackLink* target = nullptr;
  int32_t State() override { return target->State(); }
  void SetState(int32_t s) override { target->SetState(s); }
  bool QueryPosition(uint32_t* ms) override { return target->QueryPosition(ms); }
  void Stop() override { target->Stop(); }
  void Play() override { target->Play(); }
  void SetWaiting(bool w) override { target->SetWaiting(w); }
  void ClearCachedLength() override { target->ClearCachedLength(); }
  bool NextPlayable() override { return target->NextPlayable(); }
  bool RandomPlay() override { return target->RandomPlay(); }
  bool RepeatAll() override { return target->RepeatAll(); }
};

// The list's mouse and keys reach video playback through this.
class TMyWindow::VideoLink : public ui::VideoHook {
 public:
  explicit VideoLink(playback::Device& d) : d_(d) {}
  bool ShownInMain() override { return d_.VideoInMain(); }
  bool Open() override { return d_.IsOpen() && d_.Flags().video; }
  bool OpenInDedicated() override { return d_.VideoInDedicated(); }
  void StepBack() override { d_.StepFrame(false); }
  void StepForward() override { d_.StepFrame(true); }
  void AspectFit(bool dedicated) override { d_.AspectFit(dedicated); }
  void FitVideo(bool dedicated) override { d_.FitVideo(1); }

 private:
  playback::Device& d_;
};

// The position slider's notifications, routed to the player.
class TMyWindow::SliderLink : public ui::SliderTarget {
 public:
  SliderLink(TMyWindow& w) : w_(w) {}
  void FocusMainWindow() override { SetFocus(w_.Handle()); }
  bool StillPictureOpen() override {
    playback::Device& d = w_.player_->device();
    return d.IsOpen() && d.Flags().still;
  }
  void SeekTo(int32_t value) override { w_.player_->OnSlider(w_.sliderEvent_, value); }

 private:
  TMyWindow& w_;
};


// The pod's windows as the pod's rules ask for them.
class TMyWindow::PodLink : public ui::PodWindows {
 public:
  explicit PodLink(TMyWindow& w) : w_(w) {}
  bool CreatePod(bool topmost) override {
    HWND frame = w_.frame_->Handle();
    auto pod = std::make_unique<TMyFloat>(frame, w_);
    pod->Tool().onCleanup = [this](int x, int y) {
      ui::StorePodPosition(x, y, win32::WorkAreas(), &w_.settings_);
    };
    // Posted: the pod may be taken down by the restore it asks for.
    pod->onCaptionDoubleClick = [this] { PostMessageW(w_.hwnd_, kShowFrameMessage, 0, 0); };
    w_.podFrame_ = std::move(pod);
    if (!w_.podFrame_->CreatePod(w_.settings_.px, w_.settings_.py, topmost)) {
      w_.podFrame_.reset();
      return false;
    }
    return true;
  }
  void RemovePod() override { w_.podFrame_.reset(); }
  bool PodExists() const override { return w_.podFrame_ != nullptr; }
  void SetPodTopmost(bool topmost) override { w_.podFrame_->SetTopmost(topmost); }

  static constexpr UINT kShowFrameMessage = WM_APP + 0x51;

 private:
  TMyWindow& w_;
};

TMyWindow::TMyWindow(TMyApp& app) : app_(app), settings_(app.SettingsRef()) {
  osGeneration_ = app::DecideOsGeneration(GetVersion());
  // Where the process starts; it moves to the Windows directory only in SetupWindow.
  resumePath_ = app::ResumeFilePath(app_.Files().CurrentDirectory());
  // MP3 files play from a decoding thread; where the platform has none
  // (Win32s) the device's done messages refill the buffers.
  const bool thread = app::HasDecodingThread(osGeneration_);
  mp3Output_ = std::make_unique<win32::Mp3Output>(
      decoder_, app_.Files(), thread ? mpegaudio::RefillMode::kThread : mpegaudio::RefillMode::kMessage);
  mp3_ = std::make_unique<playback::DecoderMp3Player>(app_.Files(), decoder_, mp3Output_->Control());
  forward_ = std::make_unique<PlaybackForwarder>();
  songlist::ListLinks links{forward_.get(), this, &collator_, &random_};
  list_ = std::make_unique<songlist::SongList>(links);
  playback::PlayerLinks pl{{&mci_, &app_.Notifier(), &app_.Files(), &drives_, &video_, &midi_,
                            mp3_.get(), this, list_.get(), &settings_},
                           &clock_,
                           &random_,
                           &cursor_,
                           {osGeneration_, resumePath_, [this](const std::string& p) {
                              return gatherer_->ChangeDirectory(p);
                            }}};
  player_ = std::make_unique<playback::Player>(pl);
  forward_->target = player_->link();
  songFiles_ = std::make_unique<songlist::SongFiles>(*list_, app_.Files(), app_.Notifier(),
                                                     dialog_, snfOptions_);
  gatherer_ = std::make_unique<songlist::Gatherer>(*list_, *songFiles_, app_.Files(),
                                                   app_.Notifier(), dialog_, cursor_,
                                                   gatherOptions_);
  exit_ = std::make_unique<songlist::ExitSequence>(*songFiles_, *list_);
  videoLink_ = std::make_unique<VideoLink>(player_->device());
  listView_ = std::make_unique<win32::ListView>(*list_, app_.Notifier(), videoLink_.get());
  listView_->playHook = [this] {
    LRESULT r;
    Route(WM_COMMAND, CM_PLAY, 0, &r);
  };
  sliderLink_ = std::make_unique<SliderLink>(*this);
  podLink_ = std::make_unique<PodLink>(*this);
  pod_ = std::make_unique<ui::PlayPod>(settings_, *podLink_);
}

TMyWindow::~TMyWindow() {
  if (listFont_) DeleteObject(listFont_);
}

bool TMyWindow::CreateChild(HWND parent) {
  return Create(L"CorvellaWindow", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
                0, 0, 100, 100, parent, nullptr, nullptr, CS_DBLCLKS);
}

bool TMyWindow::Checked(UINT id, bool* checked) {
  for (const auto& mc : app::MenuChecks(settings_)) {
    if (mc.first == id) {
      *checked = mc.second;
      return true;
    }
  }
  return false;
}

app::PlayState TMyWindow::PlayerState() const {
  return static_cast<app::PlayState>(player_->link()->State());
}

bool TMyWindow::VideoInMainWindow() const {
  const playback::Player& p = *player_;
  return p.device().VideoInMain();
}

app::CommandState TMyWindow::Snapshot() const {
  app::CommandState s;
  const songlist::SongList& l = *list_;
  const playback::Player& p = *player_;
  s.count = l.Count();
  s.selected = l.SelectedCount();
  s.state = PlayerState();
  s.waiting = p.sequencer().Waiting();
  s.hasSongNameFile = l.Tied();
  s.undoExists = l.UndoAvailable();
  s.videoInMain = p.device().VideoInMain();
  s.videoInDedicated = p.device().VideoInDedicated();
  s.stillImage = p.device().IsOpen() && p.device().Flags().still;
  s.randomPlay = settings_.shuffle;
  s.repeatOne = settings_.repeat1;
  s.repeatAll = settings_.repeat2;
  s.dedicatedWindowOption = settings_.aviDisp;
  s.podOption = settings_.controlPad;
  s.clipboardHasText =
      IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
  s.clipboardHasFiles = IsClipboardFormatAvailable(CF_HDROP);
  if (l.Count() > 0 && l.Focus() >= 0 && l.Focus() < l.Count()) {
    s.focusedExtension = text::Extension(l.PathAt(l.Focus()));
  }
  s.nextAvailable = p.sequencer().NextAvailable();
  s.previousAvailable = p.sequencer().PreviousAvailable();
  return s;
}

bool TMyWindow::Enabled(UINT id) {
  const uint16_t cmd = static_cast<uint16_t>(id);
  return batchSnapshot_ ? app::IsCommandEnabled(cmd, *batchSnapshot_)
                        : app::IsCommandEnabled(cmd, Snapshot());
}

void TMyWindow::BeginPass() {
  batchSnapshot_ = std::make_unique<app::CommandState>(Snapshot());
}

void TMyWindow::OptionsFromSettings() {
  // The old dialogs on every 3.x-style platform, NT 3.x included.
  const bool oldStyle = !app::IsNewShell(osGeneration_);
  snfOptions_.explorerStyle = !oldStyle;
  snfOptions_.win32s = osGeneration_ == app::OsGeneration::kWin32s;
  snfOptions_.caseMode = settings_.strupr;
  snfOptions_.snfDirectory = settings_.snfDirectory;
  gatherOptions_.explorerStyle = !oldStyle;
  gatherOptions_.caseMode = settings_.strupr;
  gatherOptions_.filterIndex = settings_.filterIndex;
  gatherOptions_.lastDirectory = settings_.directory;
}

void TMyWindow::SettingsFromOptions() {
  settings_.snfDirectory = snfOptions_.snfDirectory;
  settings_.filterIndex = gatherOptions_.filterIndex;
  settings_.directory = gatherOptions_.lastDirectory;
}

void TMyWindow::SetupWindow() {
  // Whatever arrives before the first list is decided waits for it.
  app::CommandRoute::Scope settingUp(route_);
  // Critical-error boxes of the platform stay off while the window lives.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  random_.Seed(static_cast<uint32_t>(std::time(nullptr)));
  app_.Notifier().SetOwner(hwnd_);
  clipboard_.SetOwner(hwnd_);
  dialog_.SetOwner(hwnd_);
  mci_.SetNotifyWindow(hwnd_);
  mp3Output_->SetUp(hwnd_);
  // The media drivers stay loaded for the life of the window: Wine unloads a
  // driver when its last device closes while the driver's own play thread
  // may still be running, which crashes on quick stop-and-play sequences.
  for (const wchar_t* driver : {L"mciwave.drv", L"mciavi32.dll", L"mciseq.drv", L"mcicda.dll",
                                L"mciqtz32.dll", L"mciwave.dll", L"mciseq.dll"}) {
    LoadLibraryW(driver);
  }
  video_.SetWindows(GetParent(hwnd_), hwnd_);

  platform::FileSystem& fs = app_.Files();

  app::SettingsFile& file = app_.SettingsFileRef();
  if (app::CheckSettingsVersion(&file.profile())) file.Save();
  app::ReportUnreadableSettings(file, app_.Notifier());
  app::ReadWindowSettings(file.profile(), fs.CurrentDirectory(), win32::WorkAreas(), &settings_);
  OptionsFromSettings();

  // The process works in the Windows directory from here on; command-line
  // paths are still taken relative to where it started.
  startDirectory_ = fs.CurrentDirectory();
  fs.SetCurrentDirectory(fs.WindowsDirectory());
  // Change at start, as soon as the settings are known; a bare wallpaper
  // name is found in the Windows directory, where the process now is.
  if (settings_.autoWp) ChangeWallpaper();

  BuildListFont();
  listScroll_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_HORZ, 0, 0, 10, 10, hwnd_,
                                reinterpret_cast<HMENU>(IDC_LISTSCROLL), GetModuleHandleW(nullptr),
                                nullptr);
  listView_->Attach(hwnd_, listScroll_);
  listView_->Measure(listFont_, settings_);
  slider_.Create(hwnd_, IDC_SLIDER, 0, 0, 100, 20);

  DecideFirstList();
  if (endRequested_) {
    route_.Discard();
    return;
  }
  RefreshTitle();

  slider_.SetRange(0, app::kSliderRange);
  slider_.SetPosition(0);
  if (settings_.slider) slider_.Show(true);

  SetTimer(hwnd_, IDT_MAIN, app::kMainTimerPeriod, nullptr);
  pod_->Start(app::IsMinimizedShowState(app_.ShowState()));
}

void TMyWindow::DecideFirstList() {
  app::CommandLine cl = app::ParseCommandLine(app_.CommandLine());
  for (std::string& path : cl.paths) path = app::ResolveArgument(path, startDirectory_);
  songlist::StartupSettings ss;
  ss.initLoad = settings_.initLoad;
  ss.initLoadFile = settings_.initLoadFile;
  ss.initShuffle = settings_.initShuffle;
  ss.initPlay = settings_.initPlay;
  ss.win32s = osGeneration_ == app::OsGeneration::kWin32s;
  songlist::StartupList startup(*list_, *songFiles_, *gatherer_, app_.Files(), app_.Notifier(),
                                *this);
  songlist::StartupResult r = cl.hasArguments
                                  ? startup.FromCommandLine(cl.closeOption, cl.paths, ss)
                                  : startup.FromSavedState(ss, resumePath_);
  SettingsFromOptions();
  endRequested_ = r.endProgram;
  commandLineList_ = r.fromCommandLine;
  player_->sequencer().SetCloseAfterPlay(r.closeAfterPlay);
  autoPlayPending_ = r.autoPlay;
}

void TMyWindow::CleanupWindow() {
  route_.Discard();
  KillTimer(hwnd_, IDT_MAIN);
  if (frame_ && frame_->Handle()) DragAcceptFiles(frame_->Handle(), FALSE);
  SetErrorMode(0);
}

void TMyWindow::BuildListFont() {
  if (listFont_) DeleteObject(listFont_);
  HDC dc = GetDC(hwnd_);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(hwnd_, dc);
  auto make = [&]() {
    return CreateFontW(app::FontHeight(dpi, settings_.fontSize), 0, 0, 0, settings_.bold,
                       settings_.italic, FALSE, FALSE, static_cast<BYTE>(settings_.charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Wide(settings_.faceName).c_str());
  };
  listFont_ = make();
  // The platform quietly substitutes another face for a missing one; the
  // list then falls back to the known one instead.
  if (listFont_ && !win32::FontFaceExists(settings_.faceName)) {
    DeleteObject(listFont_);
    listFont_ = nullptr;
  }
  if (!listFont_) {
    app::ApplyFontFallback(&settings_);
    listFont_ = make();
  }
}

void TMyWindow::PlaceSlider() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  ui::SliderPlacement p = ui::PlaceSlider(settings_.slider, rc.right, rc.bottom);
  if (p.shown) {
    slider_.Move(p.slider.left, p.slider.top, p.slider.right - p.slider.left,
                 p.slider.bottom - p.slider.top);
    slider_.Show(true);
  } else {
    slider_.Show(false);
  }
}

void TMyWindow::ApplyWindowOptions(const ui::WindowOptions& before) {
  HWND frame = frame_->Handle();
  SetMenu(frame, settings_.menuBar ? frame_->MenuHandle() : nullptr);
  DrawMenuBar(frame);
  frame_->ShowToolBar(settings_.controlBar);
  frame_->ShowStatusBar(settings_.statusBar);
  frame_->Layout();
  const ui::WindowRelayout r = ui::WindowRelayoutAfter(
      before, ui::WindowOptionsOf(settings_), videoInList_, settings_.aviSize, IsZoomed(frame) != FALSE);
  listView_->ApplySettings(settings_);
  if (r.repaintWindow) {
    PlaceSlider();
    // The picture area shrinks when the slider comes and grows when it goes.
    if (r.resizeVideoToClient) player_->OnSliderShown(settings_.slider);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  if (r.fitVideo) {
    player_->device().FitVideo(1);
  } else if (r.repaintList) {
    Repaint();
  }
}

void TMyWindow::Paint(HDC dc, const RECT& area) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  win32::ListView::PaintSliderLine(dc, settings_.slider, rc.right, rc.bottom);
  if (videoInList_) {
    player_->OnPaint();
    return;
  }
  listView_->Paint(dc);
}

// ---- views of the list and the player ----

void TMyWindow::RefreshTitle() {
  if (!frame_ || !frame_->Handle()) return;
  const songlist::SongList& l = *list_;
  std::string path = l.Count() > 0 ? l.PathAt(l.Current()) : "";
  std::string caption = ui::CaptionText(l.Count() == 0, path,
                                        static_cast<ui::PlayState>(PlayerState()),
                                        player_->sequencer().Waiting(), settings_.strupr);
  // Every command refreshes the caption; the frame is told only of a change.
  if (caption == caption_) return;
  caption_ = caption;
  SetWindowTextW(frame_->Handle(), Wide(caption).c_str());
}

void TMyWindow::Repaint() {
  if (hwnd_) listView_->Repaint();
}

void TMyWindow::ScrollToCurrent() {
  if (hwnd_) listView_->ScrollToCurrent();
}

bool TMyWindow::ListDragging() {
  return listView_->Input().LeftDragging() || listView_->Input().RightDragging();
}

void TMyWindow::ListHousekeeping() { listView_->OnTimer(); }

void TMyWindow::SetVideoInList(bool video) {
  videoInList_ = video;
  if (video) ShowWindow(listScroll_, SW_HIDE);
  Repaint();
}

void TMyWindow::SetTrackText(const std::string& text) { frame_->SetMessageText(Wide(text)); }

bool TMyWindow::StatusBarShown() { return frame_->StatusBarVisible(); }

void TMyWindow::SetTimeText(const std::string& text) { frame_->SetTimeText(Wide(text)); }

void TMyWindow::SetSliderRange(int32_t max, int32_t page) {
  slider_.SetRange(0, max);
  slider_.SetPageSize(page);
}

void TMyWindow::SetSliderPosition(int32_t pos) {
  // The timer sets the position every tick; only a real move is drawn. The
  // thumb bitmap is wider than the control's own thumb, so all of it is.
  if (slider_.Position() == pos) return;
  slider_.SetPosition(pos);
  RedrawSlider();
}

void TMyWindow::RedrawSlider() { InvalidateRect(slider_.Handle(), nullptr, TRUE); }

bool TMyWindow::FramePainted() { return frame_ && frame_->Painted(); }

void TMyWindow::PostCommand(uint16_t id) { PostOwnCommand(id); }

void TMyWindow::PostNotify(uint32_t code) { PostMessageW(hwnd_, MM_MCINOTIFY, code, 0); }

void TMyWindow::EndProgram() {
  // The program ends through the frame's normal close, with exit code 0.
  PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0);
}

void TMyWindow::OnSlider(int code, int position) {
  switch (code) {
    case ui::kSbThumbTrack: sliderEvent_ = playback::SliderEvent::kThumbTrack; break;
    case ui::kSbEndScroll: sliderEvent_ = playback::SliderEvent::kEndScroll; break;
    default: sliderEvent_ = playback::SliderEvent::kPageStep; break;
  }
  sliderControl_.OnNotify(*sliderLink_, code, position);
  RedrawSlider();  // the user moved the thumb: see SetSliderPosition
}

// ---- how a message travels ----

// A command of the program's own (posted by playback, auto-play and the
// pod's rules): it takes its turn on the route but skips the enabling rules,
// which are for what the user and other programs ask.
static const UINT kOwnCommandMessage = WM_APP + 0x50;
static const UINT kWakeMessage = WM_APP + 0x52;
// A marker for automation: posted with a nonzero wParam it is remembered once
// everything posted or queued before it has been carried out; sent with 0 it
// answers the last one remembered. (A sent message overtakes posted ones.)
static const UINT kPingMessage = RegisterWindowMessageW(L"Corvella.Ping");

bool TMyWindow::Route(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  *result = 0;
  if (!hwnd_) return false;  // not yet made, or gone
  app::RoutedMessage m{msg, wp, lp};
  switch (msg) {
    case WM_COMMAND:
      m.wParam = LOWORD(wp);
      m.lParam = 0;
      break;
    case WM_APPCOMMAND: {
      const uint16_t id = app::CommandForAppCommand(GET_APPCOMMAND_LPARAM(lp));
      if (id == 0) return false;  // passed on to the shell
      m = {WM_COMMAND, id, 0};
      break;
    }
    case WM_HOTKEY: {
      const uint16_t id = app::CommandForMediaKey(HIWORD(lp));
      if (id == 0) return false;
      m = {WM_COMMAND, id, 0};
      break;
    }
    case WM_USER:
      if (app::ExternalControl::AnswersAtOnce(lp)) {
        OnExternalControl(wp, lp, result);
        return true;
      }
      break;
    case WM_HSCROLL:
    case WM_POWERBROADCAST:
    case WM_DROPFILES:
    case kOwnCommandMessage:
      break;
    case kWakeMessage:
      // Only a message loop takes this: the main one once the work is over
      // and the queue is empty, or the loop of a dialog or message box that
      // the work shows. Then the work waits for the user, and what waits for
      // it is carried out now, as it always was.
      wakePosted_ = false;
      route_.CarryQueuedNow();
      return true;
    default:
      if (msg != kPingMessage || msg == 0) return false;
      if (wp == 0) {
        *result = static_cast<LRESULT>(lastPing_);
        return true;
      }
      break;
  }
  *result = route_.Submit(m);
  if (msg == WM_APPCOMMAND) *result = TRUE;
  if (route_.Pending() > 0 && !wakePosted_) {
    wakePosted_ = PostMessageW(hwnd_, kWakeMessage, 0, 0) != FALSE;
  }
  return true;
}

void TMyWindow::PostOwnCommand(UINT id) { PostMessageW(hwnd_, kOwnCommandMessage, id, 0); }

intptr_t TMyWindow::Carry(const app::RoutedMessage& m) {
  LRESULT result = 0;
  bool refresh = true;
  switch (m.message) {
    case WM_COMMAND:
      RunCommand(static_cast<UINT>(m.wParam), true);
      break;
    case kOwnCommandMessage:
      RunCommand(static_cast<UINT>(m.wParam), false);
      break;
    case WM_USER:
      refresh = OnExternalControl(m.wParam, m.lParam, &result);
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(m.wParam);
      break;
    case WM_HSCROLL:
      OnScroll(m.wParam, m.lParam);
      refresh = false;
      break;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(m.wParam));
      break;
    default:  // the ping
      lastPing_ = m.wParam;
      refresh = false;
      break;
  }
  if (refresh) Refresh();
  return result;
}

bool TMyWindow::WaitsForList(const app::RoutedMessage& m) const {
  if (!list_->Busy()) return false;
  switch (m.message) {
    case WM_COMMAND:
    case kOwnCommandMessage:
      return app::WaitsForListWork(static_cast<uint16_t>(m.wParam));
    case WM_USER:
      return app::ExternalControl::ChangesList(m.lParam);
    case WM_DROPFILES:
      return true;
    default:
      return false;
  }
}

void TMyWindow::RunCommand(UINT id, bool checkRule) {
  if (id == CM_PLAYPAUSE) id = app::ResolvePlayPause(Snapshot());
  if (checkRule && !Enabled(id)) return;
  Execute(id);
}

void TMyWindow::Refresh() {
  RefreshTitle();
  Repaint();
  // A message sent by another program leaves the loop waiting, with no idle pass.
  if (frame_) frame_->IdleAction();
}

class TMyWindow::ControlView : public app::ExternalControl::View {
 public:
  explicit ControlView(TMyWindow& w) : w_(w) {}
  int Count() override { return w_.list_->Count(); }
  int Current() override { return w_.list_->Current(); }
  std::string CurrentPath() override { return w_.list_->PathAt(w_.list_->Current()); }
  uint32_t PositionMs() override {
    playback::Device& d = w_.player_->device();
    if (!d.IsOpen()) return w_.lastRemotePosition_ = 0;
    // A question that arrives while a device opens or closes must not call
    // into that device halfway: it hears the last position read.
    uint32_t ms = 0;
    int32_t second = 0;
    if (!w_.route_.Busy() && d.Position(&ms, &second)) w_.lastRemotePosition_ = ms;
    return w_.lastRemotePosition_;
  }
  uint32_t LengthMs() override {
    playback::Device& d = w_.player_->device();
    return d.IsOpen() ? d.Length() : 0;
  }
  bool Waiting() override { return w_.player_->sequencer().Waiting(); }
  app::CommandState Commands() override { return w_.Snapshot(); }

 private:
  TMyWindow& w_;
};

bool TMyWindow::OnExternalControl(WPARAM wp, LPARAM lp, LRESULT* reply) {
  if (app::ExternalControl::ReadsView(lp)) {
    ControlView view(*this);
    *reply = app::ExternalControl::Answer(lp, wp, view);
    return false;
  }
  app::ExternalControl::Result r = external_.Handle(
      static_cast<intptr_t>(lp), static_cast<uintptr_t>(wp), PlayerState(),
      list_->Count() >= songlist::kMaxEntries);
  *reply = r.reply;
  switch (r.action) {
    case app::ExternalControl::Action::kAppendEntry:
      songlist::AppendExternalName(*list_, r.name);
      return true;
    case app::ExternalControl::Action::kClearList:
      songlist::ClearFromExternal(*list_);
      return true;
    case app::ExternalControl::Action::kPlay:
      RunCommand(CM_PLAY, true);
      return true;
    case app::ExternalControl::Action::kNone:
      break;
  }
  return false;
}

void TMyWindow::OnPowerBroadcast(WPARAM wp) {
  switch (power_.OnEvent(static_cast<uint32_t>(wp), PlayerState())) {
    case app::PowerNotice::Action::kPause:
      RunCommand(CM_PAUSE, true);
      break;
    case app::PowerNotice::Action::kPlay:
      RunCommand(CM_PLAY, true);
      break;
    case app::PowerNotice::Action::kNone:
      break;
  }
}

void TMyWindow::OnScroll(WPARAM wp, LPARAM lp) {
  HWND from = reinterpret_cast<HWND>(lp);
  if (from == slider_.Handle()) {
    OnSlider(LOWORD(wp), slider_.Position());
  } else if (from == listScroll_) {
    listView_->OnScrollBar(LOWORD(wp));
  }
}

LRESULT TMyWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT routed = 0;
  if (Route(msg, wp, lp, &routed)) return routed;
  const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  switch (msg) {
    case WM_SIZE: {
      const int w = LOWORD(lp), h = HIWORD(lp);
      PlaceSlider();
      listView_->OnSize(w, h);
      player_->OnMainWindowSized(w, h);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_NOTIFY: {
      const auto* h = reinterpret_cast<const NMHDR*>(lp);
      if (h->hwndFrom == slider_.Handle() && h->code == NM_CUSTOMDRAW) {
        return win32::DrawSliderThumb(*reinterpret_cast<const NMCUSTOMDRAW*>(lp));
      }
      return 0;
    }
    case WM_TIMER:
      if (wp == IDT_MAIN) {
        // Playback work: what arrives meanwhile waits for its end.
        app::CommandRoute::Scope playing(route_);
        player_->OnTimer();
      }
      return 0;
    case MM_MCINOTIFY: {
      app::CommandRoute::Scope playing(route_);
      // A late report of a device closed already (a song just replaced by the
      // next) is not about the song now playing.
      const auto code = static_cast<uint32_t>(wp);
      if (!player_->device().NoticeIsCurrent(code, static_cast<platform::MciDevice>(lp))) return 0;
      player_->OnNotify(code);
      RefreshTitle();
      return 0;
    }
    case MM_WOM_OPEN:
      return mp3Output_->Control().EvWomOpen();
    case MM_WOM_DONE:
      return mp3Output_->Control().EvWomDone();
    case MM_WOM_CLOSE:
      return mp3Output_->Control().EvWomClose();
    case PodLink::kShowFrameMessage:
      // A double-click on the pod's caption brings the frame back in its normal state.
      ShowWindow(frame_->Handle(), SW_HIDE);
      ShowWindow(frame_->Handle(), SW_SHOWNORMAL);
      return 0;
    case WM_LBUTTONDOWN:
      if (!list_->Busy()) listView_->OnLeftDown(x, y);
      return 0;
    case WM_LBUTTONUP:
      listView_->OnLeftUp(x, y);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (!list_->Busy()) listView_->OnLeftDoubleClick(x, y);
      return 0;
    case WM_RBUTTONDOWN:
      if (!list_->Busy()) listView_->OnRightDown(x, y, (wp & MK_SHIFT) != 0);
      return 0;
    case WM_RBUTTONUP:
      listView_->OnRightUp(x, y);
      return 0;
    case WM_RBUTTONDBLCLK:
      if (!list_->Busy()) listView_->OnRightDoubleClick(x, y);
      return 0;
    case WM_MOUSEMOVE:
      listView_->OnMouseMove(x, y);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd_) listView_->OnCaptureLost();
      return 0;
    default:
      return wnd::Window::WndProc(msg, wp, lp);
  }
}

// ---- the commands ----

void TMyWindow::ListCommand(const std::function<void()>& action) {
  // A list operation halfway holds these on the route, so none is dropped.
  OptionsFromSettings();
  action();
  SettingsFromOptions();
}

void TMyWindow::Execute(UINT id) {
  const uint16_t cmd = static_cast<uint16_t>(id);
  // Playback and the video options, the list keys (Left and Right step a
  // paused video first) and the play pod each know their own commands.
  if (player_->OnCommand(cmd) || listView_->OnCommand(cmd) || pod_->OnCommand(cmd)) return;
  switch (app::ToggleOption(cmd, &settings_)) {
    case app::OptionToggle::kNotAToggle:
      break;
    case app::OptionToggle::kFlipped:
      return;
    case app::OptionToggle::kTopmost:
      SetWindowPos(frame_->Handle(), settings_.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                   0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    case app::OptionToggle::kMediaKeys:
      frame_->HoldMediaKeys(settings_.mediaKeys);
      return;
  }
  switch (id) {
    case CM_MIDIRESET: {
      ui::DialogOpenScope open(sliderControl_);
      playback::MidiResetSettings copy = player_->ResetSettings();
      if (TMidiDialog(&copy).Execute(hwnd_) == IDOK) player_->SetResetSettings(copy);
      break;
    }
    case CM_SAVEAVI: {
      ui::DialogOpenScope open(sliderControl_);
      win32::WinCaptureScreen screen(hwnd_, slider_.Handle());
      int cur = list_->Current();
      std::string entry = cur >= 0 && cur < list_->Count() ? list_->PathAt(cur) : "";
      desktop::SaveVideoFrame({&screen, &app_.Files(), &dialog_, &app_.Notifier(), &cursor_},
                              entry, app::IsNewShell(osGeneration_), &settings_.aviDirectory);
      break;
    }

    // The song list and its files.
    case CM_MARKSKIP:
      ListCommand([this] { list_->MarkSelected(songlist::kMarkSkipped); });
      break;
    case CM_MARKPLAY:
      ListCommand([this] { list_->MarkSelected(0); });
      break;
    case CM_DELETE:
      ListCommand([this] { list_->DeleteSelected(); });
      break;
    case CM_UNDO:
      ListCommand([this] { list_->Undo(); });
      break;
    case CM_SELECTALL:
      ListCommand([this] { list_->SelectAll(); });
      break;
    case CM_SHUFFLE:
      ListCommand([this] {
        list_->Shuffle();
        ScrollToCurrent();
      });
      break;
    case CM_SORT:
      ListCommand([this] {
        list_->SortAlphabetical();
        ScrollToCurrent();
      });
      break;
    case CM_SNFLOAD:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        songFiles_->Load();
      });
      break;
    case CM_SNFSAVE:
      ListCommand([this] { songFiles_->OverwriteSave(); });
      break;
    case CM_SNFSAVEAS:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        songFiles_->SaveAs();
      });
      break;
    case CM_FILEOPEN:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        gatherer_->ChooseFiles();
      });
      break;
    case CM_DIRECTORY:
      ListCommand([this] {
        ui::DialogOpenScope open(sliderControl_);
        gatherer_->ChooseDirectory();
      });
      break;
    case CM_COPY:
      ListCommand([this] {
        app::CommandState s = Snapshot();
        desktop::CopyAction action = desktop::CopyActionFor(
            s.videoInMain, s.state == app::PlayState::kPaused || s.stillImage);
        if (action == desktop::CopyAction::kNothing) return;
        if (action == desktop::CopyAction::kFrame) {
          win32::WinCaptureScreen screen(hwnd_, slider_.Handle());
          desktop::CopyVideoFrame(screen, clipboard_, app_.Notifier(), cursor_,
                                  (GetKeyState(VK_CONTROL) & 0x8000) != 0, settings_.topmost);
          return;
        }
        const app::CopyForm form =
            app::CopyFormFor((GetKeyState(VK_CONTROL) & 0x8000) != 0, osGeneration_);
        gatherer_->Copy(clipboard_, form.fileList, form.ntFamily);
      });
      break;
    case CM_PASTE:
      ListCommand([this] { gatherer_->Paste(clipboard_); });
      break;
    case CM_AUDIOCD:
      // CD entries sit under the drive the resume file lives on.
      ListCommand([this] {
        songlist::OpenAudioCd(*list_, CdLinks(), resumePath_.substr(0, 3));
      });
      break;

    // The option dialogs.
    case CM_INTERVALDLG: {
      ui::DialogOpenScope open(sliderControl_);
      TTimeDialog(&settings_.interval).Execute(hwnd_);
      break;
    }
    case CM_AUTOPLAYDLG: {
      ui::DialogOpenScope open(sliderControl_);
      bool explorer = app::IsNewShell(osGeneration_);
      desktop::RunInWallpaperDirectory(app_.Files(), &settings_.snfDirectory, [&] {
        TInitLoadDialog(&settings_, explorer).Execute(hwnd_);
      });
      break;
    }
    case CM_WINDOWDLG: {
      const ui::WindowOptions before = ui::WindowOptionsOf(settings_);
      {
        ui::DialogOpenScope open(sliderControl_);
        ui::WindowOptions options = before;
        if (TWCustomDialog(&options).Execute(hwnd_) == IDOK) ui::StoreWindowOptions(options, &settings_);
      }
      ApplyWindowOptions(before);
      break;
    }
    case CM_TOOLBARDLG: {
      ui::DialogOpenScope open(sliderControl_);
      bool changed = false;
      if (TCustomDialog(&settings_, &changed).Execute(hwnd_) == IDOK && changed) {
        frame_->RebuildToolBar();
      }
      break;
    }
    case CM_FONTDLG: {
      ui::DialogOpenScope open(sliderControl_);
      HDC dc = GetDC(hwnd_);
      int dpi = GetDeviceCaps(dc, LOGPIXELSY);
      ReleaseDC(hwnd_, dc);
      if (TMyFontDialog(settings_).Execute(hwnd_, dpi, listFont_, &settings_)) {
        BuildListFont();
        listView_->Measure(listFont_, settings_);
        ui::AfterFontChosen(settings_, player_->device(), app_.Notifier());
      }
      break;
    }
    case CM_WPSETTINGS: {
      ui::DialogOpenScope open(sliderControl_);
      desktop::WallpaperDialogOptions options;
      options.caseMode = settings_.strupr;
      options.explorerStyle = app::IsNewShell(osGeneration_);
      desktop::RunInWallpaperDirectory(app_.Files(), &settings_.wpDirectory, [&] {
        TWPDialog(wallpaper_, app_.Files(), app_.Notifier(), options).Execute(hwnd_);
      });
      break;
    }
    case CM_WPCHANGENOW:
      ChangeWallpaper();
      break;

    // Help and the end.
    case CM_HELPCONTENTS:
    case CM_HELPSEARCH:
    case CM_HELPONHELP: {
      app::OpenManualPage(static_cast<uint16_t>(id), win32::ProgramDirectory(), app_.Files(),
                          app_.Notifier(), [this](const std::string& path) {
                            return win32::OpenHtmlPage(hwnd_, path);
                          });
      break;
    }
    case CM_ABOUT: {
      ui::DialogOpenScope open(sliderControl_);
      TAboutDialog().Execute(hwnd_);
      break;
    }
    case CM_EXIT:
      PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

songlist::AudioCdLinks TMyWindow::CdLinks() { return {&mci_, &app_.Files(), &app_.Notifier()}; }

std::vector<std::string> TMyWindow::Tracks(const std::string& drive) {
  return songlist::AudioCdTracks(CdLinks(), drive);
}

void TMyWindow::OnDropFiles(HDROP drop) {
  POINT pt;
  // The drop point in this window's coordinates (the frame's tool bar above it
  // is not part of the list).
  BOOL inClient = DragQueryPoint(drop, &pt);
  MapWindowPoints(frame_->Handle(), hwnd_, &pt, 1);
  UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < n; ++i) {
    wchar_t buf[MAX_PATH * 2];
    UINT len = DragQueryFileW(drop, i, buf, MAX_PATH * 2);
    paths.push_back(wnd::NarrowPath(std::wstring_view(buf, len)));
  }
  DragFinish(drop);
  if (!inClient || list_->Count() >= songlist::kMaxEntries) return;
  OptionsFromSettings();
  gatherer_->Drop(paths, [this, pt] { return listView_->Core().Layout().HitTest(pt.x, pt.y); });
  SettingsFromOptions();
  RefreshTitle();
  Repaint();
}

void TMyWindow::OnFrameMinimized() {}

void TMyWindow::OnFrameSized(bool minimized) { pod_->SetMinimized(minimized); }

void TMyWindow::OnFrameRestored() {
  playback::Device& d = player_->device();
  if (d.VideoInMain() && settings_.aviCenter) d.CenterFrame();
  if (videoInList_) player_->OnPaint();
}

void TMyWindow::OnFrameMaximizing() {
  // The maximised frame keeps the doubled picture's size (the size query).
  if (VideoInMainWindow()) player_->device().FitVideo(2);
}

void TMyWindow::ChangeWallpaper() {
  desktop::ChangeWallpaperAtRandom(wallpaper_, app_.Files(), random_);
}

void TMyWindow::OnCaptionLeftDoubleClick() {
  playback::Device& d = player_->device();
  if (d.VideoInMain()) d.AspectFit(false);
}

void TMyWindow::OnCaptionRightDoubleClick(bool minimized) {
  playback::Device& d = player_->device();
  switch (app::OnCaptionRightDoubleClick(minimized, d.IsOpen() && d.Flags().video)) {
    case app::CaptionRightDoubleClick::kRestoreToStartPlacement: {
      HWND f = frame_->Handle();
      ShowWindow(f, SW_RESTORE);
      const app::Placement& p = app_.StartPlacement();
      MoveWindow(f, p.x, p.y, p.w, p.h, TRUE);
      break;
    }
    case app::CaptionRightDoubleClick::kVideoOwnSize:
      d.FitVideo(1);
      break;
    case app::CaptionRightDoubleClick::kChangeWallpaper:
      ChangeWallpaper();
      break;
  }
}

// The exit steps as this window carries them out; app::ExitOrder orders them.
class TMyWindow::ExitLink : public app::ExitSteps {
 public:
  explicit ExitLink(TMyWindow& w) : w_(w) {}
  void RemovePod() override { w_.pod_->Exit(); }
  void AskSaveChanged() override {
    w_.OptionsFromSettings();
    w_.exit_->AskSaveChanged();
  }
  int WriteResume() override {
    return w_.exit_->WriteResume(w_.settings_.endSave, w_.commandLineList_, w_.resumePath_);
  }
  void SaveSettings() override {
    w_.SettingsFromOptions();
    // In screen coordinates, the ones the frame is created with at the next start.
    const app::Rect n = win32::NormalRect(w_.frame_->Handle());
    app::Placement normal{n.left, n.top, n.Width(), n.Height()};
    app::SaveSettingsAtExit(&w_.app_.SettingsFileRef(), w_.settings_, normal,
                            w_.app_.StartPlacement());
  }
  void CloseSong() override {
    if (w_.player_->device().IsOpen()) w_.player_->device().CloseMedium();
  }
  void WriteMarkedFile() override { w_.exit_->WriteMarkedFile(); }
  void ReportResume(int result) override { w_.exit_->ReportResume(result); }
  void StopTimer() override { KillTimer(w_.hwnd_, IDT_MAIN); }

 private:
  TMyWindow& w_;
};

bool TMyWindow::MayClose() {
  ExitLink steps(*this);
  return exitOrder_.Run(steps);
}
