// The input side of the Layer III decoder: the file reader, frame sync,
// header and side information, the bit reservoir, and the open-time scan
// and seek positions that the sync relies on.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "mpegaudio/stream_tags.h"
#include "platform/files.h"

namespace mpegaudio {

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

// What the granules of a frame need from its header.
struct FrameHeader {
  int32_t lsf = 0;
  int32_t samplingIndex = 0;  // combined with the version, 0..11
  int32_t mode = 0;
  int32_t modeExtension = 0;
  int32_t channels = 2;
  int32_t granules = 2;
  int32_t frameBytes = 0;
};

// Main data of the recent frames: a ring of 4096 bytes. Positions are
// absolute counts (rebased now and then); the ring index is the count
// modulo 4096.
struct BitReservoir {
  static constexpr int kSize = 4096;
  static constexpr uint32_t kMask = kSize - 1;

  void Reset() { writeCount = readBit = bytesAvailable = 0; }
  // n (up to 32) bits at readBit, most significant first; 0 when the data
  // is not there (the position then stays at the end of what is held).
  uint32_t MainBits(int n);

  std::array<uint8_t, kSize> ring{};
  uint32_t writeCount = 0;  // bytes appended
  uint32_t readBit = 0;     // absolute read position in bits
  uint32_t bytesAvailable = 0;
};

class StreamReader {
 public:
  static constexpr int kInputSize = 8192;
  static constexpr int kTableEntries = 30000;

  StreamReader();

  // Measures a file: frame count, duration, frame positions, the header
  // frame. Leaves the file at offset 0 and the reader reset.
  void Scan(platform::File* file, uint32_t fileSize);
  // Reads from a file offset on (the file may be null: nothing to read).
  void Start(platform::File* file, uint32_t offset);

  enum class Frame {
    kNone,     // no further frame: end of the audio
    kReady,    // header, side information and main data are in place
    kMissing,  // the main data begins before what the reservoir holds
    kBad,      // a corrupt frame: reader and reservoir start over
    kLost,     // nothing consumed for too long (corrupt input): reservoir emptied
    kEnd,      // the frame's data ran into the end of the file
  };
  // Sync, header, side information, and the frame's main data appended to
  // the reservoir, whose read position is then at its start. Header() and
  // FrameStart() describe the frame for every result but kNone.
  Frame NextFrame();
  FrameHeader Header() const;
  const SideInfo& Side() const { return side_; }
  BitReservoir& MainData() { return main_; }
  // File offset of the last frame's header.
  uint32_t FrameStart() const { return frameStart_; }
  bool FrameError() const { return frameError_ != 0; }
  bool EndOfFile() const { return eof_ != 0; }

  // The next n (up to 32) bits of the file, most significant first; 0 at
  // the end of the file.
  uint32_t GetBits(int n);

  // Where decoding must start for frame f to come out as an unbroken decode
  // would have it: the target's reservoir (up to 511 bytes back) complete
  // and one whole frame through the filterbank. Positions the reader there
  // and empties the reservoir.
  struct SeekPoint {
    bool moved = false;       // false without a file
    bool pastEnd = false;     // f is past the last frame: the reader is at the end
    bool fromStart = false;   // decoding starts at the first audio frame
    bool indexKnown = false;  // index is the frame at the reader's position
    uint32_t index = 0;
    uint32_t target = 0;      // otherwise: the first frame at or after this offset is f
  };
  SeekPoint SeekTo(uint32_t f);

