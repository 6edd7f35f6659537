#include "win32/my_window.h"

#include <ctime>

#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/frame_rules.h"
#include "app/startup.h"
#include "text/sjis.h"
#include "win32/my_app.h"
#include "win32/my_frame.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

namespace {

// The player side of the song list until a medium can be opened: always stopped.
class IdlePlayer : public songlist::PlaybackLink {
 public:
  int32_t State() override { return state_; }
  void SetState(int32_t state) override { state_ = state; }
  bool QueryPosition(uint32_t*) override { return false; }
  void Stop() override { state_ = songlist::kStopped; }
  void Play() override {}
  void SetWaiting(bool) override {}
  void ClearCachedLength() override {}
  bool NextPlayable() override { return false; }
  bool RandomPlay() override { return false; }
  bool RepeatAll() override { return false; }

 private:
  int32_t state_ = songlist::kStopped;
};

}  // namespace

TMyWindow::TMyWindow(TMyApp& app) : app_(app), settings_(app.SettingsRef()) {
  player_ = std::make_unique<IdlePlayer>();
  songlist::ListLinks links{player_.get(), this, &collator_, &random_};
  list_ = std::make_unique<songlist::SongList>(links);
  songFiles_ = std::make_unique<songlist::SongFiles>(*list_, app_.Files(), app_.Notifier(),
                                                     dialog_, snfOptions_);
  gatherer_ = std::make_unique<songlist::Gatherer>(*list_, *songFiles_, app_.Files(),
                                                   app_.Notifier(), dialog_, cursor_,
                                                   gatherOptions_);
  exit_ = std::make_unique<songlist::ExitSequence>(*songFiles_, *list_);
}

TMyWindow::~TMyWindow() {
  if (listFont_) DeleteObject(listFont_);
}

bool TMyWindow::CreateChild(HWND parent) {
  return Create(L"CorvellaWindow", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
                0, 0, 100, 100, parent, nullptr, nullptr, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

bool TMyWindow::Checked(UINT id, bool* checked) const {
  for (const auto& mc : app::MenuChecks(settings_)) {
    if (mc.first == id) {
      *checked = mc.second;
      return true;
    }
  }
  return false;
}

app::PlayState TMyWindow::PlayerState() const {
  return static_cast<app::PlayState>(player_->State());
}

app::CommandState TMyWindow::Snapshot() const {
  app::CommandState s;
  const songlist::SongList& l = *list_;
  s.count = l.Count();
  s.selected = l.SelectedCount();
  s.state = PlayerState();
  s.hasSongNameFile = l.Tied();
  s.undoExists = l.UndoAvailable();
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
  return s;
}

bool TMyWindow::QueryEnable(UINT id, bool* enabled) const {
  *enabled = app::IsCommandEnabled(static_cast<uint16_t>(id), Snapshot());
  return true;
}

void TMyWindow::OptionsFromSettings() {
  bool oldStyle = osGeneration_ == app::OsGeneration::kWin32s;
  snfOptions_.explorerStyle = !oldStyle;
  snfOptions_.win32s = oldStyle;
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
  // Critical-error boxes of the platform stay off while the window lives.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  random_.Seed(static_cast<uint32_t>(std::time(nullptr)));
  osGeneration_ = app::DecideOsGeneration(GetVersion());
  app_.Notifier().SetOwner(hwnd_);
  clipboard_.SetOwner(hwnd_);
  dialog_.SetOwner(hwnd_);

  platform::FileSystem& fs = app_.Files();
  resumePath_ = app::ResumeFilePath(fs.CurrentDirectory());

  app::SettingsFile& file = app_.SettingsFileRef();
  if (app::CheckSettingsVersion(&file.profile())) file.Save();
  app::ReadWindowSettings(file.profile(), fs.CurrentDirectory(), GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN), &settings_);
  OptionsFromSettings();

  // The process works in the Windows directory from here on; command-line
  // paths are still taken relative to where it started.
  startDirectory_ = fs.CurrentDirectory();
  fs.SetCurrentDirectory(fs.WindowsDirectory());

  BuildListFont();

  listScroll_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_HORZ, 0, 0, 10, 10, hwnd_,
                                reinterpret_cast<HMENU>(IDC_LISTSCROLL), GetModuleHandleW(nullptr),
                                nullptr);
  slider_.Create(hwnd_, IDC_SLIDER, 0, 0, 100, 20);

  DecideFirstList();
  if (endRequested_) return;

  slider_.SetRange(0, app::kSliderRange);
  slider_.SetPosition(0);
  if (settings_.slider) slider_.Show(true);

  RegisterCommands();
  SetTimer(hwnd_, IDT_MAIN, app::kMainTimerPeriod, nullptr);
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
  closeAfterPlay_ = r.closeAfterPlay;
  autoPlayPending_ = r.autoPlay;
}

