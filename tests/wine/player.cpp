#include "player.h"

#include <shlobj.h>
#include <winternl.h>
#include <mmsystem.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace wt {

namespace {

struct FindCtx {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK FindTop(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<FindCtx*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != c->pid) return TRUE;
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (wcscmp(cls, c->cls) == 0 && IsWindowVisible(h)) {
    c->found = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopWindow(DWORD pid, const wchar_t* cls) {
  FindCtx c{pid, cls, nullptr};
  EnumWindows(FindTop, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

struct ForeignCtx {
  DWORD pid;
  HWND frame;
  HWND found;
};

BOOL CALLBACK FindForeign(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<ForeignCtx*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != c->pid || h == c->frame || !IsWindowVisible(h)) return TRUE;
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (wcscmp(cls, L"#32770") == 0 || wcscmp(cls, L"tooltips_class32") == 0) return TRUE;
  c->found = h;
  return FALSE;
}

BOOL CALLBACK CollectText(HWND h, LPARAM lp) {
  auto* best = reinterpret_cast<std::wstring*>(lp);
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (_wcsicmp(cls, L"Static") != 0) return TRUE;
  wchar_t buf[2048];
  GetWindowTextW(h, buf, 2048);
  if (wcslen(buf) > best->size()) *best = buf;
  return TRUE;
}

}  // namespace

std::string Sample(const char* name) { return W2Sjis(CORVELLA_SAMPLES L"\\") + name; }

bool WaitState(const Player& p, LRESULT want, DWORD ms) {
  for (DWORD t = 0; t < ms; t += 100) {
    if (p.Control(0, 104) == want) return true;
    Sleep(100);
  }
  return false;
}

bool PutClipboardText(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(g), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(g);
  const bool put = SetClipboardData(CF_UNICODETEXT, g) != nullptr;
  CloseClipboard();
  return put;
}

bool PutClipboardFiles(const std::wstring& paths) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + paths.size() * sizeof(wchar_t));
  auto* df = static_cast<DROPFILES*>(GlobalLock(g));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), paths.data(), paths.size() * sizeof(wchar_t));
  GlobalUnlock(g);
  const bool put = SetClipboardData(CF_HDROP, g) != nullptr;
  CloseClipboard();
  return put;
}

std::vector<std::wstring> ListedPaths(const Player& p) {
  p.Command(152);
  p.Command(150);
  std::vector<std::wstring> lines;
  if (!OpenClipboard(nullptr)) return lines;
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  std::wstring text = h ? static_cast<const wchar_t*>(GlobalLock(h)) : L"";
  if (h) GlobalUnlock(h);
  CloseClipboard();
  for (size_t start = 0; start < text.size();) {
    size_t e = text.find(L"\r\n", start);
    if (e == std::wstring::npos) e = text.size();
    if (e > start) lines.push_back(text.substr(start, e - start));
    start = e + 2;
  }
  return lines;
}

std::vector<std::string> ListedSjisPaths(const Player& p) {
  std::vector<std::string> lines;
  for (const std::wstring& line : ListedPaths(p)) lines.push_back(W2Sjis(line));
  return lines;
}

HWND WaitDialog(const Player& p, const std::wstring& caption) {
  for (int i = 0; i < 200; ++i) {
    MessageBoxInfo box;
    if (p.WaitMessageBox(&box, 100) && box.caption == caption) return box.hwnd;
    Sleep(50);
  }
  return nullptr;
}

bool AnswerFileDialog(HWND dlg, const std::wstring& name) {
  // The file-name field of the explorer-style dialog (a combo box, or an edit).
  HWND field = GetDlgItem(dlg, 0x47C);
  if (!field) field = GetDlgItem(dlg, 0x480);
  if (!field) return false;
  DWORD_PTR r;
  SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_NORMAL, 5000, &r);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
  return true;
}

Usage MeasureUsage(const Player& p) {
  static const UINT query = RegisterWindowMessageW(L"Corvella.Usage");
  auto ask = [&](WPARAM what) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(p.Frame(), query, what, 0, SMTO_NORMAL, 5000, &r)) {
      std::printf("usage query %u failed: %lu\n", static_cast<unsigned>(what), GetLastError());
    }
    return static_cast<DWORD>(r);
  };
  Usage u;
  u.handles = ask(0);
  u.gdi = ask(1);
  u.user = ask(2);
  u.memory = static_cast<SIZE_T>(ask(3)) * 1024;
  u.workingSet = static_cast<SIZE_T>(ask(4)) * 1024;
  return u;
}

void PrintUsage(const char* when, const Usage& u) {
  std::printf("%-8s handles %lu, GDI %lu, private %lu KB, working set %lu KB\n", when, u.handles,
              u.gdi, static_cast<unsigned long>(u.memory / 1024),
              static_cast<unsigned long>(u.workingSet / 1024));
}

