// Layer III frame decoding: the frame as the stream reader hands it over
// (side information, main data), scale factors and Huffman decoding in the
// granule decoder, and the per-frame driver.
#include <cstring>

#include "mpegaudio/granule_decoder.h"
#include "mpegaudio/kernels.h"
#include "mpegaudio/mp3.h"
#include "mpegaudio/stream_reader.h"
#include "mpegaudio/tables.h"

namespace mpegaudio {

namespace {
constexpr uint32_t kRingMask = BitReservoir::kMask;

// Reads the reservoir ring through a 64-bit cache, most significant bit
// first. pos is the absolute bit position of the next unread bit.
struct BitCache {
  BitCache(const uint8_t* ring, uint32_t start) : ring(ring), pos(start), next(start >> 3) {
    Fill();
    const int skip = int(start & 7);
    cache <<= skip;
    count -= skip;
  }
  // Afterwards at least 57 bits are cached.
  void Fill() {
    if (count > 56) return;
    const uint32_t i = next & kRingMask;
    uint64_t w;
    if (i + 8 <= BitReservoir::kSize) {
      uint8_t b[8];
      std::memcpy(b, ring + i, 8);
      w = (uint64_t(b[0]) << 56) | (uint64_t(b[1]) << 48) | (uint64_t(b[2]) << 40) | (uint64_t(b[3]) << 32) |
          (uint64_t(b[4]) << 24) | (uint64_t(b[5]) << 16) | (uint64_t(b[6]) << 8) | uint64_t(b[7]);
    } else {
      w = 0;
      for (uint32_t k = 0; k < 8; ++k) w = (w << 8) | ring[(next + k) & kRingMask];
    }
    // Whole bytes that fit below the cached bits are taken; the bits of the
    // following byte that come along are that byte's own, and the next fill
    // ORs the same values into the same place.
    const int bytes = (63 - count) >> 3;
    cache |= w >> count;
    next += uint32_t(bytes);
    count += 8 * bytes;
  }
  uint32_t Peek32() const { return uint32_t(cache >> 32); }
  void Skip(int n) {
    cache <<= n;
    count -= n;
    pos += uint32_t(n);
  }
  // Skips the count in bits 0..3 of a table entry whose bits 4..5 are 0:
  // the shift uses the entry as it is (the machine takes the count modulo 64).
  void SkipBy(uint32_t entry) {
    cache <<= (entry & 63);
    const int n = int(entry & 15);
    count -= n;
    pos += uint32_t(n);
  }
  uint32_t Take(int n) {
    const uint32_t v = uint32_t(cache >> (64 - n));
    Skip(n);
    return v;
  }

