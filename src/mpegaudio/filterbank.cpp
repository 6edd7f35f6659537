// Polyphase synthesis filterbank and 16-bit output.
#include "mpegaudio/filterbank.h"

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

// Fast 32-point DCT-II of the Lee type, out[k] = sum in[m] cos(k (2m + 1) pi / 64).
// Each stage splits every block of size n into sums and scaled differences
// of mirrored pairs (multipliers 1 / (2 cos((2m + 1) pi / 2n))); the merge
// then runs back up: out[2k] = G[k], out[2k + 1] = H[k] + H[k + 1].
template <typename T>
inline T Splat(float v);
template <>
inline float Splat<float>(float v) {
  return v;
}
#if defined(CORVELLA_SSE2)
typedef float Float4 __attribute__((vector_size(16)));
template <>
inline Float4 Splat<Float4>(float v) {
  return Float4{v, v, v, v};
}
#endif

template <typename T>
__attribute__((always_inline)) inline void Dct32Lanes(const T* in, T* out, const float* mul) {
  T a[32], b[32];
  // Split stages, n = 32, 16, 8, 4, 2.
  for (int m = 0; m < 16; ++m) {
    a[m] = in[m] + in[31 - m];
    a[16 + m] = (in[m] - in[31 - m]) * Splat<T>(mul[m]);
  }
  for (int blk = 0; blk < 32; blk += 16)
    for (int m = 0; m < 8; ++m) {
      b[blk + m] = a[blk + m] + a[blk + 15 - m];
      b[blk + 8 + m] = (a[blk + m] - a[blk + 15 - m]) * Splat<T>(mul[16 + m]);
    }
  for (int blk = 0; blk < 32; blk += 8)
    for (int m = 0; m < 4; ++m) {
      a[blk + m] = b[blk + m] + b[blk + 7 - m];
      a[blk + 4 + m] = (b[blk + m] - b[blk + 7 - m]) * Splat<T>(mul[24 + m]);
    }
  for (int blk = 0; blk < 32; blk += 4) {
    b[blk] = a[blk] + a[blk + 3];
    b[blk + 1] = a[blk + 1] + a[blk + 2];
    b[blk + 2] = (a[blk] - a[blk + 3]) * Splat<T>(mul[28]);
    b[blk + 3] = (a[blk + 1] - a[blk + 2]) * Splat<T>(mul[29]);
  }
  for (int blk = 0; blk < 32; blk += 2) {
    a[blk] = b[blk] + b[blk + 1];
    a[blk + 1] = (b[blk] - b[blk + 1]) * Splat<T>(mul[30]);
  }
  // Merge stages, n = 4, 8, 16, 32: a block holds G (first half) and H.
  for (int blk = 0; blk < 32; blk += 4) {
    b[blk] = a[blk];
    b[blk + 1] = a[blk + 2] + a[blk + 3];
    b[blk + 2] = a[blk + 1];
    b[blk + 3] = a[blk + 3];
  }
  for (int blk = 0; blk < 32; blk += 8) {
    for (int k = 0; k < 3; ++k) {
      a[blk + 2 * k] = b[blk + k];
      a[blk + 2 * k + 1] = b[blk + 4 + k] + b[blk + 5 + k];
    }
    a[blk + 6] = b[blk + 3];
    a[blk + 7] = b[blk + 7];
  }
  for (int blk = 0; blk < 32; blk += 16) {
    for (int k = 0; k < 7; ++k) {
      b[blk + 2 * k] = a[blk + k];
      b[blk + 2 * k + 1] = a[blk + 8 + k] + a[blk + 9 + k];
    }
    b[blk + 14] = a[blk + 7];
    b[blk + 15] = a[blk + 15];
  }
  for (int k = 0; k < 15; ++k) {
    out[2 * k] = b[k];
    out[2 * k + 1] = b[16 + k] + b[17 + k];
  }
  out[30] = b[15];
  out[31] = b[31];
}


#if defined(CORVELLA_SSE2)
inline __m128 Reverse(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }
#endif

// A V store is kept column by column: the 32 values of one slot together.
constexpr int kColumn = 32;
constexpr int kStore = 16 * kColumn;   // one V store
constexpr int kChannelV = 2 * kStore;  // both stores of a channel

}  // namespace

