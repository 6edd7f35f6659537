// The spectral part of the Layer III decoder: from a granule's main data
// to 18 slots x 32 subband samples per channel: scale factors, Huffman
// decoding, requantisation, stereo, reordering, alias reduction and the
// IMDCT (hybrid filterbank). It keeps the IMDCT overlap of both channels
// from granule to granule.
#pragma once

#include <cstdint>

#include "mpegaudio/stream_reader.h"

namespace mpegaudio {

struct Tables;

class GranuleDecoder {
 public:
  GranuleDecoder();
  // The IMDCT overlap to zero: nothing of an earlier granule is heard.
  void Reset();
  // The frame whose granules follow: its header and side information.
  void SetFrame(const FrameHeader& header, const SideInfo& side);
  // Decodes granule gr of every channel from the main data at the
  // reservoir's read position, which moves to the end of the granule.
  void DecodeGranule(int gr, BitReservoir& mainData);
  // The last granule's subband samples per channel, slot after slot.
  const float (*Subbands() const)[576] { return subbandOut_; }
  // A granule of this frame was corrupt (its channel is silent).
  bool FrameError() const { return frameError_ != 0; }

 private:
  void ReadScaleFactors(int gr, int ch);
  void HuffmanDecode(int gr, int ch);
  void Dequantize(int gr, int ch);
  void Stereo(int gr);
  void Reorder(int gr, int ch);
  void Antialias(int gr, int ch);
  void Hybrid(int gr, int ch);
  uint32_t MainBits(int n) { return main_->MainBits(n); }

  const Tables* tables_;
  BitReservoir* main_ = nullptr;  // during DecodeGranule

  // The frame.
  int32_t lsf_ = 0;
  int32_t samplingIndex_ = 0;
  int32_t mode_ = 0;
  int32_t modeExtension_ = 0;
  int32_t channels_ = 2;
  int32_t frameError_ = 0;
  SideInfo side_;

  uint8_t scalefacL_[2][23];     // [ch][band]
  uint8_t scalefacS_[2][13][3];  // [ch][band][window]
  uint8_t isMax_[2][23];         // lsf: illegal intensity position per long band
  uint8_t isMaxS_[2][13];        // lsf: the same per short band
  uint32_t part2Start_ = 0;
  int32_t quant_[2][576];
  int nonzero_[2];  // lines past the last possibly non-zero one
  float xr_[2][576];
  float reordered_[576];
  float overlap_[2][576];
  int overlapBands_[2];       // subbands whose overlap may be non-zero
  float subbandOut_[2][576];  // 18 slots x 32 subbands
};

}  // namespace mpegaudio
