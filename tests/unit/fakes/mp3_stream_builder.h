// Builds Layer III frames bit by bit for the decoder's tests: headers, side
// information and main data exactly as a test wants them, including broken
// ones.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mpegaudio/tables.h"

namespace mp3test {

class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (count_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= uint8_t(0x80 >> (count_ % 8));
      ++count_;
    }
  }
  // One pair of a big-values table, with its sign bits (and no linbits).
  void PutPair(int table, int x, int y) {
    const mpegaudio::PairCodeTable& t = mpegaudio::kPairCodeTables[table];
    const uint32_t e = t.codes[std::abs(x) * t.size + std::abs(y)];
    Put(e & 0xFFFFFF, int(e >> 24));
    if (x) Put(x < 0 ? 1 : 0, 1);
    if (y) Put(y < 0 ? 1 : 0, 1);
  }
  int Bits() const { return count_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int count_ = 0;
};

struct GranuleLayout {
  int part23 = 0, bigValues = 0, globalGain = 210, sfc = 0;
  int ws = 0, blockType = 0, mixed = 0;
  int table[3] = {0, 0, 0}, subblockGain[3] = {0, 0, 0};
  int region0 = 0, region1 = 0, preflag = 0, sfScale = 0, count1Table = 0;
};

struct FrameLayout {
  int version = 3;         // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int layer = 3;           // 3 or 2 (a Layer II header)
  int samplingField = 0;   // 0..3
  int bitrateIndex = 9;    // 0 = free format (freeBytes gives the size)
  int freeBytes = 0;
  int padding = 0;
  int mode = 3;            // 3 mono, 1 joint stereo, 0 stereo
  int modeExtension = 0;
  bool crc = false;
  int mainDataBegin = 0;
  int scfsi[2][4] = {};
  GranuleLayout gr[2][2];
  std::vector<uint8_t> mainData;  // cut or zero-filled to the frame's size
};

inline int FrameLength(const FrameLayout& s) {
  static const int kRates[3][3] = {{11025, 12000, 8000}, {22050, 24000, 16000}, {44100, 48000, 32000}};
  const bool lsf = s.version != 3;
  const int rate = kRates[s.version == 3 ? 2 : s.version == 2 ? 1 : 0][s.samplingField > 2 ? 0 : s.samplingField];
  if (s.bitrateIndex == 0) return s.freeBytes + s.padding;
  int len = int(mpegaudio::kBitrates[lsf][s.bitrateIndex]) * 144000 / rate;
  if (lsf) len >>= 1;
  return len + s.padding;
}

inline std::vector<uint8_t> BuildFrame(const FrameLayout& s) {
  const bool lsf = s.version != 3;
  const int channels = s.mode == 3 ? 1 : 2;
  const int granules = lsf ? 1 : 2;
  BitWriter w;
  w.Put(0xFFF, 11);
  w.Put(uint32_t(s.version), 2);
  w.Put(s.layer == 3 ? 1 : 2, 2);
  w.Put(s.crc ? 0 : 1, 1);
  w.Put(uint32_t(s.bitrateIndex), 4);
  w.Put(uint32_t(s.samplingField), 2);
  w.Put(uint32_t(s.padding), 1);
  w.Put(0, 1);
  w.Put(uint32_t(s.mode), 2);
  w.Put(uint32_t(s.modeExtension), 2);
  w.Put(0, 4);
  if (s.crc) w.Put(0xBEEF, 16);
  w.Put(uint32_t(s.mainDataBegin), lsf ? 8 : 9);
  w.Put(0, lsf ? (channels == 1 ? 1 : 2) : (channels == 1 ? 5 : 3));
  if (!lsf)
    for (int ch = 0; ch < channels; ++ch)
      for (int i = 0; i < 4; ++i) w.Put(uint32_t(s.scfsi[ch][i]), 1);
  for (int gr = 0; gr < granules; ++gr)
    for (int ch = 0; ch < channels; ++ch) {
      const GranuleLayout& g = s.gr[gr][ch];
      w.Put(uint32_t(g.part23), 12);
      w.Put(uint32_t(g.bigValues), 9);
      w.Put(uint32_t(g.globalGain), 8);
      w.Put(uint32_t(g.sfc), lsf ? 9 : 4);
      w.Put(uint32_t(g.ws), 1);
      if (g.ws) {
        w.Put(uint32_t(g.blockType), 2);
        w.Put(uint32_t(g.mixed), 1);
        w.Put(uint32_t(g.table[0]), 5);
        w.Put(uint32_t(g.table[1]), 5);
        for (int i = 0; i < 3; ++i) w.Put(uint32_t(g.subblockGain[i]), 3);
      } else {
        for (int i = 0; i < 3; ++i) w.Put(uint32_t(g.table[i]), 5);
        w.Put(uint32_t(g.region0), 4);
        w.Put(uint32_t(g.region1), 3);
      }
      if (!lsf) w.Put(uint32_t(g.preflag), 1);
      w.Put(uint32_t(g.sfScale), 1);
      w.Put(uint32_t(g.count1Table), 1);
    }
  std::vector<uint8_t> frame = w.Bytes();
  const size_t total = size_t(FrameLength(s));
  for (size_t i = 0; frame.size() < total; ++i) frame.push_back(i < s.mainData.size() ? s.mainData[i] : 0);
  frame.resize(total);
  return frame;
}

inline void Append(std::string* out, const std::vector<uint8_t>& bytes) {
  out->append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// n silent frames (every granule empty) of one kind.
inline std::string SilentStream(FrameLayout layout, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) Append(&s, BuildFrame(layout));
  return s;
}

}  // namespace mp3test
