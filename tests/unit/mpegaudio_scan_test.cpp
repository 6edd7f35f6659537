// The open-time scan, seeking and the main window's file check.
#include <gtest/gtest.h>

#include "fakes/mp3_memory_fs.h"
#include "fakes/mp3_stream_builder.h"
#include "mpegaudio/check.h"
#include "mpegaudio/mp3.h"

namespace mpegaudio {
namespace {

using mp3test::Append;
using mp3test::BuildFrame;
using mp3test::FrameLayout;

struct Scanned {
  TMP3 dec;
  MP3Info info;
  std::unique_ptr<mp3test::TracingFile> file;
  explicit Scanned(const std::string& data) : file(new mp3test::TracingFile(data)) {
    info.fileSize = uint32_t(data.size());
    dec.Scan(file.get(), &info);
  }
};

// Frames with LAME's padding pattern for 44.1 kHz 128 kbit/s (417 or 418 bytes).
std::string Cbr128(int frames) {
  std::string s;
  FrameLayout layout;
  int remainder = 0;
  for (int i = 0; i < frames; ++i) {
    remainder += 128 * 144000 % 44100;
    layout.padding = remainder >= 44100 ? 1 : 0;
    if (layout.padding) remainder -= 44100;
    Append(&s, BuildFrame(layout));
  }
  return s;
}

TEST(MpegAudioScan, ConstantBitrateStopsAtTheHundredthFrameAndSeeksProportionally) {
  const std::string data = Cbr128(300);
  Scanned s(data);
  EXPECT_EQ(s.info.sampleRate, 44100u);
  EXPECT_EQ(s.info.usPerFrame, 26122u);
  EXPECT_EQ(s.dec.TotalFrames(), 300u);  // the mean length counts the padding bytes
  EXPECT_EQ(s.dec.Stream().TableStep(), -1);
  EXPECT_EQ(s.info.lengthMs, uint32_t(300 * 26122 / 1000.0));
  EXPECT_EQ(s.file->lastSeek, 0u);  // left at the start
}

TEST(MpegAudioScan, VariableBitrateVisitsEveryFrameAndTablesEachStart) {
  std::string data;
  std::vector<uint32_t> starts;
  FrameLayout layout;
  for (int i = 0; i < 250; ++i) {
    layout.bitrateIndex = 9 + (i / 50) % 3;  // runs of 50 frames: never 100 alike
    starts.push_back(uint32_t(data.size()));
    Append(&data, BuildFrame(layout));
  }
  Scanned s(data);
  EXPECT_EQ(s.dec.TotalFrames(), 250u);
  EXPECT_EQ(s.dec.Stream().TableStep(), 1);
  ASSERT_EQ(s.dec.Stream().TableCount(), 250u);
  for (uint32_t i = 0; i < 250; ++i) EXPECT_EQ(s.dec.Stream().TableEntry(i), starts[i]) << i;
  s.dec.Begin(s.file.get());
  s.dec.Seek(250);  // past the end: nothing left to play
  EXPECT_EQ(s.file->lastSeek, data.size());
}

TEST(MpegAudioScan, LowSamplingFrequencyFramesHaveOneGranule) {
  FrameLayout layout;
  layout.version = 2;  // MPEG-2, 22050 Hz
  layout.bitrateIndex = 8;
  layout.mode = 1;
  const std::string data = mp3test::SilentStream(layout, 40);
  Scanned s(data);
  EXPECT_EQ(s.info.sampleRate, 22050u);
  EXPECT_EQ(s.info.usPerFrame, 26122u);
  EXPECT_EQ(s.dec.TotalFrames(), 40u);
  EXPECT_TRUE(s.dec.Stream().Lsf());
  s.dec.Begin(s.file.get());
  int16_t pcm[4608];
  s.dec.SetOutput(pcm, 4608);
  EXPECT_EQ(s.dec.DecodeFrame(), 1);
  EXPECT_EQ(s.dec.SampleCount(), 1152u);  // one granule, two channels
  EXPECT_EQ(s.dec.GranuleCount(), 2u);
  StreamReader reader;
  reader.Scan(s.file.get(), s.info.fileSize);
  reader.Start(s.file.get(), reader.AudioStart());
  ASSERT_EQ(reader.NextFrame(), StreamReader::Frame::kReady);
  EXPECT_EQ(reader.Header().granules, 1);
}

TEST(MpegAudioScan, BitrateIndex15CountsAsTheHighestRate) {
  FrameLayout layout;
  layout.bitrateIndex = 15;
  EXPECT_EQ(mp3test::FrameLength(layout), 320 * 144000 / 44100);
  const std::string data = mp3test::SilentStream(layout, 10);
  Scanned s(data);
  EXPECT_EQ(s.dec.TotalFrames(), 10u);
  EXPECT_EQ(s.dec.Stream().FirstFrameLength(), uint32_t(320 * 144000 / 44100));
  layout.version = 2;
  EXPECT_EQ(mp3test::FrameLength(layout), 160 * 144000 / 22050 / 2);
}

TEST(MpegAudioScan, SkipsLeadingTagsAndJunkBetweenFrames) {
  std::string data = "ID3\x03";
  data.append(600, '\x11');
  FrameLayout layout;
  for (int i = 0; i < 20; ++i) {
    Append(&data, BuildFrame(layout));
    if (i % 3 == 1) data.append("TAG\xFF\x00junk", 10);  // a 0xFF that is no header
  }
  Scanned s(data);
  EXPECT_EQ(s.dec.TotalFrames(), 20u);
  s.dec.Begin(s.file.get());
  int16_t pcm[2304];
  int produced = 0;
  for (int guard = 0; guard < 100 && !s.dec.EndOfFile(); ++guard) {
    s.dec.ResetCounts();
    s.dec.SetOutput(pcm, 2304);
    produced += s.dec.DecodeFrame();
  }
  EXPECT_EQ(produced, 20);
}

TEST(MpegAudioScan, ProtectionBitMayChangeBetweenFrames) {
  std::string data;
  FrameLayout layout;
  for (int i = 0; i < 12; ++i) {
    layout.crc = i % 2 == 1;
    Append(&data, BuildFrame(layout));
  }
  Scanned s(data);
  EXPECT_EQ(s.dec.TotalFrames(), 12u);
}

TEST(MpegAudioScan, FreeFormatUsesTheDistanceOfTheFirstTwoHeaders) {
  FrameLayout layout;
  layout.bitrateIndex = 0;
  layout.freeBytes = 300;
  std::string data;
  for (int i = 0; i < 40; ++i) {
    layout.padding = i % 3 == 1;
    // The first frame's data holds a sync word of another bitrate, which
    // must measure neither the first header nor the frame length.
    layout.mainData.clear();
    if (i == 0) layout.mainData = {1, 2, 0xFF, 0xFB, 0x90, 0x00};
    Append(&data, BuildFrame(layout));
  }
  Scanned s(data);
  EXPECT_EQ(s.dec.Stream().FirstFrameLength(), 300u);
  EXPECT_EQ(s.dec.TotalFrames(), 40u);
  // Each frame is read at the measured length, its padding byte included.
  StreamReader reader;
  reader.Scan(s.file.get(), s.info.fileSize);
  reader.Start(s.file.get(), reader.AudioStart());
  int frames = 0;
  for (; frames < 100 && reader.NextFrame() != StreamReader::Frame::kNone; ++frames)
    EXPECT_EQ(reader.Header().frameBytes, 300 + (frames % 3 == 1)) << frames;
  EXPECT_EQ(frames, 40);
  s.dec.Begin(s.file.get());
  int16_t pcm[2304];
  int produced = 0;
  for (int guard = 0; guard < 100 && !s.dec.EndOfFile(); ++guard) {
    s.dec.ResetCounts();
    s.dec.SetOutput(pcm, 2304);
    produced += s.dec.DecodeFrame();
  }
  EXPECT_EQ(produced, 40);
}

TEST(MpegAudioScan, FreeFormatLongerThanTheTableStillDecodes) {
  FrameLayout layout;
  layout.bitrateIndex = 0;
  layout.freeBytes = 60;
  const int frames = 31000;
  const std::string data = mp3test::SilentStream(layout, frames);
  Scanned s(data);
  EXPECT_EQ(s.dec.TotalFrames(), uint32_t(frames));
  EXPECT_LE(s.dec.Stream().TableCount(), 30000u);
  s.dec.Begin(s.file.get());
  int16_t pcm[2304];
  int produced = 0;
  for (int guard = 0; guard < frames + 10 && !s.dec.EndOfFile(); ++guard) {
    s.dec.ResetCounts();
    s.dec.SetOutput(pcm, 2304);
    produced += s.dec.DecodeFrame();
  }
  EXPECT_EQ(produced, frames);
}

class CheckMP3FileTest : public ::testing::Test {
 protected:
  int Check(const std::string& path) { return CheckMP3File(fs, dec, path, &info, &message); }
  mp3test::MemoryFileSystem fs;
  TMP3 dec;
  MP3Info info;
  std::string message;
};

TEST_F(CheckMP3FileTest, AcceptsALayer3FileAndFillsTheInfo) {
  fs.files["a.mp3"] = Cbr128(50);
  EXPECT_EQ(Check("a.mp3"), 1);
  EXPECT_EQ(info.fileSize, fs.files["a.mp3"].size());
  EXPECT_EQ(info.sampleRate, 44100u);
  EXPECT_EQ(info.usPerFrame, 26122u);
  EXPECT_EQ(info.lengthMs, 50u * 26122 / 1000);
}

TEST_F(CheckMP3FileTest, RefusesWithTheUsersMessages) {
  EXPECT_EQ(Check("C:\\曲\\なし.mp3"), 0);
  EXPECT_EQ(message, "ファイル 'C:\\曲\\なし.mp3' が開けないため、演奏は行いません。");

  FrameLayout layer2;
  layer2.layer = 2;
  fs.files["l2.mp3"] = mp3test::SilentStream(layer2, 30);
  EXPECT_EQ(Check("l2.mp3"), 0);
  EXPECT_EQ(message, "演奏可能なデータがありません。");

  for (const char* name : {"empty", "zeros", "ff"}) fs.files[name] = "";
  fs.files["zeros"].assign(20000, '\0');
  fs.files["ff"].assign(20000, '\xFF');
  for (const char* name : {"empty", "zeros", "ff"}) {
    message.clear();
    EXPECT_EQ(Check(name), 0) << name;
    EXPECT_EQ(message, "演奏可能なデータがありません。") << name;
  }

  // MPEG-2.5 is recognised and refused by its rate.
  FrameLayout mpeg25;
  mpeg25.version = 0;
  mpeg25.bitrateIndex = 4;
  const char* expected[3] = {"サンプリング周波数が １１．０２５［ｋＨｚ］の曲は演奏できません。",
                             "サンプリング周波数が １２［ｋＨｚ］の曲は演奏できません。",
                             "サンプリング周波数が ８［ｋＨｚ］の曲は演奏できません。"};
  for (int field = 0; field < 3; ++field) {
    mpeg25.samplingField = field;
    fs.files["25.mp3"] = mp3test::SilentStream(mpeg25, 30);
    EXPECT_EQ(Check("25.mp3"), 0) << field;
    EXPECT_EQ(message, expected[field]);
  }
}

TEST_F(CheckMP3FileTest, FalseSyncsInOtherDataAreNotTakenForAStream) {
  // Layer II frames with noise for payload: the 0xFF bytes in it now and
  // then look like Layer III headers.
  FrameLayout layer2;
  layer2.layer = 2;
  layer2.mode = 0;
  std::string data;
  uint32_t seed = 1;
  int lookalikes = 0;
  for (int i = 0; i < 200; ++i) {
    layer2.mainData.resize(400);
    for (uint8_t& byte : layer2.mainData) {
      seed = seed * 1103515245u + 12345u;
      byte = uint8_t((seed >> 16) % 7 == 0 ? 0xFF : (seed >> 8));
    }
    Append(&data, BuildFrame(layer2));
  }
  for (size_t i = 0; i + 1 < data.size(); ++i)
    lookalikes += uint8_t(data[i]) == 0xFF && (uint8_t(data[i + 1]) & 0xE6) == 0xE2;
  EXPECT_GT(lookalikes, 20);
  fs.files["song.mp2"] = data;
  EXPECT_EQ(Check("song.mp2"), 0);
  EXPECT_EQ(message, "演奏可能なデータがありません。");

  // A lone header-like pair before real frames is passed over.
  std::string stream = "\xFF\xFB\x90\x00 then some bytes";
  stream += Cbr128(30);
  fs.files["x.mp3"] = stream;
  EXPECT_EQ(Check("x.mp3"), 1);
  EXPECT_EQ(info.lengthMs, 30u * 26122 / 1000);
  // A file of one frame is still a file.
  fs.files["one.mp3"] = Cbr128(1);
  EXPECT_EQ(Check("one.mp3"), 1);
}

TEST_F(CheckMP3FileTest, MessageFitsTheWindowsBuffer) {
  const std::string path(1100, 'a');
  EXPECT_EQ(Check(path), 0);
  EXPECT_LE(message.size(), 1023u);
}

}  // namespace
}  // namespace mpegaudio
