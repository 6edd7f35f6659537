#include "win32/my_app.h"

#include <shlobj.h>

#include "app/startup.h"
#include "win32/dialog_place.h"
#include "win32/my_frame.h"
#include "win32/my_window.h"
#include "win32/win_screen.h"
#include "win32/wnd/text_conv.h"

TMyApp::TMyApp() = default;
TMyApp::~TMyApp() {
  win32::StopCentringDialogs();
  frame_.reset();
  window_.reset();
}

static std::string AppDataDirectory() {
  wchar_t buf[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf))) {
    return wnd::NarrowPath(buf);
  }
  return std::string();
}

bool TMyApp::InitMainWindow() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);

  std::string commandLine = wnd::NarrowCommandLine(GetCommandLineW());

  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  const int showState =
      app::FirstShowState((si.dwFlags & STARTF_USESHOWWINDOW) != 0, si.wShowWindow);

  settingsFile_ = std::make_unique<app::SettingsFile>(
      files_, app::LocateSettingsFile(files_, files_.WindowsDirectory(), AppDataDirectory()));
  settingsFile_->Load();

  app::StartupInfo info;
  if (si.dwFlags & STARTF_USESIZE) {
    info.hasSize = true;
    info.width = static_cast<int32_t>(si.dwXSize);
    info.height = static_cast<int32_t>(si.dwYSize);
  }
  if (si.dwFlags & STARTF_USEPOSITION) {
    info.hasPosition = true;
    info.x = static_cast<int32_t>(si.dwX);
    info.y = static_cast<int32_t>(si.dwY);
  }
  app::ReadApplicationSettings(settingsFile_->profile(), info, win32::WorkAreas(), &settings_);
  shell_ = std::unique_ptr<ShellContext>(new ShellContext{
      files_, notifier_, *settingsFile_, settings_,
      app::Placement{settings_.x, settings_.y, settings_.w, settings_.h}, showState,
      std::move(commandLine)});

  window_ = std::make_unique<TMyWindow>(*shell_);
  frame_ = std::make_unique<TMyFrame>(*shell_, *window_);
  window_->SetFrame(frame_.get());
  SetMainFrame(frame_.get());
  if (!frame_->CreateFrame()) return false;
  HACCEL accel = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  SetAccelerators(accel);
  if (window_->EndRequested()) return false;
  return true;
}

bool TMyApp::InitInstance() {
  // The frame takes files dropped from the shell.
  DragAcceptFiles(frame_->Handle(), TRUE);
  win32::CentreDialogsOn(frame_->Handle());
  frame_->ShowFirst(shell_->showState);
  return true;
}
