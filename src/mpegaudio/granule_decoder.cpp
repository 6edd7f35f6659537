// The granule decoder: scale factors and Huffman decoding from the main
// data, then the spectral stages (requantisation, stereo processing, short
// block reordering, alias reduction and the hybrid (IMDCT) filterbank).
#include "mpegaudio/granule_decoder.h"

#include <cmath>
#include <cstring>

#include "mpegaudio/kernels.h"
#include "mpegaudio/tables.h"

#if defined(CORVELLA_SSE2)
#include <emmintrin.h>
#endif
#if defined(CORVELLA_HAVE_AVX_PATH)
#include <immintrin.h>
#endif

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

namespace {

constexpr uint8_t kNoIntensity = 255;

// xr[i] = factor x sign(q) |q|^(4/3) for i in [from, to).
inline void Requantize(const int32_t* q, float* xr, int from, int to, float factor, const float* pow43) {
  int i = from;
#if defined(CORVELLA_SSE2)
  const __m128 f = _mm_set1_ps(factor);
  for (; i + 4 <= to; i += 4)
    _mm_storeu_ps(xr + i, _mm_mul_ps(_mm_setr_ps(pow43[q[i]], pow43[q[i + 1]], pow43[q[i + 2]], pow43[q[i + 3]]), f));
#endif
  for (; i < to; ++i) xr[i] = factor * pow43[q[i]];
}

// 2^(q/4), exact in double, rounded once to single precision.
float GainOf(int q) {
  static const double kQuarter[4] = {1.0, 1.189207115002721, 1.4142135623730951, 1.681792830507429};
  const int r = ((q % 4) + 4) % 4;
  return static_cast<float>(std::ldexp(kQuarter[r], (q - r) / 4));
}

}  // namespace

CORVELLA_KERNEL_CLONES void GranuleDecoder::Dequantize(int gr, int ch) {
  const GranuleChannel& g = side_.gr[gr][ch];
  const Tables& t = *tables_;
  const int32_t* q = quant_[ch];
  float* xr = xr_[ch];
  const int limit = nonzero_[ch];
  const float gain = GainOf(int(g.global_gain) - 210);
  const int shift = int(g.scalefac_scale);
  const uint16_t* lb = kLongBounds[samplingIndex_];
  const uint16_t* sb = kShortBounds[samplingIndex_];
  const uint8_t* L = scalefacL_[ch];

  auto multiplier = [&](int k) { return t.multiplier[k & (Tables::kScaleIndices - 1)]; };
  const float* pow43 = t.signedPow43 + Tables::kMaxQuantized;

  int line = 0;
  int firstShort = 0;
  if (!(g.window_switching && g.block_type == 2) || g.mixed_block) {
    // Long bands: all of them, or those below line 36 in a mixed block.
    const int stop = (g.window_switching && g.block_type == 2) ? 36 : 576;
    for (int b = 0; b < 22 && line < limit && lb[b] < stop; ++b) {
      const int k = (int(L[b]) + int(g.preflag) * int(kPretab[b])) << shift;
      const float factor = gain * multiplier(k);
      int bandEnd = lb[b + 1];
      if (bandEnd > limit) bandEnd = limit;
      Requantize(q, xr, line, bandEnd, factor, pow43);
      line = bandEnd;
    }
    firstShort = 3;
    if (!(g.window_switching && g.block_type == 2)) firstShort = 13;
  }
  for (int b = firstShort; b < 13 && line < limit; ++b) {
    const int start = sb[b], width = sb[b + 1] - sb[b];
    line = 3 * start;
    for (int w = 0; w < 3 && line < limit; ++w) {
      const int k = 4 * int(g.subblock_gain[w]) + (int(scalefacS_[ch][b][w]) << shift);
      const float factor = gain * multiplier(k);
      int windowEnd = line + width;
      if (windowEnd > limit) windowEnd = limit;
      Requantize(q, xr, line, windowEnd, factor, pow43);
      line = windowEnd;
    }
  }
  for (int j = limit; j < 576; ++j) xr[j] = 0.0f;
}

