// The main window's start-up, its own window messages, the frame's hooks and
// the exit sequence.
#include "win32/my_window.h"

#include <ctime>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/frame_rules.h"
#include "app/startup.h"
#include "win32/font_dialog.h"
#include "win32/my_frame.h"
#include "win32/slider_thumb.h"
#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

using wnd::Wide;

bool TMyWindow::CreateChild(HWND parent) {
  return Create(L"CorvellaWindow", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
                0, 0, 100, 100, parent, nullptr, nullptr, CS_DBLCLKS);
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
  shell_.notifier.SetOwner(hwnd_);
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

  platform::FileSystem& fs = shell_.files;

  app::SettingsFile& file = shell_.settingsFile;
  if (app::CheckSettingsVersion(&file.profile())) file.Save();
  app::ReportUnreadableSettings(file, shell_.notifier);
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
  pod_->Start(app::IsMinimizedShowState(shell_.showState));
}

void TMyWindow::DecideFirstList() {
  app::CommandLine cl = app::ParseCommandLine(shell_.commandLine);
  for (std::string& path : cl.paths) path = app::ResolveArgument(path, startDirectory_);
  songlist::StartupSettings ss;
  ss.initLoad = settings_.initLoad;
  ss.initLoadFile = settings_.initLoadFile;
  ss.initShuffle = settings_.initShuffle;
  ss.initPlay = settings_.initPlay;
  ss.win32s = osGeneration_ == app::OsGeneration::kWin32s;
  songlist::StartupList startup(*list_, *songFiles_, *gatherer_, shell_.files, shell_.notifier,
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
    case kShowFrameMessage:
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
      const app::Placement& p = shell_.startPlacement;
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
    app::SaveSettingsAtExit(&w_.shell_.settingsFile, w_.settings_, normal,
                            w_.shell_.startPlacement);
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
