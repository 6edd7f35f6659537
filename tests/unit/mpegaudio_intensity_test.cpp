// Intensity stereo at the low sampling frequencies: each stream is decoded
// beside a twin that codes the expected spectrum plainly; the two must give
// the same PCM.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "fakes/mp3_intensity_writer.h"
#include "mpegaudio/mp3.h"
#include "platform/memory_file.h"

namespace mpegaudio {
namespace {

using mp3test::Blocks;
using mp3test::IntensityPlan;

std::vector<int16_t> Decode(const std::vector<uint8_t>& frame, int copies = 3) {
  std::string data;
  for (int i = 0; i < copies; ++i) mp3test::Append(&data, frame);
  platform::MemoryFile file(data.data(), data.size());
  TMP3 dec;
  MP3Info info;
  info.fileSize = uint32_t(data.size());
  dec.Scan(&file, &info);
  dec.Begin(&file);
  std::vector<int16_t> out;
  int16_t pcm[2304];
  while (!dec.EndOfFile()) {
    dec.ResetCounts();
    dec.SetOutput(pcm, 2304);
    dec.DecodeFrame();
    out.insert(out.end(), pcm, pcm + dec.SampleCount());
  }
  return out;
}

// The intensity stream sounds like its twin, and both channels are heard.
void ExpectLikeTwin(const IntensityPlan& plan, int tolerance = 1) {
  const std::vector<int16_t> coded = Decode(mp3test::IntensityFrame(plan));
  const std::vector<int16_t> twin = Decode(mp3test::TwinFrame(plan));
  ASSERT_EQ(coded.size(), 3u * 1152);
  ASSERT_EQ(coded.size(), twin.size());
  int worst = 0, peak[2] = {0, 0};
  for (size_t i = 0; i < coded.size(); ++i) {
    worst = std::max(worst, std::abs(coded[i] - twin[i]));
    peak[i % 2] = std::max(peak[i % 2], std::abs(int(twin[i])));
  }
  EXPECT_LE(worst, tolerance);
  EXPECT_GT(peak[0], 100);
  EXPECT_GT(peak[1], 100);
}

IntensityPlan Plan(Blocks kind, int position) {
  IntensityPlan p;
  p.kind = kind;
  mp3test::FillLeft(&p);
  const std::vector<mp3test::Cell> cells = mp3test::Cells(kind);
  p.positions.assign(cells.size(), position);
  // The unscaled top band takes the position of the band below, and the
  // twin can only code that level where it is 1 (position 0).
  for (size_t k = 0; k < cells.size(); ++k)
    if (cells[k].band == (cells[k].isShort ? 11 : 20)) p.positions[k] = 0;
  return p;
}

constexpr int kPlain = -1;

TEST(MpegAudioIntensity, LongBlocksTakePositionsAboveTheRightChannelsData) {
  const uint16_t* lb = kLongBounds[4];
  IntensityPlan p = Plan(Blocks::kLong, 2);
  p.right[lb[3] + 1] = 2;  // right-channel data up to band 3
  p.positions[10] = 7;     // the largest 3-bit value: not a position
  p.positions[12] = 1;
  p.positions[20] = 0;
  const std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[3], kPlain);
  EXPECT_EQ(o[4], 2);
  EXPECT_EQ(o[10], kPlain);
  EXPECT_EQ(o[12], 1);
  EXPECT_EQ(o[21], 0);  // the unscaled top band follows band 20
  ExpectLikeTwin(p);

  // intensity_scale 0 (io = 2^-1/4), read from the right channel's
  // scalefac_compress while the left one's is odd.
  p.intensityScale = 0;
  for (int& v : p.positions) v = v == 7 ? 7 : (v == 2 ? 4 : 3);
  p.positions[20] = 0;
  ExpectLikeTwin(p);

  // An illegal position in band 20 leaves band 21 plain as well.
  p.positions[20] = 7;
  EXPECT_EQ(mp3test::Outcome(p)[21], kPlain);
  ExpectLikeTwin(p);
}

TEST(MpegAudioIntensity, IllegalPositionIsTheLargestValueOfItsLength) {
  // Lengths 4, 0, 3: 15 is illegal in the first partition (bands 0..6),
  // where 7 is an ordinary position; in the second (bands 7..13) nothing is
  // sent, so every band holds the illegal value 0 and stays plain.
  IntensityPlan p = Plan(Blocks::kLong, 1);
  p.slen[0] = 4;
  p.slen[1] = 0;
  for (int b = 0; b < 7; ++b) p.positions[size_t(b)] = b % 2 ? 15 : 7;
  for (int b = 7; b < 14; ++b) p.positions[size_t(b)] = 0;
  p.positions[16] = 7;
  const std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[0], 7);
  EXPECT_EQ(o[1], kPlain);
  EXPECT_EQ(o[8], kPlain);
  EXPECT_EQ(o[14], 1);
  EXPECT_EQ(o[16], kPlain);
  ExpectLikeTwin(p);
}

