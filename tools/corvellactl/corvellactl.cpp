// corvellactl: drives a running Corvella from outside, as a remote does,
// through its external control message and its own command route. The words
// it understands are in remote.cpp; see `corvellactl --help`.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/external_control.h"
#include "remote.h"

namespace {

using Ctl = app::ExternalControl;
constexpr UINT kControl = WM_USER;
constexpr DWORD kTimeoutMs = 5000;

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromCodePage(UINT cp, const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

// A console shows the text as it is; a pipe or a file gets UTF-8.
void Print(DWORD which, const std::string& utf8) {
  HANDLE h = GetStdHandle(which);
  DWORD mode = 0, done = 0;
  if (GetConsoleMode(h, &mode)) {
    std::wstring w = FromCodePage(CP_UTF8, utf8);
    WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &done, nullptr);
  } else {
    WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr);
  }
}

HWND FindPlayer() {
  HWND h = FindWindowW(L"CorvellaFrame", nullptr);
  if (!h) h = FindWindowW(L"CorvellaWindow", nullptr);
  return h;
}

bool Ask(HWND player, LPARAM code, WPARAM value, DWORD_PTR* result) {
  *result = 0;
  return SendMessageTimeoutW(player, kControl, value, code, SMTO_ABORTIFHUNG, kTimeoutMs, result) != 0;
}

// Exact conversion with its closing 0; false when a character has no form in 932.
bool ToCodePage932(const std::wstring& w, std::string* out) {
  BOOL used = FALSE;
  int len = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, nullptr, 0, "?", &used);
  if (len <= 0 || used) return false;
  out->assign(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, out->data(), len, "?", &used);
  return !used;
}

// The player keeps names in code page 932, one byte per message, ended by 0.
bool SendName(HWND player, const std::wstring& path, std::string* error) {
  wchar_t full[MAX_PATH * 2];
  DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  std::wstring name = (n > 0 && n < MAX_PATH * 2) ? std::wstring(full, n) : path;
  std::string bytes;
  if (!ToCodePage932(name, &bytes)) {
    // Without best fit; a name 932 cannot hold goes by its short name.
    wchar_t shortName[MAX_PATH * 2];
    DWORD s = GetShortPathNameW(name.c_str(), shortName, MAX_PATH * 2);
    if (s == 0 || s >= MAX_PATH * 2 || !ToCodePage932(shortName, &bytes)) {
      *error = "the player cannot hold this name: " + ToUtf8(name);
      return false;
    }
  }
  if (bytes.size() - 1 > Ctl::kMaxPath) {
    *error = "path too long (at most 259 bytes): " + ToUtf8(name);
    return false;
  }
  for (char c : bytes) {  // includes the closing 0
    DWORD_PTR result = 0;
    if (!Ask(player, Ctl::kAppendChar, static_cast<unsigned char>(c), &result)) {
      *error = "the player did not answer";
      return false;
    }
  }
  return true;
}

// Waits until the player has carried out everything posted to it so far: a
// marker posted behind them comes back when its turn has come.
void WaitCarried(HWND player) {
  static const UINT ping = RegisterWindowMessageW(L"Corvella.Ping");
  const WPARAM mine = ((GetCurrentProcessId() << 12) ^ GetTickCount()) | 1;
  if (!PostMessageW(player, ping, mine, 0)) return;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kTimeoutMs;) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(player, ping, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &r)) return;
    if (r == mine) return;
    Sleep(5);
  }
}

bool ReadStatus(HWND player, ctl::Status* s) {
  DWORD_PTR state = 0, waiting = 0, entry = 0, pos = 0, len = 0;
  if (!Ask(player, Ctl::kQueryState, 0, &state) || !Ask(player, Ctl::kQueryWaiting, 0, &waiting) ||
      !Ask(player, Ctl::kQueryEntry, 0, &entry) || !Ask(player, Ctl::kQueryPosition, 0, &pos) ||
      !Ask(player, Ctl::kQueryLength, 0, &len)) {
    return false;
  }
  std::string path;
  if (entry > 0) {
    for (WPARAM i = 0; i < Ctl::kBufferSize; ++i) {
      DWORD_PTR b = 0;
      if (!Ask(player, Ctl::kQueryPathByte, i, &b)) return false;
      if (b == 0) break;
      path += static_cast<char>(b);
    }
  }
  s->state = ctl::StateWord(static_cast<intptr_t>(state), waiting != 0);
  s->entry = static_cast<int>(entry);
  s->positionMs = static_cast<uint32_t>(pos);
  s->lengthMs = static_cast<uint32_t>(len);
  s->path = ToUtf8(FromCodePage(932, path));
  return true;
}