void TMyWindow::CleanupWindow() {
  KillTimer(hwnd_, IDT_MAIN);
  if (frame_ && frame_->Handle()) DragAcceptFiles(frame_->Handle(), FALSE);
  WinHelpW(hwnd_, Wide(app::kHelpFile).c_str(), app::kHelpQuit, 0);
  SetErrorMode(0);
}

void TMyWindow::BuildListFont() {
  HDC dc = GetDC(hwnd_);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  auto make = [&]() {
    return CreateFontW(app::FontHeight(dpi, settings_.fontSize), 0, 0, 0, settings_.bold,
                       settings_.italic, FALSE, FALSE, static_cast<BYTE>(settings_.charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, Wide(settings_.faceName).c_str());
  };
  listFont_ = make();
  if (!listFont_) {
    app::ApplyFontFallback(&settings_);
    listFont_ = make();
  }
  HGDIOBJ old = SelectObject(dc, listFont_);
  std::wstring sample = Wide(app::MetricsSampleText(settings_.charNum, settings_.strupr));
  SIZE sz{};
  GetTextExtentPoint32W(dc, sample.c_str(), static_cast<int>(sample.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  cell_.cx = app::CellExtent(sz.cx);
  cell_.cy = app::CellExtent(sz.cy);
}

void TMyWindow::PlaceSlider() {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (settings_.slider) {
    slider_.Move(0, rc.bottom - 20, rc.right, 20);
    slider_.Show(true);
  } else {
    slider_.Show(false);
  }
}

void TMyWindow::Paint(HDC dc, const RECT& area) {
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (settings_.slider) {
    // The slider strip: 20 pixels of slider and a 1-pixel line above it.
    RECT line{0, rc.bottom - 21, rc.right, rc.bottom - 20};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    rc.bottom -= 21;
  }
  COLORREF bg = settings_.systemColor ? GetSysColor(COLOR_WINDOW)
                                      : RGB(settings_.r, settings_.g, settings_.b);
  HBRUSH b = CreateSolidBrush(bg);
  FillRect(dc, &rc, b);
  DeleteObject(b);
  // Until the list view draws cells, the entries are listed one per line.
  HGDIOBJ old = SelectObject(dc, listFont_);
  SetBkMode(dc, TRANSPARENT);
  int y = 2;
  for (int i = 0; i < list_->Count() && y < rc.bottom; ++i) {
    std::wstring line = Wide(std::to_string(i + 1) + ". " + list_->PathAt(i));
    TextOutW(dc, 4, y, line.c_str(), static_cast<int>(line.size()));
    y += cell_.cy;
  }
  SelectObject(dc, old);
}

void TMyWindow::RefreshTitle() {
  if (frame_ && frame_->Handle()) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TMyWindow::Repaint() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TMyWindow::ListCommand(UINT id, std::function<void()> action) {
  OnCommand(id, [this, action = std::move(action)] {
    if (list_->Busy()) return;
    OptionsFromSettings();
    action();
    SettingsFromOptions();
    Repaint();
  });
}

void TMyWindow::RegisterCommands() {
  OnMessage(WM_SIZE, [this](WPARAM, LPARAM) {
    PlaceSlider();
    InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
  });
  OnMessage(WM_ERASEBKGND, [](WPARAM, LPARAM) { return 1; });
  OnMessage(WM_TIMER, [this](WPARAM id, LPARAM) {
    if (id == IDT_MAIN) OnTimer();
    return 0;
  });
  OnMessage(WM_USER, [this](WPARAM wp, LPARAM lp) { return OnExternalControl(wp, lp); });
  OnMessage(WM_DROPFILES, [this](WPARAM wp, LPARAM) {
    OnDropFiles(reinterpret_cast<HDROP>(wp));
    return 0;
  });

  OnCommand(CM_EXIT, [this] { PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0); });
  auto toggle = [this](UINT id, bool* field) { OnCommand(id, [field] { *field = !*field; }); };
  OnCommand(CM_TOPMOST, [this] {
    settings_.topmost = !settings_.topmost;
    SetWindowPos(frame_->Handle(), settings_.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  });
  toggle(CM_MINIMIZE, &settings_.minimize);
  toggle(CM_RANDOMPLAY, &settings_.shuffle);
  toggle(CM_WPCHANGE, &settings_.wpChange);
  toggle(CM_AUTOWP, &settings_.autoWp);
  toggle(CM_ENDSAVE, &settings_.endSave);
  toggle(CM_REPEAT1, &settings_.repeat1);
  toggle(CM_REPEAT2, &settings_.repeat2);
  toggle(CM_AVISIZE, &settings_.aviSize);
  toggle(CM_AVICENTER, &settings_.aviCenter);
  toggle(CM_AVIDISP, &settings_.aviDisp);
  toggle(CM_AVIALLDISP, &settings_.aviAllDisp);
  for (UINT id : {CM_HELPCONTENTS, CM_HELPSEARCH, CM_HELPONHELP}) {
    OnCommand(id, [this, id] {
      uint32_t cmd = 0;
      if (!app::HelpCommandFor(static_cast<uint16_t>(id), &cmd)) return;
      ULONG_PTR data = cmd == app::kHelpPartialKey ? reinterpret_cast<ULONG_PTR>(L"") : 0;
      WinHelpW(hwnd_, Wide(app::kHelpFile).c_str(), cmd, data);
    });
  }

  // The song list.
  ListCommand(CM_MARKSKIP, [this] { list_->MarkSelected(songlist::kMarkSkipped); });
  ListCommand(CM_MARKPLAY, [this] { list_->MarkSelected(0); });
  ListCommand(CM_DELETE, [this] { list_->DeleteSelected(); });
  ListCommand(CM_UNDO, [this] { list_->Undo(); });
  ListCommand(CM_SELECTALL, [this] { list_->SelectAll(); });
  ListCommand(CM_SHUFFLE, [this] { list_->Shuffle(); });
  ListCommand(CM_SORT, [this] { list_->SortAlphabetical(); });
  ListCommand(CM_SNFLOAD, [this] { songFiles_->Load(); });
  ListCommand(CM_SNFSAVE, [this] { songFiles_->OverwriteSave(); });
  ListCommand(CM_SNFSAVEAS, [this] { songFiles_->SaveAs(); });
  ListCommand(CM_FILEOPEN, [this] { gatherer_->ChooseFiles(); });
  ListCommand(CM_DIRECTORY, [this] { gatherer_->ChooseDirectory(); });
  ListCommand(CM_COPY, [this] {
    // Ctrl held on a version-4 platform puts a file list on the clipboard.
    bool fileList = (GetKeyState(VK_CONTROL) & 0x8000) != 0 && osGeneration_ != app::OsGeneration::kWin32s;
    gatherer_->Copy(clipboard_, fileList, osGeneration_ == app::OsGeneration::kWindowsNT4 ||
                                              osGeneration_ == app::OsGeneration::kWindowsNT3);
  });
  ListCommand(CM_PASTE, [this] { gatherer_->Paste(clipboard_); });
}

void TMyWindow::OnTimer() {}

LRESULT TMyWindow::OnExternalControl(WPARAM wp, LPARAM lp) {
  app::ExternalControl::Result r = external_.Handle(
      static_cast<intptr_t>(lp), static_cast<uintptr_t>(wp), PlayerState(),
      list_->Count() >= songlist::kMaxEntries);
  switch (r.action) {
    case app::ExternalControl::Action::kAppendEntry:
      songlist::AppendExternalName(*list_, r.name);
      Repaint();
      break;
    case app::ExternalControl::Action::kClearList:
      songlist::ClearFromExternal(*list_);
      Repaint();
      break;
    case app::ExternalControl::Action::kPlay:
      SendMessageW(hwnd_, WM_COMMAND, CM_PLAY, 0);
      break;
    case app::ExternalControl::Action::kNone:
      break;
  }
  return r.reply;
}

LRESULT TMyWindow::OnPowerBroadcast(WPARAM wp, LPARAM lp) {
  switch (power_.OnEvent(static_cast<uint32_t>(wp), PlayerState())) {
    case app::PowerNotice::Action::kPause:
      SendMessageW(hwnd_, WM_COMMAND, CM_PAUSE, 0);
      break;
    case app::PowerNotice::Action::kPlay:
      SendMessageW(hwnd_, WM_COMMAND, CM_PLAY, 0);
      break;
    case app::PowerNotice::Action::kNone:
      break;
  }
  return 0;
}

void TMyWindow::OnDropFiles(HDROP drop) {
  POINT pt;
  DragQueryPoint(drop, &pt);
  UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> paths;
  for (UINT i = 0; i < n; ++i) {
    wchar_t buf[MAX_PATH * 2];
    UINT len = DragQueryFileW(drop, i, buf, MAX_PATH * 2);
    paths.push_back(Narrow(std::wstring_view(buf, len)));
  }
  DragFinish(drop);
  if (list_->Busy() || list_->Count() >= songlist::kMaxEntries) return;
  OptionsFromSettings();
  gatherer_->Drop(paths, [] { return -1; });
  SettingsFromOptions();
  Repaint();
}

void TMyWindow::OnFrameMinimized() {}

void TMyWindow::OnCaptionRightDoubleClick(bool minimized) {
  switch (app::OnCaptionRightDoubleClick(minimized, VideoInMainWindow())) {
    case app::CaptionRightDoubleClick::kRestoreToStartPlacement: {
      HWND f = frame_->Handle();
      ShowWindow(f, SW_RESTORE);
      const app::Placement& p = app_.StartPlacement();
      MoveWindow(f, p.x, p.y, p.w, p.h, TRUE);
      break;
    }
    case app::CaptionRightDoubleClick::kChangeWallpaper:  // with the wallpaper changer
    case app::CaptionRightDoubleClick::kVideoOwnSize:     // with video playback
      break;
  }
}

bool TMyWindow::MayClose() {
  // 2. A changed song-name file is offered for saving.
  OptionsFromSettings();
  exit_->AskSaveChanged();
  // 3. The resume file.
  int resume = exit_->WriteResume(settings_.endSave, commandLineList_, resumePath_);
  // 4. The settings.
  SettingsFromOptions();
  app::SettingsFile& file = app_.SettingsFileRef();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(frame_->Handle(), &wp);
  app::Placement normal{wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                        wp.rcNormalPosition.right - wp.rcNormalPosition.left,
                        wp.rcNormalPosition.bottom - wp.rcNormalPosition.top};
  app::SaveSettingsAtExit(&file, settings_, normal, app_.StartPlacement());
  // 5. The open song is closed (the player is idle until playback exists).
  player_->Stop();
  // 6. and 7. The marked song-name file, then the resume file's failures.
  exit_->WriteMarkedFile();
  exit_->ReportResume(resume);
  // 8.
  KillTimer(hwnd_, IDT_MAIN);
  return true;
}