  const uint8_t* ring;
  uint32_t pos;
  uint32_t next;
  uint64_t cache = 0;
  int count = 0;
};
}  // namespace

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

void GranuleDecoder::ReadScaleFactors(int gr, int ch) {
  GranuleChannel& g = side_.gr[gr][ch];
  uint8_t* L = scalefacL_[ch];
  uint8_t(*S)[3] = scalefacS_[ch];
  const bool shortBlocks = g.window_switching && g.block_type == 2;

  if (!lsf_) {
    const int slen1 = kSlen[0][g.scalefac_compress & 15];
    const int slen2 = kSlen[1][g.scalefac_compress & 15];
    if (shortBlocks) {
      int first = 0;
      if (g.mixed_block) {
        for (int b = 0; b < 8; ++b) L[b] = uint8_t(MainBits(slen1));
        first = 3;
      }
      for (int b = first; b < 12; ++b)
        for (int w = 0; w < 3; ++w) S[b][w] = uint8_t(MainBits(b < 6 ? slen1 : slen2));
      for (int w = 0; w < 3; ++w) S[12][w] = 0;
    } else {
      static const int kGroups[5] = {0, 6, 11, 16, 21};
      for (int i = 0; i < 4; ++i) {
        if (gr == 1 && side_.scfsi[ch][i]) continue;  // shared with granule 0
        const int len = i < 2 ? slen1 : slen2;
        for (int b = kGroups[i]; b < kGroups[i + 1]; ++b) L[b] = uint8_t(MainBits(len));
      }
      L[21] = L[22] = 0;
    }
    return;
  }

  // Low sampling frequencies: 9-bit compression value split into up to four
  // slen groups whose band counts depend on the block kind.
  int slen[4] = {0, 0, 0, 0};
  int kase;
  uint32_t sfc = g.scalefac_compress;
  const bool intensityRight = ch == 1 && mode_ == 1 && (modeExtension_ & 1);
  g.preflag = 0;
  if (intensityRight) {
    sfc >>= 1;
    if (sfc < 180) {
      slen[0] = int(sfc / 36);
      slen[1] = int((sfc % 36) / 6);
      slen[2] = int(sfc % 6);
      kase = 3;
    } else if (sfc < 244) {
      sfc -= 180;
      slen[0] = int((sfc & 63) >> 4);
      slen[1] = int((sfc & 15) >> 2);
      slen[2] = int(sfc & 3);
      kase = 4;
    } else {
      sfc -= 244;
      slen[0] = int(sfc / 3);
      slen[1] = int(sfc % 3);
      kase = 5;
    }
  } else {
    if (sfc < 400) {
      slen[0] = int((sfc >> 4) / 5);
      slen[1] = int((sfc >> 4) % 5);
      slen[2] = int((sfc & 15) >> 2);
      slen[3] = int(sfc & 3);
      kase = 0;
    } else if (sfc < 500) {
      sfc -= 400;
      slen[0] = int((sfc >> 2) / 5);
      slen[1] = int((sfc >> 2) % 5);
      slen[2] = int(sfc & 3);
      kase = 1;
    } else {
      sfc -= 500;
      slen[0] = int(sfc / 3);
      slen[1] = int(sfc % 3);
      g.preflag = 1;
      kase = 2;
    }
  }
  const int kind = shortBlocks ? (g.mixed_block ? 2 : 1) : 0;
  uint8_t values[48];
  uint8_t maxima[48];
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    const int count = kLsfBandCounts[kase][kind][i];
    for (int j = 0; j < count && n < 48; ++j, ++n) {
      values[n] = uint8_t(MainBits(slen[i]));
      maxima[n] = uint8_t((1 << slen[i]) - 1);
    }
  }
  for (; n < 48; ++n) values[n] = 0, maxima[n] = 0;
  uint8_t* lmax = isMax_[ch];
  uint8_t* smax = isMaxS_[ch];
  int k = 0;
  if (kind == 0) {
    for (int b = 0; b < 21; ++b, ++k) L[b] = values[k], lmax[b] = maxima[k];
    L[21] = L[22] = 0;
    lmax[21] = lmax[20];
    lmax[22] = lmax[20];
  } else {
    int first = 0;
    if (kind == 2) {
      for (int b = 0; b < 6; ++b, ++k) L[b] = values[k], lmax[b] = maxima[k];
      first = 3;
    }
    for (int b = first; b < 12; ++b) {
      for (int w = 0; w < 3; ++w, ++k) S[b][w] = values[k];
      smax[b] = maxima[k - 1];
    }
    for (int w = 0; w < 3; ++w) S[12][w] = 0;
    smax[12] = smax[11];
  }
}

