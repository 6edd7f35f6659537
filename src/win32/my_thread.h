// The MPEG audio decoding thread and the player's platform side: sleeping,
// posting the end-of-song notice to the main window, starting and waiting
// for the worker. Mp3Output puts the player together for the main window.
#pragma once

#include "win32/wnd/win.h"

#include <memory>

#include "mpegaudio/mp3.h"
#include "mpegaudio/mp3_control.h"
#include "mpegaudio/wave_player.h"
#include "platform/files.h"
#include "platform/wave_out.h"
#include "win32/win_waveout.h"
#include "win32/wnd/thread.h"

// The worker: runs the decoding loop once per start, at above-normal
// priority so that a refill is ready before the device drains the others.
class TMyThread : public wnd::Thread {
 public:
  explicit TMyThread(mpegaudio::PlayerControl& control) : control_(control) {}
  ~TMyThread() override;

 protected:
  DWORD Run() override;

 private:
  mpegaudio::PlayerControl& control_;
};

namespace win32 {

class WinPlayerHost : public platform::PlayerHost {
 public:
  explicit WinPlayerHost(HWND window = nullptr) : window_(window) {}
  ~WinPlayerHost() override;
  void SetWindow(HWND window) { window_ = window; }
  void SetControl(mpegaudio::PlayerControl* control) { control_ = control; }

  void Sleep(uint32_t ms) override;
  void PostNotify(uint32_t code) override;
  void DiscardNotices() override;
  // A thread object runs once; each start makes a new one after the last
  // one has ended.
  bool StartThread() override;
  void WaitThread() override;

 private:
  HWND window_;
  mpegaudio::PlayerControl* control_ = nullptr;
  std::unique_ptr<TMyThread> thread_;
};

// Everything the main window needs to play ".mp3" files. Construct with the
// window's decoder and file system; SetUp from the window's set-up (the
// window passes MM_WOM_OPEN/DONE/CLOSE to Control(); in thread mode SetUp
// starts the idle worker); destruction stops the song and waits for the worker.
class Mp3Output {
 public:
  Mp3Output(mpegaudio::TMP3& decoder, platform::FileSystem& fs, mpegaudio::RefillMode mode);
  ~Mp3Output();
  void SetUp(HWND window);
  mpegaudio::PlayerControl& Control() { return control_; }
  mpegaudio::WavePlayer& Player() { return player_; }

 private:
  WinWaveOut out_;
  WinPlayerHost host_;
  mpegaudio::WavePlayer player_;
  mpegaudio::PlayerControl control_;
};

}  // namespace win32
