#include "win32/win_mci.h"

#include <mmsystem.h>

#include <algorithm>
#include <string>

#include "win32/wnd/text_conv.h"

namespace {
// The digital-video status item of the playing window.
constexpr DWORD kStatusWindowHandle = 0x00004001;

uint32_t Send(platform::MciDevice id, UINT msg, DWORD_PTR flags, void* parms) {
  return static_cast<uint32_t>(mciSendCommandW(static_cast<MCIDEVICEID>(id), msg, flags,
                                               reinterpret_cast<DWORD_PTR>(parms)));
}

bool UnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool DigitalVideo(platform::MciDevice id) {
  MCI_GETDEVCAPS_PARMS caps = {};
  caps.dwItem = MCI_GETDEVCAPS_DEVICE_TYPE;
  return Send(id, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, &caps) == 0 &&
         caps.dwReturn == MCI_DEVTYPE_DIGITAL_VIDEO;
}
}  // namespace

uint32_t WinMci::OpenElement(const std::string& element, platform::VideoPlacement window,
                             platform::MciDevice* id) {
  return OpenElementOn("", element, window, id);
}

uint32_t WinMci::OpenElementOn(const std::string& deviceType, const std::string& element,
                              platform::VideoPlacement window, platform::MciDevice* id) {
  std::wstring type = wnd::Wide(deviceType);
  std::wstring name = wnd::Wide(element);
  MCI_ANIM_OPEN_PARMSW p = {};
  p.dwCallback = reinterpret_cast<DWORD_PTR>(notify_);
  p.lpstrElementName = name.c_str();
  DWORD flags = MCI_OPEN_ELEMENT | MCI_WAIT;
  // Without a type the device is the one the extension is mapped to.
  if (!type.empty()) {
    p.lpstrDeviceType = type.c_str();
    flags |= MCI_OPEN_TYPE;
  }
  if (window.popup) {
    p.dwStyle = WS_POPUP;
    flags |= MCI_ANIM_OPEN_WS;
  } else if (window.parent) {
    // A device that makes its window only later, at Window, would show it as
    // a top-level window until then.
    p.dwStyle = WS_CHILD;
    p.hWndParent = reinterpret_cast<HWND>(window.parent);
    flags |= MCI_ANIM_OPEN_WS | MCI_ANIM_OPEN_PARENT;
  }
  const std::vector<HWND> before =
      window.parent ? Descendants(reinterpret_cast<HWND>(window.parent)) : std::vector<HWND>();
  uint32_t err = Send(0, MCI_OPEN, flags, &p);
  // A driver that knows no window flags opens as it always did.
  if (window.parent && (err == MCIERR_UNRECOGNIZED_KEYWORD || err == MCIERR_FLAGS_NOT_COMPATIBLE)) {
    flags &= ~(MCI_ANIM_OPEN_WS | MCI_ANIM_OPEN_PARENT);
    err = Send(0, MCI_OPEN, flags, &p);
  }
  if (err == 0) {
    *id = p.wDeviceID;
    if (window.parent) {
      std::vector<HWND>& made = deviceWindows_[*id];
      made.clear();
      for (HWND h : Descendants(reinterpret_cast<HWND>(window.parent))) {
        if (std::find(before.begin(), before.end(), h) == before.end()) made.push_back(h);
      }
    }
  }
  return err;
}

uint32_t WinMci::OpenPicture(const std::string&, bool, platform::MciDevice*) {
  return MCIERR_UNSUPPORTED_FUNCTION;
}

uint32_t WinMci::OpenCdAudio(platform::MciDevice* id) {
  MCI_OPEN_PARMSW p = {};
  p.dwCallback = reinterpret_cast<DWORD_PTR>(notify_);
  p.lpstrDeviceType = L"cdaudio";
  uint32_t err = Send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_WAIT, &p);
  if (err == 0) *id = p.wDeviceID;
  return err;
}

uint32_t WinMci::SetTimeFormat(platform::MciDevice id, platform::MciTimeFormat format) {
  MCI_SET_PARMS p = {};
  p.dwTimeFormat =
      format == platform::MciTimeFormat::kTmsf ? MCI_FORMAT_TMSF : MCI_FORMAT_MILLISECONDS;
  return Send(id, MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &p);
}

