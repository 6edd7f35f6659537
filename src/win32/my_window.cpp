#include "win32/my_window.h"


#include "app/command_ids.h"
#include "text/sjis.h"
#include "win32/my_app.h"
#include "win32/my_frame.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

TMyWindow::TMyWindow(TMyApp& app) : app_(app), settings_(app.SettingsRef()) {
  faceBrush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

TMyWindow::~TMyWindow() {
  if (listFont_) DeleteObject(listFont_);
  if (faceBrush_) DeleteObject(faceBrush_);
}

bool TMyWindow::CreateChild(HWND parent) {
  return Create(L"CorvellaWindow", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE,
                0, 0, 100, 100, parent, nullptr, nullptr, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

bool TMyWindow::ListEmpty() const { return true; }

app::CommandState TMyWindow::Snapshot() const {
  app::CommandState s;
  s.randomPlay = settings_.shuffle;
  s.repeatOne = settings_.repeat1;
  s.repeatAll = settings_.repeat2;
  s.dedicatedWindowOption = settings_.aviDisp;
  s.podOption = settings_.controlPad;
  s.clipboardHasText = IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT);
  s.clipboardHasFiles = IsClipboardFormatAvailable(CF_HDROP);
  return s;
}

bool TMyWindow::QueryEnable(UINT id, bool* enabled) const {
  *enabled = app::IsCommandEnabled(static_cast<uint16_t>(id), Snapshot());
  return true;
}

void TMyWindow::OnCaptionRightDoubleClick(bool minimized) {
  if (minimized) return;  // the wallpaper change arrives with the wallpaper changer
  // A normal frame without a video goes back to the start placement.
  HWND f = frame_->Handle();
  ShowWindow(f, SW_RESTORE);
  const app::Placement& p = app_.StartPlacement();
  MoveWindow(f, p.x, p.y, p.w, p.h, TRUE);
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

void TMyWindow::SetupWindow() {
  // Critical-error boxes of the platform stay off while the window lives.
  SetErrorMode(SEM_FAILCRITICALERRORS);

  osGeneration_ = app::DecideOsGeneration(GetVersion());

  platform::FileSystem& fs = app_.Files();
  resumePath_ = text::WithBackslash(fs.CurrentDirectory()) + "temp.snf";

  app::SettingsFile& file = app_.SettingsFileRef();
  if (app::CheckSettingsVersion(&file.profile())) file.Save();
  app::ReadWindowSettings(file.profile(), fs.CurrentDirectory(), GetSystemMetrics(SM_CXSCREEN),
                          GetSystemMetrics(SM_CYSCREEN), &settings_);

  // The process works in the Windows directory from here on.
  fs.SetCurrentDirectory(fs.WindowsDirectory());

  BuildListFont();

  listScroll_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_HORZ, 0, 0, 10, 10, hwnd_,
                                reinterpret_cast<HMENU>(IDC_LISTSCROLL), GetModuleHandleW(nullptr),
                                nullptr);
  slider_.Create(hwnd_, IDC_SLIDER, 0, 0, 100, 20);
  slider_.SetRange(0, 1000);
  slider_.SetPosition(0);
  if (settings_.slider) slider_.Show(true);

  RegisterCommands();
  SetTimer(hwnd_, IDT_MAIN, 200, nullptr);
}

void TMyWindow::CleanupWindow() {
  KillTimer(hwnd_, IDT_MAIN);
  if (frame_ && frame_->Handle()) DragAcceptFiles(frame_->Handle(), FALSE);
  WinHelpW(hwnd_, L"corvella.hlp", HELP_QUIT, 0);
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
}

void TMyWindow::Toggle(UINT id, bool* field) { *field = !*field; }

void TMyWindow::Help(UINT command) {
  switch (command) {
    case CM_HELPCONTENTS: WinHelpW(hwnd_, L"corvella.hlp", HELP_CONTENTS, 0); break;
    case CM_HELPSEARCH:
      WinHelpW(hwnd_, L"corvella.hlp", HELP_PARTIALKEY, reinterpret_cast<ULONG_PTR>(L""));
      break;
    case CM_HELPONHELP: WinHelpW(hwnd_, L"corvella.hlp", HELP_HELPONHELP, 0); break;
  }
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

  OnCommand(CM_EXIT, [this] { PostMessageW(frame_->Handle(), WM_CLOSE, 0, 0); });
  OnCommand(CM_TOPMOST, [this] {
    Toggle(CM_TOPMOST, &settings_.topmost);
    SetWindowPos(frame_->Handle(), settings_.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  });
  OnCommand(CM_MINIMIZE, [this] { Toggle(CM_MINIMIZE, &settings_.minimize); });
  OnCommand(CM_RANDOMPLAY, [this] { Toggle(CM_RANDOMPLAY, &settings_.shuffle); });
  OnCommand(CM_WPCHANGE, [this] { Toggle(CM_WPCHANGE, &settings_.wpChange); });
  OnCommand(CM_AUTOWP, [this] { Toggle(CM_AUTOWP, &settings_.autoWp); });
  OnCommand(CM_ENDSAVE, [this] { Toggle(CM_ENDSAVE, &settings_.endSave); });
  OnCommand(CM_REPEAT1, [this] { Toggle(CM_REPEAT1, &settings_.repeat1); });
  OnCommand(CM_REPEAT2, [this] { Toggle(CM_REPEAT2, &settings_.repeat2); });
  OnCommand(CM_AVISIZE, [this] { Toggle(CM_AVISIZE, &settings_.aviSize); });
  OnCommand(CM_AVICENTER, [this] { Toggle(CM_AVICENTER, &settings_.aviCenter); });
  OnCommand(CM_AVIDISP, [this] { Toggle(CM_AVIDISP, &settings_.aviDisp); });
  OnCommand(CM_AVIALLDISP, [this] { Toggle(CM_AVIALLDISP, &settings_.aviAllDisp); });
  OnCommand(CM_HELPCONTENTS, [this] { Help(CM_HELPCONTENTS); });
  OnCommand(CM_HELPSEARCH, [this] { Help(CM_HELPSEARCH); });
  OnCommand(CM_HELPONHELP, [this] { Help(CM_HELPONHELP); });
}

void TMyWindow::OnTimer() {}

LRESULT TMyWindow::OnExternalControl(WPARAM wp, LPARAM lp) { return 0; }

LRESULT TMyWindow::OnPowerBroadcast(WPARAM wp, LPARAM lp) { return 0; }

void TMyWindow::OnDropFiles(HDROP drop) { DragFinish(drop); }

void TMyWindow::OnFrameMinimized() {}

bool TMyWindow::MayClose() {
  app::SettingsFile& file = app_.SettingsFileRef();
  WINDOWPLACEMENT wp{sizeof wp};
  GetWindowPlacement(frame_->Handle(), &wp);
  app::Placement normal{wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                        wp.rcNormalPosition.right - wp.rcNormalPosition.left,
                        wp.rcNormalPosition.bottom - wp.rcNormalPosition.top};
  app::WriteSettingsAtExit(&file.profile(), settings_, normal, app_.StartPlacement());
  file.Save();
  KillTimer(hwnd_, IDT_MAIN);
  return true;
}
