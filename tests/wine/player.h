// Drives corvella.exe from outside, as another program or the user would:
// start it, find its windows, send commands and control messages, read its
// caption, menus and message boxes, close it and read the files it wrote.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace wt {

struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};

class Player {
 public:
  ~Player();
  // Starts the player with the given arguments in workDir (the resume file lives there).
  bool Start(const std::wstring& args, const std::wstring& workDir, WORD showCmd = SW_SHOWNORMAL);
  // Waits for the frame window; nullptr on time-out or when the process ended.
  HWND WaitFrame(DWORD timeoutMs = 20000);
  HWND Frame() const { return frame_; }
  HWND Client() const;
  DWORD Pid() const { return pi_.dwProcessId; }

  std::wstring Caption() const;
  // GetMenuState of a command in the frame's menu (also while the bar is hidden).
  UINT MenuState(UINT id) const;
  bool MenuEnabled(UINT id) const;
  bool MenuChecked(UINT id) const;
  // WM_COMMAND, sent to the frame; returns once it has been carried out.
  LRESULT Command(UINT id) const;
  void PostCommand(UINT id) const;
  LRESULT Control(WPARAM wp, LPARAM lp) const;  // the external control message
  void AddPath(const std::string& sjisPath) const;
  // Waits until the main window has handled everything sent so far.
  void Sync() const;

  // Waits for a message box of this process.
  bool WaitMessageBox(MessageBoxInfo* box, DWORD timeoutMs = 15000) const;
  static void Answer(const MessageBoxInfo& box, int buttonId);

  // Asks the frame to close and waits for the process to end.
  bool Close(DWORD timeoutMs = 20000);
  bool WaitExit(DWORD timeoutMs = 20000);
  DWORD ExitCode() const;
  bool Running() const;
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
  HWND frame_ = nullptr;
};

// The player's own resource figures (Wine gives them to no other process).
struct Usage {
  DWORD handles = 0, gdi = 0, user = 0;
  SIZE_T memory = 0, workingSet = 0;
};
Usage MeasureUsage(const Player& p);
void PrintUsage(const char* when, const Usage& u);

// A process's handles by kind, from the system's handle list. Wine's MPEG
// device (DirectShow) leaves about 114 registry keys and one event open per
// file it opens, so those are counted apart from the rest.
struct HandleCounts {
  DWORD total = 0, keys = 0, events = 0;
  std::map<int, DWORD> byType;  // the system's type numbers, for diagnosis
  std::map<int, std::string> typeNames;
  DWORD Other() const { return total - keys - events; }
};
HandleCounts CountHandles(DWORD pid);
// About how many files Wine's MPEG device opened between two counts.
inline DWORD MpegOpensBetween(const HandleCounts& before, const HandleCounts& after) {
  return after.keys > before.keys ? (after.keys - before.keys + 99) / 100 : 0;
}
// Nothing of ours piled up between two counts: every kind of handle but
// registry keys stays within 8, events within 8 plus two per MPEG open.
bool HandlesFlat(const HandleCounts& before, const HandleCounts& after);
std::string DescribeHandles(const HandleCounts& before, const HandleCounts& after);

// What Wine's MPEG device leaves behind per file it opens, measured in this
// process with bare MCI commands and no player: open on "mpegvideo", play
// for a moment, stop, close; after one warm-up round, `rounds` times each.
struct DeviceCost {
  double keys = 0, events = 0, other = 0;  // handles per open
  double memoryKb = 0;                     // private memory per open
  std::string text;
};
DeviceCost MeasureMpegDeviceCost(const std::vector<std::wstring>& files, int rounds, DWORD playMs = 200,
                                 HWND parent = nullptr);

// A file made by scripts/make_samples.sh, as a Shift-JIS path.
std::string Sample(const char* name);
// Waits until the control message's state query answers `want`.
bool WaitState(const Player& p, LRESULT want, DWORD ms);
// Puts text on the clipboard as another program would.
bool PutClipboardText(const std::wstring& text);
// A wide file list (CF_HDROP): paths each ended by a 0, then one more 0.
bool PutClipboardFiles(const std::wstring& paths);
// The list's lines (its paths), as Select all + Copy put them on the clipboard.
std::vector<std::wstring> ListedPaths(const Player& p);
std::vector<std::string> ListedSjisPaths(const Player& p);

// Waits for a dialog of the player's process with this caption.
HWND WaitDialog(const Player& p, const std::wstring& caption);
// Types a name into an open or save dialog's name field, presses OK and
// waits for the dialog to close. False when it has no name field.
bool AnswerFileDialog(HWND dlg, const std::wstring& name);

// The first visible top-level window of a process that is none of the
// player's own (frame, message boxes): a media device's video window.
HWND FindForeignWindow(DWORD pid, HWND frame);

// Counts the pixels of the main window's client area by colour, read back
// from the screen after the window has painted.
std::map<COLORREF, int> ClientColours(const Player& p);
// The same for any window (a film's own window, the full screen).
std::map<COLORREF, int> WindowColours(HWND w);

// A fresh, empty folder for one test.
std::wstring FreshDir(const std::wstring& name);
std::wstring WindowsDir();
std::wstring SettingsPath();  // corvella.ini in the Windows directory
// Removes every settings file the player may read.
void CleanSettings();
bool ReadBytes(const std::wstring& path, std::string* data);
bool WriteBytes(const std::wstring& path, const std::string& data);
std::wstring Join(const std::wstring& dir, const std::wstring& name);
std::wstring Sjis2W(const std::string& s);
std::string W2Sjis(const std::wstring& s);
// Runs corvellactl with the arguments; returns its exit code and standard output.
DWORD RunCtl(const std::wstring& args, std::string* out = nullptr);

}  // namespace wt