void GranuleDecoder::Stereo(int gr) {
  if (channels_ != 2) return;
  const bool ms = mode_ == 1 && (modeExtension_ & 2);
  const bool intensity = mode_ == 1 && (modeExtension_ & 1);
  float* l = xr_[0];
  float* r = xr_[1];
  int nz = nonzero_[0] > nonzero_[1] ? nonzero_[0] : nonzero_[1];

  if (!intensity) {
    if (ms) {
      const float k = 0.70710677f;
      for (int i = 0; i < nz; ++i) {
        const float m = l[i], s = r[i];
        l[i] = (m + s) * k;
        r[i] = (m - s) * k;
      }
    }
    nonzero_[0] = nonzero_[1] = nz;
    return;
  }

  // Intensity positions per line; kNoIntensity where the line is coded
  // normally.
  const GranuleChannel& g = side_.gr[gr][0];
  const Tables& t = *tables_;
  uint8_t pos[576];
  std::memset(pos, kNoIntensity, sizeof pos);
  const uint16_t* lb = kLongBounds[samplingIndex_];
  const uint16_t* sb = kShortBounds[samplingIndex_];
  // MPEG-1 marks "not intensity" with 7; the low sampling frequencies with
  // the largest value that the band's scale-factor length can hold.
  auto valid = [&](int p, int maxValue) { return lsf_ ? p != maxValue : p != 7; };
  // The top band has no position of its own. When the region starts right
  // at it, the low sampling frequencies give it the default position 0;
  // MPEG-1 leaves it coded normally, as the band below it.
  const uint8_t topDefault = lsf_ ? 0 : kNoIntensity;
  // The region is bounded by the Huffman-decoded values: a line that
  // dequantises to 0 (or to nothing audible) is still coded.
  const int32_t* q1 = quant_[1];

  if (g.window_switching && g.block_type == 2) {
    int maxBand = 0;
    const int lowest = g.mixed_block ? 3 : 0;
    for (int w = 0; w < 3; ++w) {
      int top = lowest - 1;  // highest short band with data in channel 1
      for (int b = 12; b >= lowest && top < lowest; --b) {
        const int width = sb[b + 1] - sb[b];
        const int first = 3 * sb[b] + w * width;
        for (int i = first + width - 1; i >= first; --i)
          if (q1[i] != 0) {
            top = b;
            break;
          }
      }
      int b = top + 1;
      if (b > maxBand) maxBand = b;
      for (; b < 12; ++b) {
        const int width = sb[b + 1] - sb[b];
        const int first = 3 * sb[b] + w * width;
        const int p = scalefacS_[1][b][w];
        if (valid(p, isMaxS_[1][b]))
          for (int i = first; i < first + width; ++i) pos[i] = uint8_t(p);
      }
      // Band 12 has no scale factor: it follows band 11 of the window.
      const int w11 = sb[12] - sb[11];
      const uint8_t p11 = top == 11 ? topDefault : pos[3 * sb[11] + w * w11];
      const int w12 = sb[13] - sb[12];
      for (int i = 3 * sb[12] + w * w12; i < 3 * sb[12] + (w + 1) * w12; ++i) pos[i] = p11;
    }
    if (g.mixed_block && maxBand <= 3) {
      int top = -1;
      for (int i = 53; i >= 0; --i)
        if (q1[i] != 0) {
          top = i;
          break;
        }
      int b = 0;
      while (lb[b] <= top) ++b;
      for (; lb[b] < 36; ++b) {
        const int p = scalefacL_[1][b];
        if (valid(p, isMax_[1][b]))
          for (int i = lb[b]; i < lb[b + 1]; ++i) pos[i] = uint8_t(p);
      }
    }
  } else {
    int top = -1;
    for (int i = nonzero_[1] - 1; i >= 0; --i)
      if (q1[i] != 0) {
        top = i;
        break;
      }
    int b = 0;
    while (b < 22 && lb[b] <= top) ++b;
    const int regionStart = b;
    for (; b < 21; ++b) {
      const int p = scalefacL_[1][b];
      if (valid(p, isMax_[1][b]))
        for (int i = lb[b]; i < lb[b + 1]; ++i) pos[i] = uint8_t(p);
    }
    // Band 21 has no scale factor: it follows band 20.
    if (regionStart <= 21) {
      const uint8_t p21 = regionStart == 21 ? topDefault : pos[lb[20]];
      for (int i = lb[21]; i < 576; ++i) pos[i] = p21;
    }
  }

  const int ioScale = int(side_.gr[gr][1].scalefac_compress & 1);
  for (int i = 0; i < 576; ++i) {
    const int p = pos[i];
    if (p != kNoIntensity) {
      const float v = l[i];
      if (!lsf_) {
        const float ratio = t.tanRatio[p & 15];
        if (ratio == -1.0f) {
          l[i] = r[i] = 0.0f;
        } else {
          const float right = v / (1.0f + ratio);
          r[i] = right;
          l[i] = right * ratio;
        }
      } else {
        const int n = p & 31;
        if (n & 1) {
          l[i] = v * t.lsfIo[ioScale][(n + 1) / 2];
          r[i] = v;
        } else {
          l[i] = v;
          r[i] = v * t.lsfIo[ioScale][n / 2];
        }
      }
    } else if (ms) {
      const float m = l[i], s = r[i];
      l[i] = (m + s) * 0.70710677f;
      r[i] = (m - s) * 0.70710677f;
    }
  }
  nz = 576;
  nonzero_[0] = nonzero_[1] = nz;
}

