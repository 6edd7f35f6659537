// The wallpaper changer: a random pick among the bitmaps beside the current
// wallpaper, and the logic of the wallpaper settings dialog (command 118).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/wallpaper.h"
#include "songlist/random.h"

namespace desktop {

// The profile's word for "no wallpaper".
extern const char kNoWallpaper[];
// The "Wallpaper" value is read into an 80-byte buffer.
constexpr size_t kWallpaperValueMax = 79;
constexpr size_t kMaxCandidates = 999;

// The "Wallpaper" value, cut to its read limit.
std::string ReadWallpaperValue(platform::Wallpaper& wp, const std::string& def);

// Sets another bitmap of the current wallpaper's directory, drawn with the
// shared generator; does nothing without a wallpaper or without another bitmap.
void ChangeWallpaperAtRandom(platform::Wallpaper& wp, platform::FileSystem& fs,
                             songlist::Random& random);

// The text of the dialog's path label.
std::string WallpaperLabel(const std::string& path);

// Runs the settings dialog with the process in *lastDir (the bitmap dialog
// opens there), remembers where the user ended up and goes back to the
// Windows directory, so no directory stays in use.
void RunInWallpaperDirectory(platform::FileSystem& fs, std::string* lastDir,
                             const std::function<void()>& run);

struct WallpaperDialogOptions {
  long caseMode = 0;          // STRUPR
  bool explorerStyle = true;  // the bitmap dialog's style
};

// The wallpaper settings dialog without its window: every change is applied
// at once, and Cancel puts the state found at set-up back.
class WallpaperDialog {
 public:
  WallpaperDialog(platform::Wallpaper& wp, platform::FileSystem& fs, platform::FileDialog& dialog,
                  platform::Notifier& notifier, const WallpaperDialogOptions& options);

  void SetUp();
  void Choose();                     // 401
  void SetTile(int32_t tile);        // 501 (0) and 502 (1)
  void NoWallpaperClicked(bool checked);  // 503 with the box's new state
  void Cancel();                     // OK needs nothing: changes are already applied

  const std::string& Path() const { return path_; }
  std::string Label() const { return WallpaperLabel(path_); }
  int32_t Tile() const { return tile_; }
  bool NoWallpaper() const { return noWallpaper_; }

 private:
  enum class Pick { kCancelled, kRefused, kChosen };
  Pick PickBitmap(std::string* chosen);
  void WriteTile(int32_t tile);

  platform::Wallpaper& wp_;
  platform::FileSystem& fs_;
  platform::FileDialog& dialog_;
  platform::Notifier& notifier_;
  WallpaperDialogOptions options_;
  std::string path_, initialPath_;
  int32_t tile_ = 0, initialTile_ = 0;
  bool noWallpaper_ = false;
  std::string fileName_;  // the bitmap dialog's name field, kept between uses
};

}  // namespace desktop
