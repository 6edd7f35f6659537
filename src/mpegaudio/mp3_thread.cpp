#include "mpegaudio/mp3_thread.h"

namespace mpegaudio {

int32_t ThreadThrottle::Update(int32_t waits) {
  if (fresh) {
    fresh = 0;
    n = waits;
  }
  if (waits == 0) {
    // Behind: the buffer was back before we looked. Decode flat out.
    fresh = 1;
    n = 0;
  } else if (waits > 16) {
    n = n + 1 < kMax ? n + 1 : kMax;
  } else if (waits < 8) {
    n = n > 0 ? n - 1 : 0;
  }
  return n;
}

bool DecodingLoop::Step() {
  if (result_ != 1 || c_.Command() != kCommandRun) return false;
  WavePlayer& player = c_.Player();
  if (player.ExpectedDone()) {
    if (waits_ >= 0) throttle_.Update(waits_);
    player.SetThrottle(throttle_.n);
    result_ = player.RefillThreaded();
    waits_ = 0;
  } else {
    c_.Host().Sleep(kPollMs);
    // Paused output returns nothing; that is no slack to pace on.
    if (c_.PlayState() == kStatePlaying && waits_ >= 0 && waits_ < kMaxWaits) ++waits_;
  }
  return true;
}

void DecodingLoop::Finish() {
  // A seek under way wants no notice, unless the song ended or failed
  // before the worker saw it: then there is nothing left to restart.
  if (c_.Command() != kCommandRestart || result_ != 1) {
    WavePlayer& player = c_.Player();
    uint32_t code = kNotifySuccessful;
    if (result_ == 1) {
      c_.SetPlayState(kStateStopped);
      player.Stop();
      code = kNotifyAborted;
    } else if (player.ErrorFlag()) {
      c_.SetPlayState(kStateStopped);
      player.Stop();
      code = kNotifyFailure;
    }
    c_.Host().PostNotify(code);
  }
  c_.SetCommand(kCommandStop);
}

uint32_t RunDecodingThread(PlayerControl& control) {
  if (control.Command() == kCommandIdle) return 0;
  DecodingLoop loop(control);
  while (loop.Step()) {
  }
  loop.Finish();
  return 0;
}

}  // namespace mpegaudio
