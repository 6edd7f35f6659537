// The sequencer: what plays next, the end of a song, the interval wait, the
// timer's time display and the alarm.
#include <string>
#include <vector>

#include "list_marks.h"
#include "ui/status_text.h"
#include "playback_fixture.h"

using songlist::kPaused;
using songlist::kPlaying;
using songlist::kStopped;

namespace {

struct SequencerTest : PlaybackTest {
  // Ends the playing song and returns the entry that plays next ("" when none).
  std::string EndSong() {
    seq.OnNotify(platform::kMciNotifySuccessful);
    return seq.State() == kPlaying ? Current() : "";
  }
};

TEST_F(SequencerTest, RandomPlayAlternatesBetweenTwoUnmarkedEntriesAndReplaysALoneOne) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav"});
  SetMarkAt(list, 1, songlist::kMarkSkipped);
  settings.shuffle = true;
  seq.Play();
  ASSERT_EQ(seq.State(), kPlaying);
  std::string prev = Current();
  for (int i = 0; i < 8; ++i) {
    std::string next = EndSong();
    ASSERT_FALSE(next.empty());
    EXPECT_NE(next, prev) << "round " << i;
    EXPECT_NE(next, "c:\\b.wav");
    prev = next;
  }
  // One unmarked entry, current: it plays again.
  SetMarkAt(list, 0, songlist::kMarkSkipped);
  list.SetCurrent(2);
  EXPECT_EQ(EndSong(), "c:\\c.wav");
  EXPECT_EQ(EndSong(), "c:\\c.wav");
}

TEST_F(SequencerTest, RandomNextNeverPicksTheCurrentEntryWhenAnotherCan) {
  Fill({"c:\\0.wav", "c:\\1.wav", "c:\\2.wav", "c:\\3.wav", "c:\\4.wav"});
  settings.shuffle = true;
  std::vector<int> seen(5, 0);
  for (int i = 0; i < 200; ++i) {
    int before = list.Current();
    ASSERT_TRUE(seq.RandomNext());
    EXPECT_NE(list.Current(), before);
    ++seen[list.Current()];
  }
  for (int n : seen) EXPECT_GT(n, 20);
  for (int i = 0; i < 5; ++i) SetMarkAt(list, i, songlist::kMarkSkipped);
  EXPECT_FALSE(seq.RandomNext());
}

TEST_F(SequencerTest, RepeatOneReplaysAnUnmarkedEntryAndStopsOnASkippedOne) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  settings.repeat1 = true;
  seq.Play();
  EXPECT_EQ(EndSong(), "c:\\a.wav");
  SetMarkAt(list, 0, songlist::kMarkSkipped);
  EXPECT_EQ(EndSong(), "");
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_FALSE(seq.Waiting());
}

TEST_F(SequencerTest, EndOfListStopsOrWrapsWithRepeatAll) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav"});
  SetMarkAt(list, 0, songlist::kMarkSkipped);
  list.SetCurrent(2);
  seq.Play();
  EXPECT_EQ(EndSong(), "");
  EXPECT_EQ(list.Current(), 2);
  EXPECT_EQ(view.ends, 0);

  settings.repeat2 = true;
  seq.Play();
  EXPECT_EQ(EndSong(), "c:\\b.wav");
  // The current entry the only unmarked one: repeat all replays it.
  SetMarkAt(list, 2, songlist::kMarkSkipped);
  EXPECT_EQ(EndSong(), "c:\\b.wav");
}

TEST_F(SequencerTest, CloseAfterPlayEndsAtTheEndOfTheListAndOnStop) {
  Fill({"c:\\a.wav"});
  seq.SetCloseAfterPlay(true);
  seq.Play();
  EndSong();
  EXPECT_EQ(view.ends, 1);
  seq.Stop();
  EXPECT_EQ(view.ends, 2);
}

TEST_F(SequencerTest, IntervalWaitsFiveTicksPerSecondThenStartsTheNextEntry) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  settings.interval = 3;
  seq.Play();
  seq.OnNotify(platform::kMciNotifySuccessful);
  EXPECT_TRUE(seq.Waiting());
  EXPECT_EQ(device.Length(), 0u);
  int opens = mci.Count("open");
  for (int tick = 1; tick < 15; ++tick) {
    seq.OnTimer();
    ASSERT_TRUE(seq.Waiting()) << "tick " << tick;
  }
  EXPECT_EQ(mci.Count("open"), opens);
  seq.OnTimer();
  EXPECT_FALSE(seq.Waiting());
  EXPECT_EQ(seq.State(), kPlaying);
  EXPECT_EQ(mci.openedElements.back(), "c:\\b.wav");
}

