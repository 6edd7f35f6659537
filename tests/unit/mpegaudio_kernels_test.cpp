// Every vector form of the decoder's inner loops that this machine runs
// gives exactly the plain form's bits.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "mpegaudio/kernels.h"
#include "mpegaudio/tables.h"

namespace mpegaudio {
namespace {

// Spectral and subband values as they occur: mostly small, some large,
// some zero.
float Sample(std::mt19937& rng) {
  const uint32_t r = rng();
  if (r % 7 == 0) return 0.0f;
  const float unit = float(int32_t(rng() % 2000001) - 1000000) / 1000000.0f;
  return unit * (r % 3 == 0 ? 4.0f : 0.05f);
}

template <typename T>
bool SameBits(const T* a, const T* b, size_t n) {
  return std::memcmp(a, b, n * sizeof(T)) == 0;
}

TEST(MpegAudioKernels, WindowSumsOfEveryFormAgree) {
  const std::vector<kernels::WindowSumsKernel> forms = kernels::WindowSumsKernels();
  ASSERT_EQ(std::string(forms.front().name), "plain");
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  if (__builtin_cpu_supports("avx")) {
    EXPECT_EQ(std::string(forms.back().name), "avx");
  }
#endif
  const Tables& t = GetTables();
  std::mt19937 rng(5);
  float v[16 * 32];
  for (int round = 0; round < 200; ++round) {
    for (float& x : v) x = Sample(rng);
    for (int first = 0; first < 16; ++first) {
      float plain[32], other[32];
      forms.front().run(v, first, t.window, plain);
      for (const kernels::WindowSumsKernel& k : forms) {
        k.run(v, first, t.window, other);
        ASSERT_TRUE(SameBits(plain, other, 32)) << k.name << " first " << first;
      }
    }
  }
}

TEST(MpegAudioKernels, FourLaneTransformsAgreeWithOneAtATime) {
  const Tables& t = GetTables();
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  if (__builtin_cpu_supports("avx")) {
    EXPECT_EQ(kernels::ImdctLongKernels().back().subbands, 8);
  }
#endif
  std::mt19937 rng(9);
  for (int round = 0; round < 300; ++round) {
    // Matrixing of four slots.
    float slots[4][32], one[4][32], four[4][32];
    for (auto& s : slots)
      for (float& x : s) x = Sample(rng);
    const float* in[4] = {slots[0], slots[1], slots[2], slots[3]};
    float* const out[4] = {four[0], four[1], four[2], four[3]};
    kernels::Dct32Four(in, out, t.dct32Mul);
    for (int i = 0; i < 4; ++i) {
      kernels::Dct32(slots[i], one[i], t.dct32Mul);
      ASSERT_TRUE(SameBits(one[i], four[i], 32)) << "slot " << i;
    }

    // IMDCT of eight subbands (the odd-numbered ones inverted), with
    // the overlap of an earlier granule, for each long block type, in
    // every form this machine runs.
    const int type = round % 3 == 0 ? 0 : round % 3 == 1 ? 1 : 3;
    float lines[8 * 18], ovOne[18 * 32] = {}, outOne[18 * 32] = {}, ovStart[18 * 32] = {};
    for (float& x : lines) x = Sample(rng);
    for (int i = 0; i < 18; ++i)
      for (int sb = 0; sb < 8; ++sb) ovOne[32 * i + sb] = ovStart[32 * i + sb] = Sample(rng);
    for (int sb = 0; sb < 8; ++sb)
      kernels::Imdct36(lines + 18 * sb, t.imdctWindow[type], t, ovOne + sb, outOne + sb, sb & 1 ? -1.0f : 1.0f);
    for (const kernels::ImdctLongKernel& k : kernels::ImdctLongKernels()) {
      float ov[18 * 32], out[18 * 32] = {};
      std::memcpy(ov, ovStart, sizeof ov);
      for (int sb = 0; sb < 8; sb += k.subbands) k.run(lines + 18 * sb, type, t, ov + sb, out + sb);
      ASSERT_TRUE(SameBits(outOne, out, 18 * 32)) << k.name << " type " << type;
      ASSERT_TRUE(SameBits(ovOne, ov, 18 * 32)) << k.name << " type " << type;
    }
  }
}

}  // namespace
}  // namespace mpegaudio