void Raise(HWND frame) {
  if (IsIconic(frame)) {
    PostMessageW(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    WaitCarried(frame);
  }
  SetForegroundWindow(frame);
}

enum Outcome { kDone = 0, kNoPlayer = 1, kFailed = 3 };

// Carries out one request; *reply is the line it prints (without its end).
// wait: a posted command returns once the player has carried it out, and
// quit once the player has ended; serve mode answers at once instead, since
// a desktop's call must not wait for a song to open (the bridge reads the
// state that follows as it comes).
Outcome Carry(const ctl::Request& r, bool wait, std::string* reply) {
  reply->clear();
  HWND player = FindPlayer();
  if (!player) {
    *reply = "no Corvella window is running";
    return kNoPlayer;
  }
  DWORD_PTR result = 0;
  switch (r.verb) {
    case ctl::Verb::kClear:
      if (!Ask(player, Ctl::kClear, 0, &result)) break;
      return kDone;
    case ctl::Verb::kAdd:
      for (const std::string& p : r.paths) {
        if (!SendName(player, FromCodePage(CP_UTF8, p), reply)) return kFailed;
      }
      return kDone;
    case ctl::Verb::kPlay:
      if (!Ask(player, Ctl::kPlay, 0, &result)) break;
      return kDone;
    case ctl::Verb::kState: {
      DWORD_PTR waiting = 0;
      if (!Ask(player, Ctl::kQueryState, 0, &result) || !Ask(player, Ctl::kQueryWaiting, 0, &waiting)) break;
      *reply = ctl::StateWord(static_cast<intptr_t>(result), waiting != 0);
      return kDone;
    }
    case ctl::Verb::kStatus: {
      ctl::Status s;
      if (!ReadStatus(player, &s)) break;
      *reply = ctl::FormatStatus(s);
      return kDone;
    }
    case ctl::Verb::kCan:
      if (!Ask(player, Ctl::kQueryEnabled, 0, &result)) break;
      *reply = ctl::FormatCan(static_cast<intptr_t>(result));
      return kDone;
    case ctl::Verb::kRaise:
      Raise(player);
      return kDone;
    case ctl::Verb::kQuit: {
      DWORD pid = 0;
      GetWindowThreadProcessId(player, &pid);
      HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
      PostMessageW(player, WM_COMMAND, CM_EXIT, 0);
      // The exit may ask whether a changed song-name file is to be saved.
      if (process && wait) WaitForSingleObject(process, 15000);
      if (process) CloseHandle(process);
      return kDone;
    }
    default: {
      const uint16_t id = ctl::PostedCommand(r.verb);
      if (id == 0 || !PostMessageW(player, WM_COMMAND, id, 0)) break;
      if (wait) WaitCarried(player);
      return kDone;
    }
  }
  *reply = "the player did not answer";
  return kFailed;
}

// One line in, one line out, until standard input ends. The desktop bridge
// keeps one of these running instead of starting a program per call.
int Serve() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char buf[4096];
  for (;;) {
    size_t nl;
    while ((nl = pending.find('\n')) == std::string::npos) {
      DWORD got = 0;
      if (!ReadFile(in, buf, sizeof buf, &got, nullptr) || got == 0) return 0;
      pending.append(buf, got);
    }
    const std::string line = pending.substr(0, nl);
    pending.erase(0, nl + 1);
    ctl::Request r;
    std::string reply;
    if (!ctl::ParseLine(line, &r)) {
      reply = "error: unknown command";
    } else if (r.verb == ctl::Verb::kHelp) {
      reply = "ok";
    } else {
      const Outcome o = Carry(r, false, &reply);
      if (o != kDone) reply = (o == kNoPlayer ? "error: no player: " : "error: ") + reply;
      else if (reply.empty()) reply = "ok";
    }
    Print(STD_OUTPUT_HANDLE, reply + "\n");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf8(argv[i]));
  ctl::Request r;
  if (!ctl::ParseArgs(args, &r)) {
    Print(STD_ERROR_HANDLE, ctl::UsageText());
    return 2;
  }
  if (r.verb == ctl::Verb::kHelp) {
    Print(STD_OUTPUT_HANDLE, ctl::UsageText());
    return 0;
  }
  if (r.verb == ctl::Verb::kServe) return Serve();
  std::string reply;
  const Outcome o = Carry(r, true, &reply);
  if (o != kDone) {
    Print(STD_ERROR_HANDLE, "corvellactl: " + reply + "\n");
    return 1;
  }
  if (!reply.empty()) Print(STD_OUTPUT_HANDLE, reply + "\n");
  return 0;
}
