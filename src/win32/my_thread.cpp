#include "win32/my_thread.h"

#include <mmsystem.h>

#include <vector>

#include "mpegaudio/mp3_thread.h"

TMyThread::~TMyThread() { WaitForExit(INFINITE); }

DWORD TMyThread::Run() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  return mpegaudio::RunDecodingThread(control_);
}

namespace win32 {

WinPlayerHost::~WinPlayerHost() { WaitThread(); }

void WinPlayerHost::Sleep(uint32_t ms) { ::Sleep(ms); }

void WinPlayerHost::PostNotify(uint32_t code) {
  if (window_) PostMessageW(window_, MM_MCINOTIFY, code, 0);
}

void WinPlayerHost::DiscardNotices() {
  if (!window_) return;
  // Only the worker posts with lParam 0; a media device's report keeps its place.
  std::vector<MSG> keep;
  MSG m;
  while (PeekMessageW(&m, window_, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
    if (m.lParam != 0) keep.push_back(m);
  }
  for (const MSG& k : keep) PostMessageW(window_, k.message, k.wParam, k.lParam);
}

bool WinPlayerHost::StartThread() {
  if (!control_) return false;
  WaitThread();
  thread_ = std::make_unique<TMyThread>(*control_);
  return thread_->Start();
}

void WinPlayerHost::WaitThread() {
  if (thread_) thread_->WaitForExit(INFINITE);
}

Mp3Output::Mp3Output(mpegaudio::TMP3& decoder, platform::FileSystem& fs,
                     mpegaudio::RefillMode mode)
    : player_(decoder, fs, out_, host_), control_(player_, out_, host_, mode) {
  host_.SetControl(&control_);
}

Mp3Output::~Mp3Output() { control_.ShutDown(); }

void Mp3Output::SetUp(HWND window) {
  out_.SetWindow(window);
  host_.SetWindow(window);
  control_.SetUp();
}

}  // namespace win32
