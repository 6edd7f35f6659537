// Intensity-stereo streams at 22050 Hz and their plainly coded twins.
//
// A plan describes one granule: the block kind, the coded lines of both
// channels and the right channel's intensity positions. IntensityFrame
// writes it as a joint-stereo frame with intensity stereo on; TwinFrame
// writes a frame without intensity stereo whose spectrum is what the
// intensity rules of the low sampling frequencies make of the plan: each
// band (or band and window) that the rules put in the intensity region gets
// the left channel's lines in both channels, scaled through scale factors,
// every other band keeps its coded lines. Both decode to the same PCM
// (within rounding) exactly when the decoder follows the same rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/mp3_stream_builder.h"
#include "mpegaudio/tables.h"

namespace mp3test {

enum class Blocks { kLong, kShort, kMixed };

// One scale-factor cell: a long band, or a short band in one window.
struct Cell {
  bool isShort;
  int band, window;
  int first, width;  // coded lines
};

// The cells in transmission order, the unscaled last band(s) at the end.
inline std::vector<Cell> Cells(Blocks kind) {
  const uint16_t* lb = mpegaudio::kLongBounds[4];
  const uint16_t* sb = mpegaudio::kShortBounds[4];
  std::vector<Cell> cells;
  if (kind == Blocks::kLong) {
    for (int b = 0; b < 22; ++b) cells.push_back({false, b, 0, lb[b], lb[b + 1] - lb[b]});
    return cells;
  }
  if (kind == Blocks::kMixed)
    for (int b = 0; lb[b] < 36; ++b) cells.push_back({false, b, 0, lb[b], lb[b + 1] - lb[b]});
  for (int b = kind == Blocks::kMixed ? 3 : 0; b < 13; ++b)
    for (int w = 0; w < 3; ++w) {
      const int width = sb[b + 1] - sb[b];
      cells.push_back({true, b, w, 3 * sb[b] + w * width, width});
    }
  return cells;
}

inline bool Scaled(const Cell& c) { return c.isShort ? c.band < 12 : c.band < 21; }

struct IntensityPlan {
  Blocks kind = Blocks::kLong;
  bool midSide = false;
  int intensityScale = 1;
  int slen[3] = {3, 3, 3};  // right channel's position lengths, slen[0] <= 4
  std::array<int, 576> left{}, right{};
  std::vector<int> positions;  // one per scaled cell, transmission order
  // The right channel's subblock gain (every window) and scalefac_scale:
  // they scale its coded lines, not its positions.
  int rightSubblockGain = 0, rightScale = 0;
};

// Position partitions of the right channel (int_scalefac_compress < 180).
inline const uint8_t* PositionCounts(Blocks kind) {
  // The fourth partition is empty; the writer reads all four.
  static const uint8_t kCounts[3][4] = {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}};
  return kCounts[kind == Blocks::kLong ? 0 : kind == Blocks::kShort ? 1 : 2];
}

// The left channel: one line in every cell, so each cell's outcome is heard.
inline void FillLeft(IntensityPlan* plan) {
  int i = 0;
  for (const Cell& c : Cells(plan->kind)) plan->left[size_t(c.first + (i % 3))] = (i % 2 ? -1 : 1) * (1 + i % 3), ++i;
}

// What the rules make of each cell: -1 where the cell is coded normally,
// else its intensity position.
inline std::vector<int> Outcome(const IntensityPlan& p) {
  const std::vector<Cell> cells = Cells(p.kind);
  std::vector<int> result(cells.size(), -1);
  const uint8_t* counts = PositionCounts(p.kind);
  auto illegal = [&](size_t k) {
    size_t group = 0, end = counts[0];
    while (k >= end) end += counts[++group];
    return (1 << p.slen[group]) - 1;
  };
  auto hasData = [&](const Cell& c) {
    for (int i = c.first; i < c.first + c.width; ++i)
      if (p.right[size_t(i)] != 0) return true;
    return false;
  };
  // The region starts above the highest cell with right-channel data: over
  // all long cells, or per window over the short ones.
  int topLong = -1, topShort[3] = {-1, -1, -1};
  for (const Cell& c : cells)
    if (hasData(c)) (c.isShort ? topShort[c.window] : topLong) = c.band;
  const bool shortData = topShort[0] >= 0 || topShort[1] >= 0 || topShort[2] >= 0;
  for (size_t k = 0; k < cells.size(); ++k) {
    const Cell& c = cells[k];
    const bool above = c.isShort ? c.band > topShort[c.window] : (c.band > topLong && !shortData);
    if (!above) continue;
    if (Scaled(c)) {
      if (p.positions[k] != illegal(k)) result[k] = p.positions[k];
    } else if (c.band - 1 > (c.isShort ? topShort[c.window] : topLong)) {
      result[k] = result[k - (c.isShort ? 3 : 1)];  // follows the band below
    } else {
      result[k] = 0;  // the region starts here: the default position
    }
  }
  return result;
}

struct ChannelData {
  const std::array<int, 576>* lines;
  std::vector<int> factors;  // transmission order
  int sfc;
  int slen[4];
  const uint8_t* counts;
};