namespace {

struct HandleEntry {
  ULONG pid;
  BYTE type, flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};
struct HandleList {
  ULONG count;
  HandleEntry h[1];
};
using QueryFn = LONG(WINAPI*)(int, void*, ULONG, ULONG*);

bool ReadHandleList(std::vector<BYTE>* buf) {
  static const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return false;
  for (ULONG size = 1 << 20; size <= (1u << 28); size *= 2) {
    buf->resize(size);
    ULONG len = 0;
    if (query(16 /* SystemHandleInformation */, buf->data(), size, &len) == 0) return true;
  }
  return false;
}

// The type number of one of our own handles.
int TypeOf(const std::vector<BYTE>& buf, HANDLE h) {
  const auto* list = reinterpret_cast<const HandleList*>(buf.data());
  const DWORD me = GetCurrentProcessId();
  for (ULONG i = 0; i < list->count; ++i) {
    if (list->h[i].pid == me && list->h[i].handle == static_cast<USHORT>(reinterpret_cast<UINT_PTR>(h))) {
      return list->h[i].type;
    }
  }
  return -1;
}

// The system's name of a handle type ("Key", "Event", "Thread"...), read from
// one handle of that type copied out of the process; cached per type number.
std::string TypeName(DWORD pid, int type, USHORT handle) {
  static std::map<int, std::string> names;
  const auto known = names.find(type);
  if (known != names.end()) return known->second;
  using QueryObjectFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const auto queryObject = reinterpret_cast<QueryObjectFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  std::string name = "type " + std::to_string(type);
  HANDLE process = OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid);
  HANDLE copy = nullptr;
  if (process && queryObject &&
      DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                      GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    alignas(8) BYTE info[1024] = {};
    ULONG len = 0;
    if (queryObject(copy, 2 /* ObjectTypeInformation */, info, sizeof info, &len) == 0) {
      const auto* text = reinterpret_cast<const UNICODE_STRING*>(info);
      if (text->Buffer && text->Length) {
        name = W2Sjis(std::wstring(text->Buffer, text->Length / sizeof(wchar_t)));
      }
    }
    CloseHandle(copy);
  }
  if (process) CloseHandle(process);
  names[type] = name;
  return name;
}

}  // namespace

HandleCounts CountHandles(DWORD pid) {
  static int keyType = -2, eventType = -2;
  std::vector<BYTE> buf;
  if (keyType == -2) {
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &key);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (ReadHandleList(&buf)) {
      keyType = TypeOf(buf, key);
      eventType = TypeOf(buf, event);
    }
    if (key) RegCloseKey(key);
    if (event) CloseHandle(event);
  }
  HandleCounts c;
  if (!ReadHandleList(&buf)) return c;
  const auto* list = reinterpret_cast<const HandleList*>(buf.data());
  for (ULONG i = 0; i < list->count; ++i) {
    if (list->h[i].pid != pid) continue;
    ++c.total;
    if (++c.byType[list->h[i].type] == 1) {
      c.typeNames[list->h[i].type] = TypeName(pid, list->h[i].type, list->h[i].handle);
    }
    if (list->h[i].type == keyType) ++c.keys;
    if (list->h[i].type == eventType) ++c.events;
  }
  return c;
}

bool HandlesFlat(const HandleCounts& before, const HandleCounts& after) {
  return after.Other() <= before.Other() + 8 &&
         after.events <= before.events + 8 + 2 * MpegOpensBetween(before, after);
}

std::string DescribeHandles(const HandleCounts& before, const HandleCounts& after) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "handles %lu -> %lu (registry keys %lu -> %lu, events %lu -> %lu)",
                before.total, after.total, before.keys, after.keys, before.events, after.events);
  std::string s = buf;
  for (const auto& [type, n] : after.byType) {
    const auto it = before.byType.find(type);
    const DWORD was = it == before.byType.end() ? 0 : it->second;
    if (n > was + 2) s += "; " + after.typeNames.at(type) + " +" + std::to_string(n - was);
  }
  return s;
}

