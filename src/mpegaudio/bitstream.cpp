// Input side of the decoder: the file reader, the bit reservoir, frame sync
// and header, the open-time scan and seeking.
#include <cstring>

#include "mpegaudio/kernels.h"
#include "mpegaudio/mp3.h"
#include "mpegaudio/tables.h"

namespace mpegaudio {

namespace {

constexpr uint32_t kRingMask = TMP3::kReservoirSize - 1;

// Byte reader for the scan: the same 8192-byte buffer, but with skips that
// stay inside the buffer when they can and seek the file otherwise.
class ScanReader {
 public:
  ScanReader(platform::File* file, uint8_t* buffer, uint32_t fileSize)
      : file_(file), buf_(buffer), fileSize_(fileSize) {}

  // Next byte, or -1 at the end of the file.
  int Next() {
    if (index_ >= length_) {
      if (!Fill()) return -1;
    }
    ++position_;
    return buf_[index_++];
  }
  // Position of the next byte to be read.
  uint32_t Position() const { return position_; }
  uint32_t FileSize() const { return fileSize_; }
  // Skips n bytes; false when that goes past the end of the file.
  bool Skip(uint32_t n) {
    const uint64_t target = uint64_t(position_) + n;
    if (target > fileSize_) return false;
    if (n <= length_ - index_) {
      index_ += n;
    } else {
      if (!file_->Seek(target)) return false;
      index_ = length_ = 0;
    }
    position_ = static_cast<uint32_t>(target);
    return true;
  }
  // Moves to an absolute position (backwards too).
  void MoveTo(uint32_t target) {
    if (target <= position_ && position_ - target <= index_) {
      index_ -= position_ - target;
    } else {
      file_->Seek(target);
      index_ = length_ = 0;
    }
    position_ = target;
  }
  // Up to n bytes from an absolute position; returns the count read.
  uint32_t PeekAt(uint32_t at, uint8_t* out, uint32_t n) {
    const uint32_t here = position_;
    MoveTo(at);
    uint32_t got = 0;
    for (int c; got < n && (c = Next()) >= 0;) out[got++] = uint8_t(c);
    MoveTo(here);
    return got;
  }

 private:
  bool Fill() {
    const size_t n = file_->Read(buf_, TMP3::kInputSize);
    index_ = 0;
    length_ = static_cast<uint32_t>(n);
    return n > 0;
  }

