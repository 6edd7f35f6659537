// The media device layer: every open path and its messages, CD tracks, the
// slider, MP3 hand-off, video placement, seeking and the video options.
#include <string>
#include <vector>

#include "playback/medium.h"
#include "playback/player.h"
#include "ui/font_settings.h"
#include "playback_fixture.h"

using songlist::kPaused;
using songlist::kPlaying;
using songlist::kStopped;

namespace {

const char kNoCd[] = "ＣＤがセットされていません。ＣＤをセットしてください。";
const char kQuestion[] =
    "演奏するファイルのディレクトリが見つかりません。ディレクトリの変更を行いますか？";

std::string MacBinaryFile(uint32_t forkLength, size_t fileSize) {
  std::string f(fileSize, '\0');
  f[1] = 9;
  f[83] = static_cast<char>(forkLength >> 24);
  f[84] = static_cast<char>(forkLength >> 16);
  f[85] = static_cast<char>(forkLength >> 8);
  f[86] = static_cast<char>(forkLength);
  for (size_t i = 128; i < fileSize; ++i) f[i] = static_cast<char>(i * 7);
  return f;
}

struct DeviceTest : PlaybackTest {
  std::vector<std::string> changed;
  DeviceTest() {
    changeDirectory = [this](const std::string& p) {
      changed.push_back(p);
      list.SetPathOfSlot(list.SlotAt(list.Current()), "c:\\new\\song.wav");
      return true;
    };
  }
  bool Open(const char* path) {
    list.Clear();
    list.Append(path);
    return device.OpenAndPlay(path);
  }
};

TEST_F(DeviceTest, CdOpenErrorsShowTheirOwnMessages) {
  mci.Fail("opencd", platform::kMciErrCannotLoadDriver);
  EXPECT_FALSE(Open("d:\\track02.cda"));
  EXPECT_EQ(LastText(), kNoCd);
  EXPECT_EQ(notifier.boxes.back().caption, "マルチメディアエラー");
  EXPECT_EQ(notifier.beeps.back(), platform::kBeepWarning);
  EXPECT_EQ(device.State(), kStopped);

  mci.Fail("opencd", platform::kMciErrMustUseShareable);
  Open("d:\\track02.cda");
  EXPECT_EQ(LastText(), "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。");

  // No disc found only when the length is asked: the device is closed again.
  mci.Fail("length", platform::kMciErrHardware);
  EXPECT_FALSE(Open("d:\\track02.cda"));
  EXPECT_EQ(LastText(), kNoCd);
  EXPECT_FALSE(mci.open);
  EXPECT_EQ(notifier.boxes.size(), 3u);
}

TEST_F(DeviceTest, CdTrackPlaysToItsEndAndNamesItselfInTheStatusBar) {
  mci.length = 3000000;
  mci.trackLength[7] = 185000;
  settings.charset = 0;
  settings.strupr = 1;
  ASSERT_TRUE(Open("d:\\cd$1\\Track007.acd"));
  EXPECT_EQ(device.Length(), 185000u);
  EXPECT_EQ(device.DiscLength(), 3000000u);
  EXPECT_TRUE(mci.Called("timeformat tmsf"));
  EXPECT_EQ(mci.calls.back(), "play from " + std::to_string(platform::Tmsf(7, 0, 0)) + " to " +
                                  std::to_string(platform::Tmsf(7, 3, 5)));
  EXPECT_EQ(view.trackText, "TRACK <007>");
  // Position: minutes and seconds of the current track.
  mci.position = platform::Tmsf(7, 1, 2);
  uint32_t ms = 0;
  int32_t s = 0;
  ASSERT_TRUE(device.Position(&ms, &s));
  EXPECT_EQ(s, 62);
  device.CloseMedium();
  EXPECT_EQ(view.trackText, "");

  settings.charset = 128;
  Open("d:\\cd$1\\Track007.acd");
  EXPECT_EQ(view.trackText, "ﾄﾗｯｸ <007>");
  // A new list font and case mode while the track plays: the text follows.
  settings.charset = 0;
  settings.strupr = 2;
  ui::AfterFontChosen(settings, device, notifier);
  EXPECT_EQ(view.trackText, "Track <007>");
  EXPECT_EQ(LastText(), "このフォントを使用すると、漢字の表示ができなくなります。");
  device.CloseMedium();
  device.RewriteTrackText();
  EXPECT_EQ(view.trackText, "");
  Open("d:\\cd$$1\\Track02.cda");
  EXPECT_EQ(mci.calls.back().rfind("play from " + std::to_string(platform::Tmsf(2, 0, 0)) + " to ", 0), 0u);
  device.RewriteTrackText();
  EXPECT_EQ(view.trackText, "");
}

TEST_F(DeviceTest, MissingDirectoryAsksAndRetriesAfterTheDirectoryChange) {
  fs.AddDir("c:\\new");
  // No: no further message.
  notifier.answers = {platform::kIdNo};
  mci.Fail("open", platform::kMciErrFileNotFound);
  EXPECT_FALSE(Open("c:\\gone\\song.wav"));
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(LastText(), kQuestion);
  EXPECT_EQ(notifier.boxes.back().style, platform::kMbYesNo | platform::kMbIconExclamation);
  EXPECT_TRUE(changed.empty());

  // Yes: the entry moves and the new path opens.
  mci.Fail("open", platform::kMciErrFileRead);
  EXPECT_TRUE(Open("c:\\gone\\song.wav"));
  EXPECT_EQ(changed, std::vector<std::string>{"c:\\gone\\song.wav"});
  EXPECT_EQ(mci.openedElements.back(), "c:\\new\\song.wav");
  EXPECT_EQ(device.LastPath(), "c:\\new\\song.wav");
  EXPECT_EQ(notifier.boxes.size(), 2u);
  device.CloseMedium();

  // Yes, and the second try fails too: its error is shown.
  mci.Fail("open", platform::kMciErrInvalidFile);
  mci.Fail("open", 277);
  EXPECT_FALSE(Open("c:\\gone\\song.wav"));
  EXPECT_EQ(LastText(), "error 277");
}

TEST_F(DeviceTest, OpenErrorsWithoutTheQuestionShowTheDeviceText) {
  fs.AddDir("c:\\here");
  mci.Fail("open", platform::kMciErrFileNotFound);  // directory exists
  EXPECT_FALSE(Open("c:\\here\\song.wav"));
  EXPECT_EQ(LastText(), "error 275");
  drives.fixed = false;  // a removable drive is never asked about
  mci.Fail("open", platform::kMciErrFileRead);
  EXPECT_FALSE(Open("a:\\gone\\song.wav"));
  EXPECT_EQ(LastText(), "error 348");
  drives.fixed = true;
  mci.Fail("open", 263);
  EXPECT_FALSE(Open("c:\\gone\\song.wav"));
  EXPECT_EQ(LastText(), "error 263");
  EXPECT_EQ(notifier.boxes.size(), 3u);
  EXPECT_EQ(device.State(), kStopped);
}

TEST_F(DeviceTest, QuickTimeFilesFallBackToThePlatformsOwnDevices) {
  fs.AddDir("c:\\m");
  // No QuickTime device: the picture goes to the image decoder, in the main window.
  mci.Fail("open", 263);
  EXPECT_TRUE(Open("c:\\m\\photo.JPG"));
  EXPECT_TRUE(mci.Called("open picture c:\\m\\photo.JPG"));
  EXPECT_TRUE(mci.Called("window"));
  EXPECT_EQ(device.State(), kPlaying);
  EXPECT_TRUE(notifier.boxes.empty());
  device.CloseMedium();
  // A QuickTime device that takes the file is used as it is.
  mci.calls.clear();
  EXPECT_TRUE(Open("c:\\m\\photo.jpg"));
  EXPECT_FALSE(mci.Called("open picture"));
  device.CloseMedium();
  // A film is tried on the DirectShow device; only its failure is shown.
  mci.Fail("open", 266);
  EXPECT_TRUE(Open("c:\\m\\film.mov"));
  EXPECT_TRUE(mci.Called("open mpegvideo c:\\m\\film.mov"));
  device.CloseMedium();
  mci.Fail("open", 263);
  mci.Fail("openon", platform::kMciErrInvalidFile);
  EXPECT_FALSE(Open("c:\\m\\film.mov"));
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(LastText(), "error 296");
  // A missing file keeps its own error; other kinds have no second device.
  mci.calls.clear();
  mci.Fail("open", platform::kMciErrFileNotFound);
  EXPECT_FALSE(Open("c:\\m\\gone.mov"));
  mci.Fail("open", 263);
  EXPECT_FALSE(Open("c:\\m\\clip.mpg"));
  mci.Fail("open", 263);
  EXPECT_FALSE(Open("c:\\m\\clip.avi"));
  EXPECT_EQ(mci.Count("open"), 3);
  EXPECT_EQ(LastText(), "error 263");
}

TEST_F(DeviceTest, InvalidMidiFileIsTriedAsMacBinary) {
  fs.AddFile("c:\\m\\plain.mid", "MThd not really");
  mci.Fail("open", platform::kMciErrInvalidFile);
  EXPECT_FALSE(Open("c:\\m\\plain.mid"));
  EXPECT_EQ(LastText(), "error 296");

  fs.AddDir("c:\\temp");
  std::string wrapped = MacBinaryFile(2000, 2600);
  fs.AddFile("c:\\m\\wrapped.mid", wrapped);
  mci.Fail("open", platform::kMciErrInvalidFile);
  ASSERT_TRUE(Open("c:\\m\\wrapped.mid"));
  EXPECT_EQ(mci.openedElements.back(), "c:\\temp\\wrapped.mid");
  EXPECT_EQ(fs.Contents("c:\\temp\\wrapped.mid"), wrapped.substr(128, 2000));
  EXPECT_EQ(list.PathAt(0), std::string("c:\\m\\wrapped.mid"));
  seq.Stop();
  EXPECT_FALSE(fs.Has("c:\\temp\\wrapped.mid"));

  // The converted file will not open either: it goes away at once.
  mci.Fail("open", platform::kMciErrInvalidFile);
  mci.Fail("open", 277);
  EXPECT_FALSE(Open("c:\\m\\wrapped.mid"));
  EXPECT_EQ(LastText(), "error 277");
  EXPECT_FALSE(fs.Has("c:\\temp\\wrapped.mid"));

  fs.AddFile("c:\\m\\broken.mid", MacBinaryFile(5000, 3000));
  mci.Fail("open", platform::kMciErrInvalidFile);
  EXPECT_FALSE(Open("c:\\m\\broken.mid"));
  EXPECT_EQ(LastText(),
            "ファイルにMACバイナリが検出されましたが、データが壊れているため、変換できませんでした。");
  EXPECT_FALSE(fs.Has("c:\\temp\\broken.mid"));
}

TEST(MidiRouteTest, OnlyLoopBackPortsOrNoneMeanTheSynthesizer) {
  using playback::MidiRoute;
  EXPECT_EQ(playback::ChooseMidiRoute({}), MidiRoute::kSynthesizer);
  EXPECT_EQ(playback::ChooseMidiRoute({"Midi Through Port-0", "MIDI THROUGH Port-1"}), MidiRoute::kSynthesizer);
  EXPECT_EQ(playback::ChooseMidiRoute({"Midi Through Port-0", "TiMidity port 0"}), MidiRoute::kSequencer);
  EXPECT_EQ(playback::ChooseMidiRoute({"Midi"}), MidiRoute::kSequencer);
}

TEST_F(DeviceTest, MidiWithoutARealOutputPlaysOnTheSynthesizerWithoutReset) {
  settings.resetOn = true;
  ASSERT_TRUE(Open("c:\\m\\a.mid"));
  EXPECT_TRUE(mci.Called("open c:\\m\\a.mid"));
  EXPECT_EQ(midi.sent.size(), 1u);
  seq.Stop();

  // The outputs are asked once a run: a device that comes later changes nothing.
  playback::Device fresh{{&mci, &notifier, &fs, &drives, &video, &midi, &mp3, &view, &list, &settings}};
  midi.outputs = {"Midi Through Port-0"};
  midi.listed = 0;
  mci.calls.clear();
  list.Clear();
  list.Append("c:\\m\\a.mid");
  ASSERT_TRUE(fresh.OpenAndPlay("c:\\m\\a.mid"));
  // The sequencer only reads the file: the song plays on the synthesizer.
  EXPECT_EQ(std::vector<std::string>(mci.calls.begin(), mci.calls.begin() + 4),
            (std::vector<std::string>{"open c:\\m\\a.mid", "close", "open mpegvideo c:\\m\\a.mid", "timeformat ms"}));
  midi.outputs = {"Synth"};
  fresh.CloseMedium();
  ASSERT_TRUE(fresh.OpenAndPlay("c:\\m\\a.MID"));
  EXPECT_EQ(mci.Count("open mpegvideo c:\\m\\a."), 2);
  EXPECT_EQ(midi.listed, 1);
  EXPECT_EQ(midi.sent.size(), 1u);
  EXPECT_EQ(fresh.Length(), mci.length);
}

TEST_F(DeviceTest, OnTheSynthesizerRouteTheSequencerTellsADamagedFile) {
  midi.outputs = {};
  fs.AddDir("c:\\temp");
  const std::string wrapped = MacBinaryFile(2000, 2600);
  fs.AddFile("c:\\m\\wrapped.mid", wrapped);
  mci.Fail("open", platform::kMciErrInvalidFile);
  ASSERT_TRUE(Open("c:\\m\\wrapped.mid"));
  EXPECT_TRUE(mci.Called("open mpegvideo c:\\temp\\wrapped.mid"));
  seq.Stop();

  // A file the sequencer accepts but the synthesizer refuses: its error, once.
  notifier.boxes.clear();
  mci.Fail("openon", 277);
  EXPECT_FALSE(Open("c:\\m\\plain.mid"));
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(LastText(), "error 277");
  EXPECT_FALSE(mci.open);
}

TEST_F(DeviceTest, SliderDivisorFollowsTheLength) {
  struct Case {
    uint32_t length;
    int32_t max, page;
  } cases[] = {{45000, 4500, 1000}, {29999, 29999, 10000}, {40000000, 10000, 2},
               {299999, 29999, 1000}, {300000, 3000, 100}, {29999999, 29999, 10}};
  for (const Case& c : cases) {
    mci.length = c.length;
    ASSERT_TRUE(Open("c:\\a.wav"));
    EXPECT_EQ(view.sliderMax, c.max) << c.length;
    EXPECT_EQ(view.sliderPage, c.page) << c.length;
    EXPECT_EQ(view.sliderPos, 0);
    device.CloseMedium();
  }
  EXPECT_EQ(playback::SliderDivisor(40000000), 4000u);
}

TEST_F(DeviceTest, FailuresAfterTheOpenCloseTheDevice) {
  mci.Fail("timeformat", 280);
  EXPECT_FALSE(Open("c:\\a.wav"));
  EXPECT_FALSE(mci.open);
  mci.Fail("play", 281);
  EXPECT_FALSE(Open("c:\\a.wav"));
  EXPECT_FALSE(mci.open);
  EXPECT_EQ(LastText(), "error 281");
  EXPECT_EQ(device.State(), kStopped);
  EXPECT_TRUE(device.LastPath().empty());
  // The message comes after the close: a command carried out meanwhile
  // finds nothing open.
  bool openDuringBox = true;
  notifier.whileShown = [&] { openDuringBox = mci.open || device.IsOpen(); };
  mci.Fail("length", 282);
  EXPECT_FALSE(Open("c:\a.wav"));
  EXPECT_FALSE(openDuringBox);
}

// A film placed in the main window whose play then fails takes its picture
// back out of the list, as a close would.
TEST_F(DeviceTest, AFilmThatFailsToPlayLeavesNoPictureInTheList) {
  mci.Fail("play", 281);
  EXPECT_FALSE(Open("c:\\v.avi"));
  EXPECT_TRUE(mci.Called("window 2"));
  EXPECT_FALSE(view.videoInList);
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(LastText(), "error 281");
}

TEST_F(DeviceTest, MidiResetIsSentBeforeEveryMidiSong) {
  settings.resetOn = true;
  Open("c:\\a.MID");
  ASSERT_EQ(midi.sent.size(), 1u);
  EXPECT_EQ(midi.sent[0], (std::vector<uint8_t>{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F,
                                                0x00, 0x41, 0xF7}));
  device.CloseMedium();
  Open("c:\\a.wav");
  EXPECT_EQ(midi.sent.size(), 1u);
}

TEST_F(DeviceTest, Mp3GoesToTheOwnPlayer) {
  ASSERT_TRUE(Open("c:\\s\\a.mp3"));
  EXPECT_EQ(mp3.calls, (std::vector<std::string>{"check c:\\s\\a.mp3", "start c:\\s\\a.mp3"}));
  EXPECT_TRUE(mci.calls.empty());
  EXPECT_EQ(device.Length(), 180000u);
  mp3.seekFrame = 100;
  mp3.samples = 44100;
  uint32_t ms = 0;
  int32_t s = 0;
  ASSERT_TRUE(device.Position(&ms, &s));
  EXPECT_EQ(ms, 2612u + 1000u);

  device.PauseMedium();
  EXPECT_EQ(device.State(), kPaused);
  device.ResumeMedium();
  EXPECT_EQ(device.State(), kPlaying);
  // ".mp2" is not ours.
  device.CloseMedium();
  EXPECT_EQ(mp3.calls.back(), "stop");
  Open("c:\\s\\a.mp2");
  EXPECT_EQ(mci.openedElements.back(), "c:\\s\\a.mp2");
}

// Reports of a medium closed before (a song just replaced by the next) are
// dropped at its close; device ids are reused and Wine's MPEG driver reports
// as id 0, so an id-0 report is the open medium's.
TEST_F(DeviceTest, NoticesOfAClosedMediumAreNotTakenForTheOpenOne) {
  using platform::kMciNotifyAborted;
  using platform::kMciNotifySuccessful;
  ASSERT_TRUE(Open("c:\\s\\a.mpg"));
  const platform::MciDevice mpg = device.MciId();
  ASSERT_NE(mpg, 0u);
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifySuccessful, 0));
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifySuccessful, mpg));
  EXPECT_FALSE(device.NoticeIsCurrent(kMciNotifySuccessful, mpg + 7));
  device.ExpectAborted();
  const int discards = mci.discards;
  mci.queuedNotices = kMciNotifyAborted;
  device.CloseMedium();
  mci.queuedNotices = 0;
  EXPECT_EQ(mci.discards, discards + 1);
  EXPECT_FALSE(device.AbortedExpected());  // its report went with the others
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifyAborted, mpg));
  EXPECT_FALSE(device.NoticeIsCurrent(platform::kMciNotifyFailure, mpg));
  ASSERT_TRUE(Open("c:\\s\\a.mp3"));
  device.CloseMedium();
  EXPECT_EQ(mci.discards, discards + 2);
}