TEST(MpegAudioIntensity, ShortBlocksFindTheRegionPerWindow) {
  const uint16_t* sb = kShortBounds[4];
  IntensityPlan p = Plan(Blocks::kShort, 1);
  auto line = [&](int band, int window) { return size_t(3 * sb[band] + window * (sb[band + 1] - sb[band])); };
  p.right[line(5, 0) + 1] = 1;  // window 0: data up to band 5
  p.right[line(2, 1)] = -2;     // window 1: up to band 2; window 2: none
  p.positions[11 * 3 + 2] = 7;  // illegal: band 12 of window 2 stays plain
  const std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[5 * 3 + 0], kPlain);
  EXPECT_EQ(o[6 * 3 + 0], 1);
  EXPECT_EQ(o[3 * 3 + 1], 1);
  EXPECT_EQ(o[0 * 3 + 2], 1);
  EXPECT_EQ(o[12 * 3 + 0], 0);
  EXPECT_EQ(o[12 * 3 + 2], kPlain);
  ExpectLikeTwin(p);
}

TEST(MpegAudioIntensity, MixedBlocksUseTheLongBandsOnlyWithoutShortData) {
  IntensityPlan p = Plan(Blocks::kMixed, 2);
  p.right[7] = 1;  // long band 1
  std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[1], kPlain);
  EXPECT_EQ(o[2], 2);
  EXPECT_EQ(o[5], 2);
  ExpectLikeTwin(p);

  // Data in short band 4 of window 1: no long band is in the region.
  const uint16_t* sb = kShortBounds[4];
  p.right[size_t(3 * sb[4] + (sb[5] - sb[4]) + 2)] = 3;
  o = mp3test::Outcome(p);
  EXPECT_EQ(o[2], kPlain);
  EXPECT_EQ(o[6 + (4 - 3) * 3 + 1], kPlain);
  EXPECT_EQ(o[6 + (5 - 3) * 3 + 1], 2);
  EXPECT_EQ(o[6 + 0 * 3 + 0], 2);
  ExpectLikeTwin(p);
}

TEST(MpegAudioIntensity, TopBandWhereTheRegionStartsTakesTheDefaultPosition) {
  const uint16_t* lb = kLongBounds[4];
  const uint16_t* sb = kShortBounds[4];
  auto line = [&](int band, int window) { return size_t(3 * sb[band] + window * (sb[band + 1] - sb[band])); };

  IntensityPlan p = Plan(Blocks::kLong, 3);
  for (int b = 0; b <= 20; b += 4) p.right[lb[b]] = 3;
  p.right[lb[20] + 1] = 1;  // data up to band 20: band 21 alone is the region
  EXPECT_EQ(mp3test::Outcome(p)[21], 0);
  ExpectLikeTwin(p);

  // Short blocks, per window: window 0 up to band 11 (band 12 takes 0),
  // window 1 up to band 12 (no region), window 2 up to band 9 (band 12
  // follows band 11).
  p = Plan(Blocks::kShort, 2);
  p.right[line(11, 0) + 2] = 1;
  p.right[line(12, 1)] = -1;
  p.right[line(9, 2)] = 1;
  std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[12 * 3 + 0], 0);
  EXPECT_EQ(o[12 * 3 + 1], kPlain);
  EXPECT_EQ(o[12 * 3 + 2], o[11 * 3 + 2]);
  ExpectLikeTwin(p);

  p = Plan(Blocks::kMixed, 2);
  p.right[line(11, 1)] = 2;
  o = mp3test::Outcome(p);
  EXPECT_EQ(o[6 + (12 - 3) * 3 + 1], 0);
  ExpectLikeTwin(p);
}

TEST(MpegAudioIntensity, RegionIsBoundedByTheHuffmanValuesHoweverSmallTheirLevel) {
  // Scale index 4 x 7 + 2 x 7 = 42 on the right channel's one line: far
  // below hearing, but a coded line, so its band stays out of the region.
  const uint16_t* sb = kShortBounds[4];
  IntensityPlan p = Plan(Blocks::kShort, 1);
  p.rightSubblockGain = 7;
  p.rightScale = 1;
  p.positions[10 * 3 + 0] = 7;
  p.right[size_t(3 * sb[10])] = 1;
  const std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[9 * 3 + 0], kPlain);
  EXPECT_EQ(o[11 * 3 + 0], 0);
  // The twin codes that line without the gains: a few LSB louder.
  ExpectLikeTwin(p, 4);
}

TEST(MpegAudioIntensity, MidSideCodesTheBandsOutsideTheRegion) {
  const uint16_t* lb = kLongBounds[4];
  IntensityPlan p = Plan(Blocks::kLong, 0);
  p.midSide = true;
  p.right[lb[4] + 2] = -3;  // side data up to band 4
  p.right[lb[1]] = 2;
  p.positions[9] = 7;
  for (int i = lb[21]; i < 576; ++i) p.left[size_t(i)] = 0;  // band 21 has no factor to carry the level
  const std::vector<int> o = mp3test::Outcome(p);
  EXPECT_EQ(o[4], kPlain);
  EXPECT_EQ(o[5], 0);
  EXPECT_EQ(o[9], kPlain);
  ExpectLikeTwin(p);
}

}  // namespace
}  // namespace mpegaudio