CORVELLA_BITS_CLONES void GranuleDecoder::HuffmanDecode(int gr, int ch) {
  const GranuleChannel& g = side_.gr[gr][ch];
  const Tables& t = *tables_;
  int32_t* q = quant_[ch];
  const uint32_t end = part2Start_ + g.part2_3_length;
  const uint32_t limit = main_->writeCount * 8;

  if (g.big_values > 288) {
    // Corrupt: this channel is silent, and the reservoir moves on to where
    // its part 3 ends so the rest of the frame stays in step.
    frameError_ = 1;
    std::memset(q, 0, sizeof quant_[0]);
    nonzero_[ch] = 0;
    main_->readBit = end < limit ? end : limit;
    return;
  }

  int r1, r2;
  if (g.window_switching && g.block_type == 2) {
    r1 = 36;
    r2 = 576;
  } else {
    const uint16_t* lb = kLongBounds[samplingIndex_];
    uint32_t i1 = g.region0_count + 1;
    uint32_t i2 = g.region0_count + g.region1_count + 2;
    if (i1 > 22) i1 = 22;
    if (i2 > 22) i2 = 22;
    r1 = lb[i1];
    r2 = lb[i2];
  }
  const int bigLines = int(g.big_values) * 2;
  BitCache bits(main_->ring.data(), main_->readBit);
  bool underrun = false;

  int i = 0;
  for (int region = 0; region < 3; ++region) {
    int regionEnd = region == 0 ? r1 : region == 1 ? r2 : 576;
    if (regionEnd > bigLines) regionEnd = bigLines;
    const HuffLookup& h = t.pairs[g.table_select[region] & 31];
    if (!h.entries) {
      for (; i < regionEnd; i += 2) q[i] = q[i + 1] = 0;
      continue;
    }
    const int linbits = h.linbits;
    const uint16_t* const withSigns = h.withSigns;
    for (; i < regionEnd; i += 2) {
      bits.Fill();
      // Most pairs: code and signs in one step.
      const uint32_t e = withSigns[bits.cache >> (64 - kSignedPairBits)];
      const uint32_t need = e & 15;
      if (need) {
        if (underrun || bits.pos + need > limit) {
          underrun = true;
          q[i] = q[i + 1] = 0;
          continue;
        }
        bits.SkipBy(e);
        q[i] = int32_t(e << 21) >> 27;
        q[i + 1] = int32_t(e << 16) >> 27;
        continue;
      }
      int len;
      const uint32_t v = HuffDecode(h, bits.Peek32(), &len);
      int x = int(v >> 4), y = int(v & 15);
      // Near the end of the data, make sure the whole pair is there (at
      // most 19 + 2 x (13 + 1) bits).
      if (underrun || bits.pos + 48 > limit) {
        int need = len;
        if (linbits && x == 15) need += linbits;
        if (x) need += 1;
        if (linbits && y == 15) need += linbits;
        if (y) need += 1;
        if (underrun || bits.pos + uint32_t(need) > limit) {
          underrun = true;
          q[i] = q[i + 1] = 0;
          continue;
        }
      }
      bits.Skip(len);
      if (x) {
        if (x == 15 && linbits) {
          x += int(bits.Take(linbits));
        }
        if (bits.Take(1)) x = -x;
      }
      if (y) {
        if (y == 15 && linbits) {
          y += int(bits.Take(linbits));
        }
        if (bits.Take(1)) y = -y;
      }
      q[i] = x;
      q[i + 1] = y;
    }
  }

  // Count1 region: quadruples of -1, 0, 1 up to the end of part 3.
  const HuffLookup& h = t.quads[g.count1table_select & 1];
  int lastQuad = -1;
  const uint16_t* const quads = h.withSigns;
  const int quadBits = h.signedBits;
  while (!underrun && bits.pos < end && i < 576) {
    bits.Fill();
    // Code and signs in one step; each value in two signed bits.
    const uint32_t e = quads[bits.cache >> (64 - quadBits)];
    const int need = int(e & 15);
    if (bits.pos + uint32_t(need) > limit) {
      // Not stored; the quadruple before it is complete and stays.
      lastQuad = i;
      underrun = true;
      break;
    }
    lastQuad = i;
    bits.SkipBy(e);
    q[i] = int32_t(e << 22) >> 30;
    q[i + 1] = int32_t(e << 20) >> 30;
    if (i + 2 < 576) {
      q[i + 2] = int32_t(e << 18) >> 30;
      q[i + 3] = int32_t(e << 16) >> 30;
    }
    i += 4;
  }
  uint32_t pos = underrun ? limit : bits.pos;
  if (pos > end) {
    // The last quadruple ran past part 3: it is not part of this granule.
    pos = end;
    if (lastQuad >= 0) i = lastQuad;
  } else if (pos < end) {
    pos = end < limit ? end : limit;
  }
  main_->readBit = pos;
  if (i > 576) i = 576;
  for (int j = i; j < 576; ++j) q[j] = 0;
  // Trailing zero lines (common at the end of the count1 region) need no
  // further work in the later stages.
  while (i > 0 && q[i - 1] == 0) --i;
  nonzero_[ch] = i;
}

