// Input side of the decoder: the file reader, the bit reservoir, frame sync,
// header and side information, the open-time scan and seeking.
#include "mpegaudio/stream_reader.h"

#include <cstring>

#include "mpegaudio/tables.h"

namespace mpegaudio {

namespace {

constexpr uint32_t kRingMask = BitReservoir::kMask;

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
  // The end of what this reader sees (the audio end, before trailing tags).
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
    if (position_ >= fileSize_) return false;
    const uint32_t room = fileSize_ - position_;
    const size_t n = file_->Read(buf_, room < uint32_t(StreamReader::kInputSize) ? room : StreamReader::kInputSize);
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
  // Free format: every frame says so, and the frames repeat at one distance
  // (give or take the padding byte). A sync word inside the first frame's
  // data must not decide the distance, so each candidate is tried.
  auto isFree = [&](const uint8_t* p) { return isHeader(p) && (p[2] >> 4) == 0; };
  const uint32_t got = r.PeekAt(start + 4, buf, sizeof buf);
  for (uint32_t i = 0; i + 2 < got; ++i) {
    if (!isFree(buf + i)) continue;
    const uint32_t distance = i + 4;
    uint8_t third[5];
    const uint32_t more = r.PeekAt(start + 2 * distance - 1, third, 5);
    if (more < 4) return start + 2 * distance + 1 >= r.FileSize();  // two frames fill the file
    if (isFree(third) || isFree(third + 1) || (more >= 5 && isFree(third + 2))) return true;
  }
  return false;
}

}  // namespace

StreamReader::StreamReader() { ResetReader(); }

void StreamReader::ResetReader() {
  byteIndex_ = kInputSize;
  bitsLeft_ = 0;
  validLength_ = kInputSize;
  eof_ = 0;
}

void StreamReader::Start(platform::File* file, uint32_t offset) {
  file_ = file;
  ResetReservoir();
  PositionReader(offset);
}

void StreamReader::PositionReader(uint32_t offset) {
  if (file_) file_->Seek(offset);
  ResetReader();
  nextRead_ = offset;
  readerBase_ = offset;
  // The scan found the first frame; elsewhere the step is found anew.
  inStepAt_ = offset == audioStart_ ? offset : kNotInStep;
}

void StreamReader::Refill() {
  // The reader stops where the trailing tags begin.
  const uint32_t room = audioEnd_ > nextRead_ ? audioEnd_ - nextRead_ : 0;
  const size_t n = file_ ? file_->Read(input_.data(), room < uint32_t(kInputSize) ? room : kInputSize) : 0;
  readerBase_ = nextRead_;
  nextRead_ += uint32_t(n);
  if (n == 0) {
    eof_ = 1;
    validLength_ = kInputSize - 1;
  } else {
    validLength_ = static_cast<int32_t>(n);
  }
  byteIndex_ = 0;
}

