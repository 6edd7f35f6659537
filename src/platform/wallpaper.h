// The desktop wallpaper as the platform keeps it: two values of the user
// profile's "Desktop" section and the call that applies a bitmap.
#pragma once

#include <string>

namespace platform {

enum class WallpaperUpdate : unsigned {
  kProfileOnly = 1,        // write the profile; other programs learn of it later
  kProfileAndNotify = 3,   // write the profile and tell every program now
};

class Wallpaper {
 public:
  virtual ~Wallpaper() = default;
  // A value of the "Desktop" section, or def when the key is missing.
  virtual std::string ReadDesktop(const std::string& key, const std::string& def) = 0;
  virtual void WriteDesktop(const std::string& key, const std::string& value) = 0;
  // Applies path as the wallpaper; "(なし)" stands for no wallpaper.
  virtual void SetWallpaper(const std::string& path, WallpaperUpdate mode) = 0;
};

}  // namespace platform
