// Start, seek, stop, pause, resume and position as the main window drives
// them, in thread mode and in message mode.
#include "mp3player_rig.h"

using namespace mpegaudio;

namespace {

constexpr uint32_t kUsPerFrame = 26122;  // 1152 samples at 44.1 kHz

// What StopMP3 does before it waits for the worker; the fake host's wait
// cannot block, so tests acting from inside the worker stop there.
void RequestStop(PlayerRig& rig) {
  rig.player.SetActive(0);
  rig.control.SetCommand(kCommandStop);
}

TEST(Mp3Control, StopWhilePausedAbortsAndReleasesEverything) {
  PlayerRig rig;
  rig.Load(SilentFrames(500));
  ASSERT_EQ(1, rig.Start());
  size_t writesWhenPaused = 0;
  rig.host.onSleep = [&](size_t n) {
    if (n == 150) {
      EXPECT_EQ(1, rig.control.Pause(&rig.message));
      writesWhenPaused = rig.out.writtenLengths.size();
    }
    if (n == 400) {
      EXPECT_EQ(writesWhenPaused, rig.out.writtenLengths.size());  // nothing came back
      RequestStop(rig);
    }
  };
  rig.RunWorker();
  EXPECT_EQ(std::vector<uint32_t>{kNotifyAborted}, rig.host.notices);
  EXPECT_EQ(kStateStopped, rig.control.PlayState());
  EXPECT_EQ(kCommandStop, rig.control.Command());
  rig.ExpectReleased();
  rig.control.StopMP3();  // already stopped: nothing happens
  EXPECT_EQ(1u, rig.host.notices.size());
}

TEST(Mp3Control, StopDuringARefillLeavesTheDecodeLoopAtOnce) {
  PlayerRig rig;
  rig.Load(SilentFrames(500));
  ASSERT_EQ(1, rig.Start());
  rig.player.SetThrottle(8);
  rig.host.onSleep = [&](size_t) { RequestStop(rig); };
  rig.out.Play(900);
  const size_t writes = rig.out.writtenLengths.size();
  EXPECT_EQ(1, rig.player.RefillThreaded());  // stopped after its first frame
  EXPECT_EQ(std::vector<uint32_t>{4}, rig.host.sleeps);  // throttle 8, halved
  EXPECT_EQ(writes, rig.out.writtenLengths.size());
  DecodingLoop loop(rig.control);
  EXPECT_FALSE(loop.Step());
  loop.Finish();
  EXPECT_EQ(std::vector<uint32_t>{kNotifyAborted}, rig.host.notices);
  rig.ExpectReleased();
}

TEST(Mp3Control, SeekRestartsAtTheFrameAndPositionCountsFromIt) {
  PlayerRig rig;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.out.Play(500);
  bool read = false;
  EXPECT_EQ(500u, rig.control.PositionMs(&read));
  EXPECT_TRUE(read);

  // The worker leaves without a notice when a seek is under way.
  rig.host.onSleep = [&](size_t n) {
    if (n == 3) rig.control.SetCommand(kCommandRestart);
  };
  rig.RunWorker();
  EXPECT_TRUE(rig.host.notices.empty());
  EXPECT_EQ(kCommandStop, rig.control.Command());
  rig.host.onSleep = nullptr;

  rig.out.writtenLengths.clear();
  ASSERT_EQ(1, rig.control.SeekMP3(150, &rig.message)) << rig.message;
  EXPECT_EQ(kCommandRun, rig.control.Command());
  EXPECT_EQ(2, rig.host.starts);
  EXPECT_EQ(150, rig.control.SeekFrame());
  // 50 frames remain: one full buffer and the rest.
  EXPECT_EQ((std::vector<uint32_t>{kFullBuffer, 18 * FrameBytes()}), rig.out.writtenLengths);
  EXPECT_EQ(150u * kUsPerFrame / 1000, rig.control.PositionMs());
  rig.out.Play(100);
  EXPECT_EQ(150u * kUsPerFrame / 1000 + 100, rig.control.PositionMs());

  rig.RunWorker();
  EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
  // After the device closed only the seek frame counts.
  EXPECT_EQ(150u * kUsPerFrame / 1000, rig.control.PositionMs(&read));
  EXPECT_FALSE(read);
  EXPECT_EQ(150, PlayerControl::FrameAt(3918.3, kUsPerFrame));
  EXPECT_EQ(149, PlayerControl::FrameAt(3918.2, kUsPerFrame));  // truncated
}

TEST(Mp3Control, SeekToTheEndWhilePausedEndsTheSongOnResume) {
  PlayerRig rig;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  ASSERT_EQ(1, rig.control.Pause(&rig.message));
  EXPECT_EQ(kStatePaused, rig.control.PlayState());
  EXPECT_EQ(0, rig.control.SeekMP3(200, &rig.message));
  EXPECT_EQ("演奏可能なデータがありません。", rig.message);
  EXPECT_TRUE(rig.control.RestartFailed());
  EXPECT_EQ(1, rig.host.starts);  // no worker for the silent output
  EXPECT_TRUE(rig.out.open);
  EXPECT_TRUE(rig.host.notices.empty());
  ASSERT_EQ(1, rig.control.Pause(&rig.message));  // the caller pauses again

  EXPECT_EQ(1, rig.control.Resume(&rig.message));
  EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
  rig.ExpectReleased();
  rig.control.StopMP3();  // the sequencer closes the medium
  rig.ExpectReleased();
}

TEST(Mp3Control, SeekToTheEndWhilePlayingEndsTheSongAtOnce) {
  for (RefillMode mode : {RefillMode::kThread, RefillMode::kMessage}) {
    PlayerRig rig(mode);
    rig.Load(SilentFrames(200));
    ASSERT_EQ(1, rig.Start());
    rig.control.SeekMP3(250, &rig.message);
    rig.Pump();
    EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
    EXPECT_FALSE(rig.control.RestartFailed());
    rig.ExpectReleased();
  }
}

// A seek that comes after the last buffer returned has nothing to restart;
// the one end notice stands, also when the song ended while the seek waited.
TEST(Mp3Control, SeekAfterTheEndPostsNoSecondNotice) {
  for (RefillMode mode : {RefillMode::kThread, RefillMode::kMessage}) {
    PlayerRig rig(mode);
    rig.Load(SilentFrames(10));
    ASSERT_EQ(1, rig.Start());
    rig.out.Play(1000);
    if (mode == RefillMode::kThread) {
      DecodingLoop loop(rig.control);
      EXPECT_TRUE(loop.Step());  // the last buffer back: the player closes
      rig.control.SetCommand(kCommandRestart);
      EXPECT_FALSE(loop.Step());
      loop.Finish();
    } else {
      rig.Pump();
    }
    EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
    EXPECT_EQ(0, rig.control.SeekMP3(3, &rig.message));
    rig.Pump();
    EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
    if (mode == RefillMode::kThread) {
      EXPECT_EQ(kCommandStop, rig.control.Command());
    }
    rig.ExpectReleased();
  }
}

TEST(Mp3Control, StopAfterAFailedRestartClosesTheSilentOutput) {
  PlayerRig rig;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.control.Pause(&rig.message);
  rig.control.SeekMP3(400, &rig.message);
  rig.control.StopMP3();
  EXPECT_EQ(kStateStopped, rig.control.PlayState());
  rig.ExpectReleased();
}

TEST(Mp3Control, PauseAndResumeFailuresShowTheDeviceText) {
  PlayerRig rig;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.out.pauseError = 7;
  EXPECT_EQ(0, rig.control.Pause(&rig.message));
  EXPECT_EQ("wave error 7", rig.message);
  EXPECT_EQ(kStatePlaying, rig.control.PlayState());
  rig.out.pauseError = 0;
  ASSERT_EQ(1, rig.control.Pause(&rig.message));
  rig.out.restartError = 9;
  EXPECT_EQ(0, rig.control.Resume(&rig.message));
  EXPECT_EQ("wave error 9", rig.message);
  EXPECT_EQ(kStatePaused, rig.control.PlayState());
  rig.out.restartError = 0;
  EXPECT_EQ(1, rig.control.Resume(&rig.message));
  EXPECT_EQ(kStatePlaying, rig.control.PlayState());
  EXPECT_FALSE(rig.out.paused);
}

// The worker of the song before is waited for, and an end notice it posted
// that the window has not taken yet is dropped: it would end the new song.
TEST(Mp3Control, StartWaitsForThePreviousWorkerAndDropsItsNotice) {
  PlayerRig rig;
  rig.Load(SilentFrames(20));
  ASSERT_EQ(1, rig.Start());
  rig.RunWorker();
  const int waits = rig.host.waits;
  rig.control.StopMP3();  // the sequencer closes the medium after the notice
  int waitsAtDiscard = -1;
  rig.host.onDiscard = [&] { waitsAtDiscard = rig.host.waits; };
  ASSERT_EQ(1, rig.Start());
  EXPECT_GT(rig.host.waits, waits + 1);
  EXPECT_EQ(rig.host.waits, waitsAtDiscard);
  rig.RunWorker();
  EXPECT_EQ((std::vector<uint32_t>{kNotifySuccessful, kNotifySuccessful}), rig.host.notices);
}

// Message mode: the device's done notices refill; no worker.
TEST(Mp3Control, MessageModePlaysThroughDoneNotices) {
  for (int frames : {10, 32, 96, 200}) {
    SCOPED_TRACE(frames);
    PlayerRig rig(RefillMode::kMessage);
    rig.Load(SilentFrames(frames));
    ASSERT_EQ(1, rig.Start());
    EXPECT_TRUE(rig.out.notifyWindow);
    EXPECT_EQ(0, rig.host.starts);
    EXPECT_EQ(1, rig.control.EvWomOpen());
    for (int i = 0; i < 200 && rig.host.notices.empty(); ++i) {
      rig.out.Play(100);
      rig.Pump();
      EXPECT_EQ(int(rig.out.queue.size()), rig.player.Queued());
    }
    EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
    EXPECT_EQ(uint64_t(frames) * FrameBytes(), rig.WrittenTotal());
    EXPECT_EQ(1, rig.control.EvWomClose());
    rig.ExpectReleased();
  }
}

TEST(Mp3Control, MessageModeSeekWaitsForEveryQueuedBuffer) {
  PlayerRig rig(RefillMode::kMessage);
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.out.Play(300);
  rig.Pump();
  EXPECT_EQ(3, rig.player.Queued());
  rig.out.writtenLengths.clear();
  EXPECT_EQ(0, rig.control.SeekMP3(150, &rig.message));
  EXPECT_TRUE(rig.control.RestartPending());
  ASSERT_EQ(3u, rig.out.doneNotices.size());  // handed back by the reset
  for (int i = 0; i < 2; ++i) {
    rig.out.doneNotices.pop_front();
    rig.control.EvWomDone();
    EXPECT_TRUE(rig.out.writtenLengths.empty());
  }
  rig.out.doneNotices.pop_front();
  rig.control.EvWomDone();
  EXPECT_FALSE(rig.control.RestartPending());
  EXPECT_EQ((std::vector<uint32_t>{kFullBuffer, 18 * FrameBytes()}), rig.out.writtenLengths);
  EXPECT_EQ(kStatePlaying, rig.control.PlayState());
  for (int i = 0; i < 50 && rig.host.notices.empty(); ++i) {
    rig.out.Play(100);
    rig.Pump();
  }
  EXPECT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
}

TEST(Mp3Control, MessageModeSeekWhilePausedStaysPaused) {
  PlayerRig rig(RefillMode::kMessage);
  rig.out.writeEndsPause = true;
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.out.Play(300);
  rig.Pump();
  ASSERT_EQ(1, rig.control.Pause(&rig.message));
  rig.control.SeekMP3(100, &rig.message);
  ASSERT_EQ(1, rig.control.Pause(&rig.message));  // the caller pauses again
  rig.Pump();
  EXPECT_FALSE(rig.control.RestartPending());
  EXPECT_EQ(kStatePaused, rig.control.PlayState());
  rig.out.Play(500);
  EXPECT_EQ(100u * kUsPerFrame / 1000, rig.control.PositionMs());
  ASSERT_EQ(1, rig.control.Resume(&rig.message));
  rig.out.Play(500);
  EXPECT_EQ(100u * kUsPerFrame / 1000 + 500, rig.control.PositionMs());
}

TEST(Mp3Control, MessageModeStopCountsDownTheReturnedBuffers) {
  PlayerRig rig(RefillMode::kMessage);
  rig.Load(SilentFrames(200));
  ASSERT_EQ(1, rig.Start());
  rig.control.StopMP3();
  EXPECT_EQ(kStateStopped, rig.control.PlayState());
  rig.ExpectReleased();
  EXPECT_EQ(3, rig.player.Queued());
  rig.Pump();
  EXPECT_EQ(0, rig.player.Queued());
  EXPECT_TRUE(rig.host.notices.empty());  // a stop posts nothing in this mode

  // Notices of the old device that arrive after the next song started
  // refill nothing.
  ASSERT_EQ(1, rig.Start());
  const size_t writes = rig.out.writtenLengths.size();
  EXPECT_EQ(0, rig.control.EvWomDone());
  EXPECT_EQ(writes, rig.out.writtenLengths.size());
  EXPECT_EQ(3, rig.player.Queued());
}

}  // namespace

