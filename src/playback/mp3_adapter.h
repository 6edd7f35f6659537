// The device layer's MP3 player, made of the decoder's file check and the
// wave-output player's control.
#pragma once

#include "mpegaudio/mp3.h"
#include "mpegaudio/mp3_control.h"
#include "platform/files.h"
#include "playback/mp3_link.h"

namespace playback {

class DecoderMp3Player : public Mp3Player {
 public:
  DecoderMp3Player(platform::FileSystem& fs, mpegaudio::TMP3& decoder,
                   mpegaudio::PlayerControl& control)
      : fs_(fs), decoder_(decoder), control_(control) {}

  bool CheckMP3File(const std::string& path, uint32_t* lengthMs, std::string* message) override;
  bool StartMP3(const std::string& path, std::string* message) override;
  bool SeekMP3(uint32_t frame) override;
  void StopMP3() override { control_.StopMP3(); }
  bool PauseOutput(std::string* message) override { return control_.Pause(message) == 1; }
  bool RestartOutput(std::string* message) override { return control_.Resume(message) == 1; }
  bool RestartFailed() override { return control_.RestartFailed(); }
  void StopAfterRunOut() override { control_.StopMP3(); }
  bool Restarting() override { return control_.RestartPending(); }
  bool SamplesPlayed(uint32_t* samples) override;
  uint32_t SeekFrame() override { return static_cast<uint32_t>(control_.SeekFrame()); }
  uint32_t MicrosecondsPerFrame() override { return info_.usPerFrame; }
  uint32_t SampleRate() override { return info_.sampleRate; }

 private:
  platform::FileSystem& fs_;
  mpegaudio::TMP3& decoder_;
  mpegaudio::PlayerControl& control_;
  mpegaudio::MP3Info info_;
};

}  // namespace playback