uint32_t WinMci::Status(platform::MciDevice id, platform::MciStatusItem item, uint32_t* value,
                        uint32_t track) {
  MCI_STATUS_PARMS p = {};
  switch (item) {
    case platform::MciStatusItem::kLength: p.dwItem = MCI_STATUS_LENGTH; break;
    case platform::MciStatusItem::kPosition: p.dwItem = MCI_STATUS_POSITION; break;
    case platform::MciStatusItem::kNumberOfTracks: p.dwItem = MCI_STATUS_NUMBER_OF_TRACKS; break;
    case platform::MciStatusItem::kMode: p.dwItem = MCI_STATUS_MODE; break;
    case platform::MciStatusItem::kCurrentTrack: p.dwItem = MCI_STATUS_CURRENT_TRACK; break;
    case platform::MciStatusItem::kMediaPresent: p.dwItem = MCI_STATUS_MEDIA_PRESENT; break;
  }
  DWORD flags = MCI_STATUS_ITEM | MCI_WAIT;
  if (track != 0) {
    p.dwTrack = track;
    flags |= MCI_TRACK;
  }
  uint32_t err = Send(id, MCI_STATUS, flags, &p);
  if (err == 0) *value = static_cast<uint32_t>(p.dwReturn);
  return err;
}

uint32_t WinMci::StatusWindow(platform::MciDevice id, platform::WindowHandle* window) {
  MCI_STATUS_PARMS p = {};
  p.dwItem = kStatusWindowHandle;
  uint32_t err = Send(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &p);
  if (err == 0) *window = static_cast<platform::WindowHandle>(p.dwReturn);
  return err;
}

uint32_t WinMci::Info(platform::MciDevice id, platform::MciInfoItem item, std::string* text) {
  wchar_t buf[256] = {};
  MCI_INFO_PARMSW p = {};
  p.lpstrReturn = buf;
  p.dwRetSize = sizeof buf / sizeof buf[0];
  DWORD flags = (item == platform::MciInfoItem::kProduct ? MCI_INFO_PRODUCT : MCI_INFO_MEDIA_IDENTITY) |
                MCI_WAIT;
  uint32_t err = Send(id, MCI_INFO, flags, &p);
  if (err == 0) *text = wnd::Narrow(buf);
  return err;
}


uint32_t WinMci::Play(platform::MciDevice id, bool hasFrom, uint32_t from, bool hasTo, uint32_t to) {
  // Two of Wine's drivers mishandle a play of a paused device. Its wave and
  // MIDI drivers take it for a resume and report the resume's completion at
  // once, which reads as the end of the song; asked to play from the paused
  // position they play on and report at the end. Its AVI driver starts a
  // second play thread while the first still winds down, and the second
  // outlives the close; stopping first waits for the old one (the position
  // stays). Elsewhere a play of a paused device simply resumes it.
  const bool wine = UnderWine();
  MCI_STATUS_PARMS mode = {};
  mode.dwItem = MCI_STATUS_MODE;
  if (wine && !hasFrom && Send(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &mode) == 0 &&
      mode.dwReturn == MCI_MODE_PAUSE) {
    if (DigitalVideo(id)) {
      MCI_GENERIC_PARMS stop = {};
      Send(id, MCI_STOP, MCI_WAIT, &stop);
    } else {
      MCI_STATUS_PARMS pos = {};
      pos.dwItem = MCI_STATUS_POSITION;
      if (Send(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &pos) == 0) {
        hasFrom = true;
        from = static_cast<uint32_t>(pos.dwReturn);
      }
    }
  }
  MCI_PLAY_PARMS p = {};
  p.dwCallback = reinterpret_cast<DWORD_PTR>(notify_);
  DWORD flags = MCI_NOTIFY;
  if (hasFrom) {
    p.dwFrom = from;
    flags |= MCI_FROM;
  }
  if (hasTo) {
    p.dwTo = to;
    flags |= MCI_TO;
  }
  return Send(id, MCI_PLAY, flags, &p);
}

uint32_t WinMci::Pause(platform::MciDevice id) {
  MCI_GENERIC_PARMS p = {};
  return Send(id, MCI_PAUSE, MCI_WAIT, &p);
}

uint32_t WinMci::Seek(platform::MciDevice id, uint32_t to) {
  MCI_SEEK_PARMS p = {};
  p.dwTo = to;
  uint32_t err = Send(id, MCI_SEEK, MCI_TO | MCI_WAIT, &p);
  // Wine's DirectShow driver (MP2 songs, MPEG films) cannot seek to a
  // position, but it can play from one: play from there and pause at once.
  // It has stopped already, so no report of an earlier play is pending, and
  // the next play of the paused device goes on from there.
  if (err == MCIERR_INTERNAL && UnderWine() && DigitalVideo(id)) {
    MCI_PLAY_PARMS play = {};
    play.dwFrom = to;
    err = Send(id, MCI_PLAY, MCI_FROM, &play);
    MCI_GENERIC_PARMS pause = {};
    if (err == 0) err = Send(id, MCI_PAUSE, MCI_WAIT, &pause);
  }
  return err;
}