// A pause that arrives after the song ran out (its end notice still queued,
// and ignored by a paused window) must not touch the closed device; the next
// resume ends the song instead.
TEST(Mp3Control, PauseAfterTheSongRanOutEndsItOnResume) {
  PlayerRig rig;
  rig.Load(SilentFrames(20));
  ASSERT_EQ(1, rig.Start());
  rig.RunWorker();
  ASSERT_EQ(std::vector<uint32_t>{kNotifySuccessful}, rig.host.notices);
  ASSERT_FALSE(rig.player.IsOpen());
  const size_t calls = rig.out.writtenLengths.size();
  EXPECT_EQ(1, rig.control.Pause(&rig.message));
  EXPECT_TRUE(rig.message.empty());
  EXPECT_EQ(calls, rig.out.writtenLengths.size());
  EXPECT_EQ(1, rig.control.Resume(&rig.message));
  EXPECT_EQ((std::vector<uint32_t>{kNotifySuccessful, kNotifySuccessful}), rig.host.notices);
}


// Before the main window uses the decoder for a file check, any song is
// stopped and the worker has been waited for, even after a natural end.
TEST(Mp3Control, QuiesceStopsAndWaitsForTheWorker) {
  PlayerRig rig;
  rig.Load(SilentFrames(20));
  ASSERT_EQ(1, rig.Start());
  rig.RunWorker();  // the song ran out; its worker may still be leaving
  const int waits = rig.host.waits;
  rig.control.Quiesce();
  EXPECT_GT(rig.host.waits, waits);
  rig.ExpectReleased();
}

// A driver that flags a buffer done from its own thread after a reset
// returned: neither the restart of a seek nor the release at a stop may
// touch that header before it is handed back.
TEST(Mp3Control, LateHandBackAfterAResetIsWaitedFor) {
  PlayerRig rig;
  rig.Load(SilentFrames(300));
  rig.out.lateHandBackSleeps = 3;
  ASSERT_EQ(1, rig.Start());
  rig.out.Play(200);
  ASSERT_EQ(1, rig.control.SeekMP3(40, &rig.message)) << rig.message;
  EXPECT_EQ(0, rig.out.touchedWhileHeld);
  // Every queued header is the device's, none flagged done by the late hand-back.
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(platform::HeaderDone(rig.player.Header(i)));
  rig.host.onSleep = [&](size_t n) {
    if (n == 20) RequestStop(rig);
  };
  rig.RunWorker();
  EXPECT_EQ(std::vector<uint32_t>{kNotifyAborted}, rig.host.notices);
  EXPECT_EQ(0, rig.out.touchedWhileHeld);
  rig.ExpectReleased();
}
