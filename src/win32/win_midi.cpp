#include "win32/win_midi.h"

#include "win32/wnd/text_conv.h"
#include "win32/wnd/win.h"

#include <mmsystem.h>

#include <cstring>

namespace {
constexpr size_t kBlockBytes = 19;  // room for the longest reset, zero-filled
}

bool WinMidiOut::SendSysEx(const uint8_t* bytes, size_t length) {
  if (length == 0 || length > kBlockBytes) return false;
  HMIDIOUT out = nullptr;
  if (midiOutOpen(&out, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
  // The buffer and header must be shareable global memory for the driver.
  HGLOBAL dataMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, kBlockBytes);
  HGLOBAL headMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof(MIDIHDR));
  char* data = dataMem ? static_cast<char*>(GlobalLock(dataMem)) : nullptr;
  MIDIHDR* head = headMem ? static_cast<MIDIHDR*>(GlobalLock(headMem)) : nullptr;
  bool sent = false;
  if (data && head) {
    std::memcpy(data, bytes, length);
    head->lpData = data;
    head->dwBufferLength = static_cast<DWORD>(length);
    if (midiOutPrepareHeader(out, head, sizeof(MIDIHDR)) == MMSYSERR_NOERROR) {
      if (midiOutLongMsg(out, head, sizeof(MIDIHDR)) == MMSYSERR_NOERROR) {
        // About two seconds for the module to take it.
        for (int i = 0; i < 100 && !(head->dwFlags & MHDR_DONE); ++i) Sleep(20);
        sent = (head->dwFlags & MHDR_DONE) != 0;
        // A stuck driver must hand the buffer back before it is freed.
        if (!sent) midiOutReset(out);
      }
      midiOutUnprepareHeader(out, head, sizeof(MIDIHDR));
    }
  }
  if (head) GlobalUnlock(headMem);
  if (data) GlobalUnlock(dataMem);
  if (headMem) GlobalFree(headMem);
  if (dataMem) GlobalFree(dataMem);
  midiOutClose(out);
  // The module needs a moment before the song's device opens.
  Sleep(50);
  return sent;
}

std::vector<std::string> WinMidiOut::OutputNames() {
  std::vector<std::string> names;
  const UINT count = midiOutGetNumDevs();
  for (UINT i = 0; i < count; ++i) {
    MIDIOUTCAPSW caps = {};
    if (midiOutGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR) names.push_back(wnd::Narrow(caps.szPname));
  }
  return names;
}