void GranuleDecoder::Reorder(int gr, int ch) {
  const GranuleChannel& g = side_.gr[gr][ch];
  if (!(g.window_switching && g.block_type == 2)) return;
  const uint16_t* sb = kShortBounds[samplingIndex_];
  float* xr = xr_[ch];
  const int firstBand = g.mixed_block ? 3 : 0;
  for (int b = firstBand; b < 13; ++b) {
    const int start = sb[b], width = sb[b + 1] - sb[b];
    for (int n = 0; n < width; ++n)
      for (int w = 0; w < 3; ++w) reordered_[3 * start + 3 * n + w] = xr[3 * start + w * width + n];
  }
  const int from = 3 * sb[firstBand];
  std::memcpy(xr + from, reordered_ + from, sizeof(float) * size_t(576 - from));
  nonzero_[ch] = 576;
}

void GranuleDecoder::Antialias(int gr, int ch) {
  const GranuleChannel& g = side_.gr[gr][ch];
  const bool shortBlocks = g.window_switching && g.block_type == 2;
  if (shortBlocks && !g.mixed_block) return;
  const Tables& t = *tables_;
  float* xr = xr_[ch];
  int bounds = shortBlocks ? 1 : 31;
  // Boundaries whose neighbourhood is all zero need nothing.
  const int nz = nonzero_[ch];
  const int needed = (nz + 7) / 18;
  if (needed < bounds) bounds = needed;
#if defined(CORVELLA_SSE2)
  // Butterflies 0..3 and 4..7 four at a time: the lower inputs reversed.
  for (int k = 1; k <= bounds; ++k) {
    float* b = xr + 18 * k;
    for (int i = 0; i < 8; i += 4) {
      const __m128 cs = _mm_loadu_ps(t.aliasCs + i), ca = _mm_loadu_ps(t.aliasCa + i);
      __m128 lower = _mm_loadu_ps(b - 4 - i);
      lower = _mm_shuffle_ps(lower, lower, _MM_SHUFFLE(0, 1, 2, 3));
      const __m128 upper = _mm_loadu_ps(b + i);
      __m128 newLower = _mm_sub_ps(_mm_mul_ps(lower, cs), _mm_mul_ps(upper, ca));
      const __m128 newUpper = _mm_add_ps(_mm_mul_ps(upper, cs), _mm_mul_ps(lower, ca));
      newLower = _mm_shuffle_ps(newLower, newLower, _MM_SHUFFLE(0, 1, 2, 3));
      _mm_storeu_ps(b - 4 - i, newLower);
      _mm_storeu_ps(b + i, newUpper);
    }
  }
#else
  for (int k = 1; k <= bounds; ++k) {
    float* b = xr + 18 * k;
    for (int i = 0; i < 8; ++i) {
      const float lower = b[-1 - i], upper = b[i];
      b[-1 - i] = lower * t.aliasCs[i] - upper * t.aliasCa[i];
      b[i] = upper * t.aliasCs[i] + lower * t.aliasCa[i];
    }
  }
#endif
  if (bounds > 0) {
    int reach = 18 * bounds + 8;
    if (reach > nonzero_[ch]) nonzero_[ch] = reach > 576 ? 576 : reach;
  }
}

