// Frame decoding: the output format, stereo processing, seeking, the 16-bit
// conversion, and hostile input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "fakes/mp3_memory_fs.h"
#include "fakes/mp3_stream_builder.h"
#include "mpegaudio/mp3.h"
#include "platform/memory_file.h"

namespace mpegaudio {
namespace {

using mp3test::Append;
using mp3test::BitWriter;
using mp3test::BuildFrame;
using mp3test::FrameLayout;

// A frame whose channel 0 carries eight lines of value `level` in every
// granule (table 13); channel 1 is empty apart from scale factors written by
// `channel1` (which returns their bit count).
template <typename F>
FrameLayout ToneFrame(FrameLayout layout, int level, F channel1) {
  BitWriter w;
  const int granules = layout.version == 3 ? 2 : 1;
  const int channels = layout.mode == 3 ? 1 : 2;
  for (int gr = 0; gr < granules; ++gr)
    for (int ch = 0; ch < channels; ++ch) {
      mp3test::GranuleLayout& g = layout.gr[gr][ch];
      const int before = w.Bits();
      if (ch == 0) {
        g.bigValues = 4;
        g.globalGain = 180;  // well below full scale
        g.table[0] = 13;
        g.region0 = 15;
        g.region1 = 7;
        for (int i = 0; i < 4; ++i) w.PutPair(13, level, level);
      } else {
        channel1(w, g);
      }
      g.part23 = w.Bits() - before;
    }
  layout.mainData = w.Bytes();
  return layout;
}

FrameLayout ToneFrame(FrameLayout layout, int level = 1) {
  return ToneFrame(layout, level, [](BitWriter&, mp3test::GranuleLayout&) {});
}

std::vector<int16_t> DecodeAll(const std::string& data, int maxFrames = 100000) {
  platform::MemoryFile file(data.data(), data.size());
  TMP3 dec;
  MP3Info info;
  info.fileSize = uint32_t(data.size());
  dec.Scan(&file, &info);
  dec.Begin(&file);
  std::vector<int16_t> out;
  int16_t pcm[2304];
  for (int i = 0; i < maxFrames && !dec.EndOfFile(); ++i) {
    dec.ResetCounts();
    dec.SetOutput(pcm, 2304);
    dec.DecodeFrame();
    out.insert(out.end(), pcm, pcm + dec.SampleCount());
  }
  return out;
}

int Peak(const std::vector<int16_t>& pcm, int channel, int channels) {
  int peak = 0;
  for (size_t i = size_t(channel); i < pcm.size(); i += size_t(channels)) peak = std::max(peak, std::abs(int(pcm[i])));
  return peak;
}

TEST(MpegAudioPcm, ToPcm16RoundsHalfAwayAndSaturates) {
  EXPECT_EQ(ToPcm16(0.5f), 16384);
  EXPECT_EQ(ToPcm16(0.99999f), 32767);
  EXPECT_EQ(ToPcm16(1.0f), 32767);
  EXPECT_EQ(ToPcm16(-1.0f), -32768);
  EXPECT_EQ(ToPcm16(1.5f), 32767);
  EXPECT_EQ(ToPcm16(-7.0f), -32768);
  EXPECT_EQ(ToPcm16(3.6f / 32768), 4);
  EXPECT_EQ(ToPcm16(1.0f / 65536), 1);
  EXPECT_EQ(ToPcm16(-1.0f / 65536), -1);
  EXPECT_EQ(ToPcm16(0.99f / 65536), 0);
  EXPECT_EQ(ToPcm16(0.0f), 0);
  EXPECT_EQ(ToPcm16(-0.0f), 0);
  EXPECT_EQ(ToPcm16(2.5f / 32768), 3);
  EXPECT_EQ(ToPcm16(-2.5f / 32768), -3);
}

TEST(MpegAudioPcm, BlockConversionMatchesTheSingleOne) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> any(-1.2f, 1.2f);
  std::uniform_int_distribution<int> half(-40000, 40000);
  float x[32];
  int16_t block[32];
  for (int round = 0; round < 20000; ++round) {
    for (int i = 0; i < 32; ++i) {
      // Half-way points are where rounding mistakes show.
      x[i] = (i & 1) ? any(rng) : (float(half(rng)) + 0.5f) / 32768.0f;
    }
    if (round == 0) {
      // The largest floats below 2^-16 lie just under half a step: 0.
      const float below = std::nextafter(1.0f / 65536, 0.0f);
      const float edges[10] = {1.0f,         -1.0f,         0.99999f, 1e30f, -1e30f, 1.0f / 65536, -0.99f / 65536,
                               32767.5f / 32768, below, -below};
      for (int i = 0; i < 10; ++i) x[i] = edges[i];
    }
    ToPcm16Block(x, block);
    for (int i = 0; i < 32; ++i) ASSERT_EQ(block[i], ToPcm16(x[i])) << x[i];
  }
}

// Mono low-sampling-frequency frames whose count1 region holds `zeros`
// empty quadruples, then `ones` quadruples (1, 0, 0, 0) (table B: four code
// bits, one sign bit), with part2_3_length `part23`.
std::string QuadFrames(int bitrateIndex, int zeros, int ones, int part23) {
  FrameLayout f;
  f.version = 2;
  f.bitrateIndex = bitrateIndex;
  f.gr[0][0].globalGain = 180;
  f.gr[0][0].count1Table = 1;
  f.gr[0][0].part23 = part23;
  BitWriter w;
  for (int i = 0; i < zeros; ++i) w.Put(15, 4);
  for (int i = 0; i < ones; ++i) w.Put(15 - 8, 4), w.Put(i & 1, 1);
  f.mainData = w.Bytes();
  std::string data;
  for (int i = 0; i < 3; ++i) Append(&data, BuildFrame(f));
  return data;
}

TEST(MpegAudioDecode, QuadrupleCrossingTheEndOfTheDataIsDroppedAlone) {
  // 24 empty quadruples (96 bits), one kept at 96 ... 100, and one at
  // 101 ... 105 that crosses the end of the granule's data (103).
  const std::vector<int16_t> kept = DecodeAll(QuadFrames(2, 24, 1, 101));
  ASSERT_EQ(kept.size(), 3u * 576);
  EXPECT_GT(Peak(kept, 0, 1), 50);
  // At 16 kbit/s the frame's data runs on; at 8 kbit/s it holds 104 bits,
  // so the crossing quadruple also runs past the data held.
  EXPECT_EQ(DecodeAll(QuadFrames(2, 24, 2, 103)), kept);
  EXPECT_EQ(DecodeAll(QuadFrames(1, 24, 2, 103)), kept);
}

TEST(MpegAudioDecode, OutputLayoutFollowsTheChannels) {
  FrameLayout mono;
  const std::vector<int16_t> m = DecodeAll(mp3test::SilentStream(mono, 5));
  EXPECT_EQ(m.size(), 5u * 1152);
  FrameLayout stereo;
  stereo.mode = 0;
  const std::vector<int16_t> s = DecodeAll(mp3test::SilentStream(stereo, 5));
  EXPECT_EQ(s.size(), 5u * 2304);
  for (int16_t v : s) ASSERT_EQ(v, 0);  // empty granules are silence
  FrameLayout dual;
  dual.mode = 2;
  EXPECT_EQ(DecodeAll(mp3test::SilentStream(dual, 3)).size(), 3u * 2304);

  // A tone in the left channel of a stereo stream stays there.
  std::string data;
  stereo.mode = 0;
  for (int i = 0; i < 6; ++i) Append(&data, BuildFrame(ToneFrame(stereo, 3)));
  const std::vector<int16_t> t = DecodeAll(data);
  EXPECT_GT(Peak(t, 0, 2), 100);
  EXPECT_EQ(Peak(t, 1, 2), 0);
}

TEST(MpegAudioDecode, MidSideAndIntensityStereo) {
  auto decode = [](FrameLayout layout, int position, int slenCompress, int bits) {
    std::string data;
    for (int i = 0; i < 6; ++i)
      Append(&data, BuildFrame(ToneFrame(layout, 2, [&](BitWriter& w, mp3test::GranuleLayout& g) {
        g.sfc = slenCompress;
        for (int b = 0; b < bits; ++b) w.Put(uint32_t(position), 3);
      })));
    return DecodeAll(data);
  };
  FrameLayout joint;
  joint.mode = 1;

  // Mid/side with an empty side channel: left and right equal.
  joint.modeExtension = 2;
  std::vector<int16_t> ms = decode(joint, 0, 0, 0);
  EXPECT_GT(Peak(ms, 0, 2), 100);
  for (size_t i = 0; i < ms.size(); i += 2) ASSERT_EQ(ms[i], ms[i + 1]);

  // MPEG-1 intensity: scalefac_compress 4 gives 3-bit positions for bands
  // 0..10 (11 values) and none above.
  joint.modeExtension = 1;
  const std::vector<int16_t> p0 = decode(joint, 0, 4, 11);  // all to the right
  EXPECT_EQ(Peak(p0, 0, 2), 0);
  EXPECT_GT(Peak(p0, 1, 2), 100);
  const std::vector<int16_t> p3 = decode(joint, 3, 4, 11);  // the middle
  EXPECT_GT(Peak(p3, 0, 2), 50);
  for (size_t i = 0; i < p3.size(); i += 2) ASSERT_EQ(p3[i], p3[i + 1]);
  const std::vector<int16_t> p6 = decode(joint, 6, 4, 11);  // all to the left
  const std::vector<int16_t> p7 = decode(joint, 7, 4, 11);  // not intensity coded
  EXPECT_EQ(Peak(p6, 1, 2), 0);
  EXPECT_EQ(Peak(p7, 1, 2), 0);
  for (size_t i = 0; i < p6.size(); i += 2) ASSERT_LE(std::abs(p6[i] - p7[i]), 1);
  EXPECT_EQ(Peak(p6, 0, 2), Peak(p0, 1, 2));
}

TEST(MpegAudioDecode, LowSamplingFrequencyIntensityStereo) {
  // int_scalefac_compress 108: 3-bit positions for the first seven bands.
  auto decode = [](int position, int ioScale) {
    FrameLayout layout;
    layout.version = 2;
    layout.bitrateIndex = 8;
    layout.mode = 1;
    layout.modeExtension = 1;
    std::string data;
    for (int i = 0; i < 8; ++i)
      Append(&data, BuildFrame(ToneFrame(layout, 2, [&](BitWriter& w, mp3test::GranuleLayout& g) {
        g.sfc = 2 * 108 + ioScale;
        for (int b = 0; b < 7; ++b) w.Put(uint32_t(position), 3);
      })));
    return DecodeAll(data);
  };
  const std::vector<int16_t> p0 = decode(0, 0);  // both sides at full level
  EXPECT_GT(Peak(p0, 0, 2), 100);
  for (size_t i = 0; i < p0.size(); i += 2) ASSERT_EQ(p0[i], p0[i + 1]);
  const std::vector<int16_t> p2 = decode(2, 0);  // right at io^1 = 2^-0.25
  EXPECT_NEAR(double(Peak(p2, 1, 2)) / Peak(p2, 0, 2), std::pow(2.0, -0.25), 0.01);
  const std::vector<int16_t> p3 = decode(3, 1);  // left at io^2 = 2^-1
  EXPECT_NEAR(double(Peak(p3, 0, 2)) / Peak(p3, 1, 2), 0.5, 0.01);
  const std::vector<int16_t> p7 = decode(7, 0);  // the largest 3-bit value: not intensity
  EXPECT_GT(Peak(p7, 0, 2), 100);
  EXPECT_EQ(Peak(p7, 1, 2), 0);
}

TEST(MpegAudioDecode, SeekLandsOnTheTargetAsAnUnbrokenDecode) {
  std::string data;
  FrameLayout layout;
  layout.mode = 0;
  for (int i = 0; i < 30; ++i) Append(&data, BuildFrame(ToneFrame(layout, 1 + i % 3)));
  auto decodeFrames = [](TMP3& dec, int n) {
    std::vector<int16_t> out;
    int16_t pcm[2304];
    for (int i = 0; i < n; ++i) {
      dec.ResetCounts();
      dec.SetOutput(pcm, 2304);
      dec.DecodeFrame();
      out.insert(out.end(), pcm, pcm + dec.SampleCount());
    }
    return out;
  };
  platform::MemoryFile fa(data.data(), data.size()), fb(data.data(), data.size());
  TMP3 a, b;
  MP3Info ia, ib;
  ia.fileSize = ib.fileSize = uint32_t(data.size());
  a.Scan(&fa, &ia);
  b.Scan(&fb, &ib);
  a.Begin(&fa);
  const std::vector<int16_t> straight = decodeFrames(a, 20);  // leaves filterbank state behind
  a.Seek(10);
  const std::vector<int16_t> afterPlay = decodeFrames(a, 3);
  b.Begin(&fb);
  b.Seek(10);
  const std::vector<int16_t> fresh = decodeFrames(b, 3);
  EXPECT_EQ(afterPlay, fresh);
  // Nothing of the old position is heard, and the run-up before the target
  // makes its frames the very ones a straight decode gives.
  const std::vector<int16_t> frames10to12(straight.begin() + 10 * 2304, straight.begin() + 13 * 2304);
  EXPECT_EQ(fresh, frames10to12);
  // The first 32-sample block after the seek of a silent stream is silent.
  FrameLayout silent;
  const std::string quiet = mp3test::SilentStream(silent, 5);
  platform::MemoryFile fq(quiet.data(), quiet.size());
  ia.fileSize = uint32_t(quiet.size());
  a.Scan(&fq, &ia);
  a.Begin(&fq);
  a.Seek(2);
  for (int16_t v : decodeFrames(a, 1)) ASSERT_EQ(v, 0);
}

TEST(MpegAudioDecode, ReaderCrossesBufferBoundariesAndEndsCleanly) {
  std::string data(8192 * 2, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 7 + 3);
  platform::MemoryFile file(data.data(), data.size());
  StreamReader reader;
  reader.Start(&file, 0);
  EXPECT_EQ(reader.GetBits(4), (3u >> 4));
  EXPECT_EQ(reader.GetBits(4), 3u);
  for (int i = 1; i < 8191; ++i) ASSERT_EQ(reader.GetBits(8), uint8_t(i * 7 + 3)) << i;
  // 12 bits across the end of the first block.
  const uint32_t expect = (uint32_t(uint8_t(8191 * 7 + 3)) << 4) | (uint8_t(8192 * 7 + 3) >> 4);
  EXPECT_EQ(reader.GetBits(12), expect);
  EXPECT_EQ(reader.GetBits(4), uint32_t(uint8_t(8192 * 7 + 3) & 15));
  for (int i = 8193; i < 16384; ++i) ASSERT_EQ(reader.GetBits(8), uint8_t(i * 7 + 3)) << i;
  EXPECT_FALSE(reader.EndOfFile());
  EXPECT_EQ(reader.GetBits(8), 0u);  // the empty read after an exact multiple of 8192
  EXPECT_TRUE(reader.EndOfFile());

  // A stream of exactly 16384 bytes decodes all its frames.
  FrameLayout layout;
  layout.bitrateIndex = 0;
  layout.freeBytes = 512;
  const std::string frames = mp3test::SilentStream(layout, 32);
  ASSERT_EQ(frames.size(), 16384u);
  EXPECT_EQ(DecodeAll(frames).size(), 32u * 1152);
}

TEST(MpegAudioDecode, BadFramesAreDroppedAndDecodingGoesOn) {
  FrameLayout good = ToneFrame(FrameLayout(), 2);
  auto stream = [&](const FrameLayout& bad) {
    std::string data;
    for (int i = 0; i < 40; ++i) Append(&data, BuildFrame(i == 3 ? bad : good));
    return data;
  };
  // Window switching with block type 0; the reserved sampling field.
  FrameLayout noType = good;
  noType.gr[0][0].ws = 1;
  noType.gr[0][0].blockType = 0;
  {
    const std::string data = stream(noType);
    platform::MemoryFile file(data.data(), data.size());
    TMP3 dec;
    MP3Info info;
    info.fileSize = uint32_t(data.size());
    dec.Scan(&file, &info);
    dec.Begin(&file);
    int16_t pcm[2304];
    int produced = 0, errors = 0;
    for (int i = 0; i < 100 && !dec.EndOfFile(); ++i) {
      dec.ResetCounts();
      dec.SetOutput(pcm, 2304);
      const int r = dec.DecodeFrame();
      produced += r;
      if (dec.FrameError()) {
        ++errors;
        EXPECT_EQ(r, 0);
        EXPECT_EQ(dec.SampleCount(), 0u);
      }
    }
    EXPECT_EQ(errors, 1);
    // The rest of the 8192-byte block goes with the bad frame; later ones play.
    EXPECT_GT(produced, 3);
    EXPECT_LT(produced, 40);
  }
  // A header with the reserved sampling field is no header: only its frame goes.
  FrameLayout field3 = good;
  field3.samplingField = 3;
  EXPECT_EQ(DecodeAll(stream(field3)).size(), 39u * 1152);
}

TEST(MpegAudioDecode, CorruptSideInformationIsContained) {
  FrameLayout good = ToneFrame(FrameLayout(), 2);
  // big_values above 288: that channel is silent, the frame error is raised.
  FrameLayout big = good;
  big.gr[0][0].bigValues = 300;
  big.gr[1][0].bigValues = 511;
  // part2_3_length far beyond the data held; main_data_begin beyond the reservoir.
  FrameLayout longPart = good;
  longPart.gr[0][0].part23 = 4095;
  longPart.gr[0][0].bigValues = 288;
  longPart.gr[0][0].table[0] = 24;
  longPart.mainData.assign(400, 0xFF);
  FrameLayout farBack = good;
  farBack.mainDataBegin = 511;
  for (const FrameLayout& bad : {big, longPart, farBack}) {
    std::string data;
    for (int i = 0; i < 12; ++i) Append(&data, BuildFrame(i % 4 == 2 ? bad : good));
    const std::vector<int16_t> pcm = DecodeAll(data);
    EXPECT_GE(pcm.size(), 9u * 1152);
    EXPECT_LE(pcm.size(), 12u * 1152);
  }
  // A first frame that refers back before the stream produces nothing.
  std::string data;
  Append(&data, BuildFrame(farBack));
  EXPECT_EQ(DecodeAll(data).size(), 0u);
  // big_values above 288 leaves the granule silent rather than stale.
  data.clear();
  Append(&data, BuildFrame(big));
  const std::vector<int16_t> pcm = DecodeAll(data);
  ASSERT_EQ(pcm.size(), 1152u);
  for (int16_t v : pcm) ASSERT_EQ(v, 0);
}

TEST(MpegAudioDecode, SurvivesTruncationAndRandomDamage) {
  std::string data;
  FrameLayout stereo;
  stereo.mode = 1;
  stereo.modeExtension = 3;
  for (int i = 0; i < 20; ++i) {
    FrameLayout f = ToneFrame(i % 2 ? stereo : FrameLayout(), 1 + i % 4);
    if (i % 5 == 1) f.gr[0][0].ws = 1, f.gr[0][0].blockType = 2, f.gr[0][0].mixed = i % 2;
    Append(&data, BuildFrame(f));
  }
  for (size_t cut = 0; cut < data.size(); cut += 97) DecodeAll(data.substr(0, cut));
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    std::string damaged = data;
    for (int k = 0; k < 20; ++k) damaged[rng() % damaged.size()] = char(rng());
    DecodeAll(damaged);
  }
  SUCCEED();
}

}  // namespace
}  // namespace mpegaudio
