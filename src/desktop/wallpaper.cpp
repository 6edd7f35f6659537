#include "desktop/wallpaper.h"

#include <vector>

#include "songlist/media.h"
#include "text/sjis.h"

namespace desktop {

const char kNoWallpaper[] = "(なし)";

namespace {

constexpr char kWallpaperKey[] = "Wallpaper";
constexpr char kTileKey[] = "TileWallPaper";
constexpr char kStyleKey[] = "WallpaperStyle";
constexpr char kLabelPrefix[] = "壁紙：";
constexpr size_t kLabelWholePathMax = 30;
constexpr size_t kLabelShortName = 27;  // name parts below this keep the prefix
constexpr size_t kLabelLongName = 37;   // name parts from this on are cut
constexpr size_t kLabelNameCut = 35;

bool IsBitmapName(const std::string& path) { return text::EqualNoCase(text::Extension(path), ".bmp"); }

}  // namespace

std::string ReadWallpaperValue(platform::Wallpaper& wp, const std::string& def) {
  return text::CutBytes(wp.ReadDesktop(kWallpaperKey, def), kWallpaperValueMax);
}

void ChangeWallpaperAtRandom(platform::Wallpaper& wp, platform::FileSystem& fs,
                             songlist::Random& random) {
  const std::string value = ReadWallpaperValue(wp, "");
  if (value.empty() || value == kNoWallpaper) return;

  std::string current;
  platform::FileInfo info;
  if (fs.Find(value, &info)) current = info.name;

  text::PathParts parts = text::SplitPath(value);
  const std::string dir = parts.drive + parts.dir;
  std::vector<platform::FileInfo> entries;
  if (!fs.ListDirectory(dir.empty() ? fs.WindowsDirectory() : dir, &entries)) return;

  std::vector<std::string> names;
  for (const platform::FileInfo& e : entries) {
    if (names.size() >= kMaxCandidates) break;
    if (e.attributes &
        (platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem)) {
      continue;
    }
    if (!IsBitmapName(e.name)) continue;
    if (!current.empty() && text::EqualNoCase(e.name, current)) continue;
    if (!fs.Exists(dir + e.name)) continue;
    names.push_back(e.name);
  }
  if (names.empty()) return;
  const uint32_t pick = random.Below(static_cast<uint32_t>(names.size()));
  wp.SetWallpaper(dir + names[pick], platform::WallpaperUpdate::kProfileOnly);
}

std::string WallpaperLabel(const std::string& path) {
  if (path.size() <= kLabelWholePathMax) return kLabelPrefix + path;
  text::PathParts parts = text::SplitPath(path);
  if (parts.name.size() < kLabelShortName) return kLabelPrefix + parts.name + parts.ext;
  // A long name gives up the prefix to keep as much of itself as fits.
  if (parts.name.size() < kLabelLongName) return parts.name + parts.ext;
  return text::CutBytes(parts.name, kLabelNameCut) + "~" + parts.ext;
}

void RunInWallpaperDirectory(platform::FileSystem& fs, std::string* lastDir,
                             const std::function<void()>& run) {
  if (!lastDir->empty()) fs.SetCurrentDirectory(*lastDir);
  run();
  *lastDir = fs.CurrentDirectory();
  fs.SetCurrentDirectory(fs.WindowsDirectory());
}

WallpaperDialog::WallpaperDialog(platform::Wallpaper& wp, platform::FileSystem& fs,
                                 platform::FileDialog& dialog, platform::Notifier& notifier,
                                 const WallpaperDialogOptions& options)
    : wp_(wp), fs_(fs), dialog_(dialog), notifier_(notifier), options_(options) {}

void WallpaperDialog::SetUp() {
  std::string value = ReadWallpaperValue(wp_, kNoWallpaper);
  if (value.empty()) value = kNoWallpaper;
  noWallpaper_ = true;
  path_ = kNoWallpaper;
  if (value != kNoWallpaper) {
    text::PathParts parts = text::SplitPath(value);
    std::string dir = parts.drive + parts.dir;
    // The platform finds a bare name in the Windows directory.
    if (dir.empty()) dir = text::WithBackslash(fs_.WindowsDirectory());
    platform::FileInfo info;
    if (fs_.Find(dir + parts.name + parts.ext, &info)) {
      path_ = text::WithCase(dir + info.name, options_.caseMode);
      noWallpaper_ = false;
    }
  }
  initialPath_ = path_;
  tile_ = initialTile_ = static_cast<int32_t>(text::ReadNumber(wp_.ReadDesktop(kTileKey, "0")));
}

WallpaperDialog::Pick WallpaperDialog::PickBitmap(std::string* chosen) {
  platform::FileDialogRequest req;
  req.title = "壁紙の選択";
  req.filter = "ＢＭＰファイル (*.bmp)|*.bmp|";
  req.defaultExt = "bmp";
  req.fileName = fileName_;
  req.flags = platform::kDlgFileMustExist | platform::kDlgHideReadOnly |
              (options_.explorerStyle ? uint32_t{platform::kDlgExplorer} : 0u);
  platform::FileDialogResult res;
  if (!dialog_.Run(req, &res)) return Pick::kCancelled;
  // One file only, so both dialog styles give a single path before any NUL.
  *chosen = res.buffer.substr(0, res.buffer.find('\0'));
  std::string refusal;
  if (!IsBitmapName(*chosen)) {
    refusal = text::FileNamePart(*chosen) + "は、拡張子が違うため設定できません。";
  } else if (songlist::IsForeignName(*chosen)) {
    // Stored, the lossy name would point the desktop at no file.
    refusal = songlist::ForeignNameMessage(*chosen, "設定できません。");
  }
  if (!refusal.empty()) {
    notifier_.MessageBox(refusal, "エラーメッセージ", platform::kMbOk | platform::kMbIconExclamation);
    return Pick::kRefused;
  }
  fileName_ = text::FileNamePart(*chosen);
  return Pick::kChosen;
}

void WallpaperDialog::WriteTile(int32_t tile) {
  wp_.WriteDesktop(kTileKey, std::to_string(tile));
  // Current systems read the style too and default to filling the screen;
  // 0 makes the tile flag alone decide between centred and tiled.
  wp_.WriteDesktop(kStyleKey, "0");
}

void WallpaperDialog::Choose() {
  std::string chosen;
  if (PickBitmap(&chosen) != Pick::kChosen) return;
  if (text::EqualNoCase(chosen, path_)) return;
  const bool hadNone = path_ == kNoWallpaper;
  path_ = text::WithCase(chosen, options_.caseMode);
  noWallpaper_ = false;
  WriteTile(tile_);
  // Going from no wallpaper to one needs the desktop told at once.
  wp_.SetWallpaper(path_, hadNone ? platform::WallpaperUpdate::kProfileAndNotify
                                  : platform::WallpaperUpdate::kProfileOnly);
}

void WallpaperDialog::SetTile(int32_t tile) {
  if (tile == tile_) return;
  tile_ = tile;
  WriteTile(tile_);
  // The placement takes effect only when the wallpaper is applied again.
  wp_.SetWallpaper(path_, platform::WallpaperUpdate::kProfileAndNotify);
}

void WallpaperDialog::NoWallpaperClicked(bool checked) {
  if (checked) {
    path_ = kNoWallpaper;
    noWallpaper_ = true;
  } else {
    std::string chosen;
    if (PickBitmap(&chosen) != Pick::kChosen) {
      noWallpaper_ = true;
      return;
    }
    path_ = text::WithCase(chosen, options_.caseMode);
    noWallpaper_ = false;
  }
  WriteTile(tile_);
  wp_.SetWallpaper(path_, platform::WallpaperUpdate::kProfileAndNotify);
}

void WallpaperDialog::Cancel() {
  if (text::EqualNoCase(path_, initialPath_) && tile_ == initialTile_) return;
  WriteTile(initialTile_);
  wp_.SetWallpaper(initialPath_, platform::WallpaperUpdate::kProfileAndNotify);
}

}  // namespace desktop
