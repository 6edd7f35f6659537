#include "playback/mp3_adapter.h"

#include "mpegaudio/check.h"

namespace playback {

bool DecoderMp3Player::CheckMP3File(const std::string& path, uint32_t* lengthMs,
                                    std::string* message) {
  // The check scans with the player's own decoder: no worker may still be
  // reading through it.
  control_.Quiesce();
  mpegaudio::MP3Info info;
  if (!mpegaudio::CheckMP3File(fs_, decoder_, path, &info, message)) return false;
  info_ = info;
  *lengthMs = info.lengthMs;
  return true;
}

bool DecoderMp3Player::StartMP3(const std::string& path, std::string* message) {
  return control_.StartMP3(path, &info_, message) == 1;
}

bool DecoderMp3Player::SeekMP3(uint32_t frame) {
  std::string message;
  control_.SeekMP3(static_cast<int32_t>(frame), &message);
  // Message mode answers 0 while the restart waits for its buffers; only a
  // text means failure.
  return message.empty();
}

bool DecoderMp3Player::SamplesPlayed(uint32_t* samples) {
  bool read = false;
  uint32_t ms = control_.PositionMs(&read);
  if (!read || info_.sampleRate == 0) return false;
  uint64_t fromSeek = uint64_t{static_cast<uint32_t>(control_.SeekFrame())} * info_.usPerFrame / 1000;
  uint64_t played = ms > fromSeek ? ms - fromSeek : 0;
  *samples = static_cast<uint32_t>(played * info_.sampleRate / 1000);
  return true;
}

}  // namespace playback
