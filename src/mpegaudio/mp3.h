// TMP3: the program's own MPEG-1/MPEG-2 Layer III decoder.
//
// One object per main window. The input side (file reader, frame sync,
// header, bit reservoir, open-time scan and seeking) is in bitstream.cpp,
// side information, scale factors and Huffman decoding in layer3.cpp, the
// spectral stages in spectrum.cpp and the polyphase filterbank in
// synthesis.cpp.
//
// The wave-output player: Scan (with the file size in MP3Info) once, Begin
// at the start of playing, Seek for a restart, and to fill a PCM buffer:
//   ResetCounts(); SetOutput(buffer, capacity);
//   while (!EndOfFile() && GranuleCount() < 128) DecodeFrame();
// after which SampleCount() 16-bit values are in the buffer.
#pragma once

#include <cstdint>
#include <string>

#include "mpegaudio/filterbank.h"
#include "mpegaudio/stream_tags.h"
#include "platform/files.h"

namespace mpegaudio {

struct Tables;

// Shared with the main window: five 32-bit fields.
struct MP3Info {
  uint32_t waveOut = 0;     // wave-out handle (filled by the player)
  uint32_t lengthMs = 0;    // length in milliseconds
  uint32_t usPerFrame = 0;  // microseconds per frame
  uint32_t fileSize = 0;    // file size in bytes (filled by the caller before Scan)
  uint32_t sampleRate = 0;  // Hz
};

// Side information of one granule and channel.
struct GranuleChannel {
  uint32_t part2_3_length = 0;
  uint32_t big_values = 0;
  uint32_t global_gain = 0;
  uint32_t scalefac_compress = 0;
  uint32_t window_switching = 0;
  uint32_t block_type = 0;
  uint32_t mixed_block = 0;
  uint32_t table_select[3] = {0, 0, 0};
  uint32_t subblock_gain[3] = {0, 0, 0};
  uint32_t region0_count = 0;
  uint32_t region1_count = 0;
  uint32_t preflag = 0;
  uint32_t scalefac_scale = 0;
  uint32_t count1table_select = 0;
};

struct SideInfo {
  uint32_t main_data_begin = 0;
  uint32_t private_bits = 0;
  uint32_t scfsi[2][4] = {};
  GranuleChannel gr[2][2];
};

class TMP3 {
 public:
  static constexpr int kInputSize = 8192;
  static constexpr int kReservoirSize = 4096;
  static constexpr int kTableEntries = 30000;

  explicit TMP3(void* window = nullptr);
  ~TMP3();
  TMP3(const TMP3&) = delete;
  TMP3& operator=(const TMP3&) = delete;

  // --- stream level -------------------------------------------------------
  // Measures a file: frame count, duration, frame positions. Reads
  // info->fileSize; writes length, microseconds per frame and sample rate.
  // Leaves the file at offset 0 and the reader reset.
  void Scan(platform::File* file, MP3Info* info);
  // Attaches the (scanned) file for decoding from its start: frame counter,
  // reservoir, reader and filterbank state are cleared.
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
  bool EndOfFile() const { return eof_ != 0; }

  // Decodes the next frame into the output buffer. Returns 1 when the frame
  // produced samples, 0 when it produced none (end of file, a bad frame, or
  // a frame whose main data is not in the reservoir).
  int DecodeFrame();

  // --- stream description (valid after Scan) --------------------------------
  uint32_t SampleRate() const { return sampleRate_; }
  // The output's channels: every frame is written in the first frame's
  // format (a mono frame doubled, a stereo one mixed down).
  int Channels() const { return firstChannels_; }
  uint32_t TotalFrames() const { return totalFrames_; }
  uint32_t MicrosecondsPerFrame() const { return usPerFrame_; }
  uint32_t LengthMs() const { return lengthMs_; }
  int32_t TableStep() const { return tableStep_; }
  uint32_t TableCount() const { return tableCount_; }
  uint32_t TableEntry(uint32_t i) const { return i < tableCount_ ? table_[i] : 0; }
  uint32_t FirstFrameLength() const { return firstFrameLength_; }
  // The audio frames' bytes: after leading tags, junk and a header frame,
  // before trailing tags.
  uint32_t AudioStart() const { return audioStart_; }
  uint32_t AudioEnd() const { return audioEnd_; }
  const InfoFrame& Header() const { return infoFrame_; }
  // Samples per channel the whole stream yields (encoder delay and padding
  // taken off when the header frame gives them).
  uint64_t TotalSamples() const;
  uint32_t FrameCounter() const { return frameCounter_; }
  bool Lsf() const { return lsf_ != 0; }
  int FrameError() const { return frameError_; }
  void* Window() const { return window_; }

  // --- per-frame steps (public for tests and the player) --------------------
  bool FindSync();
  void ReadHeader();
  void FrameSizes();
  void CopyMainData(int32_t count);
  uint32_t GetBits(int n);
  uint32_t Get1Bit() { return GetBits(1); }
  uint32_t MainBits(int n);
  void ResetReader();
  void ResetReservoir();
  void ResetSynthesis();

  void ReadSideInfo();
  void ReadScaleFactors(int gr, int ch);
  void HuffmanDecode(int gr, int ch);
  void Dequantize(int gr, int ch);
  void Stereo(int gr);
  void Reorder(int gr, int ch);
  void Antialias(int gr, int ch);
  void Hybrid(int gr, int ch);

  // Header fields of the last frame (read by tests).
  int HeaderChannels() const { return channels_; }
  int Granules() const { return granules_; }
  int FrameBytes() const { return frameBytes_; }
  int MainDataBytes() const { return mainDataBytes_; }
  const SideInfo& Side() const { return side_; }

