// What corvellactl understands and what it prints, apart from the Windows
// calls that carry it out: the words of its command line and of its serve
// mode, the command each word posts, and the status line that people and the
// desktop bridge read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ctl {

enum class Verb {
  kHelp, kClear, kAdd, kPlay, kStop, kPause, kNext, kPrevious, kQuit, kRaise,
  kState, kStatus, kCan, kServe,
};

struct Request {
  Verb verb = Verb::kHelp;
  std::vector<std::string> paths;  // UTF-8, for add
};

// The words after the program's name; false for anything but a known command
// with the arguments it takes (the caller prints the usage and exits 2).
bool ParseArgs(const std::vector<std::string>& args, Request* r);
// One line of serve mode: a command word, and for add the rest of the line
// as one path (so names with blanks need no quoting). Serve is not nested.
bool ParseLine(const std::string& line, Request* r);

// The command id posted for a verb that works as the tool bar's button
// (its enabling rule applies); 0 for the others.
uint16_t PostedCommand(Verb v);

const char* UsageText();

// The player's state as the state query (1 playing, 3 paused) and the
// waiting query answer it: "playing", "paused", "waiting" or "stopped".
std::string StateWord(intptr_t stateReply, bool waiting);

// One line: STATE ENTRY POSITION/LENGTH PATH, times in ms, the path last
// (it may hold blanks, or be empty when the list is).
struct Status {
  std::string state = "stopped";
  int entry = 0;
  uint32_t positionMs = 0, lengthMs = 0;
  std::string path;
};
std::string FormatStatus(const Status& s);
bool ParseStatus(const std::string& line, Status* s);

// The enabled transport commands (the control message's bits) as words,
// "play stop pause next previous" in that order, or "none".
std::string FormatCan(intptr_t bits);
intptr_t ParseCan(const std::string& line);

// The file name of a Windows path (after its last backslash or slash).
std::string TitleOf(const std::string& windowsPath);
// A file URL for a Windows path of the player's Wine set-up: driveRoot gives
// the Unix directory a drive letter stands for ("" when unknown, and then
// there is no URL). Bytes outside the unreserved set are percent-encoded.
std::string FileUrl(const std::string& windowsPath, std::string (*driveRoot)(char drive, void* ctx),
                    void* ctx);

}  // namespace ctl