int16_t ToPcm16(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const bool negative = (bits >> 31) != 0;
  const int exponent = int((bits >> 23) & 0xFF);
  if (exponent >= 127) return negative ? int16_t(-32768) : int16_t(32767);  // |x| >= 1.0
  if (exponent < 111) return 0;                                             // |x| < 2^-16
  // |x| * 32768 = mantissa * 2^(exponent - 135); round half up on the magnitude.
  const uint32_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
  const int shift = 135 - exponent;
  int32_t v = int32_t((mantissa + (1u << (shift - 1))) >> shift);
  if (negative) return int16_t(-v);
  if (v > 32767) v = 32767;
  return int16_t(v);
}

CORVELLA_KERNEL_CLONES void ToPcm16Block(const float* x, int16_t* out) {
#if defined(CORVELLA_SSE2)
  // sign(x) floor(|x| 32768 + 0.5) is x 32768 +- 0.5 truncated: the product
  // is exact, and so is the sum except for the largest magnitude below
  // 2^-16 (0.5 - 2^-25 rounds up to 1), which the mask sends to 0. Larger
  // values saturate anyway: the clamp keeps the conversion in range, the
  // pack saturates.
  const __m128 scale = _mm_set1_ps(32768.0f);
  const __m128 half = _mm_set1_ps(0.5f);
  const __m128 signMask = _mm_set1_ps(-0.0f);
  const __m128 smallest = _mm_set1_ps(1.0f / 65536);
  const __m128 lo = _mm_set1_ps(-2.0f), hi = _mm_set1_ps(2.0f);
  for (int i = 0; i < 32; i += 8) {
    __m128 a = _mm_loadu_ps(x + i), b = _mm_loadu_ps(x + i + 4);
    // (A NaN, which finite input never produces, comes out as -32768.)
    a = _mm_min_ps(_mm_max_ps(a, lo), hi);
    b = _mm_min_ps(_mm_max_ps(b, lo), hi);
    a = _mm_and_ps(a, _mm_cmpge_ps(_mm_andnot_ps(signMask, a), smallest));
    b = _mm_and_ps(b, _mm_cmpge_ps(_mm_andnot_ps(signMask, b), smallest));
    a = _mm_add_ps(_mm_mul_ps(a, scale), _mm_or_ps(half, _mm_and_ps(a, signMask)));
    b = _mm_add_ps(_mm_mul_ps(b, scale), _mm_or_ps(half, _mm_and_ps(b, signMask)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(_mm_cvttps_epi32(a), _mm_cvttps_epi32(b)));
  }
#else
  for (int i = 0; i < 32; ++i) out[i] = ToPcm16(x[i]);
#endif
}

namespace {

#if defined(CORVELLA_SSE2)
// V[0..31] (a) and V[32..63] (b) of a slot from its matrixed values.
void StoreV(const float* x, float* a, float* b) {
  __m128 X[8], R[8];
  for (int q = 0; q < 8; ++q) {
    X[q] = _mm_loadu_ps(x + 4 * q);
    R[q] = Reverse(X[q]);
  }
  const __m128 sign = _mm_set1_ps(-0.0f);
  // [r(hi)[3], r(lo)[0], r(lo)[1], r(lo)[2]]: four values of a reversed run.
  auto join = [](__m128 lo, __m128 hi) {
    return _mm_castsi128_ps(
        _mm_or_si128(_mm_slli_si128(_mm_castps_si128(lo), 4), _mm_srli_si128(_mm_castps_si128(hi), 12)));
  };
  for (int q = 0; q < 4; ++q) _mm_storeu_ps(a + 4 * q, X[4 + q]);
  _mm_storeu_ps(a + 16, _mm_xor_ps(_mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(R[7]), 4)), sign));  // 0, -x31 ...
  _mm_storeu_ps(a + 20, _mm_xor_ps(join(R[6], R[7]), sign));
  _mm_storeu_ps(a + 24, _mm_xor_ps(join(R[5], R[6]), sign));
  _mm_storeu_ps(a + 28, _mm_xor_ps(join(R[4], R[5]), sign));
  for (int q = 0; q < 4; ++q) {
    _mm_storeu_ps(b + 4 * q, _mm_xor_ps(join(R[3 - q], R[4 - q]), sign));  // -x16 ... -x1
    _mm_storeu_ps(b + 16 + 4 * q, _mm_xor_ps(X[q], sign));                  // -x0 ... -x15
  }
}
#endif

}  // namespace