void TMP3::SetOutput(int16_t* buffer, uint32_t capacity) {
  output_ = buffer;
  outputCapacity_ = capacity;
}

int TMP3::DecodeFrame() {
  // The run-up to a seek target is decoded unheard within this call.
  for (;;) {
    runUp_ = false;
    const int produced = DecodeNext();
    if (!runUp_ || reader_.EndOfFile()) return produced;
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

int TMP3::DecodeNext() {
  granuleError_ = false;
  const StreamReader::Frame frame = reader_.NextFrame();
  if (frame == StreamReader::Frame::kNone) return 0;
  const uint32_t start = reader_.FrameStart();
  header_ = reader_.Header();
  switch (frame) {
    case StreamReader::Frame::kReady:
      break;
    case StreamReader::Frame::kMissing:
      EmitFrame(start, false);
      return 0;
    case StreamReader::Frame::kBad:
      warm_ = false;  // what follows the lost sync starts cold
      EmitFrame(start, false);
      return 0;
    default:
      return 0;
  }
  // The granules go to a frame-sized scratch buffer; EmitFrame moves them
  // to the caller's buffer in the stream's format.
  int16_t* const output = output_;
  const uint32_t capacity = outputCapacity_, count = sampleCount_, granules = granuleCount_;
  output_ = scratch_;
  outputCapacity_ = 2 * 1152;
  sampleCount_ = 0;
  DecodeGranules();
  granuleError_ = granules_.FrameError();
  output_ = output;
  outputCapacity_ = capacity;
  sampleCount_ = count;
  granuleCount_ = granules;
  EmitFrame(start, true);
  return 1;
}

void TMP3::DecodeGranules() {
  const int nch = header_.channels;
  const uint32_t need = uint32_t(header_.granules) * 576u * uint32_t(nch);
  storeOutput_ = output_ != nullptr && sampleCount_ + need <= outputCapacity_;
  granules_.SetFrame(header_, reader_.Side());
  for (int gr = 0; gr < header_.granules; ++gr) {
    granules_.DecodeGranule(gr, reader_.MainData());
    filterbank_.Synthesize(nch, granules_.Subbands(), pcm_);
    if (storeOutput_) {
      StoreGranule();
      sampleCount_ += 576u * uint32_t(nch);
      granuleCount_ += uint32_t(nch);
    }
  }
}

GranuleDecoder::GranuleDecoder() : tables_(&GetTables()) {
  std::memset(scalefacL_, 0, sizeof scalefacL_);
  std::memset(scalefacS_, 0, sizeof scalefacS_);
  std::memset(isMax_, 7, sizeof isMax_);
  std::memset(isMaxS_, 7, sizeof isMaxS_);
  std::memset(quant_, 0, sizeof quant_);
  Reset();
}

void GranuleDecoder::SetFrame(const FrameHeader& header, const SideInfo& side) {
  lsf_ = header.lsf;
  samplingIndex_ = header.samplingIndex;
  mode_ = header.mode;
  modeExtension_ = header.modeExtension;
  channels_ = header.channels;
  frameError_ = 0;
  side_ = side;
}

void GranuleDecoder::DecodeGranule(int gr, BitReservoir& mainData) {
  main_ = &mainData;
  const int nch = channels_;
  for (int ch = 0; ch < nch; ++ch) {
    part2Start_ = main_->readBit;
    ReadScaleFactors(gr, ch);
    HuffmanDecode(gr, ch);
    Dequantize(gr, ch);
  }
  Stereo(gr);
  for (int ch = 0; ch < nch; ++ch) {
    Reorder(gr, ch);
    Antialias(gr, ch);
    Hybrid(gr, ch);
  }
  main_ = nullptr;
}

}  // namespace mpegaudio