namespace kernels {

// 36-point IMDCT of 18 lines, windowed. The 18-point DCT-IV behind it is
// C[k] + C[k - 1] = U[k], U being the DCT-II of the lines times
// 2 cos((2n + 1) pi / 72); the DCT-II is done on sums (even outputs) and
// differences (odd outputs) of lines n and 17 - n.
// Adds the first half to the overlap into out (slot by slot, 32 apart, odd
// slots negated for odd subbands) and keeps the second half as the new
// overlap (also slot by slot, 32 apart).
void Imdct36(const float* in, const float* window, const Tables& t, float* ov, float* out, float oddSign) {
  float even[12], odd[12];
  for (int k = 0; k < 12; ++k) even[k] = odd[k] = 0.0f;
  for (int m = 0; m < 9; ++m) {
    const float a = in[m] * t.imdctPre[m], b = in[17 - m] * t.imdctPre[17 - m];
    const float s = a + b, d = a - b;
    const float* ce = t.dct18Even[m];
    const float* co = t.dct18Odd[m];
    for (int k = 0; k < 12; ++k) {
      even[k] += s * ce[k];
      odd[k] += d * co[k];
    }
  }
  // c[k] = U[k] - c[k - 1] = (U[k] - U[k - 1]) + c[k - 2]: two short chains.
  float u[18];
  for (int k = 0; k < 9; ++k) {
    u[2 * k] = even[k];
    u[2 * k + 1] = odd[k];
  }
  float c[18];
  c[0] = u[0] * 0.5f;
  c[1] = u[1] - c[0];
  for (int k = 2; k < 18; ++k) c[k] = (u[k] - u[k - 1]) + c[k - 2];
  for (int i = 0; i < 9; ++i) {
    const float first = c[9 + i] * window[i] + ov[32 * i];
    const float second = -c[17 - i] * window[9 + i] + ov[32 * (9 + i)];
    ov[32 * i] = -c[8 - i] * window[18 + i];
    ov[32 * (9 + i)] = -c[i] * window[27 + i];
    const int slot = 9 + i;
    out[32 * i] = (i & 1) ? first * oddSign : first;
    out[32 * slot] = (slot & 1) ? second * oddSign : second;
  }
}

#if defined(CORVELLA_SSE2)
// Imdct36 for four neighbouring subbands at once, one per lane: every lane
// goes through exactly the scalar operations in the same order, so the
// results are the same bits. in: the lines of subband `sb` onwards (18 per
// subband); ov and out: slot-major, 32 apart, starting at subband sb.
CORVELLA_KERNEL_CLONES void Imdct36Four(const float* in, int type, const Tables& t, float* ov, float* out) {
  __m128 x[18];
  for (int q = 0; q < 16; q += 4) {
    __m128 r0 = _mm_loadu_ps(in + q), r1 = _mm_loadu_ps(in + 18 + q);
    __m128 r2 = _mm_loadu_ps(in + 36 + q), r3 = _mm_loadu_ps(in + 54 + q);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    x[q] = r0, x[q + 1] = r1, x[q + 2] = r2, x[q + 3] = r3;
  }
  x[16] = _mm_setr_ps(in[16], in[34], in[52], in[70]);
  x[17] = _mm_setr_ps(in[17], in[35], in[53], in[71]);
  __m128 even[9], odd[9];
  for (int k = 0; k < 9; ++k) even[k] = odd[k] = _mm_setzero_ps();
  for (int m = 0; m < 9; ++m) {
    const __m128 a = _mm_mul_ps(x[m], _mm_loadu_ps(t.imdctPre4[m]));
    const __m128 b = _mm_mul_ps(x[17 - m], _mm_loadu_ps(t.imdctPre4[17 - m]));
    const __m128 s = _mm_add_ps(a, b), d = _mm_sub_ps(a, b);
    for (int k = 0; k < 9; ++k) {
      even[k] = _mm_add_ps(even[k], _mm_mul_ps(s, _mm_loadu_ps(t.dct18Even4[m][k])));
      odd[k] = _mm_add_ps(odd[k], _mm_mul_ps(d, _mm_loadu_ps(t.dct18Odd4[m][k])));
    }
  }
  __m128 c[18];
  c[0] = _mm_mul_ps(even[0], _mm_set1_ps(0.5f));
  c[1] = _mm_sub_ps(odd[0], c[0]);
  for (int k = 2; k < 18; ++k) {
    const __m128 uk = (k & 1) ? odd[k / 2] : even[k / 2];
    const __m128 uprev = (k & 1) ? even[k / 2] : odd[k / 2 - 1];
    c[k] = _mm_add_ps(_mm_sub_ps(uk, uprev), c[k - 2]);
  }
  const float(*window)[4] = t.imdctWindow4[type];
  const __m128 signMask = _mm_set1_ps(-0.0f);
  // Frequency inversion: odd slots of the odd subbands (lanes 1 and 3).
  const __m128 invert = _mm_castsi128_ps(_mm_setr_epi32(0, int(0x80000000u), 0, int(0x80000000u)));
  for (int i = 0; i < 9; ++i) {
    float* o1 = ov + 32 * i;
    float* o2 = ov + 32 * (9 + i);
    const __m128 first = _mm_add_ps(_mm_mul_ps(c[9 + i], _mm_loadu_ps(window[i])), _mm_loadu_ps(o1));
    const __m128 second =
        _mm_add_ps(_mm_mul_ps(_mm_xor_ps(c[17 - i], signMask), _mm_loadu_ps(window[9 + i])), _mm_loadu_ps(o2));
    _mm_storeu_ps(o1, _mm_mul_ps(_mm_xor_ps(c[8 - i], signMask), _mm_loadu_ps(window[18 + i])));
    _mm_storeu_ps(o2, _mm_mul_ps(_mm_xor_ps(c[i], signMask), _mm_loadu_ps(window[27 + i])));
    const int slot = 9 + i;
    _mm_storeu_ps(out + 32 * i, (i & 1) ? _mm_xor_ps(first, invert) : first);
    _mm_storeu_ps(out + 32 * slot, (slot & 1) ? _mm_xor_ps(second, invert) : second);
  }
}
#if defined(CORVELLA_HAVE_AVX_PATH)
// Imdct36Four for eight subbands at once, one per lane, with the same
// operations per lane.
__attribute__((target("avx"))) void Imdct36Eight(const float* in, int type, const Tables& t, float* ov,
                                                 float* out) {
  __m256 x[18];
  for (int q = 0; q < 16; q += 4) {
    __m128 r[8];
    for (int lane = 0; lane < 8; ++lane) r[lane] = _mm_loadu_ps(in + 18 * lane + q);
    _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]);
    _MM_TRANSPOSE4_PS(r[4], r[5], r[6], r[7]);
    for (int j = 0; j < 4; ++j) x[q + j] = _mm256_insertf128_ps(_mm256_castps128_ps256(r[j]), r[4 + j], 1);
  }
  for (int m = 16; m < 18; ++m)
    x[m] = _mm256_setr_ps(in[m], in[18 + m], in[36 + m], in[54 + m], in[72 + m], in[90 + m], in[108 + m],
                          in[126 + m]);
  __m256 even[9], odd[9];
  for (int k = 0; k < 9; ++k) even[k] = odd[k] = _mm256_setzero_ps();
  for (int m = 0; m < 9; ++m) {
    const __m256 a = _mm256_mul_ps(x[m], _mm256_broadcast_ss(&t.imdctPre[m]));
    const __m256 b = _mm256_mul_ps(x[17 - m], _mm256_broadcast_ss(&t.imdctPre[17 - m]));
    const __m256 s = _mm256_add_ps(a, b), d = _mm256_sub_ps(a, b);
    for (int k = 0; k < 9; ++k) {
      even[k] = _mm256_add_ps(even[k], _mm256_mul_ps(s, _mm256_broadcast_ss(&t.dct18Even[m][k])));
      odd[k] = _mm256_add_ps(odd[k], _mm256_mul_ps(d, _mm256_broadcast_ss(&t.dct18Odd[m][k])));
    }
  }
  __m256 c[18];
  c[0] = _mm256_mul_ps(even[0], _mm256_set1_ps(0.5f));
  c[1] = _mm256_sub_ps(odd[0], c[0]);
  for (int k = 2; k < 18; ++k) {
    const __m256 uk = (k & 1) ? odd[k / 2] : even[k / 2];
    const __m256 uprev = (k & 1) ? even[k / 2] : odd[k / 2 - 1];
    c[k] = _mm256_add_ps(_mm256_sub_ps(uk, uprev), c[k - 2]);
  }
  const float* window = t.imdctWindow[type];
  const __m256 signMask = _mm256_set1_ps(-0.0f);
  // Frequency inversion: odd slots of the odd subbands (odd lanes).
  const __m256 invert = _mm256_castsi256_ps(_mm256_setr_epi32(0, int(0x80000000u), 0, int(0x80000000u), 0,
                                                              int(0x80000000u), 0, int(0x80000000u)));
  for (int i = 0; i < 9; ++i) {
    float* o1 = ov + 32 * i;
    float* o2 = ov + 32 * (9 + i);
    const __m256 first = _mm256_add_ps(_mm256_mul_ps(c[9 + i], _mm256_broadcast_ss(&window[i])), _mm256_loadu_ps(o1));
    const __m256 second = _mm256_add_ps(
        _mm256_mul_ps(_mm256_xor_ps(c[17 - i], signMask), _mm256_broadcast_ss(&window[9 + i])), _mm256_loadu_ps(o2));
    _mm256_storeu_ps(o1, _mm256_mul_ps(_mm256_xor_ps(c[8 - i], signMask), _mm256_broadcast_ss(&window[18 + i])));
    _mm256_storeu_ps(o2, _mm256_mul_ps(_mm256_xor_ps(c[i], signMask), _mm256_broadcast_ss(&window[27 + i])));
    const int slot = 9 + i;
    _mm256_storeu_ps(out + 32 * i, (i & 1) ? _mm256_xor_ps(first, invert) : first);
    _mm256_storeu_ps(out + 32 * slot, (slot & 1) ? _mm256_xor_ps(second, invert) : second);
  }
}
#endif
#else
void Imdct36Four(const float* in, int type, const Tables& t, float* ov, float* out) {
  for (int sb = 0; sb < 4; ++sb)
    Imdct36(in + 18 * sb, t.imdctWindow[type], t, ov + sb, out + sb, (sb & 1) ? -1.0f : 1.0f);
}
#endif

