// The wave output device and global memory through the platform: the wave
// mapper, buffers as locked global memory blocks, done notices to a window
// in message mode.
#pragma once

#include "win32/wnd/win.h"

#include <mmsystem.h>

#include <atomic>

#include "platform/wave_out.h"

namespace win32 {

class WinWaveOut : public platform::WaveOut {
 public:
  explicit WinWaveOut(HWND window = nullptr) : window_(window) {}
  ~WinWaveOut() override;
  // The window that gets MM_WOM_OPEN, MM_WOM_DONE and MM_WOM_CLOSE in
  // message mode.
  void SetWindow(HWND window) { window_ = window; }

  uint32_t Open(const platform::WaveFormat& format, bool notifyWindow) override;
  uint32_t Prepare(platform::WaveHeader* header) override;
  uint32_t Write(platform::WaveHeader* header) override;
  uint32_t Unprepare(platform::WaveHeader* header) override;
  uint32_t Pause() override;
  uint32_t Restart() override;
  uint32_t Reset() override;
  uint32_t Close() override;
  uint32_t GetPositionSamples(uint32_t* samples) override;
  std::string ErrorText(uint32_t code) override;
  uint32_t Handle() const override;

  Block AllocBlock(uint32_t bytes) override;
  void* LockBlock(Block block) override;
  void UnlockBlock(Block block) override;
  void FreeBlock(Block block) override;

 private:
  HWND window_;
  // Read by the main window (pause, position) while the worker may close.
  std::atomic<HWAVEOUT> handle_{nullptr};
  uint32_t blockAlign_ = 4;
};

}  // namespace win32
