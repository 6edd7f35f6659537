// The main window's side of MPEG audio playback: start, seek, stop, pause,
// resume and position, in thread mode (a worker refills the buffers) or
// message mode (the device's done notices refill them, where no worker
// thread can be used). The device layer calls these; the shell routes the
// wave-output open, done and close notices to EvWomOpen/EvWomDone/EvWomClose.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "mpegaudio/mp3.h"
#include "mpegaudio/wave_player.h"
#include "platform/wave_out.h"

namespace mpegaudio {

// The worker's command, set by the main window and read by the worker.
enum : int32_t {
  kCommandIdle = -1,    // after set-up: the first start of the worker returns at once
  kCommandStop = 0,
  kCommandRun = 1,
  kCommandRestart = 2,  // a seek is under way: leave without a notice
};

// The play state the player keeps (0 stopped, 1 playing, 2 paused).
enum : int32_t { kStateStopped = 0, kStatePlaying = 1, kStatePaused = 2 };

enum class RefillMode { kThread, kMessage };

class PlayerControl {
 public:
  PlayerControl(WavePlayer& player, platform::WaveOut& out, platform::PlayerHost& host,
                RefillMode mode);

  // Window set-up: thread mode starts the worker once in the idle state.
  void SetUp();
  // Window destruction: stops any song and waits for the worker.
  void ShutDown();

  // Plays a file that CheckMP3File accepted (info as it filled it) from its
  // start. 1 on success; 0 with the text to show in *message.
  int StartMP3(const std::string& path, MP3Info* info, std::string* message);
  // Restarts output at a frame. Thread mode: 1 on success. Message mode: the
  // restart waits until every queued buffer came back; returns 0.
  int SeekMP3(int32_t frame, std::string* message);
  void StopMP3();
  // Stops any song and waits until no worker runs: the decoder is about to be
  // used by the main window itself (the next file's check).
  void Quiesce();
  // 1 on success; 0 with the device's text in *message (state unchanged).
  int Pause(std::string* message);
  int Resume(std::string* message);
  // Milliseconds from the start of the song; *read = false when the device
  // position could not be read (then only the seek frame counts).
  uint32_t PositionMs(bool* read = nullptr);
  // The frame a slider position in milliseconds stands for.
  static int32_t FrameAt(double ms, uint32_t usPerFrame);

  int EvWomOpen() { return 1; }
  int EvWomDone();
  int EvWomClose() { return 1; }

  // --- shared with the worker ------------------------------------------------
  int32_t Command() const { return command_.load(); }
  void SetCommand(int32_t c) { command_.store(c); }
  int32_t PlayState() const { return playState_.load(); }
  void SetPlayState(int32_t s) { playState_.store(s); }
  int32_t SeekFrame() const { return seekFrame_; }
  bool RestartFailed() const { return restartFailed_; }
  bool RestartPending() const { return restartPending_; }
  const std::string& Message() const { return message_; }
  RefillMode Mode() const { return mode_; }
  WavePlayer& Player() { return player_; }
  platform::PlayerHost& Host() { return host_; }

 private:
  void StartWorker();
  // A restart found nothing to play: while playing that is the end of the
  // song; while paused the next resume ends it.
  void RestartFailedNow(bool paused);
  void RestartOnMessage();

  WavePlayer& player_;
  platform::WaveOut& out_;
  platform::PlayerHost& host_;
  RefillMode mode_;

  std::atomic<int32_t> command_{kCommandIdle};
  std::atomic<int32_t> playState_{kStateStopped};
  int32_t seekFrame_ = 0;
  bool restartFailed_ = false;
  bool restartPending_ = false;
  uint32_t usPerFrame_ = 0;
  uint32_t sampleRate_ = 0;
  std::string message_;  // the restart's text in message mode
};

}  // namespace mpegaudio