std::vector<ImdctLongKernel> ImdctLongKernels() {
  std::vector<ImdctLongKernel> list{{"four", 4, Imdct36Four}};
#if defined(CORVELLA_HAVE_AVX_PATH) && defined(CORVELLA_SSE2)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) list.push_back({"eight-avx", 8, Imdct36Eight});
#endif
  return list;
}

}  // namespace kernels

namespace {

// Three 12-point IMDCTs over the interleaved windows of a subband, windowed
// and overlapped into 36 outputs at 6 ... 29. (The vector form does the
// scalar operations in the same order, four outputs at a time.)
void Imdct12x3(const float* in, const float* window, const float (*cosTable)[12], float* out) {
  for (int i = 0; i < 36; ++i) out[i] = 0.0f;
  for (int w = 0; w < 3; ++w) {
    float* o = out + 6 + 6 * w;
#if defined(CORVELLA_SSE2)
    __m128 s[3] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
    for (int k = 0; k < 6; ++k) {
      const __m128 x = _mm_set1_ps(in[3 * k + w]);
      for (int q = 0; q < 3; ++q) s[q] = _mm_add_ps(s[q], _mm_mul_ps(x, _mm_loadu_ps(cosTable[k] + 4 * q)));
    }
    for (int q = 0; q < 3; ++q)
      _mm_storeu_ps(o + 4 * q, _mm_add_ps(_mm_loadu_ps(o + 4 * q), _mm_mul_ps(s[q], _mm_loadu_ps(window + 4 * q))));
#else
    for (int i = 0; i < 12; ++i) {
      float s = 0.0f;
      for (int k = 0; k < 6; ++k) s += in[3 * k + w] * cosTable[k][i];
      o[i] += s * window[i];
    }
#endif
  }
}

}  // namespace

