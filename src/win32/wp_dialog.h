// The wallpaper settings dialog (command 118): choose the bitmap, centred or
// tiled, or no wallpaper. Every change is applied at once; Cancel undoes them.
#pragma once

#include "win32/wnd/dialog.h"

#include "desktop/wallpaper.h"
#include "win32/win_platform.h"

class TWPDialog : public wnd::Dialog {
 public:
  TWPDialog(platform::Wallpaper& wp, platform::FileSystem& fs, platform::Notifier& notifier,
            const desktop::WallpaperDialogOptions& options)
      : wnd::Dialog(2), model_(wp, fs, files_, notifier, options) {}

 protected:
  bool OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 private:
  void Show();
  win32::WinFileDialog files_{nullptr};  // owned by this dialog, not the main window
  desktop::WallpaperDialog model_;
};
