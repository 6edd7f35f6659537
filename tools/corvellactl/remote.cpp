#include "remote.h"

#include <cstdio>
#include <cstdlib>

#include "app/command_ids.h"
#include "app/external_control.h"

namespace ctl {

namespace {

struct Word {
  const char* text;
  Verb verb;
};
const Word kWords[] = {
    {"clear", Verb::kClear}, {"add", Verb::kAdd},       {"play", Verb::kPlay},
    {"stop", Verb::kStop},   {"pause", Verb::kPause},   {"next", Verb::kNext},
    {"previous", Verb::kPrevious}, {"quit", Verb::kQuit}, {"raise", Verb::kRaise},
    {"state", Verb::kState}, {"status", Verb::kStatus}, {"can", Verb::kCan},
    {"serve", Verb::kServe}, {"help", Verb::kHelp},     {"--help", Verb::kHelp},
    {"-h", Verb::kHelp},     {"/?", Verb::kHelp},
};

bool Lookup(const std::string& w, Verb* v) {
  for (const Word& k : kWords) {
    if (w == k.text) {
      *v = k.verb;
      return true;
    }
  }
  return false;
}

using Ctl = app::ExternalControl;
const struct {
  intptr_t bit;
  const char* word;
} kCan[] = {{Ctl::kCanPlay, "play"}, {Ctl::kCanStop, "stop"}, {Ctl::kCanPause, "pause"},
            {Ctl::kCanNext, "next"}, {Ctl::kCanPrevious, "previous"}};

bool ReadNumber(const std::string& s, size_t* at, char end, uint32_t* out) {
  size_t i = *at;
  uint64_t n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n <= 0xFFFFFFFFu) n = n * 10 + (s[i++] - '0');
  if (i == *at || i >= s.size() || s[i] != end || n > 0xFFFFFFFFu) return false;
  *out = static_cast<uint32_t>(n);
  *at = i + 1;
  return true;
}

}  // namespace

bool ParseArgs(const std::vector<std::string>& args, Request* r) {
  *r = Request();
  if (args.empty() || !Lookup(args[0], &r->verb)) return false;
  if (r->verb == Verb::kAdd) {
    if (args.size() < 2) return false;
    r->paths.assign(args.begin() + 1, args.end());
    return true;
  }
  return args.size() == 1;
}

bool ParseLine(const std::string& line, Request* r) {
  std::string l = line;
  while (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.pop_back();
  const size_t blank = l.find(' ');
  const std::string word = l.substr(0, blank);
  std::vector<std::string> args{word};
  if (blank != std::string::npos) {
    const std::string rest = l.substr(blank + 1);
    if (!rest.empty()) args.push_back(rest);
  }
  return ParseArgs(args, r) && r->verb != Verb::kServe;
}

uint16_t PostedCommand(Verb v) {
  switch (v) {
    case Verb::kStop: return CM_STOP;
    case Verb::kPause: return CM_PLAYPAUSE;  // a toggle, as the media key
    case Verb::kNext: return CM_NEXT;
    case Verb::kPrevious: return CM_PREVIOUS;
    case Verb::kQuit: return CM_EXIT;
    default: return 0;
  }
}

const char* UsageText() {
  return "usage: corvellactl COMMAND [PATH...]\n"
         "  clear         stop and empty the song list\n"
         "  add PATH...   append files to the song list\n"
         "  play          start playing (resumes a paused song)\n"
         "  pause         pause, or go on playing when paused (as the media key)\n"
         "  stop          stop playing\n"
         "  next          play the next song\n"
         "  previous      play the song before\n"
         "  quit          end the player (as File > Exit)\n"
         "  raise         bring the player's window to the front\n"
         "  state         print stopped, playing, paused or waiting\n"
         "  status        print STATE ENTRY POSITION/LENGTH PATH on one line\n"
         "                (times in milliseconds; ENTRY 0 when the list is empty)\n"
         "  can           print which of play stop pause next previous are enabled\n"
         "  serve         read commands from standard input, one a line, and answer\n"
         "                each with one line (ok, the printed text, or error: ...)\n"
         "Commands work as the tool bar's buttons: one that is disabled there does\n"
         "nothing. Exit status: 0 done, 1 no player runs or it did not answer,\n"
         "2 unknown command.\n";
}

std::string StateWord(intptr_t stateReply, bool waiting) {
  if (stateReply == 1) return "playing";
  if (stateReply == 3) return "paused";
  return waiting ? "waiting" : "stopped";
}

std::string FormatStatus(const Status& s) {
  char head[96];
  std::snprintf(head, sizeof head, "%s %d %lu/%lu ", s.state.c_str(), s.entry,
                static_cast<unsigned long>(s.positionMs), static_cast<unsigned long>(s.lengthMs));
  return head + s.path;
}

bool ParseStatus(const std::string& line, Status* s) {
  Status r;
  const size_t blank = line.find(' ');
  if (blank == std::string::npos) return false;
  r.state = line.substr(0, blank);
  if (r.state != "stopped" && r.state != "playing" && r.state != "paused" && r.state != "waiting") {
    return false;
  }
  size_t at = blank + 1;
  uint32_t entry = 0;
  if (!ReadNumber(line, &at, ' ', &entry) || entry > 999) return false;
  if (!ReadNumber(line, &at, '/', &r.positionMs) || !ReadNumber(line, &at, ' ', &r.lengthMs)) {
    return false;
  }
  r.entry = static_cast<int>(entry);
  r.path = line.substr(at);
  while (!r.path.empty() && (r.path.back() == '\r' || r.path.back() == '\n')) r.path.pop_back();
  *s = r;
  return true;
}

std::string FormatCan(intptr_t bits) {
  std::string out;
  for (const auto& c : kCan) {
    if (!(bits & c.bit)) continue;
    if (!out.empty()) out += ' ';
    out += c.word;
  }
  return out.empty() ? "none" : out;
}

intptr_t ParseCan(const std::string& line) {
  intptr_t bits = 0;
  size_t i = 0;
  while (i < line.size()) {
    size_t end = line.find(' ', i);
    if (end == std::string::npos) end = line.size();
    std::string w = line.substr(i, end - i);
    while (!w.empty() && (w.back() == '\r' || w.back() == '\n')) w.pop_back();
    for (const auto& c : kCan) {
      if (w == c.word) bits |= c.bit;
    }
    i = end + 1;
  }
  return bits;
}

std::string TitleOf(const std::string& windowsPath) {
  // UTF-8 has no byte of a longer character equal to a slash or backslash.
  const size_t cut = windowsPath.find_last_of("\\/");
  return cut == std::string::npos ? windowsPath : windowsPath.substr(cut + 1);
}

std::string FileUrl(const std::string& windowsPath, std::string (*driveRoot)(char drive, void* ctx),
                    void* ctx) {
  if (windowsPath.size() < 3 || windowsPath[1] != ':' || (windowsPath[2] != '\\' && windowsPath[2] != '/')) {
    return {};
  }
  char drive = windowsPath[0];
  if (drive >= 'A' && drive <= 'Z') drive = static_cast<char>(drive - 'A' + 'a');
  if (drive < 'a' || drive > 'z') return {};
  std::string root = driveRoot(drive, ctx);
  if (root.empty() || root[0] != '/') return {};
  while (!root.empty() && root.back() == '/') root.pop_back();
  std::string unix = root + "/" + windowsPath.substr(3);
  for (char& c : unix) {
    if (c == '\\') c = '/';
  }
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : unix) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (keep) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

}  // namespace ctl