 private:
  void Refill();
  int DecodeNext();
  void DecodeGranules();
  void StoreGranule();  // interleaves pcm_ into the output buffer
  // Frame bytes of a header from its third byte (padding included).
  uint32_t LengthFromHeader(int b3) const;
  // Two bytes at an absolute file offset without moving the reader.
  bool PeekPair(uint32_t at, uint8_t* out);
  // Offset of the reader's current byte in the file.
  uint32_t ReaderPosition() const { return readerBase_ + uint32_t(byteIndex_); }
  // After the granules: the frame's samples in scratch_ go to the output in
  // the stream's format, less what is muted or trimmed.
  // decoded is false for a frame that produced nothing (its index still counts).
  void EmitFrame(uint32_t frameStart, bool decoded);
  void PositionReader(uint32_t offset);
  float* SubbandOut(int ch) { return subbandOut_[ch]; }

  void* window_;
  const Tables* tables_;

  // File reader.
  platform::File* file_ = nullptr;
  uint8_t* input_;
  int32_t byteIndex_ = kInputSize;
  int32_t bitsLeft_ = 0;
  int32_t validLength_ = kInputSize;
  int32_t eof_ = 0;
  uint32_t readerBase_ = 0;   // file offset of input_[0]
  uint32_t nextRead_ = 0;     // file offset of the next refill

  // Bit reservoir: a ring of 4096 bytes; positions are absolute counts
  // (rebased now and then), the ring index is the count modulo 4096.
  uint8_t* ring_;
  uint32_t writeCount_ = 0;  // bytes appended
  uint32_t readBit_ = 0;     // absolute read position in bits
  uint32_t bytesAvailable_ = 0;

  // Frame-position table.
  uint32_t* table_;
  uint32_t tableCount_ = 0;
  int32_t tableStep_ = 1;

  // Stream description.
  int32_t referenceByte_ = -1;
  int32_t lsf_ = 0;
  int32_t firstBitrateIndex_ = 0;
  uint32_t firstFrameLength_ = 0;
  uint32_t totalFrames_ = 0;
  uint32_t sampleRate_ = 44100;
  uint32_t bytesPerSecond_ = 0;
  uint32_t usPerFrame_ = 0;
  uint32_t lengthMs_ = 0;
  uint32_t fileSize_ = 0;
  uint32_t frameCounter_ = 0;
  int firstChannels_ = 2;
  uint32_t audioStart_ = 0;    // first audio frame
  uint32_t audioEnd_ = 0xFFFFFFFFu;  // end of the last one (trailing tags excluded)
  uint32_t infoStart_ = 0;     // header frame, when there is one
  InfoFrame infoFrame_;
  bool useToc_ = false;        // seek through the header frame's table
  uint32_t maxFrameBytes_ = 0;

  // Where decoding stands after Begin or Seek.
  uint32_t frameIndex_ = 0;    // index of the next audio frame
  bool indexKnown_ = true;     // false until a seek's target frame is reached
  bool approxIndex_ = false;   // the index came from the header frame's coarse table
  uint32_t heardFrom_ = 0;     // frames before this index are decoded unheard
  uint32_t frameStart_ = 0;    // file offset of the current frame's header
  uint32_t dropBefore_ = 0;    // until the index is known: frames before this offset are unheard
  int lastChannels_ = 0;       // channels of the last frame read
  bool runUp_ = false;         // the last frame was decoded unheard before a seek target
  bool warm_ = true;           // filterbank and overlap hold a complete frame's state
  uint32_t skipStart_ = 0;     // samples per channel to trim at the start
  uint64_t keepSamples_ = 0;   // samples per channel of the whole stream; 0: no trim
  int16_t scratch_[2 * 1152];

  // Header of the current frame.
  int32_t layer_ = 3;
  int32_t crc_ = 0;
  int32_t bitrateIndex_ = 0;
  int32_t samplingIndex_ = 0;  // combined with the version, 0..11
  int32_t padding_ = 0;
  int32_t privateBit_ = 0;
  int32_t mode_ = 0;
  int32_t modeExtension_ = 0;
  int32_t copyright_ = 0;
  int32_t original_ = 0;
  int32_t emphasis_ = 0;
  int32_t channels_ = 2;
  int32_t granules_ = 2;
  int32_t frameBytes_ = 0;
  int32_t headerBytes_ = 4;
  int32_t sideBytes_ = 0;
  int32_t mainDataBytes_ = 0;
  int32_t frameError_ = 0;

  // Layer III state.
  SideInfo side_;
  uint8_t scalefacL_[2][23];      // [ch][band]
  uint8_t scalefacS_[2][13][3];   // [ch][band][window]
  uint8_t isMax_[2][23];          // lsf: illegal intensity position per long band
  uint8_t isMaxS_[2][13];         // lsf: the same per short band
  uint32_t part2Start_ = 0;
  int32_t quant_[2][576];
  int nonzero_[2];                // lines past the last possibly non-zero one
  float xr_[2][576];
  float reordered_[576];
  float overlap_[2][576];
  int overlapBands_[2];           // subbands whose overlap may be non-zero
  float subbandOut_[2][576];      // 18 slots x 32 subbands

  // Synthesis.
  Filterbank filterbank_;
  int16_t* output_ = nullptr;
  uint32_t outputCapacity_ = 0;
  uint32_t sampleCount_ = 0;
  uint32_t granuleCount_ = 0;
  int16_t pcm_[2][576];            // the granule's samples per channel
  bool storeOutput_ = true;
};

// 16-bit sample from a full-scale-1.0 float: round half away from zero, saturate.
int16_t ToPcm16(float x);
// The same for 32 samples at once (the filterbank's slot).
void ToPcm16Block(const float* x, int16_t* out);

}  // namespace mpegaudio