// A play that a pause, a seek or a resume replaced reports its end too; the
// song has not ended while its device still plays short of its end.
TEST_F(DeviceTest, TheEndOfAReplacedPlayIsNotTheSongsEnd) {
  using platform::kMciNotifyAborted;
  using platform::kMciNotifySuccessful;
  mci.length = 10000;
  ASSERT_TRUE(Open("c:\\s\\a.avi"));
  const platform::MciDevice id = device.MciId();
  mci.mode = platform::MciMode::kPlay;
  mci.position = 2500;
  // Never paused or moved: a report is the end, whatever the mode says.
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifySuccessful, id));
  device.PauseMedium();
  device.ResumeMedium();
  mci.mode = platform::MciMode::kPlay;
  mci.position = 2500;
  EXPECT_FALSE(device.NoticeIsCurrent(kMciNotifySuccessful, id));
  EXPECT_FALSE(device.NoticeIsCurrent(kMciNotifySuccessful, 0));
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifyAborted, id));
  mci.position = 9500;  // at its end, still called playing
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifySuccessful, id));
  mci.position = 2500;
  mci.mode = platform::MciMode::kStop;
  EXPECT_TRUE(device.NoticeIsCurrent(kMciNotifySuccessful, id));
}

TEST_F(DeviceTest, Mp3FailuresShowThePlayersMessage) {
  fs.AddDir("c:\\s");
  mp3.checkOk = false;
  EXPECT_FALSE(Open("c:\\s\\a.mp3"));
  EXPECT_EQ(LastText(), "not an mp3");
  // Missing directory: the question; No shows nothing more.
  notifier.answers = {platform::kIdNo};
  EXPECT_FALSE(Open("c:\\gone\\a.mp3"));
  EXPECT_EQ(LastText(), kQuestion);
  mp3.checkOk = true;
  mp3.startOk = false;
  EXPECT_FALSE(Open("c:\\s\\a.mp3"));
  EXPECT_EQ(LastText(), "no wave device");
  EXPECT_EQ(device.State(), kStopped);
}

