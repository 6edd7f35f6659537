// Wave output, global memory blocks and the few system services the MPEG
// audio player needs (sleeping, posting the end-of-song notice, running the
// decoding thread). Result codes are the platform's own (0 = no error).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// PCM format handed to the device when it is opened.
struct WaveFormat {
  uint16_t formatTag = 1;  // PCM
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint32_t avgBytesPerSec = 176400;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
};

// One buffer header as the device sees it. On 32-bit Windows this has the
// layout of the system's own header (32 bytes), so the shell passes it
// through unchanged; the player keeps each one in a global memory block.
struct WaveHeader {
  char* data;
  uint32_t bufferLength;
  uint32_t bytesRecorded;
  uintptr_t user;
  uint32_t flags;
  uint32_t loops;
  WaveHeader* next;
  uintptr_t reserved;
};

enum : uint32_t {
  kWhdrDone = 0x01,
  kWhdrPrepared = 0x02,
  kWhdrInQueue = 0x10,
};

// The done bit is set by the device on its own thread, after it cleared the
// in-queue bit; a header is ours again only when both say so.
inline bool HeaderDone(const WaveHeader* h) {
  const uint32_t f = __atomic_load_n(&h->flags, __ATOMIC_ACQUIRE);
  return (f & kWhdrDone) != 0 && (f & kWhdrInQueue) == 0;
}

inline bool HeaderHeld(const WaveHeader* h) {
  return (__atomic_load_n(&h->flags, __ATOMIC_ACQUIRE) & kWhdrInQueue) != 0;
}

class WaveOut {
 public:
  using Block = uintptr_t;  // a global memory handle; 0 = none

  virtual ~WaveOut() = default;

  // Opens the wave mapper. notifyWindow: the device reports open, done and
  // close to the main window (message mode); otherwise nobody is told.
  virtual uint32_t Open(const WaveFormat& format, bool notifyWindow) = 0;
  virtual uint32_t Prepare(WaveHeader* header) = 0;
  virtual uint32_t Write(WaveHeader* header) = 0;
  virtual uint32_t Unprepare(WaveHeader* header) = 0;
  virtual uint32_t Pause() = 0;
  virtual uint32_t Restart() = 0;
  // Stops output and hands every queued buffer back (done bit set).
  virtual uint32_t Reset() = 0;
  virtual uint32_t Close() = 0;
  // Samples played since the open or the last reset.
  virtual uint32_t GetPositionSamples(uint32_t* samples) = 0;
  // The device's own text for an error code (Shift-JIS).
  virtual std::string ErrorText(uint32_t code) = 0;
  // The handle of the open device as a 32-bit value (0 when closed).
  virtual uint32_t Handle() const = 0;

  // Movable, shareable global memory.
  virtual Block AllocBlock(uint32_t bytes) = 0;
  virtual void* LockBlock(Block block) = 0;  // nullptr on failure
  virtual void UnlockBlock(Block block) = 0;
  virtual void FreeBlock(Block block) = 0;
};

// The main window and the system as the player and its thread see them.
class PlayerHost {
 public:
  virtual ~PlayerHost() = default;
  virtual void Sleep(uint32_t ms) = 0;
  // Posts the media-control notification (wParam = code, lParam = 0) to the
  // main window.
  virtual void PostNotify(uint32_t code) = 0;
  // Drops notifications posted by an earlier song's worker that the main
  // window has not taken yet: they would end the next song.
  virtual void DiscardNotices() = 0;
  // Starts the decoding thread (at above-normal priority); it runs the
  // decoding loop once and ends.
  virtual bool StartThread() = 0;
  // Waits without limit until the decoding thread has ended.
  virtual void WaitThread() = 0;
};

}  // namespace platform