Filterbank::Filterbank() : tables_(GetTables()), windowSums_(kernels::WindowSumsKernels().back().run) {
  Reset();
}

void Filterbank::Reset() {
  std::memset(vstore_, 0, sizeof vstore_);
  for (int ch = 0; ch < 2; ++ch) {
    writeColumn_[ch] = 15;
    currentV_[ch] = 0;
  }
}

void Filterbank::ComputeNewV(int ch, const float* x) {
  const int w = writeColumn_[ch];
  float* a = vstore_ + ch * kChannelV + currentV_[ch] * kStore + w * kColumn;
  float* b = vstore_ + ch * kChannelV + (currentV_[ch] ^ 1) * kStore + w * kColumn;
  // V[k] from the DCT outputs X: V[0..15] = X[16..31], V[16] = 0,
  // V[17..48] = -X[31..0], V[49..63] = -X[1..15]. V[0..31] go to the
  // current store, V[32..63] to the other one.
#if defined(CORVELLA_SSE2)
  StoreV(x, a, b);
#else
  for (int j = 0; j < 16; ++j) a[j] = x[j + 16];
  a[16] = 0.0f;
  for (int j = 17; j < 32; ++j) a[j] = -x[48 - j];
  for (int j = 0; j <= 16; ++j) b[j] = -x[16 - j];
  for (int j = 17; j < 32; ++j) b[j] = -x[j - 16];
#endif
}

namespace {

// The window sums of one slot: sums[j] = sum over taps k of
// column((first + k) mod 16)[j] * window[k][j], accumulated in single
// precision tap by tap, one accumulator per output. Every variant below does
// exactly these operations in this order, so all targets give the same bits.
void WindowSumsPlain(const float* v, int first, const float (*window)[32], float* sums) {
  for (int j = 0; j < 32; ++j) {
    float s = v[first * kColumn + j] * window[0][j];
    for (int k = 1; k < 16; ++k) s += v[((first + k) & 15) * kColumn + j] * window[k][j];
    sums[j] = s;
  }
}

#if defined(CORVELLA_SSE2)
// Four outputs per register; half a slot per pass, so that the sums and
// the operands fit the eight registers of the 32-bit build.
void WindowSumsSse2(const float* v, int first, const float (*window)[32], float* sums) {
  for (int half = 0; half < 32; half += 16) {
    const float* c0 = v + first * kColumn + half;
    const float* w0 = window[0] + half;
    __m128 a0 = _mm_mul_ps(_mm_loadu_ps(c0), _mm_loadu_ps(w0));
    __m128 a1 = _mm_mul_ps(_mm_loadu_ps(c0 + 4), _mm_loadu_ps(w0 + 4));
    __m128 a2 = _mm_mul_ps(_mm_loadu_ps(c0 + 8), _mm_loadu_ps(w0 + 8));
    __m128 a3 = _mm_mul_ps(_mm_loadu_ps(c0 + 12), _mm_loadu_ps(w0 + 12));
    for (int k = 1; k < 16; ++k) {
      const float* c = v + ((first + k) & 15) * kColumn + half;
      const float* w = window[k] + half;
      a0 = _mm_add_ps(a0, _mm_mul_ps(_mm_loadu_ps(c), _mm_loadu_ps(w)));
      a1 = _mm_add_ps(a1, _mm_mul_ps(_mm_loadu_ps(c + 4), _mm_loadu_ps(w + 4)));
      a2 = _mm_add_ps(a2, _mm_mul_ps(_mm_loadu_ps(c + 8), _mm_loadu_ps(w + 8)));
      a3 = _mm_add_ps(a3, _mm_mul_ps(_mm_loadu_ps(c + 12), _mm_loadu_ps(w + 12)));
    }
    _mm_storeu_ps(sums + half, a0);
    _mm_storeu_ps(sums + half + 4, a1);
    _mm_storeu_ps(sums + half + 8, a2);
    _mm_storeu_ps(sums + half + 12, a3);
  }
}
#endif

#if defined(CORVELLA_HAVE_AVX_PATH)
// Eight outputs per register, the whole slot in one pass; the same
// operations.
__attribute__((target("avx"))) void WindowSumsAvx(const float* v, int first, const float (*window)[32],
                                                  float* sums) {
  __m256 acc[4];
  const float* c0 = v + first * kColumn;
  for (int q = 0; q < 4; ++q) acc[q] = _mm256_mul_ps(_mm256_loadu_ps(c0 + 8 * q), _mm256_loadu_ps(window[0] + 8 * q));
  for (int k = 1; k < 16; ++k) {
    const float* c = v + ((first + k) & 15) * kColumn;
    const float* w = window[k];
    for (int q = 0; q < 4; ++q)
      acc[q] = _mm256_add_ps(acc[q], _mm256_mul_ps(_mm256_loadu_ps(c + 8 * q), _mm256_loadu_ps(w + 8 * q)));
  }
  for (int q = 0; q < 4; ++q) _mm256_storeu_ps(sums + 8 * q, acc[q]);
}
#endif

}  // namespace