uint32_t StreamReader::GetBits(int n) {
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

uint32_t BitReservoir::MainBits(int n) {
  if (n <= 0) return 0;
  const uint32_t limit = writeCount * 8;
  if (readBit + uint32_t(n) > limit) {
    // Data missing: the read yields 0 and leaves the position at the end.
    readBit = limit;
    return 0;
  }
  uint32_t result = 0;
  while (n > 0) {
    const int take = n > 16 ? 16 : n;
    const uint32_t i = readBit >> 3;
    const uint32_t w = (uint32_t(ring[i & kRingMask]) << 24) | (uint32_t(ring[(i + 1) & kRingMask]) << 16) |
                       (uint32_t(ring[(i + 2) & kRingMask]) << 8);
    result = (result << take) | ((w << (readBit & 7)) >> (32 - take));
    readBit += take;
    n -= take;
  }
  return result;
}

void StreamReader::CopyMainData(int32_t count) {
  uint8_t* const ring = main_.ring.data();
  uint32_t& writeCount = main_.writeCount;
  while (count > 0) {
    // Whole bytes straight from the buffer while they are there.
    if (bitsLeft_ == 0 && byteIndex_ + 1 < validLength_ && byteIndex_ + 1 < kInputSize) {
      int32_t chunk = validLength_ - (byteIndex_ + 1);
      if (chunk > count) chunk = count;
      const uint8_t* src = input_.data() + byteIndex_ + 1;
      for (int32_t i = 0; i < chunk; ++i) ring[(writeCount + uint32_t(i)) & kRingMask] = src[i];
      writeCount += uint32_t(chunk);
      byteIndex_ += chunk;
      count -= chunk;
      continue;
    }
    const uint32_t b = GetBits(8);
    if (eof_) return;
    ring[writeCount & kRingMask] = static_cast<uint8_t>(b);
    ++writeCount;
    --count;
  }
}

uint32_t StreamReader::LengthFromHeader(int b3) const {
  const int bitrateIndex = b3 >> 4;
  const uint32_t padding = uint32_t(b3 >> 1) & 1;
  // The first frame's length holds for its bitrate at its sampling rate.
  if (bitrateIndex == 0 || (bitrateIndex == firstBitrateIndex_ && ((b3 >> 2) & 3) == firstField_))
    return firstFrameLength_ + padding;
  const int combined = ((b3 >> 2) & 3) + (lsf_ ? ((referenceByte_ & 0x10) ? 4 : 8) : 0);
  return ComputedLength(lsf_, bitrateIndex, kSampleRates[combined]) + padding;
}

bool StreamReader::PeekPair(uint32_t at, uint8_t* out) {
  if (uint64_t(at) + 2 > audioEnd_) return false;
  if (byteIndex_ < kInputSize && at >= readerBase_ && at + 2 <= readerBase_ + uint32_t(validLength_)) {
    out[0] = input_[at - readerBase_];
    out[1] = input_[at - readerBase_ + 1];
    return true;
  }
  if (!file_ || !file_->Seek(at)) return false;
  const bool got = file_->Read(out, 2) == 2;
  file_->Seek(nextRead_);
  return got;
}

bool StreamReader::FindSync() {
  bool armed = false;
  for (;;) {
    if (!armed && bitsLeft_ == 0 && byteIndex_ + 1 < validLength_) {
      // Junk is passed over a buffer at a time, not a byte per call.
      const uint8_t* from = input_.data() + byteIndex_ + 1;
      const void* ff = std::memchr(from, 0xFF, size_t(validLength_ - (byteIndex_ + 1)));
      byteIndex_ = ff ? int32_t(static_cast<const uint8_t*>(ff) - input_.data()) - 1 : validLength_ - 1;
    }
    const uint32_t b = GetBits(8);
    if (eof_) return false;
    if (armed && referenceByte_ >= 0 && (int32_t(b) | 1) == (referenceByte_ | 1)) {
      // A header counts only when the next one (or the end of the audio)
      // follows where its frame ends; a sync word inside main data would
      // otherwise feed garbage to the reservoir.
      const uint32_t start = ReaderPosition() - 1;
      uint8_t h[2];
      if (!PeekPair(start + 2, h) || ((h[0] >> 2) & 3) == 3) {
        armed = false;
        continue;
      }
      const uint32_t length = LengthFromHeader(h[0]);
      const uint64_t next = uint64_t(start) + length;
      // A frame that the previous one's length leads to is in step: it is
      // played if it lies whole in the file, whatever follows it. The test
      // of the next header is for finding the step, not for keeping it.
      bool follows = next == audioEnd_ || (start == inStepAt_ && next <= audioEnd_);
      // Free format lengths are measured, so allow the next header a byte either way.
      const int slack = (h[0] >> 4) == 0 ? 1 : 0;
      for (int d = -slack; d <= slack && !follows; ++d) {
        uint8_t n2[2];
        follows = PeekPair(uint32_t(next + d), n2) && n2[0] == 0xFF && (n2[1] | 1) == (referenceByte_ | 1);
        // Joined files: a tag between two songs ends the frame before it too.
        if (!follows && d == 0 && PeekPair(uint32_t(next), n2))
          follows = (n2[0] == 'I' && n2[1] == 'D') || (n2[0] == 'T' && n2[1] == 'A') ||
                    (n2[0] == 'A' && n2[1] == 'P') || (n2[0] == 'L' && n2[1] == 'Y');
      }
      if (!follows) {
        armed = false;
        continue;
      }
      frameStart_ = start;
      inStepAt_ = uint32_t(next);
      lsf_ = (b & 0x08) ? 0 : 1;
      layer_ = 4 - int32_t((b >> 1) & 3);
      if (layer_ != 3) frameError_ = 1;
      crc_ = (b & 1) ? 0 : 1;
      return true;
    }
    armed = (b == 0xFF);
  }
}

void StreamReader::ReadHeader() {
  bitrateIndex_ = int32_t(GetBits(4));
  const int32_t field = int32_t(GetBits(2));
  if (field == 3) frameError_ = 1;
  samplingIndex_ = field + (lsf_ ? ((referenceByte_ & 0x10) ? 4 : 8) : 0);
  padding_ = int32_t(Get1Bit());
  Get1Bit();  // private bit
  mode_ = int32_t(GetBits(2));
  modeExtension_ = int32_t(GetBits(2));
  GetBits(4);  // copyright, original, emphasis: nothing the output depends on
  channels_ = mode_ == 3 ? 1 : 2;
  granules_ = lsf_ ? 1 : 2;
  if (crc_) GetBits(16);  // never verified
}

void StreamReader::FrameSizes() {
  int32_t bytes;
  if (bitrateIndex_ == 0 || (bitrateIndex_ == firstBitrateIndex_ && (samplingIndex_ & 3) == firstField_)) {
    // Free format frames all have the length measured by the scan between
    // the first two headers; the padding byte comes on top, as for others.
    bytes = int32_t(firstFrameLength_);
  } else {
    bytes = int32_t(ComputedLength(lsf_, bitrateIndex_, kSampleRates[samplingIndex_]));
  }
  frameBytes_ = bytes + padding_;
  const int32_t headerBytes = crc_ ? 6 : 4;
  int32_t sideBytes;
  if (lsf_) sideBytes = channels_ == 1 ? 9 : 17;
  else sideBytes = channels_ == 1 ? 17 : 32;
  mainDataBytes_ = frameBytes_ - headerBytes - sideBytes;
}

namespace {

// Candidates for the first header that may be examined; a real file has a
// handful, a crafted one could otherwise make the check read for seconds.
constexpr uint32_t kFirstHeaderCandidates = 4096;
// Samples a standard decoder's filterbank delays its output by.
constexpr uint32_t kDecoderDelay = 529;

int SideBytes(int lsf, int channels) { return lsf ? (channels == 1 ? 9 : 17) : (channels == 1 ? 17 : 32); }

// Whether a stream that opened with many frames of one bitrate keeps it: a
// few frames spread over the rest of the file are looked at. A VBR file with
// seconds of silence at the start is found out here.
bool LooksConstant(ScanReader& r, uint32_t from, uint32_t end, int reference, int bitrateIndex, int field) {
  if (end <= from) return true;
  for (int i = 1; i <= 8; ++i) {
    const uint32_t at = from + uint32_t(uint64_t(end - from) * i / 9);
    uint8_t buf[4096];
    const uint32_t got = r.PeekAt(at, buf, sizeof buf);
    for (uint32_t k = 0; k + 3 < got; ++k) {
      if (buf[k] != 0xFF || (buf[k + 1] | 1) != (reference | 1)) continue;
      if ((buf[k + 2] >> 4) != bitrateIndex || ((buf[k + 2] >> 2) & 3) != field) return false;
      break;  // one header per place is enough
    }
  }
  return true;
}

// Whether a stereo frame follows: the frames from one at `from` on are
// walked by their lengths (a lost step is found again by the search), so
// that a mono stream that turns stereo later opens stereo.
bool StereoAhead(ScanReader& r, uint32_t from, int reference, int lsf, uint32_t freeLength) {
  r.MoveTo(from);
  int b = r.Next();
  for (;;) {
    while (b >= 0 && b != 0xFF) b = r.Next();
    if (b < 0) return false;
    b = r.Next();
    if (b < 0) return false;
    if ((b | 1) != (reference | 1)) continue;  // b may be the next 0xFF
    const int b3 = r.Next(), b4 = r.Next();
    if (b3 < 0 || b4 < 0) return false;
    if (((b3 >> 2) & 3) == 3) {
      b = r.Next();
      continue;
    }
    if ((b4 >> 6) != 3) return true;
    const int combined = ((b3 >> 2) & 3) + (lsf ? ((reference & 0x10) ? 4 : 8) : 0);
    const uint32_t length =
        ((b3 >> 4) ? ComputedLength(lsf, b3 >> 4, kSampleRates[combined]) : freeLength) + uint32_t((b3 >> 1) & 1);
    if (!r.Skip(length > 4 ? length - 4 : 0)) return false;
    b = r.Next();
  }
}

}  // namespace

void StreamReader::Scan(platform::File* file, uint32_t fileSize) {
  file_ = file;
  ResetReader();
  sampleRate_ = 44100;
  referenceByte_ = -1;
  lsf_ = 0;
  firstBitrateIndex_ = 0;
  firstFrameLength_ = 0;
  firstField_ = -1;
  outChannels_ = 2;
  tableCount_ = 0;
  tableStep_ = 1;
  totalFrames_ = 0;
  infoFrame_ = InfoFrame();
  useToc_ = false;
  skipStart_ = 0;
  keepSamples_ = 0;
  trim_ = false;

  const AudioRegion region = FindAudioRegion(file, fileSize);
  audioStart_ = region.start;
  audioEnd_ = region.end;
  infoStart_ = 0;
  file->Seek(0);

  ScanReader r(file, input_.data(), audioEnd_);
  r.MoveTo(region.start);
  uint32_t frames = 0;
  uint32_t run = 0;
  uint32_t estimate = 0;
  int32_t counter = 0;
  uint32_t firstStart = 0;
  int firstPadding = 0;
  bool lengthKnown = false;
  bool infoChecked = false;
  bool headerCount = false;  // the header frame's count is believed
  bool varying = false;      // the bitrate was seen to change: scan to the end
  uint32_t candidates = 0;
  bool sawStereo = false;

  auto setEstimate = [&](double length) {
    const uint32_t bytes = audioEnd_ > firstStart ? audioEnd_ - firstStart : 0;
    estimate = length > 0 ? static_cast<uint32_t>(double(bytes) / length + 0.5) : 0;
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
      if (++candidates > kFirstHeaderCandidates) break;
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
    if (frames == 1 && firstBitrateIndex_ == 0 && bitrateIndex != 0) {
      // The second free format header measures the frame length: a sync
      // word in the first frame's data is not it.
      r.MoveTo(start + 2);
      continue;
    }

    if (!infoChecked) {
      // The first frame may be a header frame: no audio, but the count,
      // a seek table and the encoder's delay and padding.
      infoChecked = true;
      if (bitrateIndex != 0 && combined <= 7) {
        const uint32_t length = ComputedLength(lsf_, bitrateIndex, kSampleRates[combined]) + uint32_t(padding);
        uint8_t buf[1600];
        const uint32_t got = r.PeekAt(start, buf, length < sizeof buf ? length : uint32_t(sizeof buf));
        const InfoFrame h = ParseInfoFrame(buf, got, SideBytes(lsf_, (b4 >> 6) == 3 ? 1 : 2), !(b & 1));
        if (h.present) {
          infoFrame_ = h;
          infoStart_ = start;
          if (!r.Skip(length - 4)) break;
          continue;
        }
      }
    }

    if ((b4 >> 6) != 3) sawStereo = true;
    if (frames == 0) {
      firstBitrateIndex_ = bitrateIndex;
      firstStart = start;
      audioStart_ = start;
      firstPadding = padding;
      firstField_ = (b3 >> 2) & 3;
      sampleRate_ = kSampleRates[combined];
      if (bitrateIndex != 0) {
        firstFrameLength_ = ComputedLength(lsf_, bitrateIndex, sampleRate_);
        // The estimate divides by the mean length: padding bytes included,
        // a 44.1 kHz stream would otherwise gain a frame every twenty seconds.
        setEstimate(double(kBitrates[lsf_][bitrateIndex]) * 144000.0 / sampleRate_ / (lsf_ ? 2 : 1));
      }
      if (combined > 7) break;  // MPEG-2.5: refused by its rate
      if (infoFrame_.present && infoFrame_.frames > 0) {
        // A count the audio bytes cannot hold (even in frames of the
        // lowest bitrate, or of this one for a constant bitrate) is wrong.
        const uint32_t bytes = audioEnd_ - start;
        const uint32_t smallest =
            infoFrame_.vbr || bitrateIndex == 0 ? ComputedLength(lsf_, 1, sampleRate_) : firstFrameLength_;
        headerCount = uint64_t(infoFrame_.frames - 1) * smallest <= bytes;
        // A file cut short (an interrupted download) has fewer bytes than
        // its header counted: then only the scan knows what is left.
        if (infoFrame_.bytes > audioEnd_ - infoStart_ + 1441) headerCount = false;
        // Songs joined after the counted one (files put end to end): the
        // count and the padding are the first song's, so the scan counts.
        if (infoFrame_.bytes != 0 && audioEnd_ - infoStart_ > infoFrame_.bytes + 1441) headerCount = false;
        if (headerCount && (!infoFrame_.vbr || infoFrame_.hasToc) && bitrateIndex != 0) {
          useToc_ = infoFrame_.vbr;
          ++frames;
          if (!sawStereo)
            sawStereo = StereoAhead(r, start + firstFrameLength_ + uint32_t(padding), referenceByte_, lsf_, 0);
          break;  // the header says all the scan would find
        }
      }
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
      if (bitrateIndex == firstBitrateIndex_ && ((b3 >> 2) & 3) == firstField_) {
        length = firstFrameLength_;
        if (!varying && ++run > 99) {
          if (LooksConstant(r, r.Position(), audioEnd_, referenceByte_, firstBitrateIndex_, firstField_)) {
            ++frames;
            if (!sawStereo)
              sawStereo = StereoAhead(r, start + firstFrameLength_ + uint32_t(padding), referenceByte_, lsf_, 0);
            break;  // constant bitrate: no need to read on
          }
          varying = true;
        }
      } else {
        length = ComputedLength(lsf_, bitrateIndex, kSampleRates[combined]);
        run = 0;
      }
      length += uint32_t(padding);
      skipped = r.Skip(length > 4 ? length - 4 : 0);
      if (skipped) countForTable(start);
    }
    // A frame cut off by the end of the file gives no samples: not counted.
    if (!skipped) break;
    ++frames;
  }

  const uint32_t samplesPerFrame = lsf_ ? 576 : 1152;
  if (headerCount && (useToc_ || !infoFrame_.vbr) && frames > 0) {
    totalFrames_ = infoFrame_.frames;
    if (!useToc_) tableStep_ = -1;
  } else if (run > 99 && !varying) {
    totalFrames_ = estimate;
    tableStep_ = -1;
  } else {
    totalFrames_ = frames;
    // A header frame without a table still knows the count best, but never
    // more than was found.
    if (headerCount && infoFrame_.frames < frames) totalFrames_ = infoFrame_.frames;
  }
  if (frames == 0) audioStart_ = region.start;
  outChannels_ = frames == 0 || sawStereo ? 2 : 1;
  // The largest frame at the lowest rate of the version: the rate may change.
  maxFrameBytes_ = firstBitrateIndex_ == 0 ? firstFrameLength_ + 1
                                           : ComputedLength(lsf_, 14, kSampleRates[lsf_ ? 6 : 2]) + 1;
  usPerFrame_ = (lsf_ ? 576000000u : 1152000000u) / sampleRate_;
  lengthMs_ = static_cast<uint32_t>(double(totalFrames_) * usPerFrame_ / 1000.0);
  if (frames > 0 && infoFrame_.hasGapless) {
    // The encoder's delay (and the decoder's) is dropped whenever the tag
    // gives it; the padding only when every frame the tag counts is here,
    // since a file cut short lost the end it was counted from. What the two
    // leave of the audio is heard, however little.
    const uint64_t all = uint64_t(totalFrames_) * samplesPerFrame;
    const bool whole = headerCount && infoFrame_.frames > 0 && totalFrames_ >= infoFrame_.frames;
    uint64_t end = all;
    if (whole) {
      const uint64_t counted = uint64_t(infoFrame_.frames) * samplesPerFrame + kDecoderDelay;
      end = counted > infoFrame_.padding ? counted - infoFrame_.padding : 0;
      if (end > all) end = all;
    }
    uint64_t begin = uint64_t(infoFrame_.delay) + kDecoderDelay;
    if (begin > end) begin = end;
    trim_ = true;
    skipStart_ = uint32_t(begin);
    keepSamples_ = end - begin;
    lengthMs_ = static_cast<uint32_t>(keepSamples_ * 1000 / sampleRate_);
  }
  file->Seek(0);
  ResetReader();
}

void StreamReader::ReadSideInfo() {
  const int nch = channels_;
  if (lsf_) {
    side_.main_data_begin = GetBits(8);
    side_.private_bits = GetBits(nch == 1 ? 1 : 2);
  } else {
    side_.main_data_begin = GetBits(9);
    side_.private_bits = GetBits(nch == 1 ? 5 : 3);
    for (int ch = 0; ch < nch; ++ch)
      for (int i = 0; i < 4; ++i) side_.scfsi[ch][i] = Get1Bit();
  }
  for (int gr = 0; gr < granules_; ++gr) {
    for (int ch = 0; ch < nch; ++ch) {
      GranuleChannel& g = side_.gr[gr][ch];
      g.part2_3_length = GetBits(12);
      g.big_values = GetBits(9);
      g.global_gain = GetBits(8);
      g.scalefac_compress = GetBits(lsf_ ? 9 : 4);
      g.window_switching = Get1Bit();
      if (g.window_switching) {
        g.block_type = GetBits(2);
        g.mixed_block = Get1Bit();
        g.table_select[0] = GetBits(5);
        g.table_select[1] = GetBits(5);
        g.table_select[2] = 0;
        for (int w = 0; w < 3; ++w) g.subblock_gain[w] = GetBits(3);
        if (g.block_type == 0) {
          frameError_ = 1;  // window switching needs a block type
          return;
        }
        g.region0_count = (g.block_type == 2 && !g.mixed_block) ? 8 : 7;
        g.region1_count = 13;
      } else {
        g.block_type = 0;
        g.mixed_block = 0;
        for (int r = 0; r < 3; ++r) g.table_select[r] = GetBits(5);
        for (int w = 0; w < 3; ++w) g.subblock_gain[w] = 0;
        g.region0_count = GetBits(4);
        g.region1_count = GetBits(3);
      }
      g.preflag = lsf_ ? 0 : Get1Bit();
      g.scalefac_scale = Get1Bit();
      g.count1table_select = Get1Bit();
    }
  }
}

StreamReader::Frame StreamReader::NextFrame() {
  frameError_ = 0;
  if (!FindSync()) return Frame::kNone;
  ReadHeader();
  FrameSizes();
  ReadSideInfo();
  BitReservoir& m = main_;
  const uint32_t before = m.writeCount;
  CopyMainData(mainDataBytes_);
  const uint32_t appended = m.writeCount - before;

  // Start of this frame's main data: main_data_begin bytes before the bytes
  // it appended. Everything before that is dropped.
  const uint32_t used = (m.readBit + 7) >> 3;
  m.readBit = used * 8;
  const int64_t discard = int64_t(m.bytesAvailable) - int64_t(used) - int64_t(side_.main_data_begin);
  if (used > uint32_t(BitReservoir::kSize)) {
    // Keep the counters small; ring indices are unchanged modulo 4096.
    m.bytesAvailable -= BitReservoir::kSize;
    m.readBit -= BitReservoir::kSize * 8;
    m.writeCount -= BitReservoir::kSize;
  }
  m.bytesAvailable += appended;
  if (m.writeCount > (1u << 26)) {
    // Nothing was consumed for a very long time (corrupt input): start over.
    ResetReservoir();
    return Frame::kLost;
  }
  if (discard < 0) return Frame::kMissing;  // refers back to data not held
  m.readBit += uint32_t(discard) * 8;
  if (frameError_) {
    ResetReservoir();
    ResetReader();
    return Frame::kBad;
  }
  if (eof_) return Frame::kEnd;
  return Frame::kReady;
}

FrameHeader StreamReader::Header() const {
  FrameHeader h;
  h.lsf = lsf_;
  h.samplingIndex = samplingIndex_;
  h.mode = mode_;
  h.modeExtension = modeExtension_;
  h.channels = channels_;
  h.granules = granules_;
  h.frameBytes = frameBytes_;
  return h;
}

StreamReader::SeekPoint StreamReader::SeekTo(uint32_t f) {
  SeekPoint p;
  ResetReservoir();
  if (!file_) return p;
  p.moved = true;
  if (f >= totalFrames_) {
    // Past the last frame: nothing is left to play.
    PositionReader(audioEnd_);
    p.pastEnd = true;
    return p;
  }
  // Decoding starts early enough that the target's reservoir (up to 511
  // bytes back) is complete and one whole frame has filled the filterbank.
  const uint32_t preroll = 2 * maxFrameBytes_ + 1024;
  uint32_t from = audioStart_;
  if (tableStep_ > 0 && !useToc_ && tableCount_ > 0) {
    uint32_t k = f / uint32_t(tableStep_);
    if (k >= tableCount_) k = tableCount_ - 1;
    uint32_t e = k;
    while (e > 0 && table_[k] - table_[e] < preroll) --e;
    from = table_[e];
    p.indexKnown = true;
    p.index = e * uint32_t(tableStep_);
  } else {
    uint32_t target = audioStart_;
    const uint32_t bytes = audioEnd_ - audioStart_;
    if (useToc_) {
      const double percent = double(f) * 100.0 / totalFrames_;
      const int i = percent >= 99 ? 99 : int(percent);
      const double a = infoFrame_.toc[i];
      const double b = i < 99 ? infoFrame_.toc[i + 1] : 256.0;
      const uint32_t span = infoFrame_.bytes && infoFrame_.bytes <= audioEnd_ - infoStart_ ? infoFrame_.bytes
                                                                                          : audioEnd_ - infoStart_;
      target = infoStart_ + uint32_t((a + (b - a) * (percent - i)) / 256.0 * span);
    } else if (totalFrames_ > 0) {
      // Frame starts sit within a byte of the average spacing; aim just
      // before the target's so that the first header at or after it is it.
      const double at = double(bytes) * f / totalFrames_;
      target = audioStart_ + (at > 2 ? uint32_t(at - 2) : 0);
    }
    if (target < audioStart_) target = audioStart_;
    if (target >= audioEnd_) target = audioEnd_;
    from = target > audioStart_ + preroll ? target - preroll : audioStart_;
    if (from == audioStart_ && !useToc_) {
      p.indexKnown = true;  // counted from the first frame: exact
      p.index = 0;
    } else {
      p.target = target;
    }
  }
  p.fromStart = from == audioStart_;
  PositionReader(from);
  return p;
}

}  // namespace mpegaudio