TEST_F(SequencerTest, StopDuringTheIntervalCancelsIt) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  settings.interval = 1;
  seq.Play();
  seq.OnNotify(platform::kMciNotifySuccessful);
  seq.Stop();
  for (int i = 0; i < 10; ++i) seq.OnTimer();
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(mci.Count("open"), 1);
}

TEST_F(SequencerTest, PlayResumesAPausedSongAndRestartsAPlayingOne) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  seq.Play();
  mci.position = 12000;
  device.PauseMedium();
  EXPECT_EQ(seq.State(), kPaused);
  EXPECT_EQ(list.StartPosition(), 12000u);
  mci.calls.clear();
  seq.Play();
  EXPECT_EQ(seq.State(), kPlaying);
  EXPECT_EQ(mci.calls, std::vector<std::string>{"play"});

  seq.Play();
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(list.StartPosition(), 0u);
  EXPECT_EQ(view.posted, std::vector<uint16_t>{203});
  seq.Play();  // the posted command
  EXPECT_EQ(seq.State(), kPlaying);
  EXPECT_EQ(mci.openedElements.size(), 2u);

  // Paused with nothing open (an undo put the state back): Play opens.
  seq.Stop();
  seq.SetState(kPaused);
  seq.Play();
  EXPECT_EQ(seq.State(), kPlaying);

  // Paused on another entry than the one now current: that one starts.
  device.PauseMedium();
  list.SetCurrent(1);
  seq.Play();
  EXPECT_EQ(mci.openedElements.back(), "c:\\b.wav");
  EXPECT_EQ(seq.State(), kPlaying);
}

TEST_F(SequencerTest, NextAtTheLastUnmarkedEntry) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav"});
  SetMarkAt(list, 0, songlist::kMarkSkipped);
  SetMarkAt(list, 2, songlist::kMarkSkipped);
  list.SetCurrent(1);
  EXPECT_FALSE(seq.NextAvailable());
  seq.Next();
  EXPECT_EQ(list.Current(), 1);
  EXPECT_EQ(seq.State(), kStopped);

  SetMarkAt(list, 0, 0);
  settings.repeat2 = true;
  EXPECT_TRUE(seq.NextAvailable());
  seq.Next();
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(seq.State(), kPlaying);
}

TEST_F(SequencerTest, PreviousStepsBackPastSkippedEntriesAndWrapsWithRepeatAll) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav", "c:\\d.wav"});
  SetMarkAt(list, 1, songlist::kMarkSkipped);
  list.SetCurrent(2);
  EXPECT_TRUE(seq.PreviousAvailable());
  seq.Previous();
  EXPECT_EQ(list.Current(), 0);
  EXPECT_FALSE(seq.PreviousAvailable());
  seq.Previous();
  EXPECT_EQ(list.Current(), 0);
  settings.repeat2 = true;
  EXPECT_TRUE(seq.PreviousAvailable());
  seq.Previous();
  EXPECT_EQ(list.Current(), 3);
}

TEST_F(SequencerTest, PreviousInRandomPlayReturnsToTheSongPlayedBefore) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav", "c:\\d.wav"});
  settings.shuffle = true;
  seq.Play();
  std::string first = Current();
  EndSong();
  ASSERT_NE(Current(), first);
  seq.Previous();
  EXPECT_EQ(Current(), first);
}

TEST_F(SequencerTest, FailureStopsWithAMessageAndAbortedIsIgnoredUnlessTheVideoWindowClosed) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  seq.Play();
  seq.OnNotify(platform::kMciNotifyFailure);
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(LastText(), "演奏中にエラーが発生しました。演奏を中止します。");
  EXPECT_EQ(notifier.boxes.back().caption, "マルチメディアエラー");
  EXPECT_EQ(list.Current(), 0);

  seq.Play();
  seq.OnNotify(platform::kMciNotifyAborted);
  seq.OnNotify(platform::kMciNotifySuperseded);
  EXPECT_EQ(seq.State(), kPlaying);

  list.Clear();
  Fill({"c:\\v.avi"});
  settings.aviDisp = true;
  seq.Stop();
  seq.Play();
  ASSERT_TRUE(device.VideoInDedicated());
  device.ExpectAborted();
  seq.OnNotify(platform::kMciNotifyAborted);
  EXPECT_EQ(seq.State(), kPlaying);
  seq.OnNotify(platform::kMciNotifyAborted);
  EXPECT_EQ(seq.State(), kStopped);
}

