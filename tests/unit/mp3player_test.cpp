// The wave player's buffers and the decoding worker, against the fake device.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "mp3player_rig.h"
#include "platform/memory_file.h"

using namespace mpegaudio;

namespace {

// Songs shorter than a buffer, of exactly one to four buffers, and with a
// partial last buffer all play every sample once, in full buffers but the
// last, and end with the success notice after the device and memory are
// given back.
TEST(Mp3Player, EverySongLengthPlaysOutAndEndsWithSuccess) {
  for (int frames : {1, 10, 32, 64, 96, 128, 200}) {
    SCOPED_TRACE(frames);
    PlayerRig rig;
    rig.Load(SilentFrames(frames));
    ASSERT_EQ(1, rig.Start()) << rig.message;
    EXPECT_EQ(0x5150u, rig.info.waveOut);
    EXPECT_EQ(kStatePlaying, rig.control.PlayState());
    EXPECT_EQ(1, rig.host.starts);
    rig.RunWorker();

    EXPECT_EQ(uint64_t(frames) * FrameBytes(), rig.WrittenTotal());
    for (size_t i = 0; i + 1 < rig.out.writtenLengths.size(); ++i)
      EXPECT_EQ(kFullBuffer, rig.out.writtenLengths[i]);
    EXPECT_GT(rig.out.writtenLengths.back(), 0u);  // no empty buffer queued
    EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
    EXPECT_EQ(0, rig.player.Playing());
    EXPECT_EQ(kCommandStop, rig.control.Command());
    rig.ExpectReleased();
  }
}

TEST(Mp3Player, PlaysTheSongWithoutTheEncodersDelayAndPaddingInItsWidestLayout) {
  // An encoder's header frame (count, then its tag with delay 576 and
  // padding 1000) before 100 frames: the header is not heard, the delay
  // (with the decoder's 529) and the padding are cut.
  std::string header = SilentFrames(1);
  const std::string tag = std::string("Info\0\0\0\x09\0\0\0\x64", 12) + std::string(4, '\0') + "LAME3.100" +
                          std::string(12, '\0') + "\x24\x03\xE8";
  header.replace(36, tag.size(), tag);
  PlayerRig rig;
  rig.Load(header + SilentFrames(100));
  ASSERT_EQ(1, rig.Start()) << rig.message;
  rig.RunWorker();
  EXPECT_EQ(uint64_t(100 * 1152 - 576 - 1000) * 4, rig.WrittenTotal());
  EXPECT_EQ(uint64_t(100 * 1152 - 576 - 1000) * 1000 / 44100, rig.info.lengthMs);

  // Mono that turns stereo after a run long enough for the scan to stop
  // early: the device opens stereo, each frame gives its own duration.
  PlayerRig joined;
  joined.Load(SilentFrames(110, StreamKind::kMono44) + SilentFrames(10));
  ASSERT_EQ(1, joined.Start()) << joined.message;
  joined.RunWorker();
  EXPECT_EQ(2, joined.player.Format().channels);
  EXPECT_EQ(uint64_t(120) * FrameBytes(), joined.WrittenTotal());
}

TEST(Mp3Player, ShortSongQueuesOneBufferMarkedLast) {
  PlayerRig rig;
  rig.Load(SilentFrames(10));
  ASSERT_EQ(1, rig.Start());
  EXPECT_EQ(std::vector<uint32_t>{10 * FrameBytes()}, rig.out.writtenLengths);
  EXPECT_TRUE(rig.player.LastFlag(0));
  // Exactly one buffer's worth: the next fill finds only the end, so the
  // first buffer is the last to come back.
  PlayerRig exact;
  exact.Load(SilentFrames(32));
  ASSERT_EQ(1, exact.Start());
  EXPECT_EQ(std::vector<uint32_t>{kFullBuffer}, exact.out.writtenLengths);
  EXPECT_TRUE(exact.player.LastFlag(0));
}

TEST(Mp3Player, BufferHoldsThe128GranuleUnitsOfEachStreamKind) {
  struct Case {
    StreamKind kind;
    uint16_t channels;
    uint32_t rate;
  } cases[] = {{StreamKind::kStereo44, 2, 44100},
               {StreamKind::kMono44, 1, 44100},
               {StreamKind::kStereo24, 2, 24000},
               {StreamKind::kMono24, 1, 24000}};
  for (const Case& c : cases) {
    PlayerRig rig;
    rig.Load(SilentFrames(300, c.kind));
    ASSERT_EQ(1, rig.Start());
    const platform::WaveFormat& f = rig.out.format;
    EXPECT_EQ(1, f.formatTag);
    EXPECT_EQ(c.channels, f.channels);
    EXPECT_EQ(c.rate, f.samplesPerSec);
    EXPECT_EQ(c.rate * c.channels * 2, f.avgBytesPerSec);
    EXPECT_EQ(c.channels * 2, f.blockAlign);
    EXPECT_EQ(16, f.bitsPerSample);
    EXPECT_FALSE(rig.out.notifyWindow);
    ASSERT_EQ(3u, rig.out.writtenLengths.size());
    EXPECT_EQ(kFullBuffer, rig.out.writtenLengths[0]);
    rig.RunWorker();
    EXPECT_EQ(300u * FrameBytes(c.kind), rig.WrittenTotal());
  }
}

// Every failure of the open names its cause and leaves nothing behind; the
// next open works.
TEST(Mp3Player, OpenFailuresCloseEverything) {
  struct Case {
    const char* name;
    void (*inject)(PlayerRig&);
    std::string text;
  } cases[] = {
      {"missing file", [](PlayerRig& r) { r.fs.failRead.insert("c:\\music\\song.mp3"); },
       "ファイル 'c:\\music\\song.mp3' が開けないため、演奏は行いません。"},
      {"first allocation", [](PlayerRig& r) { r.out.failAllocAt = 0; },
       "メモリが足りないため、演奏は行いません。"},
      {"header allocation", [](PlayerRig& r) { r.out.failAllocAt = 5; },
       "メモリが足りないため、演奏は行いません。"},
      {"first lock", [](PlayerRig& r) { r.out.failLockAt = 0; },
       "メモリが認識できないため、演奏は行いません。"},
      {"header lock", [](PlayerRig& r) { r.out.failLockAt = 4; },
       "メモリが認識できないため、演奏は行いません。"},
      {"device", [](PlayerRig& r) { r.out.openError = 2; }, "wave error 2"},
      {"prepare", [](PlayerRig& r) { r.out.failPrepareAt = 1; }, "wave error 11"},
      {"write", [](PlayerRig& r) { r.out.failWriteAt = 2; }, "wave error 11"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerRig rig;
    rig.Load(SilentFrames(200));
    c.inject(rig);
    EXPECT_EQ(0, rig.Start());
    EXPECT_EQ(c.text, rig.message);
    EXPECT_EQ(kStateStopped, rig.control.PlayState());
    EXPECT_EQ(0, rig.host.starts);
    rig.ExpectReleased();
    EXPECT_TRUE(rig.out.queue.empty());

    rig.fs.failRead.clear();
    rig.out = FakeWaveOut();
    EXPECT_EQ(1, rig.Start()) << rig.message;
    rig.RunWorker();
    EXPECT_EQ(200u * FrameBytes(), rig.WrittenTotal());
  }
}

TEST(Mp3Player, OpenOfAFileWithoutFramesSaysThereIsNothingToPlay) {
  PlayerRig rig;
  rig.Load(SilentFrames(20));
  rig.fs.AddFile("c:\\music\\song.mp3", std::string(5000, 'x'));
  EXPECT_EQ(0, rig.Start());
  EXPECT_EQ("演奏可能なデータがありません。", rig.message);
  rig.ExpectReleased();
}

TEST(Mp3Player, FailedRefillEndsWithFailureAndKeepsTheDeviceText) {
  for (RefillMode mode : {RefillMode::kThread, RefillMode::kMessage}) {
    PlayerRig rig(mode);
    rig.Load(SilentFrames(200));
    rig.out.failWriteAt = 3;  // the first refill
    ASSERT_EQ(1, rig.Start());
    if (mode == RefillMode::kThread) {
      rig.RunWorker();
    } else {
      while (rig.host.notices.empty() && rig.out.open) {
        rig.out.Play(100);
        rig.Pump();
      }
    }
    EXPECT_EQ(std::vector<uint32_t>{kNotifyFailure}, rig.host.notices);
    EXPECT_EQ(1, rig.player.ErrorFlag());
    EXPECT_EQ("wave error 11", rig.player.ErrorText());
    if (mode == RefillMode::kThread) {
      EXPECT_EQ(kStateStopped, rig.control.PlayState());
    }
    rig.ExpectReleased();
    rig.player.Close();  // a second close releases nothing twice
    EXPECT_EQ(0, rig.out.badReleases);
  }
}

TEST(Mp3Player, WorkerPacesItselfWithoutStarvingTheDevice) {
  PlayerRig rig;
  rig.Load(SilentFrames(500));  // about 13 s
  ASSERT_EQ(1, rig.Start());
  int32_t maxThrottle = 0;
  size_t refillSleeps = 0;
  rig.host.onSleep = [&](size_t) {
    maxThrottle = std::max(maxThrottle, rig.player.Throttle());
    // The device must never run dry before the end of the file.
    EXPECT_FALSE(rig.out.queue.empty() && rig.out.open && rig.player.Playing() &&
                 !rig.decoder.EndOfFile());
  };
  rig.RunWorker();
  for (uint32_t ms : rig.host.sleeps)
    if (ms != DecodingLoop::kPollMs) {
      ++refillSleeps;
      EXPECT_GE(ms, 2u);  // throttle 4 or more, halved
      EXPECT_LE(ms, 20u);
    }
  // Decoding here costs no time, so the worker has slack and slows down.
  EXPECT_EQ(ThreadThrottle::kMax, maxThrottle);
  EXPECT_GT(refillSleeps, 0u);
  EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
}

TEST(Mp3Player, ThrottleFollowsTheSlackOfEachReturn) {
  ThreadThrottle t;
  // waits: the throttle after each.
  const int32_t steps[][2] = {
      {20, 21},  // the first return sets it, then slack raises it
      {30, 22}, {12, 22},  // 8..16 keeps it
      {7, 21},   {3, 20},
      {0, 0},    // behind: flat out, and the next return sets it afresh
      {12, 12}, {40, 13}, {40, 14},
      {0, 0},    {5, 4},  // set to 5, then lowered
  };
  for (const auto& s : steps) EXPECT_EQ(s[1], t.Update(s[0])) << "waits " << s[0];
  ThreadThrottle top;
  top.Update(40);
  for (int i = 0; i < 10; ++i) top.Update(40);
  EXPECT_EQ(ThreadThrottle::kMax, top.n);
  ThreadThrottle bottom;
  for (int i = 0; i < 5; ++i) bottom.Update(1);
  EXPECT_EQ(0, bottom.n);
}

TEST(Mp3Player, WaitsCountOnlyWhilePlayingAndTheFirstReturnKeepsTheThrottle) {
  PlayerRig rig;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  DecodingLoop loop(rig.control);
  EXPECT_TRUE(loop.Step());  // nothing back yet: one poll
  EXPECT_EQ(-1, loop.Waits());
  rig.out.Play(900);  // buffer 0 back
  EXPECT_TRUE(loop.Step());
  EXPECT_EQ(0, loop.Waits());
  EXPECT_EQ(0, rig.player.Throttle());
  EXPECT_EQ(1, loop.Throttle().fresh);
  ASSERT_EQ(1, rig.control.Pause(&rig.message));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(loop.Step());
  EXPECT_EQ(0, loop.Waits());
  ASSERT_EQ(1, rig.control.Resume(&rig.message));
  for (int i = 0; i < 50; ++i) loop.Step();
  EXPECT_EQ(DecodingLoop::kMaxWaits, loop.Waits());  // capped
}

TEST(Mp3Player, IdleWorkerReturnsAtOnce) {
  PlayerRig rig;
  rig.control.SetUp();
  EXPECT_EQ(1, rig.host.starts);
  EXPECT_EQ(kCommandIdle, rig.control.Command());
  rig.RunWorker();
  EXPECT_TRUE(rig.host.notices.empty());
  EXPECT_TRUE(rig.host.sleeps.empty());
  EXPECT_EQ(kCommandIdle, rig.control.Command());
}

// The player's output through all its buffers is the decoder's output for
// the whole stream, sample for sample, when the test vectors are at hand.
TEST(Mp3Player, BuffersCarryTheWholeDecodedStream) {
  std::string data;
  for (const char* dir : {"/../shared/vectors/", "/../../shared/vectors/"}) {
    std::ifstream in(std::string(CORVELLA_SOURCE_DIR) + dir + "l3-he_44khz.bit", std::ios::binary);
    if (in) {
      std::stringstream ss;
      ss << in.rdbuf();
      data = ss.str();
      break;
    }
  }
  if (data.empty()) GTEST_SKIP() << "test vectors not found";

  TMP3 direct;
  platform::MemoryFile file(data.data(), data.size());
  MP3Info info;
  info.fileSize = uint32_t(data.size());
  direct.Scan(&file, &info);
  direct.Begin(&file);
  std::vector<int16_t> pcm(WavePlayer::kBufferSamples);
  std::string expected;
  while (!direct.EndOfFile()) {
    direct.SetOutput(pcm.data(), WavePlayer::kBufferSamples);
    direct.ResetCounts();
    direct.DecodeFrame();
    expected.append(reinterpret_cast<const char*>(pcm.data()), direct.SampleCount() * 2);
  }

  PlayerRig rig;
  rig.Load(data);
  ASSERT_EQ(1, rig.Start());
  rig.RunWorker();
  EXPECT_GT(rig.out.writtenLengths.size(), 3u);
  EXPECT_TRUE(rig.out.written == expected);
  EXPECT_EQ(expected.size(), rig.out.written.size());
}

}  // namespace
