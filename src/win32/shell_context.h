// What the application object decided at start and hands to the frame and
// the main window: the platform services, the settings and how to show the
// frame first. Neither window needs the application object itself.
#pragma once

#include "win32/wnd/win.h"

#include <string>

#include "app/settings.h"
#include "win32/win_files.h"
#include "win32/win_notify.h"

struct ShellContext {
  win32::WinFileSystem& files;
  win32::WinNotifier& notifier;
  app::SettingsFile& settingsFile;
  app::Settings& settings;  // the record the application object began to read
  app::Placement startPlacement;
  int showState = SW_SHOWNORMAL;
  std::string commandLine;
};
