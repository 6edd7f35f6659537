#include "win32/win_wallpaper.h"

#include "desktop/wallpaper.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

namespace win32 {

namespace {
constexpr wchar_t kSection[] = L"Desktop";
}

std::string WinWallpaper::ReadDesktop(const std::string& key, const std::string& def) {
  wchar_t buf[MAX_PATH + 1] = {};
  GetProfileStringW(kSection, Wide(key).c_str(), Wide(def).c_str(), buf, MAX_PATH + 1);
  return wnd::NarrowPath(buf);
}

void WinWallpaper::WriteDesktop(const std::string& key, const std::string& value) {
  WriteProfileStringW(kSection, Wide(key).c_str(), Wide(value).c_str());
}

void WinWallpaper::SetWallpaper(const std::string& path, platform::WallpaperUpdate mode) {
  // Current systems take an empty name, not the old "(none)" word, as no wallpaper.
  std::wstring w = path == desktop::kNoWallpaper ? std::wstring() : Wide(path);
  UINT flags = mode == platform::WallpaperUpdate::kProfileAndNotify
                   ? SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
                   : SPIF_UPDATEINIFILE;
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(w.c_str()), flags);
}

}  // namespace win32