DeviceCost MeasureMpegDeviceCost(const std::vector<std::wstring>& files, int rounds, DWORD playMs,
                                 HWND parent) {
  auto openPlayClose = [&](const std::wstring& file) {
    MCI_ANIM_OPEN_PARMSW open = {};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = file.c_str();
    DWORD flags = MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT;
    if (parent) {
      open.dwStyle = WS_CHILD;
      open.hWndParent = parent;
      flags |= MCI_ANIM_OPEN_WS | MCI_ANIM_OPEN_PARENT;
    }
    if (mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open)) != 0) return false;
    MCI_PLAY_PARMS play = {};
    mciSendCommandW(open.wDeviceID, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&play));
    Sleep(playMs);
    mciSendCommandW(open.wDeviceID, MCI_STOP, MCI_WAIT, 0);
    mciSendCommandW(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
    return true;
  };
  auto privateKb = [] {
    // As the player counts its own (Wine fills no PrivateUsage).
    PROCESS_MEMORY_COUNTERS m = {};
    m.cb = sizeof m;
    GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m);
    return static_cast<double>(m.PagefileUsage) / 1024;
  };
  DeviceCost cost;
  for (const auto& f : files) {
    if (!openPlayClose(f)) {
      cost.text = "the MPEG device did not open " + W2Sjis(f);
      return cost;
    }
  }
  const HandleCounts before = CountHandles(GetCurrentProcessId());
  const double kbBefore = privateKb();
  int opens = 0;
  for (int i = 0; i < rounds; ++i) {
    for (const auto& f : files) opens += openPlayClose(f) ? 1 : 0;
  }
  const HandleCounts after = CountHandles(GetCurrentProcessId());
  cost.keys = (static_cast<double>(after.keys) - before.keys) / opens;
  cost.events = (static_cast<double>(after.events) - before.events) / opens;
  cost.other = (static_cast<double>(after.Other()) - before.Other()) / opens;
  cost.memoryKb = (privateKb() - kbBefore) / opens;
  char buf[200];
  std::snprintf(buf, sizeof buf, "per bare open of the MPEG device: %.1f registry keys, %.2f events, "
                "%.2f other handles, %.0f KB (%d opens)", cost.keys, cost.events, cost.other,
                cost.memoryKb, opens);
  cost.text = buf;
  return cost;
}

HWND FindForeignWindow(DWORD pid, HWND frame) {
  ForeignCtx c{pid, frame, nullptr};
  EnumWindows(FindForeign, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

Player::~Player() {
  if (pi_.hProcess) {
    if (Running()) Kill();
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Player::Start(const std::wstring& args, const std::wstring& workDir, WORD showCmd) {
  std::wstring cmd = L"\"" CORVELLA_EXE L"\"";
  if (!args.empty()) cmd += L" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = showCmd;
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(0);
  return CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi_) != 0;
}

HWND Player::WaitFrame(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    frame_ = FindTopWindow(pi_.dwProcessId, L"CorvellaFrame");
    if (frame_) {
      WaitForInputIdle(pi_.hProcess, 5000);
      Sync();
      return frame_;
    }
    if (!Running()) return nullptr;
    Sleep(50);
  }
  return nullptr;
}

HWND Player::Client() const { return FindWindowExW(frame_, nullptr, L"CorvellaWindow", nullptr); }

std::wstring Player::Caption() const {
  wchar_t buf[512] = L"";
  DWORD_PTR r;
  SendMessageTimeoutW(frame_, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                      5000, &r);
  return buf;
}

UINT Player::MenuState(UINT id) const {
  // Menu handles are not shared between processes under Wine: ask the frame.
  static const UINT query = RegisterWindowMessageW(L"Corvella.MenuState");
  DWORD_PTR r = static_cast<DWORD_PTR>(-1);
  SendMessageTimeoutW(frame_, query, id, 0, SMTO_NORMAL, 10000, &r);
  return static_cast<UINT>(r);
}
bool Player::MenuEnabled(UINT id) const {
  UINT s = MenuState(id);
  return s != static_cast<UINT>(-1) && !(s & (MF_GRAYED | MF_DISABLED));
}
bool Player::MenuChecked(UINT id) const {
  UINT s = MenuState(id);
  return s != static_cast<UINT>(-1) && (s & MF_CHECKED);
}

LRESULT Player::Command(UINT id) const {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(frame_, WM_COMMAND, id, 0, SMTO_NORMAL, 10000, &r);
  // A command that arrives while the player opens or closes a device is
  // carried out right after; wait for that.
  Sync();
  return static_cast<LRESULT>(r);
}
void Player::PostCommand(UINT id) const { PostMessageW(frame_, WM_COMMAND, id, 0); }

LRESULT Player::Control(WPARAM wp, LPARAM lp) const {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(frame_, WM_USER, wp, lp, SMTO_NORMAL, 10000, &r);
  // As for commands; the state query (104) is always answered at once.
  if (lp == 101 || lp == 102 || (lp == 100 && wp == 0)) Sync();
  return static_cast<LRESULT>(r);
}

void Player::AddPath(const std::string& sjisPath) const {
  for (unsigned char c : sjisPath) Control(c, 100);
  Control(0, 100);
}

void Player::Sync() const {
  // A sent message overtakes posted ones, so a marker is posted behind
  // everything the player has queued and asked for until it was taken.
  static const UINT ping = RegisterWindowMessageW(L"Corvella.Ping");
  static WPARAM serial = 0;
  const WPARAM mine = ++serial + GetTickCount() % 1000 * 100000;
  PostMessageW(frame_, ping, mine, 0);
  for (int i = 0; i < 200; ++i) {
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(frame_, ping, 0, 0, SMTO_NORMAL, 10000, &r) && r == mine) return;
    Sleep(25);
  }
}

bool Player::WaitMessageBox(MessageBoxInfo* box, DWORD timeoutMs) const {
  DWORD start = GetTickCount();
  for (bool first = true; first || GetTickCount() - start < timeoutMs; first = false) {
    HWND h = FindTopWindow(pi_.dwProcessId, L"#32770");
    if (h) {
      Sleep(100);  // let it finish drawing its text
      box->hwnd = h;
      wchar_t cap[512] = L"";
      GetWindowTextW(h, cap, 512);
      box->caption = cap;
      box->text.clear();
      EnumChildWindows(h, CollectText, reinterpret_cast<LPARAM>(&box->text));
      return true;
    }
    if (!Running()) return false;
    Sleep(50);
  }
  return false;
}

void Player::Answer(const MessageBoxInfo& box, int buttonId) {
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, buttonId)));
}

