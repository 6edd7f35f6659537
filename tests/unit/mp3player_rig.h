// The MPEG audio player wired to a fake device, a fake host and an in-memory
// file system, with streams of silent Layer III frames built on the spot.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_waveout.h"
#include "mpegaudio/check.h"
#include "mpegaudio/mp3_control.h"
#include "mpegaudio/mp3_thread.h"
#include "mpegaudio/wave_player.h"

enum class StreamKind { kStereo44, kMono44, kStereo24, kMono24 };

// count frames with empty side information and main data: each decodes to
// silence, a full frame's worth of samples.
inline std::string SilentFrames(int count, StreamKind kind = StreamKind::kStereo44) {
  const bool lsf = kind == StreamKind::kStereo24 || kind == StreamKind::kMono24;
  const bool mono = kind == StreamKind::kMono44 || kind == StreamKind::kMono24;
  // 128 kbit/s at 44.1 kHz: 417 bytes; 64 kbit/s at 24 kHz: 192 bytes.
  std::string frame(lsf ? 192 : 417, '\0');
  frame[0] = '\xFF';
  frame[1] = lsf ? '\xF3' : '\xFB';
  frame[2] = lsf ? '\x84' : '\x90';
  frame[3] = mono ? '\xC0' : '\x00';
  std::string s;
  for (int i = 0; i < count; ++i) s += frame;
  return s;
}

// Bytes of PCM one silent frame gives.
inline uint32_t FrameBytes(StreamKind kind = StreamKind::kStereo44) {
  const bool lsf = kind == StreamKind::kStereo24 || kind == StreamKind::kMono24;
  const bool mono = kind == StreamKind::kMono44 || kind == StreamKind::kMono24;
  return (lsf ? 576u : 1152u) * (mono ? 1u : 2u) * 2u;
}

constexpr uint32_t kFullBuffer = 147456;

struct PlayerRig {
  FakeFileSystem fs;
  FakeWaveOut out;
  FakePlayerHost host{&out};
  mpegaudio::TMP3 decoder;
  mpegaudio::WavePlayer player{decoder, fs, out, host};
  mpegaudio::PlayerControl control;
  mpegaudio::MP3Info info;
  std::string message;

  explicit PlayerRig(mpegaudio::RefillMode mode = mpegaudio::RefillMode::kThread)
      : control(player, out, host, mode) {
    host.onRunaway = [this] {
      ADD_FAILURE() << "the worker did not end";
      control.SetCommand(mpegaudio::kCommandStop);
    };
  }

  // Stores the song and runs the main window's check on it.
  void Load(const std::string& data, const std::string& path = "c:\\music\\song.mp3") {
    fs.AddFile(path, data);
    info = mpegaudio::MP3Info();
    ASSERT_EQ(1, mpegaudio::CheckMP3File(fs, decoder, path, &info, &message)) << message;
  }
  int Start(const std::string& path = "c:\\music\\song.mp3") {
    return control.StartMP3(path, &info, &message);
  }
  // Runs the worker for each start the control asked for, until none is left.
  void RunWorker() {
    while (host.started) {
      host.started = false;
      mpegaudio::RunDecodingThread(control);
    }
  }
  // Delivers the device's done notices to the window (message mode).
  void Pump() {
    while (!out.doneNotices.empty()) {
      out.doneNotices.pop_front();
      control.EvWomDone();
    }
  }
  uint64_t WrittenTotal() const {
    uint64_t n = 0;
    for (uint32_t len : out.writtenLengths) n += len;
    return n;
  }
  // Everything given back: device closed, memory freed, nothing released twice.
  void ExpectReleased() const {
    EXPECT_FALSE(out.open);
    EXPECT_EQ(0, out.LiveBlocks());
    EXPECT_EQ(0, out.LiveLocks());
    EXPECT_EQ(0, out.badReleases);
  }
};
