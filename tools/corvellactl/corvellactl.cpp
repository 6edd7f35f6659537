// corvellactl: drives a running Corvella through its external control message.
//   corvellactl clear | add PATH... | play | state
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr UINT kControl = WM_USER;
constexpr LPARAM kAppendChar = 100, kClear = 101, kPlay = 102, kState = 104;

int Usage() {
  std::fwprintf(stderr,
                L"usage: corvellactl clear | add PATH... | play | state\n"
                L"  clear  stop and empty the song list\n"
                L"  add    append files to the song list\n"
                L"  play   start playing\n"
                L"  state  print stopped, playing or paused\n");
  return 2;
}

HWND FindPlayer() {
  HWND h = FindWindowW(L"CorvellaFrame", nullptr);
  if (!h) h = FindWindowW(L"CorvellaWindow", nullptr);
  return h;
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
bool SendName(HWND player, const std::wstring& path) {
  wchar_t full[MAX_PATH * 2];
  DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  std::wstring name = (n > 0 && n < MAX_PATH * 2) ? std::wstring(full, n) : path;
  std::string bytes;
  if (!ToCodePage932(name, &bytes)) {
    // Without best fit; a name 932 cannot hold goes by its short name.
    wchar_t shortName[MAX_PATH * 2];
    DWORD s = GetShortPathNameW(name.c_str(), shortName, MAX_PATH * 2);
    if (s == 0 || s >= MAX_PATH * 2 || !ToCodePage932(shortName, &bytes)) {
      std::fwprintf(stderr, L"corvellactl: the player cannot hold this name: %ls\n", name.c_str());
      return false;
    }
  }
  if (bytes.size() - 1 > 259) {
    std::fwprintf(stderr, L"corvellactl: path too long (at most 259 bytes): %ls\n", name.c_str());
    return false;
  }
  for (char c : bytes) {  // includes the closing 0
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(player, kControl, static_cast<unsigned char>(c), kAppendChar,
                             SMTO_ABORTIFHUNG, 5000, &result)) {
      return false;
    }
  }
  return true;
}

bool Send(HWND player, LPARAM code, DWORD_PTR* result) {
  return SendMessageTimeoutW(player, kControl, 0, code, SMTO_ABORTIFHUNG, 5000, result) != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  std::wstring cmd = argv[1];
  HWND player = FindPlayer();
  if (!player) {
    std::fwprintf(stderr, L"corvellactl: no Corvella window is running\n");
    return 1;
  }
  DWORD_PTR result = 0;
  if (cmd == L"clear") {
    if (!Send(player, kClear, &result)) return 1;
  } else if (cmd == L"add") {
    if (argc < 3) return Usage();
    for (int i = 2; i < argc; ++i) {
      if (!SendName(player, argv[i])) return 1;
    }
  } else if (cmd == L"play") {
    if (!Send(player, kPlay, &result)) return 1;
  } else if (cmd == L"state") {
    if (!Send(player, kState, &result)) return 1;
    const wchar_t* word = result == 1 ? L"playing" : result == 3 ? L"paused" : L"stopped";
    std::fwprintf(stdout, L"%ls\n", word);
  } else {
    return Usage();
  }
  return 0;
}
