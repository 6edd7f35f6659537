// TMP3: the program's own MPEG-1/MPEG-2 Layer III decoder.
//
// One object per main window, made of three parts that follow the data:
// the stream reader (stream_reader.h: file, sync, header, side information,
// bit reservoir, scan and seek positions), the granule decoder
// (granule_decoder.h: scale factors, Huffman decoding and requantisation,
// stereo, reordering, alias reduction, IMDCT) and the polyphase filterbank
// (filterbank.h). TMP3 drives them frame by frame and writes the samples
// in the stream's output format.
//
// The wave-output player: Scan (with the file size in MP3Info) once, Begin
// at the start of playing, Seek for a restart, and to fill a PCM buffer:
//   ResetCounts(); SetOutput(buffer, capacity);
//   while (!EndOfFile() && GranuleCount() < 128) DecodeFrame();
// after which SampleCount() 16-bit values are in the buffer.
#pragma once

#include <cstdint>

#include "mpegaudio/filterbank.h"
#include "mpegaudio/granule_decoder.h"
#include "mpegaudio/stream_reader.h"
#include "platform/files.h"

namespace mpegaudio {

// Shared with the main window: five 32-bit fields.
struct MP3Info {
  uint32_t waveOut = 0;     // wave-out handle (filled by the player)
  uint32_t lengthMs = 0;    // length in milliseconds
  uint32_t usPerFrame = 0;  // microseconds per frame
  uint32_t fileSize = 0;    // file size in bytes (filled by the caller before Scan)
  uint32_t sampleRate = 0;  // Hz
};

class TMP3 {
 public:
  TMP3() = default;
  TMP3(const TMP3&) = delete;
  TMP3& operator=(const TMP3&) = delete;

  // --- stream level -------------------------------------------------------
  // Measures a file: frame count, duration, frame positions. Reads
  // info->fileSize; writes length, microseconds per frame and sample rate.
  // Leaves the file at offset 0 and the reader reset.
  void Scan(platform::File* file, MP3Info* info);
  // Attaches the (scanned) file for decoding from its start: reservoir,
  // reader and filterbank state are cleared.
  void Begin(platform::File* file);
  // Positions the input at a frame (through the frame-position table, the
  // header frame's table, or in proportion to the audio bytes for a constant
  // bitrate); reservoir, reader and filterbank are reset, so nothing of the
  // old position is heard. The frames just before the target are decoded
  // unheard, so that output starts at the target as an unbroken decode
  // would have it.
  void Seek(int32_t frameIndex);

  // --- output buffer ------------------------------------------------------
  // Decoded samples are appended here (interleaved 16-bit). capacity is in
  // 16-bit samples; a frame that would not fit is decoded but not stored.
  void SetOutput(int16_t* buffer, uint32_t capacity);
  void ResetCounts() { sampleCount_ = 0; granuleCount_ = 0; }
  uint32_t SampleCount() const { return sampleCount_; }
  uint32_t GranuleCount() const { return granuleCount_; }
  bool EndOfFile() const { return reader_.EndOfFile(); }

  // Decodes the next frame into the output buffer. Returns 1 when the frame
  // produced samples, 0 when it produced none (end of file, a bad frame, or
  // a frame whose main data is not in the reservoir).
  int DecodeFrame();
  // The last frame read was corrupt, in part or whole.
  bool FrameError() const { return reader_.FrameError() || granuleError_; }

  // --- stream description (valid after Scan) --------------------------------
  // The first frame's rate. Frames at another rate (songs joined end to
  // end) are decoded and written as they are, at this rate: no resampling,
  // and every frame counts its own samples in the length.
  uint32_t SampleRate() const { return reader_.SampleRate(); }
  // The output's channels: stereo when any frame of the stream is (its mono
  // frames are doubled); mono only for a stream of mono frames alone.
  int Channels() const { return reader_.OutputChannels(); }
  uint32_t TotalFrames() const { return reader_.TotalFrames(); }
  // The frame positions, the header frame, the audio bytes and the like.
  const StreamReader& Stream() const { return reader_; }
  // Samples per channel the whole stream yields (encoder delay and padding
  // taken off when the header frame gives them).
  uint64_t TotalSamples() const;

 private:
  int DecodeNext();
  // The frame's granules, interleaved, into out (room for a whole frame).
  void DecodeGranules(int16_t* out);
  void StoreGranule(int16_t* out) const;  // interleaves pcm_ into out
  void ResetSynthesis();
  // After the granules: the frame's samples in scratch_ go to the output in
  // the stream's format, less what is muted or trimmed.
  // decoded is false for a frame that produced nothing (its index still counts).
  void EmitFrame(uint32_t frameStart, bool decoded);

  StreamReader reader_;
  GranuleDecoder granules_;
  Filterbank filterbank_;

  // The frame being decoded.
  FrameHeader header_;
  bool granuleError_ = false;  // one of its granules was corrupt

  // Where decoding stands after Begin or Seek.
  uint32_t frameIndex_ = 0;    // index of the next audio frame
  bool indexKnown_ = true;     // false until a seek's target frame is reached
  bool approxIndex_ = false;   // the index came from the header frame's coarse table
  uint32_t heardFrom_ = 0;     // frames before this index are decoded unheard
  uint32_t dropBefore_ = 0;    // until the index is known: frames before this offset are unheard
  bool runUp_ = false;         // the last frame was decoded unheard before a seek target
  bool warm_ = true;           // filterbank and overlap hold a complete frame's state
  int16_t scratch_[2 * 1152];  // the frame being decoded, before EmitFrame

  // Output.
  int16_t* output_ = nullptr;
  uint32_t outputCapacity_ = 0;
  uint32_t sampleCount_ = 0;
  uint32_t granuleCount_ = 0;
  int16_t pcm_[2][576];  // the granule's samples per channel
};

}  // namespace mpegaudio
