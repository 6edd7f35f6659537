// Command 145: the playing time of the selected entries.
#include "list_marks.h"
#include "fakes/fake_songlist_env.h"
#include "playback/selection_time.h"
#include "playback_fixture.h"

namespace {

struct SelectionTimeTest : PlaybackTest {
  FakeCursor cursor;
  playback::DeviceLinks links{&mci, &notifier, &fs, &drives, &video, &midi, &mp3, &view, &list, &settings};

  void Show() { playback::ShowSelectionTime(links, device, seq.Waiting(), cursor); }
};

// A fresh fixture for each case of a table.
struct Fresh : SelectionTimeTest {
  void TestBody() override {}
};

TEST(SelectionTimeText, MinutesOnlyWhenThereAreAnyAndNeverHours) {
  // 3 × 60.4 s and two pauses of 2 s.
  EXPECT_EQ(playback::SelectionTimeText(181200, 3, 2), "演奏時間は、3分05秒です。");
  EXPECT_EQ(playback::SelectionTimeText(45000, 1, 3), "演奏時間は、45秒です。");
  EXPECT_EQ(playback::SelectionTimeText(7200000, 1, 0), "演奏時間は、120分00秒です。");
  EXPECT_EQ(playback::SelectionTimeText(499, 1, 0), "演奏時間は、00秒です。");
}

TEST_F(SelectionTimeTest, AddsTheLengthsOfSelectedPlayedEntriesOfEveryKind) {
  Fill({"c:\\a.wav", "c:\\b.mp3", "d:\\Track002.acd", "c:\\skipped.mid", "c:\\unselected.wav"});
  settings.interval = 2;
  mci.length = 60400;
  mci.trackLength[2] = 60400;
  mp3.lengthMs = 60400;
  for (int i = 0; i < 4; ++i) list.SetSelected(i, true);
  SetMarkAt(list, 3, songlist::kMarkSkipped);
  Show();
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "演奏時間は、3分05秒です。");
  EXPECT_EQ(notifier.boxes[0].caption, "選択曲の演奏時間の表示");
  EXPECT_EQ(notifier.boxes[0].style, platform::kMbOk | platform::kMbIconInformation);
  EXPECT_EQ(notifier.beeps, std::vector<unsigned>{platform::kBeepInformation});
  EXPECT_EQ(cursor.calls, (std::vector<std::string>{"wait", "arrow"}));
  // Every device opened for a length is closed again; the MP3 went to its check.
  EXPECT_EQ(mci.Count("open"), mci.Count("close"));
  EXPECT_FALSE(mci.open);
  EXPECT_EQ(mp3.calls, std::vector<std::string>{"check c:\\b.mp3"});
  EXPECT_EQ(mci.openedElements, std::vector<std::string>{"c:\\a.wav"});
}

TEST_F(SelectionTimeTest, CdaFileOpensAsAnElement) {
  Fill({"d:\\Track02.cda"});
  mci.length = 45000;
  list.SetSelected(0, true);
  Show();
  EXPECT_EQ(mci.openedElements, std::vector<std::string>{"d:\\Track02.cda"});
  EXPECT_EQ(mci.Count("opencd"), 0);
  EXPECT_EQ(notifier.boxes.back().text, "演奏時間は、45秒です。");
}

TEST_F(SelectionTimeTest, MidiOpensWhereItWouldPlay) {
  midi.outputs = {};
  Fill({"c:\\a.mid"});
  list.SetSelected(0, true);
  Show();
  EXPECT_TRUE(mci.Called("open mpegvideo c:\\a.mid"));
  EXPECT_EQ(notifier.boxes.back().text, "演奏時間は、1分00秒です。");
}

TEST_F(SelectionTimeTest, NothingToPlayAmongTheSelection) {
  Fill({"c:\\a.wav", "c:\\b.wav"});
  list.SetSelected(0, true);
  SetMarkAt(list, 0, songlist::kMarkSkipped);
  Show();
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "選択した曲の中に演奏される曲がありません。");
  EXPECT_TRUE(mci.calls.empty());
}

// The first failure ends the count; a device opened is closed first.
TEST_F(SelectionTimeTest, FirstFailureEndsTheCountWithItsMessage) {
  struct Case {
    const char* name;
    const char* path;
    const char* op;
    uint32_t code;
    std::string text;
  } cases[] = {
      {"no disc", "d:\\Track001.acd", "opencd", platform::kMciErrCannotLoadDriver,
       "ＣＤがセットされていません。ＣＤをセットしてください。"},
      {"disc busy", "d:\\Track001.acd", "opencd", platform::kMciErrMustUseShareable,
       "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。"},
      {"track length", "d:\\Track001.acd", "length", 262, "error 262"},
      {"file open", "c:\\a.wav", "open", 275, "error 275"},
      {"time format", "c:\\a.wav", "timeformat", 277, "error 277"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh t;
    t.Fill({c.path, "c:\\later.wav"});
    t.list.SelectAll();
    t.mci.Fail(c.op, c.code);
    t.Show();
    ASSERT_EQ(t.notifier.boxes.size(), 1u);
    EXPECT_EQ(t.notifier.boxes[0].text, c.text);
    EXPECT_EQ(t.notifier.boxes[0].caption, "マルチメディアエラー");
    EXPECT_EQ(t.notifier.beeps, std::vector<unsigned>{platform::kBeepWarning});
    EXPECT_FALSE(t.mci.open);
    EXPECT_FALSE(t.mci.Called("open c:\\later.wav"));
    EXPECT_EQ(t.cursor.calls.back(), "arrow");
  }
  Fresh t;
  t.Fill({"c:\\b.mp3"});
  t.list.SelectAll();
  t.mp3.checkOk = false;
  t.Show();
  EXPECT_EQ(t.LastText(), "not an mp3");
}

TEST_F(SelectionTimeTest, DoesNothingWhileASongPlaysOrTheIntervalRuns) {
  Fill({"c:\\a.wav"});
  list.SelectAll();
  seq.SetState(songlist::kPlaying);
  Show();
  seq.SetState(songlist::kStopped);
  seq.SetWaiting(true);
  Show();
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_TRUE(cursor.calls.empty());
}

}  // namespace
