// What a cell of the song list and the header line above the grid show:
// texts, colours, icons and frames, decided from the list and the settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "songlist/model.h"
#include "ui/list_layout.h"

namespace ui {

// Colours as the platform's 0x00BBGGRR values.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr uint32_t kCurrentFill = Rgb(0, 255, 255);
constexpr uint32_t kSelectedFill = Rgb(128, 255, 128);
constexpr uint32_t kSelectedCurrentFill = Rgb(0, 0, 255);
constexpr uint32_t kSelectedCurrentText = Rgb(255, 255, 0);
constexpr uint32_t kSelectedCurrentSkippedText = Rgb(255, 0, 255);
constexpr uint32_t kText = Rgb(0, 0, 0);
constexpr uint32_t kSkippedText = Rgb(255, 0, 0);
constexpr uint32_t kFocusFrame = Rgb(0, 0, 0);
constexpr uint32_t kCellFrame = Rgb(192, 192, 192);
constexpr uint32_t kGrey = Rgb(192, 192, 192);
constexpr uint32_t kShadow = Rgb(128, 128, 128);
constexpr uint32_t kHighlight = Rgb(255, 255, 255);

// Bitmap resources of the list.
enum : int32_t {
  kIconMid = 500, kIconWav = 501, kIconAvi = 502, kIconMov = 504, kIconJpg = 505,
  kIconCd = 506, kHeaderIcons = 507, kDriveImages = 508, kIconMpg = 509, kIconMpegAudio = 510,
};

constexpr int32_t kShiftJisCharset = 128;

// Desktop colours, used when the system-colour setting is on.
struct SystemColors {
  uint32_t window = Rgb(255, 255, 255);
  uint32_t face = Rgb(192, 192, 192);
  uint32_t shadow = Rgb(128, 128, 128);
  uint32_t highlight = Rgb(255, 255, 255);
};

struct ListColors {
  bool useSystem = false;
  uint32_t background = Rgb(255, 255, 232);  // R, G, B of the settings
  SystemColors sys;
  uint32_t WithHeader() const { return useSystem ? sys.window : background; }
  uint32_t WithoutHeader() const { return useSystem ? sys.face : kGrey; }
  uint32_t Dark() const { return useSystem ? sys.shadow : kShadow; }
  uint32_t Light() const { return useSystem ? sys.highlight : kHighlight; }
};
// Background colour: the R, G, B settings, a value outside 0..255 taking its default.
uint32_t BackgroundColor(int32_t r, int32_t g, int32_t b);

// The ".acd" display rule: a single "$" ends the name, a run of two or more
// "$" loses one.
std::string CdTitle(std::string_view name);
bool IsCdEntry(std::string_view path);    // ".acd" or ".cda"
bool IsAcd(std::string_view path);
// The name shown in a cell: no directory, no extension, case-converted, the
// ".acd" rule, then cut to charNum bytes without splitting a character.
std::string CellName(std::string_view path, int32_t charNum, int32_t caseMode);
// "%3d." of the one-based number.
std::string CellNumber(int32_t pos);
// Kind icon resource for the path's extension; 0 for none.
int32_t KindIcon(std::string_view path);

enum class CellFrame { kFocus, kPlain, kSunken };

struct CellLook {
  bool filled = false;
  uint32_t fill = 0;
  uint32_t text = kText;
  CellFrame frame = CellFrame::kPlain;
};
CellLook LookOf(const songlist::SongList& list, const ListLayout& layout, int32_t pos);

// Platform facts about a drive (root given as "c:\\").
class DriveInfo {
 public:
  virtual ~DriveInfo() = default;
  virtual int32_t Type(const std::string& root) = 0;  // 2 removable .. 6 RAM disk
  virtual uint32_t SectorSize(const std::string& root) = 0;
};

// The header line's content for the entry at the current position.
struct HeaderContent {
  int32_t driveImage = 0;   // index into the seven drive images
  bool cd = false;          // CD entry: one text, no folder icon
  std::string driveText;    // drive or server name
  std::string dirText;      // directory (or the CD's text)
  bool snf = false;         // a song-name file is loaded
  std::string snfText;
};
HeaderContent MakeHeader(std::string_view path, std::string_view snfName, bool snfLoaded,
                         int32_t caseMode, int32_t charset, DriveInfo& drives);

}  // namespace ui