TEST_F(DeviceTest, ResumingAnMp3ThatRanOutEndsTheSongNormally) {
  Fill({"c:\\a.mp3", "c:\\b.mp3"});
  seq.Play();
  device.PauseMedium();
  mp3.restartFailed = true;
  seq.Play();
  EXPECT_EQ(view.notifies, std::vector<uint32_t>{platform::kMciNotifySuccessful});
  seq.OnNotify(view.notifies.back());
  EXPECT_EQ(Current(), "c:\\b.mp3");
  EXPECT_EQ(device.State(), kPlaying);
}

TEST_F(DeviceTest, VideoInTheMainWindowLeavesTheSliderStrip) {
  ASSERT_TRUE(Open("c:\\v.avi"));
  EXPECT_TRUE(device.VideoInMain());
  // A child of the main window from the start, never a window of its own.
  EXPECT_TRUE(mci.Called("open c:\\v.avi child 2"));
  EXPECT_TRUE(mci.Called("window 2"));
  EXPECT_TRUE(mci.Called("put 0,0,500,379"));
  EXPECT_TRUE(view.videoInList);
  seq.Stop();
  EXPECT_FALSE(view.videoInList);
  settings.slider = false;
  Open("c:\\v.avi");
  EXPECT_TRUE(mci.Called("put 0,0,500,400"));
}

