// The decoder's constant tables against independent facts: code
// completeness, band sums, the window's symmetry, the formulas behind the
// derived tables.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "mpegaudio/tables.h"

namespace mpegaudio {
namespace {

std::string Bits(uint32_t code, int length) {
  std::string s;
  for (int i = length - 1; i >= 0; --i) s += ((code >> i) & 1) ? '1' : '0';
  return s;
}

TEST(MpegAudioTables, HuffmanPairCodesArePrefixFreeCompleteAndDecode) {
  const Tables& t = GetTables();
  for (int n = 0; n < 32; ++n) {
    const PairCodeTable& p = kPairCodeTables[n];
    if (!p.codes) {
      EXPECT_TRUE(n == 0 || n == 4 || n == 14) << n;
      EXPECT_EQ(t.pairs[n].entries, nullptr);
      continue;
    }
    std::set<std::string> codes;
    double kraft = 0;
    for (int x = 0; x < p.size; ++x)
      for (int y = 0; y < p.size; ++y) {
        const uint32_t e = p.codes[x * p.size + y];
        const int length = int(e >> 24);
        ASSERT_GE(length, 1);
        ASSERT_LE(length, 19);
        codes.insert(Bits(e & 0xFFFFFF, length));
        kraft += std::ldexp(1.0, -length);
        // The decoding table gives back this pair and this length, whatever follows.
        for (uint32_t tail : {0u, 0xFFFFFFFFu, 0x5A5A5A5Au}) {
          const uint32_t window = ((e & 0xFFFFFF) << (32 - length)) | (length < 32 ? tail >> length : 0);
          int got = 0;
          const uint32_t v = HuffDecode(t.pairs[n], window, &got);
          EXPECT_EQ(got, length) << "table " << n << " x " << x << " y " << y;
          EXPECT_EQ(v, uint32_t(x << 4 | y)) << "table " << n;
        }
        // The one-step table: every sign combination that fits, unless
        // linbits follow, gives the signed pair and the bits used.
        const int signs = (x != 0) + (y != 0);
        const bool fits = length + signs <= kSignedPairBits && !(p.linbits && (x == 15 || y == 15));
        for (uint32_t s = 0; s < (1u << signs); ++s) {
          const uint32_t bits = ((e & 0xFFFFFF) << signs) | s;
          const uint32_t entry = t.pairs[n].withSigns[(bits << (32 - length - signs)) >> (32 - kSignedPairBits)];
          EXPECT_EQ(int(entry & 63), fits ? length + signs : 0) << "table " << n << " x " << x << " y " << y;
          if (!fits) continue;
          const bool negX = x && ((s >> (signs - 1)) & 1), negY = y && (s & 1);
          EXPECT_EQ(int32_t(entry << 21) >> 27, negX ? -x : x) << "table " << n;
          EXPECT_EQ(int32_t(entry << 16) >> 27, negY ? -y : y) << "table " << n;
        }
      }
    EXPECT_EQ(codes.size(), size_t(p.size) * p.size) << n;  // all distinct
    EXPECT_DOUBLE_EQ(kraft, 1.0) << n;                       // complete
    for (auto a = codes.begin(), b = std::next(a); b != codes.end(); ++a, ++b)
      EXPECT_NE(b->compare(0, a->size(), *a), 0) << "table " << n << ": " << *a << " prefixes " << *b;
  }
  // The linbits of the standard.
  const int linbits[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};
  for (int n = 0; n < 32; ++n) EXPECT_EQ(kPairCodeTables[n].linbits, linbits[n]) << n;
}

TEST(MpegAudioTables, QuadrupleTablesDecodeEveryValueWithItsSigns) {
  const Tables& t = GetTables();
  // Table B is the 4-bit complement; table A's codes are the standard's.
  const int lengthsA[16] = {1, 4, 4, 5, 4, 6, 5, 6, 4, 5, 5, 6, 5, 6, 6, 6};
  const int codesA[16] = {1, 5, 4, 5, 6, 5, 4, 4, 7, 3, 6, 0, 7, 2, 3, 1};
  for (int q = 0; q < 2; ++q) {
    const HuffLookup& h = t.quads[q];
    for (uint32_t v = 0; v < 16; ++v) {
      const int length = q == 0 ? lengthsA[v] : 4;
      const uint32_t code = q == 0 ? uint32_t(codesA[v]) : 15 - v;
      const int signs = __builtin_popcount(v);
      for (uint32_t s = 0; s < (1u << signs); ++s) {
        // Whatever follows the sign bits.
        for (uint32_t tail : {0u, 0xFFFFFFFFu}) {
          const int used = length + signs;
          const uint32_t window = (((code << signs) | s) << (32 - used)) | (tail >> used);
          const uint32_t e = h.withSigns[window >> (32 - h.signedBits)];
          EXPECT_EQ(int(e & 63), used) << "table " << q << " value " << v;
          int bit = signs - 1;
          for (int k = 0; k < 4; ++k) {
            int want = int((v >> (3 - k)) & 1);
            if (want && ((s >> bit--) & 1)) want = -1;
            EXPECT_EQ(int32_t(e << (22 - 2 * k)) >> 30, want) << "table " << q << " value " << v << " k " << k;
          }
        }
      }
    }
  }
}

TEST(MpegAudioTables, BandBoundariesCoverTheGranule) {
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(kLongBounds[i][0], 0);
    EXPECT_EQ(kLongBounds[i][22], 576) << i;
    EXPECT_EQ(kShortBounds[i][0], 0);
    EXPECT_EQ(kShortBounds[i][13], 192) << i;
    for (int b = 0; b < 22; ++b) EXPECT_LT(kLongBounds[i][b], kLongBounds[i][b + 1]);
    for (int b = 0; b < 13; ++b) EXPECT_LT(kShortBounds[i][b], kShortBounds[i][b + 1]);
    // Mixed blocks switch at line 36: a long boundary and short band 3 (except 8 kHz).
    if (i != 10) {
      EXPECT_EQ(3 * kShortBounds[i][3], 36) << i;
    }
  }
  // The reserved sampling field repeats the first rate of its version.
  for (int b = 0; b < 23; ++b) {
    EXPECT_EQ(kLongBounds[3][b], kLongBounds[0][b]);
    EXPECT_EQ(kLongBounds[7][b], kLongBounds[4][b]);
    EXPECT_EQ(kLongBounds[11][b], kLongBounds[8][b]);
  }
  EXPECT_EQ(kSampleRates[4], 22050u);
  EXPECT_EQ(kSampleRates[10], 8000u);
  // Low sampling frequency band counts: long 21 bands, short 36 and mixed 33 values.
  for (int c = 0; c < 6; ++c) {
    int sums[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
      for (int g = 0; g < 4; ++g) sums[k] += kLsfBandCounts[c][k][g];
    EXPECT_LE(sums[0], 21) << c;
    EXPECT_LE(sums[1], 36) << c;
    EXPECT_LE(sums[2], 33) << c;
  }
  EXPECT_EQ(kLsfBandCounts[0][0][0] + kLsfBandCounts[0][0][1] + kLsfBandCounts[0][0][2] + kLsfBandCounts[0][0][3], 21);
}

TEST(MpegAudioTables, SynthesisWindowIsTheStandardsTable) {
  // Antisymmetric about 256 except at multiples of 64; every value a
  // multiple of 2^-16 to the nine printed decimals.
  for (int i = 1; i < 512; ++i) {
    const float mirror = i % 64 == 0 ? kSynthesisD[i] : -kSynthesisD[i];
    EXPECT_FLOAT_EQ(kSynthesisD[512 - i], mirror) << i;
  }
  for (int i = 0; i < 512; ++i) {
    const double units = double(kSynthesisD[i]) * 65536.0;
    EXPECT_NEAR(units, std::round(units), 1e-3) << i;
  }
  EXPECT_FLOAT_EQ(kSynthesisD[256], 1.144989014f);
  // W[16 j + i] = D[j + 32 i]: the first values of row 0 and row 1.
  const float w0[9] = {0, -0.000442505f, 0.003250122f, -0.007003784f, 0.031082153f,
                       -0.078628540f, 0.100311279f, -0.572036743f, 1.144989014f};
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(kSynthesisD[32 * i], w0[i]) << i;
  EXPECT_FLOAT_EQ(kSynthesisD[1], -0.000015259f);
}

TEST(MpegAudioTables, DerivedTablesFollowTheirFormulas) {
  const Tables& t = GetTables();
  EXPECT_EQ(t.pow43[0], 0.0f);
  EXPECT_EQ(t.pow43[1], 1.0f);
  EXPECT_FLOAT_EQ(t.pow43[8], 16.0f);
  EXPECT_FLOAT_EQ(t.pow43[511], float(std::pow(511.0, 4.0 / 3.0)));
  // Up to the largest index a stream can carry (4 x 7 + 2 x 31), no flush to 0.
  static_assert(Tables::kScaleIndices > 4 * 7 + 2 * 31, "scale indices");
  for (int k = 0; k < Tables::kScaleIndices; ++k) EXPECT_FLOAT_EQ(t.multiplier[k], float(std::pow(2.0, -k / 2.0))) << k;
  EXPECT_EQ(t.tanRatio[6], 1.0e11f);
  EXPECT_FLOAT_EQ(t.tanRatio[3], 1.0f);
  EXPECT_EQ(t.tanRatio[9], -1.0f);
  EXPECT_FLOAT_EQ(t.lsfIo[0][4], 0.5f);
  EXPECT_FLOAT_EQ(t.lsfIo[1][2], 0.5f);
  // Alias reduction: cs^2 + ca^2 = 1 with the standard's c = ca / cs.
  const double c[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
  for (int i = 0; i < 8; ++i) {
    EXPECT_NEAR(double(t.aliasCs[i]) * t.aliasCs[i] + double(t.aliasCa[i]) * t.aliasCa[i], 1.0, 1e-6);
    EXPECT_NEAR(t.aliasCa[i] / t.aliasCs[i], c[i], 1e-6);
  }
  // Lee butterflies: 0.500603 first, 10.190008 last of N = 16, 0.707107 for N = 1.
  EXPECT_NEAR(t.dct32Mul[0], 0.500603, 1e-6);
  EXPECT_NEAR(t.dct32Mul[15], 10.190008, 1e-5);
  EXPECT_NEAR(t.dct32Mul[30], 0.707107, 1e-6);
  // IMDCT windows: type 1 and 3 mirror each other, the normal one is a sine.
  for (int i = 0; i < 36; ++i) {
    EXPECT_FLOAT_EQ(t.imdctWindow[1][i], t.imdctWindow[3][35 - i]) << i;
    EXPECT_NEAR(t.imdctWindow[0][i], std::sin(M_PI / 36 * (i + 0.5)), 1e-7);
  }
}

}  // namespace
}  // namespace mpegaudio