  platform::File* file_;
  uint8_t* buf_;
  uint32_t fileSize_;
  uint32_t index_ = 0;
  uint32_t length_ = 0;
  uint32_t position_ = 0;
};

// Frame length in bytes (without padding) for a bitrate index.
uint32_t ComputedLength(int lsf, int bitrateIndex, uint32_t rate) {
  uint32_t len = uint32_t(kBitrates[lsf][bitrateIndex]) * 144000u / rate;
  return lsf ? len >> 1 : len;
}

// The first header fixes the reference byte for the whole file, so a false
// sync in other data (a Layer II stream, a tag) must not be taken for it:
// the reserved version and sampling values are refused, and the header must
// be followed by another with the same second byte where its frame ends,
// unless the file ends exactly there. A free format header needs two more
// at equal distances.
bool PlausibleFirstHeader(ScanReader& r, uint32_t start, int b2, int b3) {
  if ((b2 & 0x18) == 0x08) return false;   // version field 01 is reserved
  if (((b3 >> 2) & 3) == 3) return false;  // sampling field 3 is reserved
  auto isHeader = [b2](const uint8_t* p) { return p[0] == 0xFF && (p[1] | 1) == (b2 | 1); };
  const int bitrateIndex = b3 >> 4;
  uint8_t buf[4096];
  if (bitrateIndex != 0) {
    const int lsf = (b2 & 0x08) ? 0 : 1;
    const int combined = ((b3 >> 2) & 3) + (lsf ? ((b2 & 0x10) ? 4 : 8) : 0);
    const uint32_t next = start + ComputedLength(lsf, bitrateIndex, kSampleRates[combined]) + uint32_t((b3 >> 1) & 1);
    const uint32_t got = r.PeekAt(next, buf, 2);
    if (got < 2) return next == r.FileSize();  // a file of this one frame
    return isHeader(buf);
  }
  const uint32_t got = r.PeekAt(start + 4, buf, sizeof buf);
  uint32_t distance = 0;
  for (uint32_t i = 0; i + 1 < got && !distance; ++i)
    if (isHeader(buf + i)) distance = i + 4;
  if (!distance) return false;
  uint8_t third[4];
  const uint32_t more = r.PeekAt(start + 2 * distance - 1, third, 4);
  if (more < 3) return start + 2 * distance + 1 >= r.FileSize();  // two frames fill the file
  return isHeader(third) || isHeader(third + 1) || (more >= 4 && isHeader(third + 2));
}

}  // namespace

TMP3::TMP3(void* window) : window_(window), tables_(&GetTables()), windowSums_(kernels::WindowSumsKernels().back().run) {
  input_ = new uint8_t[kInputSize];
  ring_ = new uint8_t[kReservoirSize];
  table_ = new uint32_t[kTableEntries];
  std::memset(input_, 0, kInputSize);
  std::memset(ring_, 0, kReservoirSize);
  std::memset(scalefacL_, 0, sizeof scalefacL_);
  std::memset(scalefacS_, 0, sizeof scalefacS_);
  std::memset(isMax_, 7, sizeof isMax_);
  std::memset(isMaxS_, 7, sizeof isMaxS_);
  std::memset(quant_, 0, sizeof quant_);
  ResetReader();
  ResetReservoir();
  ResetSynthesis();
}

TMP3::~TMP3() {
  delete[] input_;
  delete[] ring_;
  delete[] table_;
}

void TMP3::ResetReader() {
  byteIndex_ = kInputSize;
  bitsLeft_ = 0;
  validLength_ = kInputSize;
  eof_ = 0;
}

void TMP3::ResetReservoir() {
  writeCount_ = 0;
  readBit_ = 0;
  bytesAvailable_ = 0;
}

void TMP3::Refill() {
  const size_t n = file_ ? file_->Read(input_, kInputSize) : 0;
  if (n == 0) {
    eof_ = 1;
    validLength_ = kInputSize - 1;
  } else {
    validLength_ = static_cast<int32_t>(n);
  }
  byteIndex_ = 0;
}

uint32_t TMP3::GetBits(int n) {
  uint32_t result = 0;
  while (n > 0) {
    if (bitsLeft_ == 0) {
      bitsLeft_ = 8;
      ++byteIndex_;
      if (byteIndex_ < kInputSize && byteIndex_ >= validLength_) eof_ = 1;
      if (byteIndex_ >= kInputSize) {
        if (!eof_) Refill();
        byteIndex_ = 0;
      }
      if (eof_) return 0;
    }
    const int take = n < bitsLeft_ ? n : bitsLeft_;
    const uint32_t bits = (uint32_t(input_[byteIndex_]) >> (bitsLeft_ - take)) & ((1u << take) - 1);
    result = (result << take) | bits;
    bitsLeft_ -= take;
    n -= take;
  }
  return result;
}

uint32_t TMP3::MainBits(int n) {
  if (n <= 0) return 0;
  const uint32_t limit = writeCount_ * 8;
  if (readBit_ + uint32_t(n) > limit) {
    // Data missing: the read yields 0 and leaves the position at the end.
    readBit_ = limit;
    return 0;
  }
  uint32_t result = 0;
  while (n > 0) {
    const int take = n > 16 ? 16 : n;
    const uint32_t i = readBit_ >> 3;
    const uint32_t w = (uint32_t(ring_[i & kRingMask]) << 24) | (uint32_t(ring_[(i + 1) & kRingMask]) << 16) |
                       (uint32_t(ring_[(i + 2) & kRingMask]) << 8);
    result = (result << take) | ((w << (readBit_ & 7)) >> (32 - take));
    readBit_ += take;
    n -= take;
  }
  return result;
}

void TMP3::CopyMainData(int32_t count) {
  while (count > 0) {
    // Whole bytes straight from the buffer while they are there.
    if (bitsLeft_ == 0 && byteIndex_ + 1 < validLength_ && byteIndex_ + 1 < kInputSize) {
      int32_t chunk = validLength_ - (byteIndex_ + 1);
      if (chunk > count) chunk = count;
      const uint8_t* src = input_ + byteIndex_ + 1;
      for (int32_t i = 0; i < chunk; ++i) ring_[(writeCount_ + uint32_t(i)) & kRingMask] = src[i];
      writeCount_ += uint32_t(chunk);
      byteIndex_ += chunk;
      count -= chunk;
      continue;
    }
    const uint32_t b = GetBits(8);
    if (eof_) return;
    ring_[writeCount_ & kRingMask] = static_cast<uint8_t>(b);
    ++writeCount_;
    --count;
  }
}

bool TMP3::FindSync() {
  bool armed = false;
  for (;;) {
    const uint32_t b = GetBits(8);
    if (eof_) return false;
    if (armed && referenceByte_ >= 0 && (int32_t(b) | 1) == (referenceByte_ | 1)) {
      lsf_ = (b & 0x08) ? 0 : 1;
      layer_ = 4 - int32_t((b >> 1) & 3);
      if (layer_ != 3) frameError_ = 1;
      crc_ = (b & 1) ? 0 : 1;
      return true;
    }
    armed = (b == 0xFF);
  }
}

void TMP3::ReadHeader() {
  bitrateIndex_ = int32_t(GetBits(4));
  const int32_t field = int32_t(GetBits(2));
  if (field == 3) frameError_ = 1;
  samplingIndex_ = field + (lsf_ ? ((referenceByte_ & 0x10) ? 4 : 8) : 0);
  padding_ = int32_t(Get1Bit());
  privateBit_ = int32_t(Get1Bit());
  mode_ = int32_t(GetBits(2));
  modeExtension_ = int32_t(GetBits(2));
  copyright_ = int32_t(Get1Bit());
  original_ = int32_t(Get1Bit());
  emphasis_ = int32_t(GetBits(2));
  channels_ = mode_ == 3 ? 1 : 2;
  granules_ = lsf_ ? 1 : 2;
  if (crc_) GetBits(16);  // never verified
}

void TMP3::FrameSizes() {
  int32_t bytes;
  if (bitrateIndex_ == 0 || bitrateIndex_ == firstBitrateIndex_) {
    // Free format frames all have the length measured by the scan between
    // the first two headers; the padding byte comes on top, as for others.
    bytes = int32_t(firstFrameLength_);
  } else {
    bytes = int32_t(ComputedLength(lsf_, bitrateIndex_, kSampleRates[samplingIndex_]));
  }
  frameBytes_ = bytes + padding_;
  headerBytes_ = crc_ ? 6 : 4;
  if (lsf_) sideBytes_ = channels_ == 1 ? 9 : 17;
  else sideBytes_ = channels_ == 1 ? 17 : 32;
  mainDataBytes_ = frameBytes_ - headerBytes_ - sideBytes_;
}

void TMP3::Scan(platform::File* file, MP3Info* info) {
  file_ = file;
  ResetReader();
  fileSize_ = info->fileSize;
  sampleRate_ = 44100;
  referenceByte_ = -1;
  lsf_ = 0;
  firstBitrateIndex_ = 0;
  firstFrameLength_ = 0;
  firstChannels_ = 2;
  tableCount_ = 0;
  tableStep_ = 1;
  totalFrames_ = 0;
  file->Seek(0);

  ScanReader r(file, input_, fileSize_);
  uint32_t frames = 0;
  uint32_t run = 0;
  uint32_t estimate = 0;
  int32_t counter = 0;
  uint32_t firstStart = 0;
  int firstPadding = 0;
  bool lengthKnown = false;

  auto setEstimate = [&](double length) {
    estimate = length > 0 ? static_cast<uint32_t>(double(fileSize_) / length) : 0;
    tableStep_ = estimate < 20000 ? 1 : int32_t(estimate / 20000 + 1);
    lengthKnown = true;
  };
  // Entry k of the table is the start of frame k x step.
  auto countForTable = [&](uint32_t start) {
    if (counter == 0 && tableCount_ < uint32_t(kTableEntries)) table_[tableCount_++] = start;
    if (++counter >= tableStep_) counter = 0;
  };

  for (;;) {
    // A header: 0xFF, then a Layer III second byte (the reference byte once
    // there is one). Another 0xFF keeps the test armed.
    int b;
    do {
      b = r.Next();
    } while (b >= 0 && b != 0xFF);
    if (b < 0) break;
    for (;;) {
      b = r.Next();
      if (b < 0) break;
      const bool ok = referenceByte_ < 0 ? (b & 0xE6) == 0xE2 : (b | 1) == (referenceByte_ | 1);
      if (ok) break;
      if (b == 0xFF) continue;
      do {
        b = r.Next();
      } while (b >= 0 && b != 0xFF);
      if (b < 0) break;
    }
    if (b < 0) break;
    const uint32_t start = r.Position() - 2;
    const int b3 = r.Next();
    const int b4 = r.Next();
    if (b3 < 0 || b4 < 0) break;
    if (referenceByte_ < 0) {
      if (!PlausibleFirstHeader(r, start, b, b3)) {
        r.MoveTo(start + 2);  // search on right after this 0xFF and its second byte
        continue;
      }
      referenceByte_ = b;
      lsf_ = (b & 0x08) ? 0 : 1;
    }
    const int combined = ((b3 >> 2) & 3) + (lsf_ ? ((referenceByte_ & 0x10) ? 4 : 8) : 0);
    const int bitrateIndex = b3 >> 4;
    const int padding = (b3 >> 1) & 1;

    if (frames == 0) {
      firstBitrateIndex_ = bitrateIndex;
      firstStart = start;
      firstPadding = padding;
      firstChannels_ = (b4 >> 6) == 3 ? 1 : 2;
      sampleRate_ = kSampleRates[combined];
      bytesPerSecond_ = sampleRate_ * uint32_t(firstChannels_) * 2;
      if (bitrateIndex != 0) {
        const uint32_t whole = uint32_t(kBitrates[lsf_][bitrateIndex]) * 144000u / sampleRate_;
        const double length = lsf_ ? whole / 2.0 : double(whole);
        firstFrameLength_ = static_cast<uint32_t>(length);
        setEstimate(length);
      }
      if (combined > 7) break;  // MPEG-2.5: refused by its rate
    } else if (frames == 1 && firstBitrateIndex_ == 0) {
      int64_t length = int64_t(start) - int64_t(firstStart) - firstPadding;
      if (length < 1) length = 1;
      firstFrameLength_ = static_cast<uint32_t>(length);
      setEstimate(double(length));
      countForTable(firstStart);
    }

    bool skipped = true;
    if (bitrateIndex == 0) {
      // Free format: the length is known from the second header on; skip
      // the frame body so that no false sync inside it is counted.
      if (frames > 0 && lengthKnown) {
        const uint32_t length = firstFrameLength_ + uint32_t(padding);
        skipped = r.Skip(length > 4 ? length - 4 : 0);
        countForTable(start);
      }
    } else {
      uint32_t length;
      if (bitrateIndex == firstBitrateIndex_) {
        length = firstFrameLength_;
        if (++run > 99) {
          ++frames;
          break;  // constant bitrate: no need to read on
        }
      } else {
        length = ComputedLength(lsf_, bitrateIndex, kSampleRates[combined]);
        run = 0;
      }
      length += uint32_t(padding);
      skipped = r.Skip(length > 4 ? length - 4 : 0);
      if (skipped) countForTable(start);
    }
    ++frames;
    if (!skipped) break;
  }

  if (run < 100) {
    totalFrames_ = frames;
  } else {
    totalFrames_ = estimate;
    tableStep_ = -1;
  }
  usPerFrame_ = (lsf_ ? 576000000u : 1152000000u) / sampleRate_;
  lengthMs_ = static_cast<uint32_t>(double(totalFrames_) * usPerFrame_ / 1000.0);
  info->sampleRate = sampleRate_;
  info->lengthMs = lengthMs_;
  info->usPerFrame = usPerFrame_;
  file->Seek(0);
  ResetReader();
}

void TMP3::Begin(platform::File* file) {
  file_ = file;
  frameCounter_ = 0;
  if (file_) file_->Seek(0);
  ResetReservoir();
  ResetReader();
  ResetSynthesis();
}

void TMP3::Seek(int32_t frameIndex) {
  ResetReservoir();
  ResetReader();
  ResetSynthesis();
  if (!file_) return;
  if (frameIndex < 0) frameIndex = 0;
  uint32_t offset = 0;
  if (tableStep_ > 0) {
    uint32_t k = uint32_t(frameIndex) / uint32_t(tableStep_);
    if (tableCount_ == 0) k = 0;
    else if (k >= tableCount_) k = tableCount_ - 1;
    offset = tableCount_ ? table_[k] : 0;
    // Beyond the last frame counted: past the end, so that nothing plays.
    if (tableCount_ && uint32_t(frameIndex) >= totalFrames_) offset = fileSize_;
  } else if (totalFrames_ > 0) {
    offset = static_cast<uint32_t>(double(fileSize_) * frameIndex / totalFrames_);
  }
  file_->Seek(offset);
}

}  // namespace mpegaudio