// Where MIDI songs play on the synthesizer, a song it refuses shows its box
// and the list goes on; a round of refusals, or repeat one, ends it. A file
// that is itself bad still stops, as any failed open does.
TEST_F(SequencerTest, PastASongTheSynthesizerRefusesTheListGoesOn) {
  midi.outputs = {};
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"});
  mci.Fail("openon", 277);
  seq.Play();
  EXPECT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(seq.State(), kPlaying);
  EXPECT_EQ(Current(), "c:\\b.mid");

  seq.Stop();
  settings.repeat2 = true;
  notifier.boxes.clear();
  for (int i = 0; i < 4; ++i) mci.Fail("openon", 277);
  seq.Play();
  EXPECT_EQ(notifier.boxes.size(), 3u);
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(Current(), "c:\\a.mid");

  settings.repeat1 = true;
  notifier.boxes.clear();
  seq.Play();  // the fourth refusal
  EXPECT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(seq.State(), kStopped);

  settings.repeat1 = false;
  notifier.boxes.clear();
  mci.Fail("open", 277);
  seq.Play();
  EXPECT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(Current(), "c:\\a.mid");
}

TEST_F(SequencerTest, IgnoreAbortedLastsTenTicks) {
  device.ExpectAborted();
  for (int i = 0; i < 9; ++i) seq.OnTimer();
  EXPECT_TRUE(device.AbortedExpected());
  seq.OnTimer();
  EXPECT_FALSE(device.AbortedExpected());
}

TEST_F(SequencerTest, ALateEndReportAfterStopStartsNothing) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  seq.Play();
  seq.Stop();
  seq.OnNotify(platform::kMciNotifySuccessful);
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(list.Current(), 0);
}

TEST_F(SequencerTest, EndOfSongWhileTheListIsBusyLeavesThePlayerStopped) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  seq.Play();
  list.SetBusy(true);
  seq.OnNotify(platform::kMciNotifySuccessful);
  EXPECT_EQ(seq.State(), kStopped);
  EXPECT_EQ(list.Current(), 0);
}

TEST_F(SequencerTest, AlarmResumesAPausedSongOncePerMinute) {
  Fill({"c:\\a.wav"});
  settings.alarmSet = true;
  settings.alarmHour = 7;
  settings.alarmMinute = 0;
  seq.Play();
  device.PauseMedium();
  clock.now = {6, 59, 59};
  seq.OnTimer();
  EXPECT_EQ(seq.State(), kPaused);
  clock.now = {7, 0, 0};
  seq.OnTimer();
  EXPECT_EQ(seq.State(), kPlaying);
  device.PauseMedium();
  clock.now = {7, 0, 30};
  seq.OnTimer();
  EXPECT_EQ(seq.State(), kPaused);
  clock.now = {7, 1, 0};
  seq.OnTimer();
  EXPECT_EQ(seq.State(), kPaused);
  // Next day, same minute: it fires again.
  clock.now = {7, 0, 0};
  seq.OnTimer();
  EXPECT_EQ(seq.State(), kPlaying);
}

TEST_F(SequencerTest, LongestSongShowsTheTimeFieldsLongestText) {
  Fill({"c:\\a.wav"});
  mci.length = (999 * 60 + 59) * 1000;
  seq.Play();
  mci.position = mci.length;
  seq.OnTimer();
  EXPECT_EQ(view.timeText, ui::kLongestTimeText);
}

