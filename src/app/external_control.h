// The message by which other programs drive the player (WM_USER with a code
// in lParam and a value in wParam), and the reaction to power-management
// notices. Both only decide; the main window carries out the returned action.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/commands.h"

namespace app {

class ExternalControl {
 public:
  enum Code : intptr_t {
    kAppendChar = 100,  // wParam: one byte of a path; 0 ends the path
    kClear = 101,       // stop if a song is open, empty the list
    kPlay = 102,        // as the Play command
    kQueryState = 104,  // answers 1 playing, 3 paused, 0 otherwise
    // Read-only questions of remote controls, answered at once:
    kQueryEntry = 105,     // the current entry's number in the list, 0 when empty
    kQueryPosition = 106,  // play position of the open song in ms, 0 when none
    kQueryLength = 107,    // length of the open song in ms, 0 when none
    kQueryPathByte = 108,  // wParam: an index; that byte of the current entry's path, 0 past its end
    kQueryEnabled = 109,   // the transport commands now enabled (TransportBits)
    kQueryWaiting = 110,   // 1 while the pause between songs runs
  };
  // Answer bits of kQueryEnabled: the commands a remote offers, enabled as
  // from the menu and the tool bar.
  enum TransportBits : intptr_t {
    kCanPlay = 1, kCanStop = 2, kCanPause = 4, kCanNext = 8, kCanPrevious = 16,
  };
  static constexpr size_t kBufferSize = 1024;  // characters held at most
  static constexpr size_t kMaxPath = 259;      // longest path a list entry holds

  enum class Action {
    kNone,
    kAppendEntry,  // append name as a new entry marked played, redraw the list
    kClearList,    // stop if a song is open, then empty the list (current position 0)
    kPlay,         // Play (command 203)
  };
  struct Result {
    Action action = Action::kNone;
    std::string name;   // for kAppendEntry
    intptr_t reply = 0; // the message's result
  };

  // The queries read only; they are answered even while other messages wait.
  static bool AnswersAtOnce(intptr_t code) { return code >= kQueryState && code <= kQueryWaiting; }
  // Appending a name and clearing change the song list.
  static bool ChangesList(intptr_t code) { return code == kAppendChar || code == kClear; }

  // What the queries from kQueryEntry on read, asked only for what a query needs.
  class View {
   public:
    virtual ~View() = default;
    virtual int Count() = 0;
    virtual int Current() = 0;  // position in the play order
    virtual std::string CurrentPath() = 0;
    virtual uint32_t PositionMs() = 0;
    virtual uint32_t LengthMs() = 0;
    virtual bool Waiting() = 0;
    virtual CommandState Commands() = 0;
  };
  static bool ReadsView(intptr_t code) { return code > kQueryState && code <= kQueryWaiting; }
  static intptr_t Answer(intptr_t code, uintptr_t value, View& view);
  static intptr_t Transport(const CommandState& s);

  // listFull: the list already holds its 999 entries.
  Result Handle(intptr_t code, uintptr_t value, PlayState state, bool listFull);

 private:
  std::string buffer_;
};

// Suspend and resume: the state at suspension decides whether playing
// resumes. Several suspend notices in a row (the query and the suspend
// itself) count once, and so do several resume notices.
class PowerNotice {
 public:
  // The platform's power broadcast events.
  enum Event : uint32_t {
    kQuerySuspend = 0x0000,
    kQuerySuspendFailed = 0x0002,
    kSuspend = 0x0004,
    kResumeCritical = 0x0006,
    kResumeSuspend = 0x0007,
    kResumeAutomatic = 0x0012,
  };
  enum class Action { kNone, kPause, kPlay };

  Action OnSuspend(PlayState state);
  Action OnResume();
  // Maps a power broadcast event onto the two above.
  Action OnEvent(uint32_t event, PlayState state);

 private:
  bool suspended_ = false;
  PlayState remembered_ = PlayState::kStopped;
};

}  // namespace app