void GranuleDecoder::Reset() {
  for (int ch = 0; ch < 2; ++ch) overlapBands_[ch] = 0;
  std::memset(overlap_, 0, sizeof overlap_);
}

void GranuleDecoder::Hybrid(int gr, int ch) {
  const GranuleChannel& g = side_.gr[gr][ch];
  const Tables& t = *tables_;
  const float* xr = xr_[ch];
  float* overlap = overlap_[ch];  // slot-major: [slot][subband]
  float* out = subbandOut_[ch];
  const int dataBands = (nonzero_[ch] + 17) / 18;
  int activeBands = dataBands > overlapBands_[ch] ? dataBands : overlapBands_[ch];
  if (activeBands > 32) activeBands = 32;
  const int blockType = g.window_switching ? int(g.block_type) : 0;
  int sb = 0;
  if (blockType != 2 && !(g.window_switching && g.mixed_block)) {
    // Long blocks: four or eight subbands at a time (zero lines give the
    // overlap alone, as below).
    static const kernels::ImdctLongKernel group = kernels::ImdctLongKernels().back();
    for (; sb < activeBands; sb += group.subbands) group.run(xr + 18 * sb, blockType, t, overlap + sb, out + sb);
  }
  float raw[36];
  for (; sb < activeBands; ++sb) {
    float* ov = overlap + sb;
    const float oddSign = (sb & 1) ? -1.0f : 1.0f;  // frequency inversion
    if (sb < dataBands) {
      int type = blockType;
      if (g.window_switching && g.mixed_block && sb < 2) type = 0;
      if (type != 2) {
        kernels::Imdct36(xr + 18 * sb, t.imdctWindow[type], t, ov, out + sb, oddSign);
        continue;
      }
      Imdct12x3(xr + 18 * sb, t.imdctWindow[2], t.short12Cos, raw);
      for (int i = 0; i < 18; ++i) {
        const float v = raw[i] + ov[32 * i];
        out[32 * i + sb] = (i & 1) ? v * oddSign : v;
        ov[32 * i] = raw[18 + i];
      }
    } else {
      for (int i = 0; i < 18; ++i) {
        out[32 * i + sb] = (i & 1) ? ov[32 * i] * oddSign : ov[32 * i];
        ov[32 * i] = 0.0f;
      }
    }
  }
  for (; sb < 32; ++sb)
    for (int i = 0; i < 18; ++i) out[32 * i + sb] = 0.0f;
  overlapBands_[ch] = dataBands;
}

}  // namespace mpegaudio