inline void WriteChannel(BitWriter& w, GranuleLayout& g, const ChannelData& d, Blocks kind) {
  const int before = w.Bits();
  size_t k = 0;
  for (int part = 0; part < 4; ++part)
    for (int j = 0; j < d.counts[part]; ++j, ++k) w.Put(uint32_t(d.factors[k]), d.slen[part]);
  int last = 575;
  while (last >= 0 && (*d.lines)[size_t(last)] == 0) --last;
  const int pairs = (last + 2) / 2;
  for (int i = 0; i < 2 * pairs; i += 2) w.PutPair(13, (*d.lines)[size_t(i)], (*d.lines)[size_t(i + 1)]);
  g.part23 = w.Bits() - before;
  g.bigValues = pairs;
  g.globalGain = 170;
  g.sfc = d.sfc;
  g.table[0] = g.table[1] = g.table[2] = 13;
  if (kind == Blocks::kLong) {
    g.region0 = 15;
    g.region1 = 7;
  } else {
    g.ws = 1;
    g.blockType = 2;
    g.mixed = kind == Blocks::kMixed;
  }
}

inline FrameLayout LsfStereo(int mode, int modeExtension) {
  FrameLayout f;
  f.version = 2;
  f.bitrateIndex = 14;  // 160 kbit/s: room for both channels' lines
  f.mode = mode;
  f.modeExtension = modeExtension;
  return f;
}

// Plain channels use 3-bit factors in every partition (scalefac_compress
// 303, or 302 with a 2-bit last partition).
inline const uint8_t* PlainCounts(Blocks kind) {
  static const uint8_t kCounts[3][4] = {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}};
  return kCounts[kind == Blocks::kLong ? 0 : kind == Blocks::kShort ? 1 : 2];
}

inline std::vector<uint8_t> IntensityFrame(const IntensityPlan& p) {
  FrameLayout f = LsfStereo(1, p.midSide ? 3 : 1);
  const std::vector<Cell> cells = Cells(p.kind);
  const std::vector<int> outcome = Outcome(p);
  // With mid/side, a cell in the intensity region carries its level in the
  // left channel's factor (2^-1/2) where the twin carries it in the mid/side
  // scaling.
  ChannelData left{&p.left, {}, p.intensityScale ? 302 : 303, {3, 3, 3, p.intensityScale ? 2 : 3},
                   PlainCounts(p.kind)};
  for (size_t k = 0; k < cells.size(); ++k)
    if (Scaled(cells[k])) left.factors.push_back(p.midSide && outcome[k] >= 0 ? 1 : 0);
  const int isc = p.slen[0] * 36 + p.slen[1] * 6 + p.slen[2];
  ChannelData right{&p.right, p.positions, 2 * isc + p.intensityScale, {p.slen[0], p.slen[1], p.slen[2], 0},
                    PositionCounts(p.kind)};
  BitWriter w;
  WriteChannel(w, f.gr[0][0], left, p.kind);
  WriteChannel(w, f.gr[0][1], right, p.kind);
  for (int& g : f.gr[0][1].subblockGain) g = p.rightSubblockGain;
  f.gr[0][1].sfScale = p.rightScale;
  f.mainData = w.Bytes();
  return BuildFrame(f);
}

// Scale factor (2^-k/2 steps) of each channel for an intensity position.
inline void IntensityFactors(int position, int intensityScale, int* left, int* right) {
  // io^n with io = 2^-1/4 (scale 0) or 2^-1/2 (scale 1).
  const int n = position % 2 ? (position + 1) / 2 : position / 2;
  const int k = intensityScale ? n : n / 2;
  *left = position % 2 ? k : 0;
  *right = position % 2 ? 0 : k;
}

inline std::vector<uint8_t> TwinFrame(const IntensityPlan& p) {
  FrameLayout f = LsfStereo(p.midSide ? 1 : 0, p.midSide ? 2 : 0);
  const std::vector<Cell> cells = Cells(p.kind);
  const std::vector<int> outcome = Outcome(p);
  std::array<int, 576> left = p.left, right = p.right;
  ChannelData l{&left, {}, 303, {3, 3, 3, 3}, PlainCounts(p.kind)};
  ChannelData r{&right, {}, 303, {3, 3, 3, 3}, PlainCounts(p.kind)};
  for (size_t k = 0; k < cells.size(); ++k) {
    const Cell& c = cells[k];
    int lf = 0, rf = Scaled(c) ? p.positions[k] : 0;
    if (outcome[k] >= 0) {
      IntensityFactors(outcome[k], p.intensityScale, &lf, &rf);
      // Mid/side: the level goes in the mid channel alone.
      for (int i = c.first; i < c.first + c.width; ++i) right[size_t(i)] = p.midSide ? 0 : p.left[size_t(i)];
    }
    if (Scaled(c)) {
      l.factors.push_back(lf);
      r.factors.push_back(rf);
    }
  }
  BitWriter w;
  WriteChannel(w, f.gr[0][0], l, p.kind);
  WriteChannel(w, f.gr[0][1], r, p.kind);
  f.mainData = w.Bytes();
  return BuildFrame(f);
}

}  // namespace mp3test
