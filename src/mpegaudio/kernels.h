// The decoder's inner loops, each in its plain form and in the vector forms
// a machine may run. Every vector form performs the plain form's operations
// in the same order, lane by lane, so all give the same bits; the decoder
// picks the fastest one the machine runs when it is built. Each lives with
// the stage that calls it, so that the compiler may inline it there: the
// matrixing and window sums in filterbank.cpp, the IMDCT forms in
// granule_decoder.cpp.
#pragma once

#include <cstdint>
#include <vector>

// CORVELLA_PLAIN_KERNELS builds only the plain forms, also where vector
// forms exist, so that a second build of the decoder can show that both
// give the same bits.
#if defined(CORVELLA_PLAIN_KERNELS) && !defined(CORVELLA_NO_AVX)
#define CORVELLA_NO_AVX 1
#endif
// The vector forms chosen when the decoder is built (x86 with SSE2).
#if defined(__SSE2__) && !defined(CORVELLA_PLAIN_KERNELS)
#define CORVELLA_SSE2 1
#endif

// On x86-64 Linux the vector kernels are also built with the AVX encoding
// (three-operand forms, unaligned memory operands; the same arithmetic) and
// the loader picks the build the machine runs.
// (Not with clang, whose clones of member functions fail to link.)
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__) && \
    !defined(CORVELLA_NO_AVX)
#define CORVELLA_KERNEL_CLONES __attribute__((target_clones("avx", "default")))
// Bit-stream code gains from the flexible shifts of BMI2.
#define CORVELLA_BITS_CLONES __attribute__((target_clones("bmi2", "default")))
#else
#define CORVELLA_KERNEL_CLONES
#define CORVELLA_BITS_CLONES
#endif

namespace mpegaudio {

struct Tables;

namespace kernels {

// Synthesis window sums of one slot: sums[j] = sum over taps k of
// column((first + k) mod 16)[j] * window[k][j], in single precision, tap
// by tap.
using WindowSumsFn = void (*)(const float* v, int first, const float (*window)[32], float* sums);
struct WindowSumsKernel {
  const char* name;
  WindowSumsFn run;
};
// The forms this machine runs, the plain one first and the fastest last.
std::vector<WindowSumsKernel> WindowSumsKernels();

// The 32-point matrixing (DCT-II) of one slot, and of four slots at once.
void Dct32(const float* in, float* out, const float* mul);
void Dct32Four(const float* const in[4], float* const out[4], const float* mul);

// Machines with AVX run eight-lane forms of some kernels; the 32-bit
// build too (the window sums and the IMDCT pick them at run time).
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && !defined(CORVELLA_NO_AVX)
#define CORVELLA_HAVE_AVX_PATH 1
#endif

// The 36-point IMDCT of one long-block subband with overlap-add and
// frequency inversion (odd slots times oddSign), and of four neighbouring
// subbands at once (from an even one). ov and out are slot-major, 32 apart.
void Imdct36(const float* in, const float* window, const Tables& t, float* ov, float* out, float oddSign);
void Imdct36Four(const float* in, int blockType, const Tables& t, float* ov, float* out);
// The long-block IMDCT forms of neighbouring subbands this machine runs,
// four at a time first, the widest last (all give the same bits).
using ImdctLongFn = void (*)(const float* in, int blockType, const Tables& t, float* ov, float* out);
struct ImdctLongKernel {
  const char* name;
  int subbands;
  ImdctLongFn run;
};
std::vector<ImdctLongKernel> ImdctLongKernels();

}  // namespace kernels
}  // namespace mpegaudio