namespace kernels {

std::vector<WindowSumsKernel> WindowSumsKernels() {
  std::vector<WindowSumsKernel> list{{"plain", WindowSumsPlain}};
#if defined(CORVELLA_SSE2)
  list.push_back({"sse2", WindowSumsSse2});
#endif
#if defined(CORVELLA_HAVE_AVX_PATH)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) list.push_back({"avx", WindowSumsAvx});
#endif
  return list;
}

void Dct32(const float* in, float* out, const float* mul) { Dct32Lanes(in, out, mul); }

CORVELLA_KERNEL_CLONES void Dct32Four(const float* const in[4], float* const out[4], const float* mul) {
#if defined(CORVELLA_SSE2)
  Float4 lanes[32], result[32];
  for (int q = 0; q < 32; q += 4) {
    __m128 r0 = _mm_loadu_ps(in[0] + q), r1 = _mm_loadu_ps(in[1] + q);
    __m128 r2 = _mm_loadu_ps(in[2] + q), r3 = _mm_loadu_ps(in[3] + q);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    lanes[q] = r0, lanes[q + 1] = r1, lanes[q + 2] = r2, lanes[q + 3] = r3;
  }
  Dct32Lanes(lanes, result, mul);
  for (int q = 0; q < 32; q += 4) {
    __m128 r0 = result[q], r1 = result[q + 1], r2 = result[q + 2], r3 = result[q + 3];
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(out[0] + q, r0);
    _mm_storeu_ps(out[1] + q, r1);
    _mm_storeu_ps(out[2] + q, r2);
    _mm_storeu_ps(out[3] + q, r3);
  }
#else
  for (int i = 0; i < 4; ++i) Dct32(in[i], out[i], mul);
#endif
}

}  // namespace kernels

void Filterbank::ComputePcm(int ch, int16_t* pcm) {
  const float* a = vstore_ + ch * kChannelV + currentV_[ch] * kStore;
  float sums[32];
  windowSums_(a, (writeColumn_[ch] + 1) & 15, tables_.window, sums);
  ToPcm16Block(sums, pcm);
}

void Filterbank::Synthesize(int channels, const float (*subbands)[576], int16_t (*pcm)[576]) {
  const float* mul = tables_.dct32Mul;
  for (int ch = 0; ch < channels; ++ch) {
    // The matrixing of all 18 slots first, four slots at a time (one per
    // lane, the same operations as one at a time); then slot by slot the V
    // store and the window sums, which need the previous slots' stores.
    const float* in = subbands[ch];
    float x[18][32];
    float spare[2][32];
    for (int first = 0; first < 18; first += 4) {
      // The last group has two slots; two spare lanes repeat them.
      const bool full = first + 4 <= 18;
      const float* from[4] = {in + 32 * first, in + 32 * (first + 1), in + 32 * (full ? first + 2 : first),
                              in + 32 * (full ? first + 3 : first + 1)};
      float* const to[4] = {x[first], x[first + 1], full ? x[first + 2] : spare[0], full ? x[first + 3] : spare[1]};
      kernels::Dct32Four(from, to, mul);
    }
    for (int slot = 0; slot < 18; ++slot) {
      ComputeNewV(ch, x[slot]);
      ComputePcm(ch, pcm[ch] + 32 * slot);
      writeColumn_[ch] = (writeColumn_[ch] + 1) & 15;
      currentV_[ch] ^= 1;
    }
  }
}

}  // namespace mpegaudio
