// Polyphase synthesis filterbank and 16-bit output.
#include <cstring>

#include "mpegaudio/mp3.h"
#include "mpegaudio/tables.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CORVELLA_HAVE_AVX_PATH 1
#include <immintrin.h>
#endif

namespace mpegaudio {

namespace {

// Fast DCT-II of the Lee type: out[k] = sum in[m] cos(k (2m + 1) pi / 2N).
// mul holds 1 / (2 cos((2m + 1) pi / 2N)) for this N, then those of the
// smaller sizes.
template <int N>
struct LeeDct {
  static inline void Run(const float* in, float* out, const float* mul) {
    float g[N / 2], h[N / 2], G[N / 2], H[N / 2];
    for (int m = 0; m < N / 2; ++m) {
      const float a = in[m], b = in[N - 1 - m];
      g[m] = a + b;
      h[m] = (a - b) * mul[m];
    }
    LeeDct<N / 2>::Run(g, G, mul + N / 2);
    LeeDct<N / 2>::Run(h, H, mul + N / 2);
    for (int k = 0; k < N / 2 - 1; ++k) {
      out[2 * k] = G[k];
      out[2 * k + 1] = H[k] + H[k + 1];
    }
    out[N - 2] = G[N / 2 - 1];
    out[N - 1] = H[N / 2 - 1];
  }
};

template <>
struct LeeDct<1> {
  static inline void Run(const float* in, float* out, const float*) { out[0] = in[0]; }
};

constexpr int kRow = 32;               // a V row: 16 columns stored twice
constexpr int kStore = 32 * kRow;      // one V store
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

void TMP3::ResetSynthesis() {
  std::memset(vstore_, 0, sizeof(double) * 2 * kChannelV);
  for (int ch = 0; ch < 2; ++ch) {
    writeColumn_[ch] = 15;
    currentV_[ch] = 0;
    overlapBands_[ch] = 0;
  }
  std::memset(overlap_, 0, sizeof overlap_);
}

void TMP3::ComputeNewV(int ch) {
  const Tables& t = *tables_;
  const float* s = subbandOut_[ch] + 32 * slot_;
  float x[32];
  LeeDct<32>::Run(s, x, t.dct32Mul);
  double* a = vstore_ + ch * kChannelV + currentV_[ch] * kStore;
  double* b = vstore_ + ch * kChannelV + (currentV_[ch] ^ 1) * kStore;
  const int w = writeColumn_[ch];
  auto put = [w](double* store, int row, float v) {
    store[row * kRow + w] = v;
    store[row * kRow + w + 16] = v;
  };
  // V[k] from the DCT outputs X: V[0..15] = X[16..31], V[16] = 0,
  // V[17..48] = -X[31..0], V[49..63] = -X[1..15].
  for (int j = 0; j < 16; ++j) put(a, j, x[j + 16]);
  put(a, 16, 0.0f);
  for (int j = 17; j < 32; ++j) put(a, j, -x[48 - j]);
  for (int j = 0; j <= 16; ++j) put(b, j, -x[16 - j]);
  for (int j = 17; j < 32; ++j) put(b, j, -x[j - 16]);
}

namespace {

// The window sum of the 32 rows of one slot. Each row keeps four partial
// sums (taps k mod 4), combined as (s0 + s2) + (s1 + s3); every variant
// below performs exactly these operations, so all targets give the same bits.
// Products of two floats are exact in double.
void WindowSums(const double* v, const double (*window)[16], float* sums) {
  for (int j = 0; j < 32; ++j) {
    const double* r = v + j * kRow;
    const double* w = window[j];
#if defined(__SSE2__)
    __m128d a = _mm_mul_pd(_mm_loadu_pd(r), _mm_loadu_pd(w));
    __m128d b = _mm_mul_pd(_mm_loadu_pd(r + 2), _mm_loadu_pd(w + 2));
    for (int k = 4; k < 16; k += 4) {
      a = _mm_add_pd(a, _mm_mul_pd(_mm_loadu_pd(r + k), _mm_loadu_pd(w + k)));
      b = _mm_add_pd(b, _mm_mul_pd(_mm_loadu_pd(r + k + 2), _mm_loadu_pd(w + k + 2)));
    }
    const __m128d s = _mm_add_pd(a, b);
    sums[j] = static_cast<float>(_mm_cvtsd_f64(s) + _mm_cvtsd_f64(_mm_unpackhi_pd(s, s)));
#else
    double s0 = r[0] * w[0], s1 = r[1] * w[1], s2 = r[2] * w[2], s3 = r[3] * w[3];
    for (int k = 4; k < 16; k += 4) {
      s0 += r[k] * w[k];
      s1 += r[k + 1] * w[k + 1];
      s2 += r[k + 2] * w[k + 2];
      s3 += r[k + 3] * w[k + 3];
    }
    sums[j] = static_cast<float>((s0 + s2) + (s1 + s3));
#endif
  }
}

#if defined(CORVELLA_HAVE_AVX_PATH)
// Same lanes as the SSE2 path (s0..s3 in one register), half the instructions.
__attribute__((target("avx"))) void WindowSumsAvx(const double* v, const double (*window)[16], float* sums) {
  for (int j = 0; j < 32; ++j) {
    const double* r = v + j * kRow;
    const double* w = window[j];
    __m256d acc = _mm256_mul_pd(_mm256_loadu_pd(r), _mm256_loadu_pd(w));
    for (int k = 4; k < 16; k += 4)
      acc = _mm256_add_pd(acc, _mm256_mul_pd(_mm256_loadu_pd(r + k), _mm256_loadu_pd(w + k)));
    const __m128d s = _mm_add_pd(_mm256_castpd256_pd128(acc), _mm256_extractf128_pd(acc, 1));
    sums[j] = static_cast<float>(_mm_cvtsd_f64(s) + _mm_cvtsd_f64(_mm_unpackhi_pd(s, s)));
  }
}
#endif

using WindowSumsFn = void (*)(const double*, const double (*)[16], float*);

WindowSumsFn PickWindowSums() {
#if defined(CORVELLA_HAVE_AVX_PATH)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) return WindowSumsAvx;
#endif
  return WindowSums;
}

}  // namespace

void TMP3::ComputePcm(int ch) {
  static const WindowSumsFn windowSums = PickWindowSums();
  const double* a = vstore_ + ch * kChannelV + currentV_[ch] * kStore + writeColumn_[ch] + 1;
  float sums[32];
  windowSums(a, tables_->window, sums);
  if (!storeOutput_) return;
  int16_t* out = outPos_[ch];
  const int stride = outStride_;
  for (int j = 0; j < 32; ++j) {
    *out = ToPcm16(sums[j]);
    out += stride;
  }
  outPos_[ch] = out;
}

void TMP3::Synthesize(int ch) {
  ComputeNewV(ch);
  ComputePcm(ch);
  writeColumn_[ch] = (writeColumn_[ch] + 1) & 15;
  currentV_[ch] ^= 1;
}

}  // namespace mpegaudio
