// A wave output device that plays on demand: Play(ms) consumes queued
// buffers at the format's byte rate and marks them done, as the real device
// does on its own clock. Global memory is tracked so that leaks and double
// releases show. A host fake goes with it: sleeping plays the device.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/wave_out.h"

class FakeWaveOut : public platform::WaveOut {
 public:
  // The platform's codes the fake answers with.
  static constexpr uint32_t kInvalHandle = 5;
  static constexpr uint32_t kStillPlaying = 33;
  static constexpr uint32_t kUnprepared = 34;

  // Failure injection: the n-th call (from 0) fails with the code given.
  uint32_t openError = 0;
  int failPrepareAt = -1, failWriteAt = -1, failAllocAt = -1, failLockAt = -1;
  uint32_t callError = 11;
  uint32_t pauseError = 0, restartError = 0;
  // Like some drivers: a write into an empty queue ends a pause.
  bool writeEndsPause = false;
  // Like a driver whose own thread hands buffers back: a reset takes the
  // buffer at the front out of the queue but flags it done only this many
  // sleeps later, and flags it then whatever became of the header meanwhile.
  int lateHandBackSleeps = 0;

  // State.
  bool open = false;
  bool paused = false;
  bool notifyWindow = false;
  platform::WaveFormat format;
  std::deque<platform::WaveHeader*> queue;
  uint64_t playedBytes = 0;  // since open or reset
  uint32_t frontConsumed = 0;
  std::string written;                  // every buffer's bytes as written
  std::vector<uint32_t> writtenLengths;  // their lengths, in order
  std::deque<platform::WaveHeader*> doneNotices;  // done notices not yet delivered
  int opens = 0, closes = 0, resets = 0, prepares = 0, writes = 0, unprepares = 0;
  int allocs = 0, locks = 0;
  int badReleases = 0;  // unlock or free of something not held
  int touchedWhileHeld = 0;  // a header rewritten or freed before it came back

  // Plays ms of audio (nothing while paused or closed).
  void Play(uint32_t ms);
  // Time passes for the device's own thread: late hand-backs come due.
  void Tick();
  // Blocks allocated and not freed; locks not undone.
  int LiveBlocks() const { return int(blocks_.size()); }
  int LiveLocks() const;

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
  uint32_t Handle() const override { return open ? 0x5150u : 0u; }
  Block AllocBlock(uint32_t bytes) override;
  void* LockBlock(Block block) override;
  void UnlockBlock(Block block) override;
  void FreeBlock(Block block) override;

 private:
  void Complete(platform::WaveHeader* h);
  bool Held(const void* p) const;
  struct Late {
    platform::WaveHeader* header;
    int sleepsLeft;
  };
  std::vector<Late> late_;
  struct Mem {
    std::vector<char> bytes;
    int locks = 0;
  };
  std::map<Block, Mem> blocks_;
  Block nextBlock_ = 0x100;
  uint64_t fraction_ = 0;  // byte-rate remainder, in 1/1000 bytes
};

class FakePlayerHost : public platform::PlayerHost {
 public:
  explicit FakePlayerHost(FakeWaveOut* device = nullptr) : device_(device) {}

  std::vector<uint32_t> sleeps;
  uint64_t sleptMs = 0;
  std::vector<uint32_t> notices;
  int starts = 0, waits = 0;
  bool started = false;  // a start not yet run by the test
  // Called after each sleep with the number of sleeps so far; the test acts
  // as the main window would meanwhile.
  std::function<void(size_t)> onSleep;
  // A worker that never ends would hang the test: past this much sleeping
  // onRunaway is called (once) to stop it.
  uint64_t runawayMs = 3600 * 1000;
  std::function<void()> onRunaway;

  void Sleep(uint32_t ms) override;
  void PostNotify(uint32_t code) override { notices.push_back(code); }
  // Posted notices stay in the list for the tests to read.
  void DiscardNotices() override {
    if (onDiscard) onDiscard();
  }
  std::function<void()> onDiscard;
  bool StartThread() override {
    ++starts;
    started = true;
    return true;
  }
  void WaitThread() override { ++waits; }

 private:
  FakeWaveOut* device_;
};
