// Constant tables of the Layer III decoder: the standards' tables (band
// boundaries, Huffman codes, synthesis window, ...) and the program's own
// derived tables (powers, multipliers, IMDCT and DCT constants).
#pragma once

#include <cstdint>

namespace mpegaudio {

extern const uint32_t kSampleRates[12];
extern const uint16_t kBitrates[2][16];  // [lsf][index], kbit/s

// Scale-factor band boundaries by combined sampling index (0..11).
extern const uint16_t kLongBounds[12][23];
extern const uint16_t kShortBounds[12][14];

extern const uint8_t kSlen[2][16];
extern const uint8_t kPretab[23];
extern const uint8_t kLsfBandCounts[6][3][4];  // [case][block kind][group]

extern const double kAliasC[8];

// The synthesis window D of the standard (512 taps).
extern const float kSynthesisD[512];

// Huffman code of a pair table: (length << 24) | code, indexed x * size + y.
struct PairCodeTable {
  const uint32_t* codes;  // nullptr for tables 0, 4, 14
  uint8_t size;           // values per coordinate (2, 3, 4, 6 or 16)
  uint8_t linbits;
};
extern const PairCodeTable kPairCodeTables[32];

// A decoding table built from the codes: entry = leaf (bit 31 set; bits
// 8..15 code length counted from this level, 4..7 x, 0..3 y) or a link
// (bits 24..28 index bits of the sub-table, 0..23 its offset).
struct HuffLookup {
  const uint32_t* entries = nullptr;
  int rootBits = 0;
  int linbits = 0;
  // The common codes with their sign bits in one step, indexed by the next
  // kSignedPairBits (pairs) or signedBits (quadruples) bits of the stream.
  // Bits 0..3 are the bits used, code and signs, and bits 4..5 are 0, so the
  // entry itself can be the shift count. Pairs: x in bits 6..10 and y in
  // 11..15, signed; 0 bits used when the code is longer or needs linbits
  // (decode it through `entries`). Quadruples: v, w, x, y in two signed
  // bits each from bit 8 up.
  const uint16_t* withSigns = nullptr;
  int signedBits = 0;
};
constexpr int kSignedPairBits = 11;

struct Tables {
  float pow43[512];              // x^(4/3)
  // sign(x) |x|^(4/3) for every value Huffman decoding can give (15 plus 13
  // linbits at most): x = -kMaxQuantized ... kMaxQuantized.
  static constexpr int kMaxQuantized = 15 + 8191;
  float signedPow43[2 * kMaxQuantized + 1];
  // 2^(-k/2) for every scale index a stream can carry (short blocks at
  // the low sampling frequencies reach 4 x 7 + 2 x 31 = 90).
  static constexpr int kScaleIndices = 128;
  float multiplier[kScaleIndices];
  float tanRatio[16];            // MPEG-1 intensity ratios
  float lsfIo[2][32];            // lsf intensity factors
  float imdctWindow[4][36];      // block types 0, 1, 2 (short, 12 used), 3
  float imdctPre[18];            // 2 cos((2n + 1) pi / 72)
  float dct18Even[9][12];        // cos(2k (2m + 1) pi / 36), k < 9, padded
  float dct18Odd[9][12];         // cos((2k + 1) (2m + 1) pi / 36), k < 9, padded
  float short12Cos[6][12];       // 12-point IMDCT: [input k][output i]
  // The same IMDCT constants four times over, for four subbands at once
  // (read with unaligned loads: the 32-bit heap aligns to 8 bytes only).
  float imdctPre4[18][4];
  float dct18Even4[9][9][4];  // [m][k]
  float dct18Odd4[9][9][4];
  float imdctWindow4[4][36][4];
  float aliasCs[8];
  float aliasCa[8];             // signed, as the standard defines it
  float dct32Mul[31];            // Lee DCT butterflies: N = 16, 8, 4, 2, 1
  float window[16][32];          // synthesis window by tap (columns reversed), then row
  HuffLookup pairs[32];
  HuffLookup quads[2];
};

// Built once (the decoder's constructor calls it before any decoding).
const Tables& GetTables();

// Decodes one code starting at the top of a left-aligned 32-bit window of
// the bit stream. Returns the value (x << 4 | y, or vwxy) and sets *length.
inline uint32_t HuffDecode(const HuffLookup& t, uint32_t window, int* length) {
  uint32_t e = t.entries[window >> (32 - t.rootBits)];
  int used = 0;
  if (!(e & 0x80000000u)) {
    used = t.rootBits;
    const int bits = static_cast<int>((e >> 24) & 31);
    const uint32_t rest = window << used;
    e = t.entries[(e & 0xFFFFFFu) + (rest >> (32 - bits))];
  }
  *length = used + static_cast<int>((e >> 8) & 0xFF);
  return e & 0xFF;
}

}  // namespace mpegaudio