bool Player::Close(DWORD timeoutMs) {
  if (frame_) PostMessageW(frame_, WM_CLOSE, 0, 0);
  return WaitExit(timeoutMs);
}

bool Player::WaitExit(DWORD timeoutMs) {
  return WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Player::ExitCode() const {
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

bool Player::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void Player::Kill() {
  TerminateProcess(pi_.hProcess, 99);
  WaitForSingleObject(pi_.hProcess, 5000);
}

std::map<COLORREF, int> ClientColours(const Player& p) {
  SetForegroundWindow(p.Frame());
  RedrawWindow(p.Client(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  p.Sync();
  return WindowColours(p.Client());
}

std::map<COLORREF, int> WindowColours(HWND w) {
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Sleep(300);
  RECT rc;
  GetClientRect(w, &rc);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, rc.right, rc.bottom, screen, origin.x, origin.y, SRCCOPY);
  std::map<COLORREF, int> counts;
  for (int y = 0; y < rc.bottom; ++y) {
    for (int x = 0; x < rc.right; ++x) ++counts[GetPixel(mem, x, y)];
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return counts;
}

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
  if (!dir.empty() && dir.back() == L'\\') return dir + name;
  return dir + L"\\" + name;
}

static void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Join(dir, L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
      std::wstring p = Join(dir, fd.cFileName);
      SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(p);
      } else {
        DeleteFileW(p.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

std::wstring FreshDir(const std::wstring& name) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::wstring base = Join(tmp, L"corvella-tests");
  CreateDirectoryW(base.c_str(), nullptr);
  std::wstring dir = Join(base, name);
  RemoveTree(dir);
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

std::wstring WindowsDir() {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  return buf;
}

std::wstring SettingsPath() { return Join(WindowsDir(), L"corvella.ini"); }

void CleanSettings() {
  DeleteFileW(SettingsPath().c_str());
  wchar_t appdata[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appdata))) {
    DeleteFileW(Join(Join(appdata, L"Corvella"), L"corvella.ini").c_str());
  }
}

bool ReadBytes(const std::wstring& path, std::string* data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  data->clear();
  char buf[8192];
  DWORD got;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) data->append(buf, got);
  CloseHandle(h);
  return true;
}

bool WriteBytes(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
  CloseHandle(h);
  return ok && put == data.size();
}

std::wstring Sjis2W(const std::string& s) {
  int n = MultiByteToWideChar(932, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string W2Sjis(const std::wstring& w) {
  int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

DWORD RunCtl(const std::wstring& args, std::string* out) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE rd, wr;
  CreatePipe(&rd, &wr, &sa, 0);
  SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = wr;
  si.hStdError = wr;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring cmd = L"\"" CORVELLACTL_EXE L"\" " + args;
  std::vector<wchar_t> buf(cmd.begin(), cmd.end());
  buf.push_back(0);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buf.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi)) {
    CloseHandle(rd);
    CloseHandle(wr);
    return 0xFFFFFFFF;
  }
  CloseHandle(wr);
  std::string ignored;
  if (!out) out = &ignored;
  out->clear();
  char tmp[1024];
  DWORD got;
  while (ReadFile(rd, tmp, sizeof tmp, &got, nullptr) && got > 0) out->append(tmp, got);
  CloseHandle(rd);
  WaitForSingleObject(pi.hProcess, 20000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

}  // namespace wt
