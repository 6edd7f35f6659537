#include "win32/automation.h"

#include <psapi.h>

#include <cstdint>
#include <vector>

#include "app/command_ids.h"
#include "app/external_control.h"
#include "win32/my_window.h"

namespace win32 {

// Menus live in each process under Wine, so other programs ask the frame for
// a command's menu state with this message.
static const UINT kMenuStateQuery = RegisterWindowMessageW(L"Corvella.MenuState");
// And for its own resource use: Wine answers these only inside a process.
static const UINT kUsageQuery = RegisterWindowMessageW(L"Corvella.Usage");
static const UINT kPingMessage = RegisterWindowMessageW(L"Corvella.Ping");

bool IsMenuStateQuery(UINT msg) { return msg == kMenuStateQuery && msg != 0; }

LRESULT MenuState(wnd::DecoratedFrame& frame, HMENU menu, UINT id) {
  frame.IdleAction();
  if (menu && !GetMenu(frame.Handle())) frame.UpdateMenu(menu);
  return static_cast<LRESULT>(GetMenuState(menu, id, MF_BYCOMMAND));
}

bool IsUsageQuery(UINT msg) { return msg == kUsageQuery && msg != 0; }

bool PingMarker::Is(UINT msg) { return msg == kPingMessage && msg != 0; }

bool PingMarker::Answer(WPARAM wp, LRESULT* result) const {
  if (wp != 0) return false;
  *result = static_cast<LRESULT>(last_);
  return true;
}

namespace {

// Wine answers GetProcessHandleCount with 0; the system's handle list still
// names the owner of every handle.
DWORD CountOwnHandles() {
  struct Entry {
    ULONG pid;
    UCHAR type, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  struct List {
    ULONG count;
    Entry entries[1];
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const Query query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<char> buf(1 << 20);
  for (int tries = 0; tries < 4; ++tries) {
    ULONG len = 0;
    const LONG status = query(16 /* SystemHandleInformation */, buf.data(), ULONG(buf.size()), &len);
    if (status == 0) {
      const List* list = reinterpret_cast<const List*>(buf.data());
      const DWORD self = GetCurrentProcessId();
      DWORD n = 0;
      for (ULONG i = 0; i < list->count; ++i)
        if (list->entries[i].pid == self) ++n;
      return n;
    }
    buf.resize(buf.size() * 4);
  }
  return 0;
}

// Wine's GetGuiResources is a stub; it keeps GDI handles in a per-process
// table named by the process block, 24-byte entries with a nonzero type byte
// for every live object.
DWORD CountOwnGdiObjects() {
#if defined(_M_IX86) || defined(__i386__)
  using GetPeb = void*(WINAPI*)();
  static const GetPeb getPeb = reinterpret_cast<GetPeb>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
  if (!getPeb) return 0;
  const BYTE* peb = static_cast<const BYTE*>(getPeb());
  const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94);
  if (!table) return 0;
  DWORD n = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i * 24 + 14] != 0) ++n;
  return n;
#else
  return 0;
#endif
}

}  // namespace

LRESULT Usage(WPARAM what) {
  HANDLE self = GetCurrentProcess();
  switch (what) {
    case 0: {
      DWORD n = 0;
      if (!GetProcessHandleCount(self, &n) || n == 0) n = CountOwnHandles();
      return static_cast<LRESULT>(n);
    }
    case 1: {
      DWORD n = GetGuiResources(self, GR_GDIOBJECTS);
      if (n == 0) n = CountOwnGdiObjects();
      return static_cast<LRESULT>(n);
    }
    case 2: return static_cast<LRESULT>(GetGuiResources(self, GR_USEROBJECTS));
    case 5: {
      FILETIME created, exited, kernel, user;
      if (!GetProcessTimes(self, &created, &exited, &kernel, &user)) return 0;
      auto ticks = [](const FILETIME& f) {
        return (uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime;
      };
      return static_cast<LRESULT>((ticks(kernel) + ticks(user)) / 10000);
    }
    case 3:
    case 4: {
      PROCESS_MEMORY_COUNTERS pmc{};
      pmc.cb = sizeof pmc;
      if (!GetProcessMemoryInfo(self, &pmc, sizeof pmc)) return 0;
      return static_cast<LRESULT>((what == 3 ? pmc.PagefileUsage : pmc.WorkingSetSize) / 1024);
    }
  }
  return 0;
}

}  // namespace win32

// ---- the remote-control message ----

class TMyWindow::ControlView : public app::ExternalControl::View {
 public:
  explicit ControlView(TMyWindow& w) : w_(w) {}
  int Count() override { return w_.list_->Count(); }
  int Current() override { return w_.list_->Current(); }
  std::string CurrentPath() override { return w_.list_->PathAt(w_.list_->Current()); }
  uint32_t PositionMs() override {
    playback::Device& d = w_.player_->device();
    if (!d.IsOpen()) return w_.lastRemotePosition_ = 0;
    // A question that arrives while a device opens or closes must not call
    // into that device halfway: it hears the last position read.
    uint32_t ms = 0;
    int32_t second = 0;
    if (!w_.route_.Busy() && d.Position(&ms, &second)) w_.lastRemotePosition_ = ms;
    return w_.lastRemotePosition_;
  }
  uint32_t LengthMs() override {
    playback::Device& d = w_.player_->device();
    return d.IsOpen() ? d.Length() : 0;
  }
  bool Waiting() override { return w_.player_->sequencer().Waiting(); }
  app::CommandState Commands() override { return w_.Snapshot(); }

 private:
  TMyWindow& w_;
};

bool TMyWindow::OnExternalControl(WPARAM wp, LPARAM lp, LRESULT* reply) {
  if (app::ExternalControl::ReadsView(lp)) {
    ControlView view(*this);
    *reply = app::ExternalControl::Answer(lp, wp, view);
    return false;
  }
  app::ExternalControl::Result r = external_.Handle(
      static_cast<intptr_t>(lp), static_cast<uintptr_t>(wp), PlayerState(),
      list_->Count() >= songlist::kMaxEntries);
  *reply = r.reply;
  switch (r.action) {
    case app::ExternalControl::Action::kAppendEntry:
      songlist::AppendExternalName(*list_, r.name);
      return true;
    case app::ExternalControl::Action::kClearList:
      songlist::ClearFromExternal(*list_);
      return true;
    case app::ExternalControl::Action::kPlay:
      RunCommand(CM_PLAY, true);
      return true;
    case app::ExternalControl::Action::kNone:
      break;
  }
  return false;
}
