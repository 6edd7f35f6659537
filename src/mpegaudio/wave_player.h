// The MPEG audio player: decodes into three PCM buffers that take turns on
// the wave output device, refilling each one as the device hands it back.
//
// The operations keep the names the main window knows them by on TMP3
// (Open, Restart, ResetOutput, Stop, Close, RefillThreaded,
// RefillOnMessage); TMP3 itself stays the decoder and this class drives it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "mpegaudio/mp3.h"
#include "platform/files.h"
#include "platform/wave_out.h"

namespace mpegaudio {

// Media-control notification codes posted to the main window.
enum : uint32_t {
  kNotifySuccessful = 1,
  kNotifyAborted = 4,
  kNotifyFailure = 8,
};

class WavePlayer {
 public:
  static constexpr int kBuffers = 3;
  // 131 granules of 576 samples: 128 plus one more frame of up to four
  // granule-channel units, less one.
  static constexpr uint32_t kBufferBytes = 150912;
  static constexpr uint32_t kBufferSamples = kBufferBytes / 2;
  static constexpr uint32_t kGranuleLimit = 128;
  static constexpr uint32_t kHeaderBytes = 32;
  static constexpr size_t kMessageLimit = 1023;  // the caller's 1024-byte buffer
  // How long a reset may take to hand every buffer back, in 1 ms sleeps.
  static constexpr int kHandBackSleeps = 500;

  WavePlayer(TMP3& decoder, platform::FileSystem& fs, platform::WaveOut& out,
             platform::PlayerHost& host);
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  // Opens the file (already scanned by CheckMP3File through the same
  // decoder) and the device, and queues up to three filled buffers.
  // messageMode: the device reports each returned buffer to the main window
  // instead of being polled. 1 on success; 0 with *message, player closed.
  int Open(const std::string& path, std::string* message, MP3Info* info, bool messageMode);
  // Starts output again at a frame after ResetOutput. 0 when nothing could
  // be queued (no samples there, or the device refused); the device and the
  // file stay open and Playing() stays 1.
  int Restart(int32_t frameIndex, std::string* message);
  // Hands every queued buffer back and unprepares the headers.
  void ResetOutput();
  // Ends output at once: reset, unprepare, Close.
  void Stop();
  // Releases what the current open acquired; safe to call twice.
  void Close();
  // Thread mode, after the expected buffer came back: 1 to go on, 0 when the
  // song is over (closed) or failed (ErrorFlag()).
  int RefillThreaded();
  // Message mode: 0 normally, 1 when writing the refilled buffer failed.
  int RefillOnMessage();

  // --- state shared with the main window and the decoding thread -----------
  bool ExpectedDone() const;
  int32_t Active() const { return active_.load(); }
  void SetActive(int32_t v) { active_.store(v); }
  int32_t Playing() const { return playing_.load(); }
  int32_t Throttle() const { return throttle_.load(); }
  void SetThrottle(int32_t n) { throttle_.store(n); }
  int32_t ErrorFlag() const { return error_.load(); }
  const std::string& ErrorText() const { return errorText_; }
  int32_t Queued() const { return queued_; }
  void SetQueued(int32_t n) { queued_ = n; }
  // Read by the main window while the worker may close the output.
  bool IsOpen() const { return deviceOpen_.load(); }

  int CurrentIndex() const { return current_; }
  int ExpectedIndex() const { return expected_; }
  bool LastFlag(int i) const { return last_[i] != 0; }
  const platform::WaveHeader* Header(int i) const { return hdr_[i]; }
  const platform::WaveFormat& Format() const { return format_; }
  TMP3& Decoder() { return decoder_; }

 private:
  enum class Fill { kDone, kAborted };
  Fill FillBuffer(int i, bool threaded);
  // Prepares header i for the buffer's samples (length = samples × 2).
  uint32_t PrepareBuffer(int i);
  // Fills, prepares and writes buffers 0..2 from the decoder's position.
  // Returns 0, or the device code of the failure (*noSamples for buffer 0
  // empty).
  uint32_t QueueInitial(bool* noSamples);
  void Advance();
  void UnprepareAll();
  // After a reset: waits (briefly) until the device's own thread has handed
  // back every header, so none is rewritten or freed under it.
  void AwaitHandBack();
  // Reset, AwaitHandBack, UnprepareAll.
  void ResetAndUnprepare();
  // A failed prepare or write while playing: keep the text, reset, close.
  void FailOutput(uint32_t code);
  void SetMessage(std::string* message, const std::string& text) const;

  TMP3& decoder_;
  platform::FileSystem& fs_;
  platform::WaveOut& out_;
  platform::PlayerHost& host_;

  std::atomic<int32_t> active_{0};
  std::atomic<int32_t> playing_{0};
  std::atomic<int32_t> throttle_{0};
  std::atomic<int32_t> error_{0};
  std::string errorText_;
  int32_t queued_ = 0;

  std::unique_ptr<platform::File> file_;
  platform::WaveOut::Block pcmBlock_[kBuffers] = {0, 0, 0};
  platform::WaveOut::Block hdrBlock_[kBuffers] = {0, 0, 0};
  int16_t* pcm_[kBuffers] = {nullptr, nullptr, nullptr};
  platform::WaveHeader* hdr_[kBuffers] = {nullptr, nullptr, nullptr};
  uint32_t samples_[kBuffers] = {0, 0, 0};
  platform::WaveFormat format_;
  std::atomic<bool> deviceOpen_{false};

  int current_ = 0;
  int expected_ = 0;
  int32_t last_[kBuffers] = {0, 0, 0};
};

}  // namespace mpegaudio