  // --- stream description (valid after Scan) --------------------------------
  uint32_t SampleRate() const { return sampleRate_; }
  // Channels of the output: 2 when any frame is stereo (mono frames are
  // doubled), 1 only for a stream of mono frames alone.
  int OutputChannels() const { return outChannels_; }
  bool Lsf() const { return lsf_ != 0; }
  uint32_t TotalFrames() const { return totalFrames_; }
  uint32_t MicrosecondsPerFrame() const { return usPerFrame_; }
  uint32_t LengthMs() const { return lengthMs_; }
  int32_t TableStep() const { return tableStep_; }
  uint32_t TableCount() const { return tableCount_; }
  uint32_t TableEntry(uint32_t i) const { return i < tableCount_ ? table_[i] : 0; }
  uint32_t FirstFrameLength() const { return firstFrameLength_; }
  uint32_t AudioStart() const { return audioStart_; }
  uint32_t AudioEnd() const { return audioEnd_; }
  const InfoFrame& Info() const { return infoFrame_; }
  bool UsesToc() const { return useToc_; }
  // Gapless trim, in samples per channel: whether there is one, what to cut
  // at the start, and what the whole stream keeps.
  bool Trims() const { return trim_; }
  uint32_t SkipStart() const { return skipStart_; }
  uint64_t KeepSamples() const { return keepSamples_; }

 private:
  void ResetReservoir() { main_.Reset(); }
  bool FindSync();
  void ReadHeader();
  void FrameSizes();
  void ReadSideInfo();
  void CopyMainData(int32_t count);
  uint32_t Get1Bit() { return GetBits(1); }
  void Refill();
  void ResetReader();
  void PositionReader(uint32_t offset);
  // Frame bytes of a header from its third byte (padding included).
  uint32_t LengthFromHeader(int b3) const;
  // Two bytes at an absolute file offset without moving the reader.
  bool PeekPair(uint32_t at, uint8_t* out);
  // Offset of the reader's current byte in the file.
  uint32_t ReaderPosition() const { return readerBase_ + uint32_t(byteIndex_); }

  // File reader.
  platform::File* file_ = nullptr;
  std::array<uint8_t, kInputSize> input_{};
  int32_t byteIndex_ = kInputSize;
  int32_t bitsLeft_ = 0;
  int32_t validLength_ = kInputSize;
  int32_t eof_ = 0;
  uint32_t readerBase_ = 0;  // file offset of input_[0]
  uint32_t nextRead_ = 0;    // file offset of the next refill

  BitReservoir main_;

  // Frame-position table (on the heap: the decoder may live on a stack).
  std::vector<uint32_t> table_ = std::vector<uint32_t>(kTableEntries);
  uint32_t tableCount_ = 0;
  int32_t tableStep_ = 1;

  // Stream description.
  int32_t referenceByte_ = -1;
  int32_t lsf_ = 0;
  int32_t firstBitrateIndex_ = 0;
  uint32_t firstFrameLength_ = 0;
  uint32_t totalFrames_ = 0;
  uint32_t sampleRate_ = 44100;
  uint32_t usPerFrame_ = 0;
  uint32_t lengthMs_ = 0;
  int32_t firstField_ = -1;  // sampling-frequency field of the first frame
  int outChannels_ = 2;
  uint32_t audioStart_ = 0;          // first audio frame
  uint32_t audioEnd_ = 0xFFFFFFFFu;  // end of the last one (trailing tags excluded)
  uint32_t infoStart_ = 0;           // header frame, when there is one
  InfoFrame infoFrame_;
  bool useToc_ = false;  // seek through the header frame's table
  uint32_t maxFrameBytes_ = 0;
  uint32_t skipStart_ = 0;    // samples per channel to trim at the start
  uint64_t keepSamples_ = 0;  // samples per channel of the whole stream
  bool trim_ = false;

  // The current frame.
  uint32_t frameStart_ = 0;  // file offset of its header
  static constexpr uint32_t kNotInStep = 0xFFFFFFFFu;
  uint32_t inStepAt_ = kNotInStep;  // where the frame after the last one found starts
  int32_t layer_ = 3;
  int32_t crc_ = 0;
  int32_t bitrateIndex_ = 0;
  int32_t samplingIndex_ = 0;  // combined with the version, 0..11
  int32_t padding_ = 0;
  int32_t mode_ = 0;
  int32_t modeExtension_ = 0;
  int32_t channels_ = 2;
  int32_t granules_ = 2;
  int32_t frameBytes_ = 0;
  int32_t mainDataBytes_ = 0;
  int32_t frameError_ = 0;
  SideInfo side_;
};

}  // namespace mpegaudio