TEST_F(DeviceTest, OwnSizeFitsTheFrameAroundThePicture) {
  settings.aviSize = true;
  ASSERT_TRUE(Open("c:\\v.avi"));
  // 320 x 240 picture plus the 21-pixel strip inside the frame's decorations.
  EXPECT_EQ(video.windows[1].bounds.w, 320 + video.frameExtraW);
  EXPECT_EQ(video.windows[1].bounds.h, 240 + 21 + video.frameExtraH);
  EXPECT_EQ(video.maxTrackW, 328);
  // A picture larger than the screen: the frame is pinned to it.
  device.CloseMedium();
  mci.source = {0, 0, 2000, 300};
  Open("c:\\v.avi");
  EXPECT_EQ(video.windows[1].bounds.x, 0);
  EXPECT_EQ(video.windows[1].bounds.w, 1024);
}

TEST_F(DeviceTest, DedicatedWindowPlacementAndFullScreen) {
  settings.aviDisp = true;
  settings.vx = 10;
  settings.vy = 20;
  settings.vw = 400;
  settings.vh = 300;
  ASSERT_TRUE(Open("c:\\v.avi"));
  EXPECT_EQ(mci.openedElements.back(), "c:\\v.avi");
  EXPECT_FALSE(mci.Called("open c:\\v.avi child"));
  EXPECT_EQ(video.windows[0x777].bounds.x, 10);
  EXPECT_EQ(video.windows[0x777].bounds.w, 400);
  // The placement the user leaves is kept.
  video.windows[0x777].bounds = {30, 40, 200, 150};
  device.CloseMedium();
  EXPECT_EQ(settings.vx, 30);
  EXPECT_EQ(settings.vh, 150);

  // The user closed the window first: the old placement stays.
  Open("c:\\v.avi");
  video.windows[0x777].bounds = {};
  device.CloseMedium();
  EXPECT_EQ(settings.vw, 200);

  settings.aviCenter = true;
  video.windows[0x777].bounds = {30, 40, 200, 150};
  Open("c:\\v.avi");
  EXPECT_EQ(video.windows[0x777].bounds.x, (1024 - 200) / 2);
  device.CloseMedium();
  // On a second monitor it is centred there, not pulled onto the primary one.
  video.screenX = 1024;
  video.screenY = 30;
  video.screenW = 1920;
  video.screenH = 1050;
  Open("c:\\v.avi");
  EXPECT_EQ(video.windows[0x777].bounds.x, 1024 + (1920 - 200) / 2);
  EXPECT_EQ(video.windows[0x777].bounds.y, 30 + (1050 - 150) / 2);
  device.FitVideo(1);
  EXPECT_GE(video.windows[0x777].bounds.x, 1024);
  device.CloseMedium();
  video.screenX = video.screenY = 0;
  video.screenW = 1024;
  video.screenH = 768;

  settings.aviAllDisp = true;
  video.saver = true;
  Open("c:\\v.avi");
  EXPECT_TRUE(mci.Called("open c:\\v.avi popup"));
  EXPECT_TRUE(video.windows[0x777].maximized);
  EXPECT_FALSE(video.saver);
  device.CloseMedium();
  EXPECT_TRUE(video.saver);
}