TEST_F(SequencerTest, TimerShowsPositionAndTotalAndMovesTheSlider) {
  Fill({"c:\\a.wav"});
  mci.length = 45000;
  seq.Play();
  EXPECT_EQ(view.sliderMax, 4500);
  EXPECT_EQ(view.sliderPage, 1000);
  mci.position = 61500;
  seq.OnTimer();
  EXPECT_EQ(view.timeText, " 1分01秒／0分45秒");
  EXPECT_EQ(view.sliderPos, 6150);
  // The text never steps back by exactly one second; the slider follows.
  mci.position = 60900;
  seq.OnTimer();
  EXPECT_EQ(view.timeText, " 1分01秒／0分45秒");
  EXPECT_EQ(view.sliderPos, 6090);
  // The slider is left alone while a dialog is open or the thumb is held.
  view.dialogOpen = true;
  mci.position = 10000;
  seq.OnTimer();
  EXPECT_EQ(view.sliderPos, 6090);
  EXPECT_EQ(view.timeText, " 0分10秒／0分45秒");
  view.dialogOpen = false;

  seq.Stop();
  seq.OnTimer();
  EXPECT_EQ(view.timeText, " 0分45秒");
  EXPECT_EQ(view.sliderPos, 0);
  // A thumb the user moved while stopped goes back at the next tick.
  view.sliderPos = 700;
  seq.OnTimer();
  EXPECT_EQ(view.sliderPos, 0);
  seq.ClearCachedLength();
  seq.OnTimer();
  EXPECT_EQ(view.timeText, "  ");
  EXPECT_EQ(view.housekeeping, 6);
}

TEST_F(SequencerTest, NextPlayableServesTheListReseat) {
  Fill({"c:\\a.wav", "c:\\b.wav", "c:\\c.wav"});
  SetMarkAt(list, 1, songlist::kMarkSkipped);
  EXPECT_TRUE(seq.NextPlayable());
  EXPECT_EQ(list.Current(), 2);
  EXPECT_FALSE(seq.NextPlayable());
  settings.repeat2 = true;
  EXPECT_TRUE(seq.NextPlayable());
  EXPECT_EQ(list.Current(), 0);
}

}  // namespace

// Devices that never report the end of a song: the list still goes on, but
// only once the song is certainly over.
TEST_F(SequencerTest, ASongItsDeviceNeverEndsIsTakenAsEndedOnlyWhenCertainlyOver) {
  Fill({"c:\\a.mp2", "c:\\b.wav"});
  mci.length = 4000;
  auto ticksUntilNext = [&](int limit) {
    for (int tick = 1; tick <= limit; ++tick) {
      seq.OnTimer();
      if (Current() == "c:\\b.wav") return tick;
    }
    return 0;
  };
  // The position reaches the length and stands there: two seconds later.
  for (uint32_t p = 200; p <= 4000; p += 200) mci.positions.push_back(p);
  mci.position = 4000;
  seq.Play();
  EXPECT_EQ(ticksUntilNext(60), 20 + 10);
  EXPECT_EQ(seq.State(), kPlaying);
  EXPECT_EQ(mci.openedElements.back(), "c:\\b.wav");

  // No position at all: three seconds after the length has passed (the
  // first tick starts the watch).
  seq.Stop();
  list.SetCurrent(0);
  mci.length = 1000;
  for (int i = 0; i < 100; ++i) mci.Fail("position", 296);
  seq.Play();
  EXPECT_EQ(ticksUntilNext(60), 1 + (1000 + 3000) / 200);

  // A position that stays at 0 counts as no news.
  seq.Stop();
  list.SetCurrent(0);
  mci.errors.clear();
  mci.position = 0;
  seq.Play();
  EXPECT_EQ(ticksUntilNext(60), 1 + (1000 + 3000) / 200);
}

TEST_F(SequencerTest, StallGuardLeavesMovingPausedAndStillPicturesAlone) {
  Fill({"c:\\a.mp2", "c:\\b.wav"});
  mci.length = 1000;
  // A stream longer than its stated length plays on while its position moves.
  for (uint32_t p = 200; p <= 12000; p += 200) mci.positions.push_back(p);
  seq.Play();
  for (int i = 0; i < 50; ++i) seq.OnTimer();
  EXPECT_EQ(Current(), "c:\\a.mp2");
  // Paused, the position stands still as it should.
  device.PauseMedium();
  for (int i = 0; i < 50; ++i) seq.OnTimer();
  EXPECT_EQ(seq.State(), kPaused);
  // Resumed, it is watched afresh from where it stands.
  seq.Play();
  mci.positions.clear();
  mci.position = 1000;
  for (int i = 0; i < 9; ++i) seq.OnTimer();
  EXPECT_EQ(Current(), "c:\\a.mp2");
  // A picture has no end to wait for.
  seq.Stop();
  list.Append("c:\\p.jpg");
  list.SetCurrent(2);
  seq.Play();
  for (int i = 0; i < 100; ++i) seq.OnTimer();
  EXPECT_EQ(Current(), "c:\\p.jpg");
  EXPECT_EQ(seq.State(), kPlaying);
}
