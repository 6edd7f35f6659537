// The polyphase synthesis filterbank of the Layer III decoder: a whole
// granule of every channel at a time, 18 slots x 32 subband samples in,
// 576 16-bit samples per channel out. It keeps the V stores of both
// channels from granule to granule.
#pragma once

#include <cstdint>

#include "mpegaudio/kernels.h"

namespace mpegaudio {

struct Tables;

class Filterbank {
 public:
  Filterbank();
  // Both channels' V stores to zero, write column 15, the first store current.
  void Reset();
  // subbands[ch]: 18 slots of 32 subband samples, slot after slot.
  void Synthesize(int channels, const float (*subbands)[576], int16_t (*pcm)[576]);

 private:
  void ComputeNewV(int ch, const float* matrixed);
  void ComputePcm(int ch, int16_t* pcm);

  const Tables& tables_;
  kernels::WindowSumsFn windowSums_;  // the fastest kernels the machine runs
  float vstore_[2 * 2 * 16 * 32];     // [ch][2 stores][16 columns][32 values]
  int writeColumn_[2];
  int currentV_[2];
};

// 16-bit sample from a full-scale-1.0 float: round half away from zero, saturate.
int16_t ToPcm16(float x);
// The same for 32 samples at once (the filterbank's slot).
void ToPcm16Block(const float* x, int16_t* out);

}  // namespace mpegaudio
