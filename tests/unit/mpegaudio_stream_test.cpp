// Files as people have them: tags around the frames, a header frame with the
// encoder's delay and padding, seeks into real data, songs joined end to end.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "fakes/mp3_stream_builder.h"
#include "mpegaudio/mp3.h"
#include "platform/memory_file.h"

namespace mpegaudio {
namespace {

using mp3test::Append;
using mp3test::BuildFrame;
using mp3test::FrameLayout;

struct Decoded {
  uint32_t totalFrames = 0;
  uint32_t lengthMs = 0;
  int channels = 0;
  std::vector<int16_t> pcm;
};

Decoded Decode(const std::string& data, bool decode = true) {
  platform::MemoryFile file(data.data(), data.size());
  TMP3 dec;
  MP3Info info;
  info.fileSize = uint32_t(data.size());
  dec.Scan(&file, &info);
  Decoded d;
  d.totalFrames = dec.TotalFrames();
  d.lengthMs = info.lengthMs;
  d.channels = dec.Channels();
  if (!decode) return d;
  dec.Begin(&file);
  int16_t pcm[2304];
  for (int guard = 0; guard < 200000 && !dec.EndOfFile(); ++guard) {
    dec.ResetCounts();
    dec.SetOutput(pcm, 2304);
    dec.DecodeFrame();
    d.pcm.insert(d.pcm.end(), pcm, pcm + dec.SampleCount());
  }
  return d;
}

std::string Synchsafe(uint32_t n) {
  return {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
}
std::string Le32(uint32_t n) { return {char(n), char(n >> 8), char(n >> 16), char(n >> 24)}; }
std::string Be32(uint32_t n) { return {char(n >> 24), char(n >> 16), char(n >> 8), char(n)}; }

// An ID3v2.4 tag whose body holds real frames, as a picture of any bytes
// may: only the tag's size keeps them out of the count.
std::string Id3v2(size_t bodySize, uint8_t flags) {
  FrameLayout layout;
  std::string body;
  while (body.size() < bodySize) Append(&body, BuildFrame(layout));
  body.resize(bodySize);
  const size_t footer = (flags & 0x10) ? 10 : 0;
  std::string tag = std::string("ID3\x04\x00", 5) + char(flags) + Synchsafe(uint32_t(body.size())) + body;
  if (footer) tag += std::string("3DI\x04\x00", 5) + char(flags) + Synchsafe(uint32_t(body.size()));
  return tag;
}

std::string Id3v1() { return "TAG" + std::string(125, '\xFF'); }

std::string Ape() {
  const std::string items(200, '\xFB');
  auto block = [&](uint32_t flags) {
    return "APETAGEX" + Le32(2000) + Le32(uint32_t(items.size()) + 32) + Le32(1) + Le32(flags) + std::string(8, '\0');
  };
  return block(0xA0000000u) + items + block(0x80000000u);
}

std::string Lyrics3() {
  const std::string text = "LYRICSBEGIN" + std::string("IND00003110") + std::string(40, '\xFF');
  char size[7];
  std::snprintf(size, sizeof size, "%06zu", text.size());
  return text + size + "LYRICS200";
}

// 44.1 kHz frames of one bitrate with LAME's padding pattern.
std::string Cbr(int frames, int bitrateIndex = 9) {
  std::string s;
  FrameLayout layout;
  layout.bitrateIndex = bitrateIndex;
  const int bytesTimes = int(kBitrates[0][bitrateIndex]) * 144000;
  int remainder = 0;
  for (int i = 0; i < frames; ++i) {
    remainder += bytesTimes % 44100;
    layout.padding = remainder >= 44100 ? 1 : 0;
    if (layout.padding) remainder -= 44100;
    Append(&s, BuildFrame(layout));
  }
  return s;
}

// Variable bitrate after a long run of one bitrate (as for leading silence).
std::string VbrAfterSilence(int silent, int varied) {
  std::string s = Cbr(silent);
  FrameLayout layout;
  for (int i = 0; i < varied; ++i) {
    layout.bitrateIndex = 10 + i % 4;
    Append(&s, BuildFrame(layout));
  }
  return s;
}

// A Xing (or Info) frame: count, bytes, table and the encoder's tag.
std::string HeaderFrame(const char* magic, uint32_t frames, const std::vector<uint8_t>& toc, uint32_t delay,
                        uint32_t padding, uint32_t bytes = 0) {
  std::string body = std::string(magic, 4) + Be32(toc.empty() ? 0x0B : 0x0F) + Be32(frames) + Be32(bytes);
  if (!toc.empty()) body.append(toc.begin(), toc.end());
  body += Be32(0);  // quality
  std::string lame = "LAME3.100" + std::string(12, '\0');
  lame += char(delay >> 4);
  lame += char(((delay & 15) << 4) | (padding >> 8));
  lame += char(padding & 0xFF);
  body += lame;
  FrameLayout layout;  // mono: the tag sits after 17 bytes of side information
  layout.mainData.assign(body.begin(), body.end());
  std::string s;
  Append(&s, BuildFrame(layout));
  return s;
}

std::vector<uint8_t> LinearToc() {
  std::vector<uint8_t> toc(100);
  for (int i = 0; i < 100; ++i) toc[size_t(i)] = uint8_t(i * 256 / 100);
  return toc;
}

TEST(MpegAudioStream, TagsAndJunkAroundTheFramesAreNotCounted) {
  const std::string cbr = Cbr(400);
  const std::string vbr = VbrAfterSilence(150, 120);
  struct Wrap {
    const char* name;
    std::string before, after;
  };
  const std::vector<Wrap> wraps = {
      {"300 KB picture, footer", Id3v2(300000, 0x10), ""},
      {"unsynchronised tag", Id3v2(5000, 0x80), ""},
      {"two tags and junk", Id3v2(700, 0) + Id3v2(300, 0) + std::string(333, '\x11'), ""},
      {"ID3v1", "", Id3v1()},
      {"APE and ID3v1", "", Ape() + Id3v1()},
      {"Lyrics3 and ID3v1", Id3v2(2000, 0), Lyrics3() + Id3v1()},
  };
  for (const Wrap& w : wraps) {
    const Decoded c = Decode(w.before + cbr + w.after, false);
    EXPECT_NEAR(double(c.totalFrames), 400, 1) << w.name;
    EXPECT_NEAR(double(c.lengthMs), 400 * 26.122, 26.2) << w.name;
    const Decoded v = Decode(w.before + vbr + w.after);
    EXPECT_EQ(v.totalFrames, 270u) << w.name;
    EXPECT_EQ(v.pcm.size(), 270u * 1152) << w.name;
  }
}

TEST(MpegAudioStream, HeaderFrameGivesTheCountAndTheEncodersDelayAndPadding) {
  const std::string audio = VbrAfterSilence(200, 30);
  const uint32_t samples = 230 * 1152 - 576 - 1000;
  // The header frame is neither counted nor heard; delay (with the
  // decoder's 529) and padding are cut.
  const Decoded d = Decode(HeaderFrame("Xing", 230, LinearToc(), 576, 1000) + audio);
  EXPECT_EQ(d.totalFrames, 230u);
  EXPECT_EQ(d.pcm.size(), samples);
  EXPECT_EQ(d.lengthMs, samples * 1000ull / 44100);
  const Decoded plain = Decode(audio);
  ASSERT_EQ(plain.pcm.size(), 230u * 1152);
  EXPECT_TRUE(std::equal(d.pcm.begin(), d.pcm.end(), plain.pcm.begin() + 576 + 529));
  // Without any header the long run of one bitrate is not taken for CBR.
  EXPECT_EQ(plain.totalFrames, 230u);
}

TEST(MpegAudioStream, BadHeadersAndTagsFallBackToTheScan) {
  const std::string audio = VbrAfterSilence(200, 30);
  std::vector<uint8_t> backwards = LinearToc();
  backwards[50] = 3;
  const std::vector<std::string> inputs = {
      HeaderFrame("Xing", 0, LinearToc(), 576, 1000) + audio,             // no count
      HeaderFrame("Xing", 5000000, LinearToc(), 576, 1000) + audio,       // more than the bytes hold
      HeaderFrame("Xing", 230, backwards, 576, 529) + audio,              // table goes backwards
      HeaderFrame("Xing", 230, LinearToc(), 4095, 4095).substr(0, 30),    // cut short
      HeaderFrame("Xing", 460, LinearToc(), 576, 1000, 2 * 230 * 418) + audio,  // file cut in half
      std::string("ID3\x04\x00\x00", 6) + Synchsafe(9000000) + audio,     // tag past the end
      std::string("ID3\x03\x00\x00\x7F\x7F", 8) + audio,                  // tag header cut off
      audio + "APETAGEX" + Le32(2000) + Le32(0x7FFFFFFF) + std::string(16, '\0'),
      audio + Lyrics3().substr(20),                                       // no LYRICSBEGIN
  };
  for (size_t i = 0; i < inputs.size(); ++i) {
    const Decoded d = Decode(inputs[i]);
    EXPECT_LE(d.totalFrames, 230u) << i;
    if (i != 3) {
      EXPECT_GE(d.totalFrames, 229u) << i;
      EXPECT_GE(d.pcm.size(), 229u * 1152) << i;
    }
    EXPECT_LE(d.pcm.size(), 230u * 1152) << i;
    EXPECT_LE(d.lengthMs, 230 * 26123u / 1000) << i;
  }
}

TEST(MpegAudioStream, FramesInStepArePlayedWhateverFollowsThem) {
  const std::string audio = Cbr(5);
  for (const std::string& after : {std::string(1, '\0'), std::string(32, '\0'), std::string("\x12\xFF\x00junk-junk-junk"),
                                   "APETAGEX" + Le32(2000) + Le32(0x7FFFFFFF) + std::string(5, '\0')}) {
    const Decoded d = Decode(audio + after);
    EXPECT_EQ(d.totalFrames, 5u) << after.size();
    EXPECT_EQ(d.pcm.size(), 5u * 1152) << after.size();
  }
  // A frame cut short is not played.
  EXPECT_EQ(Decode(audio.substr(0, audio.size() - 10)).pcm.size(), 4u * 1152);
}

TEST(MpegAudioStream, CutFileLosesOnlyTheEncodersDelay) {
  const std::string audio = VbrAfterSilence(200, 30);
  const Decoded plain = Decode(audio);
  ASSERT_EQ(plain.pcm.size(), 230u * 1152);
  // The header counts 230 frames; 119 and a bit of the next are left.
  const std::string cut = audio.substr(0, 49737 + 100);
  const Decoded d = Decode(HeaderFrame("Xing", 230, LinearToc(), 576, 1000, 230 * 418) + cut);
  const uint32_t left = 119 * 1152 - 576 - 529;
  EXPECT_EQ(d.pcm.size(), left);
  EXPECT_EQ(d.lengthMs, left * 1000ull / 44100);
  EXPECT_TRUE(std::equal(d.pcm.begin(), d.pcm.end(), plain.pcm.begin() + 576 + 529));

  // Delay and padding beyond the audio: what is left between them is heard,
  // nothing when they meet.
  const std::string three = Cbr(3);
  EXPECT_EQ(Decode(HeaderFrame("Info", 3, {}, 576, 2500) + three).pcm.size(), 3u * 1152 + 529 - 2500 - 1105);
  const Decoded none = Decode(HeaderFrame("Info", 3, {}, 2000, 2500) + three);
  EXPECT_EQ(none.pcm.size(), 0u);
  EXPECT_EQ(none.lengthMs, 0u);
}

TEST(MpegAudioStream, SongsJoinedAfterATaggedOneAllPlay) {
  const std::string audio = VbrAfterSilence(200, 30);
  const Decoded d = Decode(HeaderFrame("Xing", 230, LinearToc(), 576, 1000, 230 * 418) + audio + audio);
  // Only the first song's delay goes; its padding lies inside the stream.
  EXPECT_EQ(d.totalFrames, 460u);
  EXPECT_EQ(d.pcm.size(), 460u * 1152 - 576 - 529);
  EXPECT_EQ(d.lengthMs, (460u * 1152 - 576 - 529) * 1000ull / 44100);
}

TEST(MpegAudioStream, SamplingRateChangeIsCountedAsWrittenAtTheOpenedRate) {
  std::string audio = Cbr(30);
  FrameLayout at48;
  at48.samplingField = 1;
  for (int i = 0; i < 30; ++i) Append(&audio, BuildFrame(at48));
  const Decoded d = Decode(audio);
  EXPECT_EQ(d.totalFrames, 60u);
  EXPECT_EQ(d.pcm.size(), 60u * 1152);
  EXPECT_EQ(d.lengthMs, 60u * 26122 / 1000);
}

TEST(MpegAudioStream, FirstHeaderSearchIsBoundedOnCraftedInput) {
  // Every fourth byte starts a header whose successor is missing; checking
  // each one near the end of a read block costs a re-read.
  std::string data;
  while (data.size() < (4u << 20)) data.append("\xFF\xFB\x90\x00", 4);
  const auto t0 = std::chrono::steady_clock::now();
  const Decoded d = Decode(data, false);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(d.lengthMs, 0u);
  EXPECT_LT(seconds, 0.5);
}

// Real encoder output, made with the tools the build machine has.
class LameFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("command -v lame >/dev/null && command -v sox >/dev/null") != 0) return;
    dir_ = ::testing::TempDir() + "corvella_lame_" + std::to_string(::getpid());
    const std::string script =
        "set -e; mkdir -p " + dir_ + "; cd " + dir_ +
        "; sox -n -r 44100 -c 2 -b 16 long.wav synth 30.04 sine 300-3000 pinknoise vol 0.4"
        "; sox -n -r 44100 -c 2 -b 16 short.wav synth 8 sine 200-6000 whitenoise vol 0.4 tremolo 7"
        "; sox short.wav -c 1 mono.wav trim 0 1.5; sox short.wav part.wav trim 2 1.5"
        "; (printf '\\377\\330\\377\\340\\000\\020JFIF\\000'; head -c 300000 /dev/urandom) > pic.jpg"
        "; lame --quiet -b 128 --ti pic.jpg long.wav tagged.mp3"
        "; lame --quiet -t -b 128 long.wav untagged.mp3"
        "; lame --quiet -b 128 short.wav cbr.mp3"
        "; lame --quiet -V 2 short.wav vbr.mp3"
        "; lame --quiet -t -V 5 short.wav vbr_untagged.mp3"
        "; lame --quiet -t -m m -b 64 mono.wav part_mono.mp3"
        "; lame --quiet -t -m j -b 128 part.wav part_stereo.mp3"
        " > /dev/null 2>&1";
    available_ = std::system(("sh -c \"" + script + "\"").c_str()) == 0;
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
  }
  void SetUp() override {
    if (!available_) GTEST_SKIP() << "lame or sox missing";
  }
  static std::string Read(const std::string& name) {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string dir_;
  static bool available_;
};
std::string LameFiles::dir_;
bool LameFiles::available_ = false;

TEST_F(LameFiles, PictureTagLengthAndGaplessSamples) {
  const Decoded tagged = Decode(Read("tagged.mp3"));
  const uint32_t source = 1324764;  // 30.04 s at 44.1 kHz
  EXPECT_NEAR(double(tagged.lengthMs), 30040, 26.2);
  EXPECT_EQ(tagged.pcm.size(), size_t(source) * 2);
  // Without the header frame nothing is cut; with it, the same frames less
  // the encoder's delay and the decoder's.
  const Decoded untagged = Decode(Read("untagged.mp3"));
  EXPECT_EQ(untagged.pcm.size(), size_t(untagged.totalFrames) * 2304);
  EXPECT_NEAR(double(untagged.lengthMs), 30040, 2 * 26.2);
  ASSERT_GT(untagged.pcm.size(), tagged.pcm.size() + 2 * 1105);
  EXPECT_TRUE(std::equal(tagged.pcm.begin(), tagged.pcm.end(), untagged.pcm.begin() + 2 * (576 + 529)));
}

TEST_F(LameFiles, SeeksStartExactlyWhereAnUnbrokenDecodeIs) {
  for (const char* name : {"cbr.mp3", "vbr.mp3", "vbr_untagged.mp3"}) {
    const std::string data = Read(name);
    const Decoded whole = Decode(data);
    platform::MemoryFile file(data.data(), data.size());
    TMP3 dec;
    MP3Info info;
    info.fileSize = uint32_t(data.size());
    dec.Scan(&file, &info);
    dec.Begin(&file);
    const uint32_t frames = dec.TotalFrames();
    // Offset of frame k in the whole decode (the start is trimmed).
    const long skip = std::string(name) == "vbr_untagged.mp3" ? 0 : 576 + 529;
    const bool coarse = std::string(name) == "vbr.mp3";  // its header frame's table places seeks
    // The seeks must rebuild a reservoir that the frames really use.
    bool reservoirUsed = false;
    StreamReader reader;
    reader.Scan(&file, info.fileSize);
    reader.Start(&file, reader.AudioStart());
    while (!reservoirUsed && reader.NextFrame() != StreamReader::Frame::kNone)
      reservoirUsed = reader.Side().main_data_begin != 0;
    for (int t = 0; t < 200; ++t) {
      const uint32_t target = 3 + uint32_t(t) * (frames - 10) / 200;
      dec.Seek(int32_t(target));
      std::vector<int16_t> out;
      int16_t pcm[2304];
      for (int i = 0; i < 40 && out.size() < 3 * 2304 && !dec.EndOfFile(); ++i) {
        dec.ResetCounts();
        dec.SetOutput(pcm, 2304);
        dec.DecodeFrame();
        out.insert(out.end(), pcm, pcm + dec.SampleCount());
      }
      ASSERT_GE(out.size(), 3u * 2304) << name << " " << target;
      auto at = [&](long frame) { return (frame * 1152 - skip) * 2; };
      long found = -1;
      const long spread = coarse ? long(frames) / 50 + 2 : 0;
      for (long g = long(target) - spread; g <= long(target) + spread && found < 0; ++g)
        if (g > 0 && at(g) + long(out.size()) <= long(whole.pcm.size()) &&
            std::equal(out.begin(), out.end(), whole.pcm.begin() + at(g)))
          found = g;
      EXPECT_GE(found, 0) << name << ": seek to " << target << " is not an unbroken decode";
    }
    EXPECT_TRUE(reservoirUsed) << name;
  }
}

TEST_F(LameFiles, AnyStereoPartOpensStereoAndDoublesTheMonoFrames) {
  const std::string mono = Read("part_mono.mp3"), stereo = Read("part_stereo.mp3");
  const Decoded m = Decode(mono), s = Decode(stereo);
  const Decoded msm = Decode(mono + stereo + mono);
  ASSERT_EQ(m.channels, 1);  // mono alone stays mono
  ASSERT_EQ(s.channels, 2);
  EXPECT_EQ(msm.channels, 2);
  ASSERT_EQ(msm.pcm.size(), 2 * m.pcm.size() * 2 + s.pcm.size());
  // Both channels carry the mono songs; the stereo one is as decoded alone
  // once the filterbank has taken it in.
  for (size_t i = 0; i < m.pcm.size(); ++i) {
    ASSERT_EQ(msm.pcm[2 * i], m.pcm[i]) << i;
    ASSERT_EQ(msm.pcm[2 * i + 1], m.pcm[i]) << i;
  }
  const size_t from = 2 * m.pcm.size();
  int worst = 0;
  for (size_t i = 2 * 2304; i < s.pcm.size(); ++i) worst = std::max(worst, std::abs(s.pcm[i] - msm.pcm[from + i]));
  EXPECT_LE(worst, 1);
  for (size_t i = from + s.pcm.size(); i < msm.pcm.size(); i += 2) ASSERT_EQ(msm.pcm[i], msm.pcm[i + 1]) << i;
}

}  // namespace
}  // namespace mpegaudio
