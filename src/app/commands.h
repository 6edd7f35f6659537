// The command table: menu popups and labels, enabling rules, tool-bar layout,
// system-menu additions, status-bar hints and accelerators. Everything here
// is data or a pure function of a snapshot of the main window's state; the
// Windows shell turns it into menus, buttons and accelerator tables.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/command_ids.h"
#include "app/settings.h"

namespace app {

enum class PlayState : int { kStopped = 0, kPlaying = 1, kPaused = 2 };

// What the enabling rules look at. The sequencer supplies whether Next and
// Previous have somewhere to go.
struct CommandState {
  int count = 0;               // entries in the list
  int selected = 0;            // selected entries
  PlayState state = PlayState::kStopped;
  bool waiting = false;        // the pause between songs is running
  bool hasSongNameFile = false;
  bool undoExists = false;
  bool videoInMain = false;       // a video is open in the main window
  bool videoInDedicated = false;  // a video is open in the dedicated video window
  bool stillImage = false;        // the current entry is a still image (".jpg")
  bool randomPlay = false, repeatOne = false, repeatAll = false;
  bool dedicatedWindowOption = false;  // AVIDISP
  bool podOption = false;              // CONTROLPAD
  bool clipboardHasText = false, clipboardHasFiles = false;
  std::string focusedExtension;  // extension of the focused entry, dot included
  bool nextAvailable = false, previousAvailable = false;
};

// The enabling rule of a command; commands without a rule are always enabled.
bool IsCommandEnabled(uint16_t id, const CommandState& s);

// Commands that change the song list or move in it (the list commands and
// keys): while a list operation is halfway they wait for its end.
bool WaitsForListWork(uint16_t id);

// The media keys' Play/Pause (CM_PLAYPAUSE) as the state calls for it when
// it is carried out: Pause while playing, otherwise Play (which resumes a
// paused song). The result still passes that command's enabling rule.
uint16_t ResolvePlayPause(const CommandState& s);

// The platform's application commands (WM_APPCOMMAND) and media keys that
// the player answers, as command ids; 0 for the others.
uint16_t CommandForAppCommand(uint32_t appCommand);
uint16_t CommandForMediaKey(uint32_t virtualKey);
// The virtual keys registered system-wide while MEDIAKEYS is on.
constexpr uint32_t kMediaKeys[] = {0xB3, 0xB2, 0xB0, 0xB1};  // play/pause, stop, next, previous

// A menu entry: id 0 with no items is a separator; an entry with items is a popup.
struct MenuEntry {
  uint16_t id = 0;
  std::string label;
  bool enabled = true;
  bool checked = false;
  std::vector<MenuEntry> items;
  bool IsSeparator() const { return id == 0 && items.empty(); }
  bool IsPopup() const { return !items.empty(); }
};

// The five popups of the menu "COMMANDS" with their items in menu order.
const std::vector<MenuEntry>& MainMenu();

// Tool-bar buttons from left to right for the [BUTTON] flags; 0 is a separator.
std::vector<uint16_t> ToolBarLayout(const bool (&groups)[kButtonGroupCount]);

// Operating system generation from the platform's version word.
enum class OsGeneration { kWin32s, kWindows95, kWindowsNT3, kWindowsNT4 };
OsGeneration DecideOsGeneration(uint32_t versionWord);
// Windows 95/98 and NT 4 or later: the newer shell with its shorter system menu.
bool IsNewShell(OsGeneration os);
// Items of the platform's own system menu, which our additions follow.
int SystemMenuOwnItems(OsGeneration os);
// The MPEG audio decoding thread exists everywhere but under Win32s.
bool HasDecodingThread(OsGeneration os);

// The clipboard form of Copy's song names: a file-drop list when Ctrl is held
// on a version-4 platform (Windows 95/98, NT 4), plain text otherwise; the
// NT family's file list holds wide characters.
struct CopyForm {
  bool fileList = false;
  bool ntFamily = false;
};
CopyForm CopyFormFor(bool ctrlHeld, OsGeneration os);

// The items appended to the frame's system menu each time it opens (after
// removing everything from SystemMenuOwnItems() on). checks gives the check
// marks of the toggle commands.
std::vector<MenuEntry> SystemMenuAdditions(bool minimized, bool menuBar, OsGeneration os,
                                           const CommandState& s,
                                           const std::vector<std::pair<uint16_t, bool>>& checks);

// Status-bar hint of an id (nullptr when there is none).
const char* HintText(uint16_t id);
// Every hint id in ascending order.
const std::vector<uint16_t>& HintIds();

// Accelerator table 1.
struct Accelerator {
  uint16_t key;      // virtual-key code, or the character for a character accelerator
  uint16_t command;
  bool virtualKey;
  bool alt;
};
const std::vector<Accelerator>& Accelerators();

}  // namespace app
