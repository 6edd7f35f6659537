// The desktop wallpaper through the user profile and the system parameter.
#pragma once

#include "win32/wnd/win.h"

#include "platform/wallpaper.h"

namespace win32 {

class WinWallpaper : public platform::Wallpaper {
 public:
  std::string ReadDesktop(const std::string& key, const std::string& def) override;
  void WriteDesktop(const std::string& key, const std::string& value) override;
  void SetWallpaper(const std::string& path, platform::WallpaperUpdate mode) override;
};

}  // namespace win32
