// The application object: reads the start placement, builds the frame, its
// bars and menu, and the main window, and hands both what it decided.
#pragma once

#include "win32/wnd/win.h"

#include <memory>
#include <string>

#include "app/settings.h"
#include "win32/wnd/application.h"
#include "win32/win_files.h"
#include "win32/win_notify.h"
#include "win32/shell_context.h"

class TMyFrame;
class TMyWindow;

class TMyApp : public wnd::Application {
 public:
  TMyApp();
  ~TMyApp() override;

 protected:
  bool InitMainWindow() override;
  bool InitInstance() override;

 private:
  win32::WinFileSystem files_;
  win32::WinNotifier notifier_;
  std::unique_ptr<app::SettingsFile> settingsFile_;
  app::Settings settings_;
  // What the frame and the main window take from here; made once the
  // settings are read.
  std::unique_ptr<ShellContext> shell_;
  std::unique_ptr<TMyWindow> window_;
  std::unique_ptr<TMyFrame> frame_;
};
