// The application object: reads the start placement, builds the frame, its
// bars and menu, and the main window.
#pragma once

#include "win32/wnd/win.h"

#include <memory>
#include <string>

#include "app/settings.h"
#include "win32/wnd/application.h"
#include "win32/win_files.h"
#include "win32/win_notify.h"

class TMyFrame;
class TMyWindow;

class TMyApp : public wnd::Application {
 public:
  TMyApp();
  ~TMyApp() override;

  int ShowState() const { return showState_; }
  win32::WinFileSystem& Files() { return files_; }
  win32::WinNotifier& Notifier() { return notifier_; }
  app::SettingsFile& SettingsFileRef() { return *settingsFile_; }
  app::Settings& SettingsRef() { return settings_; }
  const app::Placement& StartPlacement() const { return start_; }
  const std::string& CommandLine() const { return commandLine_; }

 protected:
  bool InitMainWindow() override;
  bool InitInstance() override;

 private:
  int showState_ = SW_SHOWNORMAL;
  std::string commandLine_;
  win32::WinFileSystem files_;
  win32::WinNotifier notifier_;
  std::unique_ptr<app::SettingsFile> settingsFile_;
  app::Settings settings_;
  app::Placement start_;
  std::unique_ptr<TMyWindow> window_;
  std::unique_ptr<TMyFrame> frame_;
};
