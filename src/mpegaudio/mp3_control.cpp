#include "mpegaudio/mp3_control.h"

#include "text/sjis.h"

namespace mpegaudio {

PlayerControl::PlayerControl(WavePlayer& player, platform::WaveOut& out,
                             platform::PlayerHost& host, RefillMode mode)
    : player_(player), out_(out), host_(host), mode_(mode) {}

void PlayerControl::SetUp() {
  if (mode_ != RefillMode::kThread) return;
  command_ = kCommandIdle;
  host_.StartThread();
}

void PlayerControl::ShutDown() {
  StopMP3();
  if (mode_ == RefillMode::kThread) host_.WaitThread();
  player_.Close();
}

void PlayerControl::StartWorker() {
  restartFailed_ = false;
  command_ = kCommandRun;
  host_.StartThread();
}

int PlayerControl::StartMP3(const std::string& path, MP3Info* info, std::string* message) {
  // The worker of the song before may still be on its way out after posting
  // its notice; it must not meet the new song.
  if (mode_ == RefillMode::kThread) host_.WaitThread();
  host_.DiscardNotices();
  seekFrame_ = 0;
  restartPending_ = false;
  restartFailed_ = false;
  const int result = player_.Open(path, message, info, mode_ == RefillMode::kMessage);
  if (!result) return result;
  usPerFrame_ = info ? info->usPerFrame : 0;
  sampleRate_ = info ? info->sampleRate : 0;
  playState_ = kStatePlaying;
  if (mode_ == RefillMode::kThread) StartWorker();
  return 1;
}

void PlayerControl::RestartFailedNow(bool paused) {
  restartFailed_ = true;
  if (!paused) {
    // Nobody would resume it: end the song as if it had run out.
    player_.Stop();
    restartFailed_ = false;
    host_.PostNotify(kNotifySuccessful);
  }
}

int PlayerControl::SeekMP3(int32_t frame, std::string* message) {
  seekFrame_ = frame < 0 ? 0 : frame;
  if (mode_ == RefillMode::kMessage) {
    // The song ran out and its end notice is already on its way.
    if (!player_.IsOpen()) return 0;
    player_.ResetOutput();
    restartPending_ = true;
    // Nothing in flight means no done notice will come to restart it.
    if (player_.Queued() == 0) RestartOnMessage();
    return 0;
  }
  const bool paused = playState_ == kStatePaused;
  command_ = kCommandRestart;
  host_.WaitThread();
  if (!player_.IsOpen()) {
    // The song ran out (or failed) meanwhile; the worker posted its notice.
    command_ = kCommandStop;
    return 0;
  }
  player_.ResetOutput();
  const int result = player_.Restart(seekFrame_, message);
  // The caller pauses a paused song again after this.
  playState_ = player_.Playing();
  if (result) {
    StartWorker();
  } else {
    RestartFailedNow(paused);
  }
  return result;
}

void PlayerControl::RestartOnMessage() {
  restartPending_ = false;
  const int result = player_.Restart(seekFrame_, &message_);
  // A paused song stays paused: the caller paused the device again.
  const bool paused = playState_ == kStatePaused;
  if (!paused) playState_ = player_.Playing();
  if (result) {
    restartFailed_ = false;
    // Some devices start on a write after a reset even when paused since.
    if (paused) out_.Pause();
  } else {
    RestartFailedNow(paused);
  }
}

void PlayerControl::StopMP3() {
  if (playState_ == kStateStopped) return;
  restartPending_ = false;
  if (mode_ == RefillMode::kMessage) {
    playState_ = kStateStopped;
    player_.Stop();
    return;
  }
  player_.SetActive(0);
  command_ = kCommandStop;
  host_.WaitThread();
  // No worker was running (a failed restart): stop the output here.
  if (player_.IsOpen()) {
    playState_ = kStateStopped;
    player_.Stop();
  }
}

void PlayerControl::Quiesce() {
  StopMP3();
  if (mode_ == RefillMode::kThread) host_.WaitThread();
}

int PlayerControl::Pause(std::string* message) {
  if (!player_.IsOpen()) {
    // The song ran out and closed its output just before the pause; its end
    // notice is on the way and a paused window ignores it, so the next resume
    // ends the song as after a failed restart.
    restartFailed_ = true;
    playState_ = kStatePaused;
    return 1;
  }
  playState_ = kStatePaused;
  const uint32_t code = out_.Pause();
  if (code != 0) {
    playState_ = kStatePlaying;
    if (message) *message = text::CutBytes(out_.ErrorText(code), WavePlayer::kMessageLimit);
    return 0;
  }
  return 1;
}

int PlayerControl::Resume(std::string* message) {
  if (restartFailed_) {
    // The output already ran out: end the song normally.
    restartFailed_ = false;
    player_.Stop();
    host_.PostNotify(kNotifySuccessful);
    return 1;
  }
  const uint32_t code = out_.Restart();
  if (code != 0) {
    if (message) *message = text::CutBytes(out_.ErrorText(code), WavePlayer::kMessageLimit);
    return 0;
  }
  playState_ = kStatePlaying;
  return 1;
}

uint32_t PlayerControl::PositionMs(bool* read) {
  double ms = double(seekFrame_) * double(usPerFrame_) / 1000.0;
  uint32_t samples = 0;
  const bool ok = out_.GetPositionSamples(&samples) == 0;
  if (ok && sampleRate_ != 0) ms += double(samples) * 1000.0 / double(sampleRate_);
  if (read) *read = ok;
  return ms >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(ms);
}

int32_t PlayerControl::FrameAt(double ms, uint32_t usPerFrame) {
  if (usPerFrame == 0 || ms <= 0) return 0;
  const double frame = ms * 1000.0 / double(usPerFrame);
  return frame >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(frame);
}

int PlayerControl::EvWomDone() {
  if (playState_ == kStateStopped) {
    if (player_.Queued() > 0) player_.SetQueued(player_.Queued() - 1);
    return 0;
  }
  if (!restartPending_) {
    // A notice left over from a device closed since has nothing to refill.
    if (!player_.ExpectedDone()) return 0;
    const int result = player_.RefillOnMessage();
    if (!player_.Playing()) host_.PostNotify(result == 1 ? kNotifyFailure : kNotifySuccessful);
    return result;
  }
  if (player_.Queued() == 0) return 0;
  player_.SetQueued(player_.Queued() - 1);
  if (player_.Queued() == 0) RestartOnMessage();
  return 0;
}

}  // namespace mpegaudio
