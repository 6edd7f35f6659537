#include "win32/win_waveout.h"

#include <cstddef>

#include "win32/wnd/text_conv.h"

namespace win32 {

// The player's header is handed to the system as its own.
static_assert(sizeof(platform::WaveHeader) == sizeof(WAVEHDR), "header size");
static_assert(offsetof(platform::WaveHeader, data) == offsetof(WAVEHDR, lpData), "lpData");
static_assert(offsetof(platform::WaveHeader, bufferLength) == offsetof(WAVEHDR, dwBufferLength),
              "dwBufferLength");
static_assert(offsetof(platform::WaveHeader, flags) == offsetof(WAVEHDR, dwFlags), "dwFlags");
static_assert(offsetof(platform::WaveHeader, loops) == offsetof(WAVEHDR, dwLoops), "dwLoops");
static_assert(platform::kWhdrDone == WHDR_DONE && platform::kWhdrPrepared == WHDR_PREPARED &&
                  platform::kWhdrInQueue == WHDR_INQUEUE,
              "header flags");

namespace {

WAVEHDR* Native(platform::WaveHeader* h) { return reinterpret_cast<WAVEHDR*>(h); }

}  // namespace

WinWaveOut::~WinWaveOut() {
  if (HWAVEOUT h = handle_.load()) {
    waveOutReset(h);
    waveOutClose(h);
  }
}

uint32_t WinWaveOut::Open(const platform::WaveFormat& format, bool notifyWindow) {
  WAVEFORMATEX wf = {};
  wf.wFormatTag = format.formatTag;
  wf.nChannels = format.channels;
  wf.nSamplesPerSec = format.samplesPerSec;
  wf.nAvgBytesPerSec = format.avgBytesPerSec;
  wf.nBlockAlign = format.blockAlign;
  wf.wBitsPerSample = format.bitsPerSample;
  wf.cbSize = 0;
  blockAlign_ = format.blockAlign ? format.blockAlign : 1;
  const bool toWindow = notifyWindow && window_ != nullptr;
  HWAVEOUT h = nullptr;
  const MMRESULT r =
      waveOutOpen(&h, WAVE_MAPPER, &wf, toWindow ? reinterpret_cast<DWORD_PTR>(window_) : 0, 0,
                  WAVE_ALLOWSYNC | (toWindow ? CALLBACK_WINDOW : CALLBACK_NULL));
  if (r == MMSYSERR_NOERROR) handle_ = h;
  return r;
}

uint32_t WinWaveOut::Prepare(platform::WaveHeader* header) {
  return waveOutPrepareHeader(handle_, Native(header), sizeof(WAVEHDR));
}

uint32_t WinWaveOut::Write(platform::WaveHeader* header) {
  return waveOutWrite(handle_, Native(header), sizeof(WAVEHDR));
}

uint32_t WinWaveOut::Unprepare(platform::WaveHeader* header) {
  return waveOutUnprepareHeader(handle_, Native(header), sizeof(WAVEHDR));
}

uint32_t WinWaveOut::Pause() { return waveOutPause(handle_); }
uint32_t WinWaveOut::Restart() { return waveOutRestart(handle_); }
uint32_t WinWaveOut::Reset() { return waveOutReset(handle_); }

uint32_t WinWaveOut::Close() {
  const MMRESULT r = waveOutClose(handle_);
  if (r == MMSYSERR_NOERROR) handle_ = nullptr;
  return r;
}

uint32_t WinWaveOut::GetPositionSamples(uint32_t* samples) {
  MMTIME t = {};
  t.wType = TIME_SAMPLES;
  const MMRESULT r = waveOutGetPosition(handle_, &t, sizeof t);
  if (r != MMSYSERR_NOERROR) return r;
  // A device may answer in another unit than the one asked for.
  if (t.wType == TIME_SAMPLES) {
    *samples = t.u.sample;
  } else if (t.wType == TIME_BYTES) {
    *samples = t.u.cb / blockAlign_;
  } else {
    return MMSYSERR_NOTSUPPORTED;
  }
  return MMSYSERR_NOERROR;
}

std::string WinWaveOut::ErrorText(uint32_t code) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (waveOutGetErrorTextW(code, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) return std::string();
  return wnd::Narrow(text);
}

uint32_t WinWaveOut::Handle() const {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle_.load()));
}

platform::WaveOut::Block WinWaveOut::AllocBlock(uint32_t bytes) {
  return reinterpret_cast<Block>(GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, bytes));
}

void* WinWaveOut::LockBlock(Block block) { return GlobalLock(reinterpret_cast<HGLOBAL>(block)); }

void WinWaveOut::UnlockBlock(Block block) { GlobalUnlock(reinterpret_cast<HGLOBAL>(block)); }

void WinWaveOut::FreeBlock(Block block) { GlobalFree(reinterpret_cast<HGLOBAL>(block)); }

}  // namespace win32
