// The decoding worker (TMyThread::Run): polls the buffer that should come
// back next, refills it, and paces itself so that decoding neither falls
// behind the device nor takes the whole processor.
#pragma once

#include <cstdint>

#include "mpegaudio/mp3_control.h"

namespace mpegaudio {

// The pause hint: grows while buffers come back with time to spare, drops to
// zero as soon as one was already back when the worker looked.
struct ThreadThrottle {
  static constexpr int32_t kMax = 40;
  int32_t n = 0;
  int32_t fresh = 1;
  // waits: 10 ms polls the worker made before the buffer came back.
  int32_t Update(int32_t waits);
};

class DecodingLoop {
 public:
  static constexpr uint32_t kPollMs = 10;
  static constexpr int32_t kMaxWaits = 40;

  explicit DecodingLoop(PlayerControl& control) : c_(control) {}
  // One pass: refill the expected buffer if it is back, else sleep one poll.
  // False once the loop is over (song ended or failed, or the command changed).
  bool Step();
  // Leaves the loop: stops the output and posts the notice unless a seek is
  // under way; the command goes back to stop.
  void Finish();

  int32_t Waits() const { return waits_; }
  int32_t Result() const { return result_; }
  const ThreadThrottle& Throttle() const { return throttle_; }

 private:
  PlayerControl& c_;
  int32_t waits_ = -1;
  int32_t result_ = 1;
  ThreadThrottle throttle_;
};

// The whole body of the worker; returns its exit code (0).
uint32_t RunDecodingThread(PlayerControl& control);

}  // namespace mpegaudio