TEST_F(DeviceTest, TogglingTheDedicatedWindowOnAPausedVideoReopensItPaused) {
  Fill({"c:\\v.avi"});
  seq.Play();
  mci.position = 5000;
  device.PauseMedium();
  seq.VideoOption(129);
  EXPECT_TRUE(settings.aviDisp);
  EXPECT_EQ(device.State(), kStopped);
  EXPECT_EQ(list.StartPosition(), 5000u);
  ASSERT_EQ(view.posted, std::vector<uint16_t>{154});
  EXPECT_TRUE(device.AbortedExpected());  // its report is still to come, for at most 2 s
  seq.ReopenCurrent();
  EXPECT_TRUE(device.VideoInDedicated());
  EXPECT_EQ(mci.calls[mci.calls.size() - 3], "seek 5000");
  EXPECT_EQ(view.posted.back(), 103);
  // No video open: the option only flips.
  seq.Stop();
  seq.VideoOption(147);
  EXPECT_TRUE(settings.aviAllDisp);
  EXPECT_EQ(view.posted.size(), 2u);
  // A close that took the aborted report away already leaves none to wait for.
  device.StopExpectingAborted();
  seq.Play();
  mci.queuedNotices = platform::kMciNotifyAborted;
  seq.VideoOption(129);
  EXPECT_EQ(view.posted.size(), 3u);
  EXPECT_FALSE(device.AbortedExpected());
}

