// The MPEG audio Layer III player as the media layer drives it. The player
// posts the media-control notification (1 end, 4 aborted, 8 failure) to the
// main window itself.
#pragma once

#include <cstdint>
#include <string>

namespace playback {

class Mp3Player {
 public:
  virtual ~Mp3Player() = default;
  // Reads the stream information; false with a message when it cannot play.
  virtual bool CheckMP3File(const std::string& path, uint32_t* lengthMs, std::string* message) = 0;
  // Opens the wave output and starts at frame 0.
  virtual bool StartMP3(const std::string& path, std::string* message) = 0;
  // Restarts output at a frame (playing or paused).
  virtual bool SeekMP3(uint32_t frame) = 0;
  virtual void StopMP3() = 0;
  // Wave output pause and restart; false with the device's error text.
  virtual bool PauseOutput(std::string* message) = 0;
  virtual bool RestartOutput(std::string* message) = 0;
  // The last seek found nothing left to play: resuming ends the song.
  virtual bool RestartFailed() = 0;
  // Stops the player after such a failed restart.
  virtual void StopAfterRunOut() = 0;
  // True while a seek's restart is still pending (seeks are ignored then).
  virtual bool Restarting() = 0;
  // Samples played since the last start; false when the output cannot say.
  virtual bool SamplesPlayed(uint32_t* samples) = 0;
  virtual uint32_t SeekFrame() = 0;  // frame the output last started from
  virtual uint32_t MicrosecondsPerFrame() = 0;
  virtual uint32_t SampleRate() = 0;
};

}  // namespace playback