uint32_t WinMci::Stop(platform::MciDevice id) {
  // Wine's wave and MIDI drivers stop a playing device only once the buffer
  // in flight has played out (up to a second and a half), and everything
  // waits meanwhile. Stopped while paused, they hand the buffers back at once.
  MCI_STATUS_PARMS mode = {};
  mode.dwItem = MCI_STATUS_MODE;
  if (UnderWine() && Send(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &mode) == 0 &&
      mode.dwReturn == MCI_MODE_PLAY && !DigitalVideo(id)) {
    MCI_GENERIC_PARMS pause = {};
    Send(id, MCI_PAUSE, MCI_WAIT, &pause);
  }
  MCI_GENERIC_PARMS p = {};
  return Send(id, MCI_STOP, MCI_WAIT, &p);
}

uint32_t WinMci::Close(platform::MciDevice id) {
  const auto made = deviceWindows_.find(id);
  if (made != deviceWindows_.end()) {
    for (HWND h : made->second) {
      if (IsWindow(h)) ShowWindow(h, SW_HIDE);
    }
    deviceWindows_.erase(made);
  }
  MCI_GENERIC_PARMS p = {};
  return Send(id, MCI_CLOSE, MCI_WAIT, &p);
}

uint32_t WinMci::Window(platform::MciDevice id, platform::WindowHandle window) {
  MCI_ANIM_WINDOW_PARMSW p = {};
  p.hWnd = window ? reinterpret_cast<HWND>(window) : reinterpret_cast<HWND>(MCI_ANIM_WINDOW_DEFAULT);
  return Send(id, MCI_WINDOW, MCI_ANIM_WINDOW_HWND | MCI_WAIT, &p);
}

uint32_t WinMci::WindowState(platform::MciDevice id, platform::MciWindowState state) {
  MCI_ANIM_WINDOW_PARMSW p = {};
  switch (state) {
    case platform::MciWindowState::kHide: p.nCmdShow = SW_HIDE; break;
    case platform::MciWindowState::kNormal: p.nCmdShow = SW_SHOWNORMAL; break;
    case platform::MciWindowState::kMinimized: p.nCmdShow = SW_MINIMIZE; break;
    case platform::MciWindowState::kMaximized: p.nCmdShow = SW_SHOWMAXIMIZED; break;
    case platform::MciWindowState::kShow: p.nCmdShow = SW_SHOW; break;
  }
  return Send(id, MCI_WINDOW, MCI_ANIM_WINDOW_STATE | MCI_WAIT, &p);
}

// The device's rectangles are origin and extent, not two corners.
uint32_t WinMci::PutDestination(platform::MciDevice id, const platform::MciRect& r) {
  MCI_ANIM_RECT_PARMS p = {};
  p.rc.left = r.left;
  p.rc.top = r.top;
  p.rc.right = r.Width();
  p.rc.bottom = r.Height();
  return Send(id, MCI_PUT, MCI_ANIM_PUT_DESTINATION | MCI_ANIM_RECT | MCI_WAIT, &p);
}

uint32_t WinMci::Where(platform::MciDevice id, DWORD which, platform::MciRect* r) {
  MCI_ANIM_RECT_PARMS p = {};
  uint32_t err = Send(id, MCI_WHERE, which | MCI_WAIT, &p);
  if (err == 0) {
    r->left = p.rc.left;
    r->top = p.rc.top;
    r->right = p.rc.left + p.rc.right;
    r->bottom = p.rc.top + p.rc.bottom;
  }
  return err;
}

uint32_t WinMci::WhereSource(platform::MciDevice id, platform::MciRect* r) {
  return Where(id, MCI_ANIM_WHERE_SOURCE, r);
}

uint32_t WinMci::WhereDestination(platform::MciDevice id, platform::MciRect* r) {
  return Where(id, MCI_ANIM_WHERE_DESTINATION, r);
}

uint32_t WinMci::Step(platform::MciDevice id, bool backward) {
  MCI_ANIM_STEP_PARMS p = {};
  p.dwFrames = 1;
  DWORD flags = MCI_ANIM_STEP_FRAMES | MCI_WAIT;
  if (backward) flags |= MCI_ANIM_STEP_REVERSE;
  return Send(id, MCI_STEP, flags, &p);
}

std::string WinMci::ErrorText(uint32_t code) {
  wchar_t buf[1024] = {};
  if (!mciGetErrorStringW(code, buf, 1024)) return "MCI error " + std::to_string(code);
  std::string s = wnd::Narrow(buf);
  if (s.size() > 1023) s.resize(1023);
  return s;
}

uint32_t WinMci::DiscardNotices() {
  if (!notify_) return 0;
  // Only posted messages: a message sent by another program meanwhile must
  // not run in the middle of a close.
  MSG m;
  uint32_t codes = 0;
  while (PeekMessageW(&m, notify_, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    codes |= static_cast<uint32_t>(m.wParam);
  }
  return codes;
}