TEST_F(DeviceTest, PageStepsPauseSeekAndResumeOnceForTheEndOfScrolling) {
  Fill({"c:\\a.wav"});
  mci.length = 45000;
  seq.Play();
  mci.calls.clear();
  device.SeekTo(1200, playback::SliderEvent::kPageStep);
  device.SeekTo(1200, playback::SliderEvent::kEndScroll);
  EXPECT_EQ(mci.calls, (std::vector<std::string>{"pause", "seek 12000", "play"}));

  // Paused: the start position follows the seek.
  device.PauseMedium();
  mci.calls.clear();
  mci.position = 20000;
  device.SeekTo(2000, playback::SliderEvent::kEndScroll);
  EXPECT_EQ(mci.calls, (std::vector<std::string>{"seek 20000", "position"}));
  EXPECT_EQ(list.StartPosition(), 20000u);
  EXPECT_EQ(device.State(), kPaused);
}

TEST_F(DeviceTest, ThumbDragSeeksVideoAtOnceAndHoldsTheTimer) {
  Fill({"c:\\v.avi"});
  mci.length = 45000;
  seq.Play();
  mci.calls.clear();
  device.SeekTo(300, playback::SliderEvent::kThumbTrack);
  EXPECT_EQ(mci.calls, std::vector<std::string>{"seek 3000"});
  EXPECT_TRUE(device.Dragging());
  view.sliderPos = -1;
  seq.OnTimer();
  EXPECT_EQ(view.sliderPos, -1);
  device.SeekTo(300, playback::SliderEvent::kEndScroll);
  EXPECT_FALSE(device.Dragging());
  // A still picture is never sought.
  seq.Stop();
  list.Clear();
  Fill({"c:\\p.jpg"});
  seq.Play();
  mci.calls.clear();
  device.SeekTo(10, playback::SliderEvent::kPageStep);
  EXPECT_TRUE(mci.calls.empty());
}

