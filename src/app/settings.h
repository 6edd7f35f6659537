// The settings record kept in corvella.ini: how each key is read (default,
// read limit, range correction), the two reading phases at start, the version
// check, the keys written at exit, and the values derived from the settings
// (menu check marks, list font height, list metrics sample, start placement).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/frame_rules.h"
#include "app/profile.h"
#include "platform/files.h"
#include "platform/notify.h"

namespace app {

// Tool-bar groups of [BUTTON], in the order of the file.
enum ButtonGroup {
  kBtFile, kBtCd, kBtSnf, kBtEdit, kBtCopy, kBtUndo, kBtInitLoad, kBtInterval,
  kBtWpSet, kBtShuffle, kBtSort, kBtSaveAvi, kButtonGroupCount
};
extern const char* const kButtonKeys[kButtonGroupCount];

struct Settings {
  // Read by the application object before any window exists.
  int32_t h = 400, w = 500, x = 100, y = 100;
  bool topmost = false;
  bool buttons[kButtonGroupCount] = {true, true, true, true, true, true,
                                     true, true, true, true, true, true};
  // Read by the main window.
  int32_t version = 0;
  std::string directory = ".", snfDirectory = ".", wpDirectory = ".", aviDirectory = ".";
  int32_t filterIndex = 1;
  bool repeat1 = false, repeat2 = false;
  bool initLoad = false, initShuffle = false, initPlay = false;
  std::string initLoadFile;
  bool minimize = false, shuffle = false, wpChange = false, autoWp = false;
  int32_t strupr = 0;
  bool resetOn = true, resetGs = true;
  int32_t deviceId = 17;
  bool aviDisp = false, aviSize = false, aviCenter = false, aviAllDisp = false;
  bool menuBar = true, controlBar = true, statusBar = true, slider = true;
  bool systemColor = false;
  std::string faceName = "FixedSys";
  int32_t fontSize = 14, bold = 400;
  bool italic = false;
  int32_t charset = 128, charNum = 8;
  int32_t interval = 3;
  bool alarmSet = false;
  int32_t alarmHour = 7, alarmMinute = 0;
  int32_t vh = 240, vw = 320, vx = 100, vy = 100;
  int32_t r = 255, g = 255, b = 232;
  int32_t px = 0, py = 0;
  bool topPad = false, iconPad = false, controlPad = false;
  bool endSave = true;
  bool mediaKeys = true;  // the media keys work while other programs have the focus
};

// Version written by this program; files older than kMinimumVersion lose their options.
constexpr int32_t kSettingsVersion = 119;
constexpr int32_t kMinimumVersion = 104;

// What the process start-up information says about the first window.
struct StartupInfo {
  bool hasSize = false;
  int32_t width = 0, height = 0;
  bool hasPosition = false;
  int32_t x = 0, y = 0;
};

// First phase (application object): H, W, X, Y, TOPMOST and [BUTTON] into s,
// with the start-up information and the monitors' work areas applied to the
// placement. After this s->x, s->y, s->w, s->h are the start placement.
void ReadApplicationSettings(const Profile& p, const StartupInfo& info, const Areas& areas,
                             Settings* s);

// Version check of the main window's set-up: below kMinimumVersion the file is
// emptied and VERSION=119 written. True when the file was changed and should
// be saved now.
bool CheckSettingsVersion(Profile* p);

// Second phase (main window, after the version check): every other key in the
// order of the file's table. A directory value "." becomes currentDirectory.
void ReadWindowSettings(const Profile& p, const std::string& currentDirectory,
                        const Areas& areas, Settings* s);

// The frame's first paint reads the two bar keys again and hides a bar only
// for exactly "OFF".
struct BarVisibility {
  bool hideToolBar = false, hideStatusBar = false;
};
BarVisibility ReadBarsAtFirstPaint(const Profile& p);

// The frame's normal placement at exit, and the placement decided at start.
struct Placement {
  int32_t x = 0, y = 0, w = 0, h = 0;
};
// Writes every key of the exit sequence in order (X and Y only when they
// differ from the start placement; the options only with ENDSAVE on).
void WriteSettingsAtExit(Profile* p, const Settings& s, const Placement& normal,
                         const Placement& start);

// Command id -> check mark of the toggle commands, as implied by the settings.
std::vector<std::pair<uint16_t, bool>> MenuChecks(const Settings& s);

// The option toggles the main window keeps itself (the player and the pod
// flip their own): ToggleOption flips the field of id and says what must
// follow outside the record.
enum class OptionToggle {
  kNotAToggle,  // id is no such toggle; nothing changed
  kFlipped,     // only the field (and so the check mark) changes
  kTopmost,     // the frame moves into or out of the topmost band
  kMediaKeys,   // the media keys are taken or let go system-wide
};
OptionToggle ToggleOption(uint16_t id, Settings* s);

// List font height in logical units for the screen's vertical dpi.
int32_t FontHeight(int32_t dpi, int32_t fontSize);
// The font the list falls back to when the platform cannot realise the chosen one.
void ApplyFontFallback(Settings* s);

// The text whose extent gives the list's cell size.
std::string MetricsSampleText(int32_t charNum, int32_t strupr);
// Cell size from the sample text's extent: 4 pixels more, at least 1.
int32_t CellExtent(int32_t measured);

// Show states 2, 6 and 7: a minimised start.
bool IsMinimizedShowState(int showState);

// Where corvella.ini lives. The Windows directory is the home of the file;
// where it cannot be written (a current Windows without elevation) the
// per-user copy <appdata>\Corvella\corvella.ini is used instead, and once that
// copy exists it wins. A first start in the per-user place still reads the
// old file of the Windows directory, so options carry over.
struct SettingsLocation {
  std::string readPath;
  std::string writePath;
  std::string createDirectory;  // made before writing when not empty
};
SettingsLocation LocateSettingsFile(platform::FileSystem& fs, const std::string& windowsDirectory,
                                    const std::string& appDataDirectory);

// The settings file on disk: read whole, changed in memory, written whole.
class SettingsFile {
 public:
  SettingsFile(platform::FileSystem& fs, SettingsLocation location)
      : fs_(fs), location_(std::move(location)) {}
  // Reads the file (the write place once it exists, else the read place); a
  // missing file reads as empty (all defaults). A file that exists but cannot
  // be read (access denied, held open without sharing, a read error) also
  // gives the defaults, and is never written afterwards: a save would
  // replace the user's options with the defaults.
  void Load();
  // Writes the whole file through a temporary name. Failures are not reported
  // to the user; the result is returned for the caller's own use.
  platform::WriteResult Save();
  // The path of a file that existed but could not be read, or "".
  const std::string& UnreadablePath() const { return unreadablePath_; }
  Profile& profile() { return profile_; }
  const Profile& profile() const { return profile_; }

  // Largest settings file read; a real one is a few kilobytes.
  static constexpr size_t kMaxFileBytes = 256u * 1024;

 private:
  platform::FileSystem& fs_;
  SettingsLocation location_;
  Profile profile_;
  std::string unreadablePath_;
};

// Says once, at start, that an unreadable settings file is left alone.
void ReportUnreadableSettings(const SettingsFile& file, platform::Notifier& notifier);

// The exit sequence's settings step: the file is read again (as the platform's
// key-by-key writes would have found it), the exit keys are written into it
// and the whole file is saved.
platform::WriteResult SaveSettingsAtExit(SettingsFile* file, const Settings& s,
                                         const Placement& normal, const Placement& start);

}  // namespace app