TEST_F(DeviceTest, SoftPegDriverCreepsUpOnItsSeekTarget) {
  mci.product = "CompCore SoftPEG (TM)";
  mci.length = 100000;
  mci.positions = {27000, 28500, 29200};
  list.Append("c:\\m.mpg");
  list.SetStartPosition(30000);
  ASSERT_TRUE(device.OpenAndPlay("c:\\m.mpg"));
  EXPECT_EQ(device.DriverKind(), playback::kDriverSoftPeg);
  EXPECT_EQ(mci.Count("seek"), 3);
  EXPECT_TRUE(mci.Called("seek 30100"));
  EXPECT_EQ(mci.Count("play"), 2);
}

TEST_F(DeviceTest, PausedPictureIsRedrawnByAStepAndASeekBack) {
  Fill({"c:\\v.avi"});
  seq.Play();
  mci.position = 4000;
  device.PauseMedium();
  mci.calls.clear();
  device.RedrawPausedPicture();
  EXPECT_EQ(mci.calls, (std::vector<std::string>{"step", "seek 4000"}));
  mci.calls.clear();
  mci.positions = {4000, 4040};
  device.StepFrame(false);
  EXPECT_EQ(mci.calls, (std::vector<std::string>{"position", "step back", "position"}));
  EXPECT_EQ(list.StartPosition(), 4040u);
}

// A system without a device for ".dat" still plays the film on its MPEG
// device; other media keep the platform's own error.
TEST_F(DeviceTest, AnMpegFilmTheSystemHasNoDeviceForOpensOnTheMpegDevice) {
  mci.Fail("open", platform::kMciErrExtensionNotFound);
  ASSERT_TRUE(Open("c:\\v\\clip.dat"));
  EXPECT_EQ(mci.openedElements.back(), "c:\\v\\clip.dat");
  EXPECT_TRUE(mci.Called("open mpegvideo c:\\v\\clip.dat"));
  mci.Fail("open", platform::kMciErrExtensionNotFound);
  device.CloseMedium();
  EXPECT_FALSE(Open("c:\\v\\a.xyz"));
  EXPECT_EQ(LastText(), "error 281");
  EXPECT_FALSE(mci.Called("open mpegvideo c:\\v\\a.xyz"));
}

TEST(MediumTest, FlagsTrackNumbersAndDriverKinds) {
  playback::MediumFlags f = playback::FlagsOf("c:\\X.MPG");
  EXPECT_TRUE(f.video && f.mpegVideo && f.qtOrMpeg && !f.still);
  f = playback::FlagsOf("c:\\x.jpg");
  EXPECT_TRUE(f.video && f.still && !f.qtOrMpeg);
  EXPECT_EQ(playback::CdTrackNumber("d:\\Track02.cda"), 2u);
  EXPECT_EQ(playback::CdTrackNumber("d:\\x007.acd"), 7u);
  // Short ".acd" names: the track the list accepted them with, or refused by both.
  EXPECT_EQ(playback::CdTrackNumber("d:\\7.acd"), 7u);
  EXPECT_TRUE(songlist::IsPlayable("d:\\7.acd"));
  EXPECT_EQ(playback::CdTrackNumber("d:\\x7.acd"), 0u);
  EXPECT_FALSE(songlist::IsPlayable("d:\\x7.acd"));
  EXPECT_EQ(playback::MpegDriverKind("activemovie"), playback::kDriverActiveMovie);
  EXPECT_EQ(playback::MpegDriverKind("XingMPEG Driver"), playback::kDriverXing);
  EXPECT_EQ(playback::MpegDriverKind("Something"), playback::kDriverOther);
  EXPECT_TRUE(playback::HasSingleDollar("a$b"));
  EXPECT_FALSE(playback::HasSingleDollar("a$$b"));
  EXPECT_TRUE(playback::HasSingleDollar("a$$$b"));
  // "$" as the second byte of a double-byte character is not a dollar.
  EXPECT_FALSE(playback::HasSingleDollar("\x81$x"));
}

}  // namespace

namespace {

// The main window builds the player before its song list, as here.
struct PlayerWiring {
  FakeMci mci;
  FakeNotifier notifier;
  FakeFileSystem fs;
  FakeDrives drives;
  FakeVideoWindow video;
  FakeMidiOut midi;
  FakeMp3 mp3;
  FakePlayerView view;
  FakeClock clock;
  FakeCollator collator;
  NullListView listView;
  songlist::Random random{7};
  app::Settings settings;
  playback::Player player{{{&mci, &notifier, &fs, &drives, &video, &midi, &mp3, &view, &list, &settings},
                           &clock, &random}};
  songlist::SongList list{{player.link(), &listView, &collator, &random}};
};

TEST(PlayerTest, CommandsReachTheSequencerAndTheFocusedMidiTitle) {
  PlayerWiring w;
  w.settings.resetOn = false;
  w.list.Append("c:\\a.wav");
  w.list.Append("c:\\b.mid");
  EXPECT_TRUE(w.player.OnCommand(203));
  EXPECT_EQ(w.player.sequencer().State(), songlist::kPlaying);
  EXPECT_TRUE(w.player.OnCommand(127));
  EXPECT_TRUE(w.settings.repeat2);
  EXPECT_FALSE(w.player.OnCommand(202));
  w.list.SetFocus(1);
  w.player.OnCommand(146);
  EXPECT_EQ(w.notifier.boxes.back().text, "ファイルが見つからないか、ファイルが使用中です。");
  EXPECT_TRUE(w.player.OnCommand(204));
  EXPECT_EQ(w.player.sequencer().State(), songlist::kStopped);
}

}  // namespace

TEST(PlayerTest, SoftPegPictureIsRepaintedOnlyWhenThePictureAreaShrank) {
  PlayerWiring w;
  w.mci.product = "CompCore SoftPEG (TM)";
  w.settings.slider = true;
  w.settings.resetOn = false;
  w.player.OnMainWindowSized(400, 300);  // no film yet, but the size counts
  w.list.Append("c:\\m.mpg");
  ASSERT_TRUE(w.player.OnCommand(203));
  ASSERT_TRUE(w.player.device().VideoInMain());
  auto repaints = [&] {
    int n = 0;
    for (const std::string& l : w.video.log) n += l.rfind("repaint", 0) == 0;
    return n;
  };
  w.player.OnMainWindowSized(500, 250);  // wider: the driver draws the new strip itself
  EXPECT_EQ(repaints(), 0);
  w.player.OnMainWindowSized(450, 250);
  EXPECT_EQ(repaints(), 1);
  w.player.OnSliderShown(false);
  EXPECT_EQ(repaints(), 1);
  w.player.OnSliderShown(true);
  EXPECT_EQ(repaints(), 2);
}
