// Open audio CD and the CD track entries: names from the title file, the
// device's failures, the replace with its undo step, the 259-byte limit.
#include "songlist/audio_cd.h"

#include "fakes/fake_mci.h"
#include "playback/medium.h"
#include "songlist_fixture.h"
#include "text/sjis.h"

namespace {

const char kNoCd[] = "ＣＤがセットされていません。ＣＤをセットしてください。";
const char kCdBusy[] = "現在、オーディオＣＤは使用中です。開放されるまで、お待ちください。";
const char kCaption[] = "マルチメディアエラー";
const char kIni[] = "c:\\windows\\cdplayer.ini";

struct AudioCdTest : SongListTest {
  FakeMci mci;
  songlist::AudioCdLinks links{&mci, &fs, &notifier};

  void Disc(uint32_t tracks, const std::string& identity = "1234567890") {
    mci.numberOfTracks = tracks;
    mci.mediaIdentity = identity;
  }
  // A title file with one section for the disc 1234567890 (hex 499602d2).
  void Titles(const std::string& body) { fs.AddFile(kIni, "[499602d2]\r\n" + body); }
  void Open() { songlist::OpenAudioCd(list, links, "c:\\"); }
  void ExpectBox(const std::string& text) {
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(LastText(), text);
    EXPECT_EQ(LastCaption(), kCaption);
    EXPECT_EQ(notifier.boxes[0].style, platform::kMbOk | platform::kMbIconExclamation);
    EXPECT_EQ(notifier.beeps, std::vector<unsigned>{platform::kBeepWarning});
  }
};

TEST_F(AudioCdTest, UnknownDiscGivesNumberedTrackEntriesInOrder) {
  Disc(12);
  Fill({"c:\\a.mid", "c:\\b.mid"});
  list.SetSelected(1, true);
  list.SetCurrent(1);
  Open();
  ASSERT_EQ(list.Count(), 12);
  for (int i = 0; i < 12; ++i) {
    char want[32];
    std::snprintf(want, sizeof want, "c:\\track%03d.acd", i + 1);
    EXPECT_EQ(std::string(list.PathAt(i)), want);
    EXPECT_EQ(list.SlotAt(i), i);
    EXPECT_EQ(list.FlagsAt(i), 0u);
  }
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_FALSE(list.Tied());
  EXPECT_GT(view.titles, 0);
  EXPECT_GT(view.repaints, 0);
  EXPECT_FALSE(list.Busy());
  EXPECT_TRUE(notifier.boxes.empty());
  // The drive is released once the count and identity are known.
  EXPECT_EQ(mci.calls, (Paths{"open cdaudio", "status tracks", "info identity", "close"}));
}

TEST_F(AudioCdTest, KnownDiscNamesTracksFromTheTitleFile) {
  Disc(3);
  Titles("EntryType=1\r\nartist=Band\r\ntitle=Album\r\n0=Intro\r\n2=Outro\r\n");
  Open();
  EXPECT_EQ(Order(), (Paths{"c:\\Band  <Album>\\Intro$001.acd", "c:\\Band  <Album>\\track002.acd",
                            "c:\\Band  <Album>\\Outro$003.acd"}));
}

TEST_F(AudioCdTest, DiscTextWithOnlyArtistOrOnlyTitle) {
  Disc(1);
  Titles("EntryType=1\r\nartist=Band\r\n0=One\r\n");
  Open();
  EXPECT_EQ(Order(), Paths{"c:\\Band\\One$001.acd"});

  Titles("EntryType=1\r\ntitle=Album\r\n0=One\r\n");
  Open();
  EXPECT_EQ(Order(), Paths{"c:\\  <Album>\\One$001.acd"});
}

TEST_F(AudioCdTest, TrackTitlesOnlyForKnownDiscs) {
  Disc(2);
  Titles("EntryType=0\r\nartist=Band\r\n0=One\r\n1=Two\r\n");
  Open();
  EXPECT_EQ(Order(), (Paths{"c:\\Band\\track001.acd", "c:\\Band\\track002.acd"}));

  // Another disc's section, or no title file at all: plain names.
  Disc(1, "42");
  Open();
  EXPECT_EQ(Order(), Paths{"c:\\track001.acd"});
  fs.DeleteFile(kIni);
  Disc(1);
  Open();
  EXPECT_EQ(Order(), Paths{"c:\\track001.acd"});
  EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(AudioCdTest, FailedIdentityCountsAsUnknownDisc) {
  Disc(2);
  Titles("EntryType=1\r\nartist=Band\r\n0=One\r\n");
  mci.Fail("identity", 263);
  Open();
  EXPECT_EQ(Order(), (Paths{"c:\\track001.acd", "c:\\track002.acd"}));
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_FALSE(mci.open);
}

TEST_F(AudioCdTest, DiscIdentifierIsTheIdentityInHex) {
  EXPECT_EQ(songlist::DiscIdentifier("1234567890"), "499602d2");
  EXPECT_EQ(songlist::DiscIdentifier("255"), "ff");
  // Above the signed range: still its own section, not a saturated value.
  EXPECT_EQ(songlist::DiscIdentifier("3000000000"), "b2d05e00");
  EXPECT_EQ(songlist::DiscIdentifier(""), "0");
  EXPECT_EQ(songlist::CdPlayerIniPath("c:\\windows"), "c:\\windows\\cdplayer.ini");
  EXPECT_EQ(songlist::CdPlayerIniPath("c:\\"), "c:\\cdplayer.ini");
}

TEST_F(AudioCdTest, AtMost998Entries) {
  Disc(1200);
  Open();
  ASSERT_EQ(list.Count(), songlist::kMaxCdEntries);
  EXPECT_EQ(std::string(list.PathAt(997)), "c:\\track998.acd");
}

TEST_F(AudioCdTest, EmptyDiscLeavesListAlone) {
  Fill({"c:\\a.mid"});
  Disc(0);
  Open();
  EXPECT_EQ(Order(), Paths{"c:\\a.mid"});
  EXPECT_FALSE(list.UndoAvailable());
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_FALSE(mci.open);
}

TEST_F(AudioCdTest, OpenFailuresShowTheirMessagesAndKeepTheList) {
  const struct {
    uint32_t code;
    std::string text;
  } cases[] = {{platform::kMciErrCannotLoadDriver, kNoCd},
               {platform::kMciErrMustUseShareable, kCdBusy},
               {platform::kMciErrHardware, "error 262"}};  // 262 is special on the count only
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    notifier = FakeNotifier();
    Fill({"c:\\a.mid"});
    Disc(5);
    mci.Fail("opencd", c.code);
    Open();
    ExpectBox(c.text);
    EXPECT_EQ(Order(), Paths{"c:\\a.mid"});
    EXPECT_FALSE(list.UndoAvailable());
    list.Clear();
  }
}

TEST_F(AudioCdTest, TrackCountFailuresCloseTheDevice) {
  const struct {
    uint32_t code;
    std::string text;
  } cases[] = {{platform::kMciErrHardware, kNoCd}, {platform::kMciErrMustUseShareable, "error 291"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    notifier = FakeNotifier();
    mci.calls.clear();
    Fill({"c:\\a.mid"});
    Disc(5);
    mci.Fail("tracks", c.code);
    Open();
    ExpectBox(c.text);
    EXPECT_EQ(mci.calls, (Paths{"open cdaudio", "status tracks", "close"}));
    EXPECT_EQ(Order(), Paths{"c:\\a.mid"});
    list.Clear();
  }
}

TEST_F(AudioCdTest, PlayingSongStopsEvenWithAnEmptyDrive) {
  Fill({"c:\\a.mid"});
  pb.state = songlist::kPlaying;
  pb.waiting = true;
  mci.Fail("opencd", platform::kMciErrCannotLoadDriver);
  Open();
  EXPECT_EQ(pb.calls, Paths{"stop"});
  EXPECT_EQ(pb.state, songlist::kStopped);
  EXPECT_FALSE(pb.waiting);
  ExpectBox(kNoCd);
}

TEST_F(AudioCdTest, UndoBringsBackTheListAndItsSong) {
  Fill({"c:\\a.mid", "c:\\b.mid"});
  list.SetCurrent(1);
  pb.state = songlist::kPlaying;
  pb.position = 5000;
  int checks = 0;
  list.listChangedCheck = [&] { ++checks; };
  Disc(4);
  Open();
  EXPECT_EQ(checks, 1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(pb.calls, Paths{"stop"});

  // The undo step remembers the song as playing, though it stopped first.
  list.Undo();
  EXPECT_EQ(Order(), (Paths{"c:\\a.mid", "c:\\b.mid"}));
  EXPECT_EQ(list.Current(), 1);
  EXPECT_EQ(pb.calls, (Paths{"stop", "play"}));
}

TEST_F(AudioCdTest, EmptyListTakesNoUndoStep) {
  Fill({"c:\\old.mid"});
  list.TakeUndoCopy();
  list.Clear();
  pb.state = songlist::kPaused;
  Disc(2);
  Open();
  EXPECT_EQ(list.Count(), 2);
  // The older undo step is left as it was, not stamped with this state.
  pb.calls.clear();
  list.Undo();
  EXPECT_EQ(Order(), (Paths{"c:\\old.mid"}));
  EXPECT_TRUE(pb.calls.empty());
}

TEST_F(AudioCdTest, LongTitlesAreCutToFitWithoutSplittingACharacter) {
  // Disc text of 210 bytes: 79 of artist, 127 of title and the brackets.
  const std::string artist(79, 'A'), album(127, 'T');
  std::string longTitle;
  for (int i = 0; i < 150; ++i) longTitle += "曲";
  Disc(12);
  Titles("EntryType=1\r\nartist=" + artist + "X\r\ntitle=" + album + "X\r\n0=" + longTitle +
         "\r\n11=" + longTitle + "\r\n");
  Open();
  const std::string disc = "c:\\" + artist + "  <" + album + ">\\";
  for (int pos : {0, 11}) {
    const std::string path = list.PathAt(pos);
    SCOPED_TRACE(path);
    EXPECT_LE(path.size(), 259u);
    ASSERT_EQ(path.compare(0, disc.size(), disc), 0);
    const std::string name = path.substr(disc.size());
    const std::string tail = pos == 0 ? "$001.acd" : "$012.acd";
    ASSERT_GT(name.size(), tail.size());
    EXPECT_EQ(name.substr(name.size() - tail.size()), tail);
    const std::string title = name.substr(0, name.size() - tail.size());
    EXPECT_EQ(title.size() % 2, 0u);
    EXPECT_EQ(title, longTitle.substr(0, title.size()));
    EXPECT_EQ(playback::CdTrackNumber(path), static_cast<uint32_t>(pos + 1));
  }

  // No disc text: the title alone is long enough to need cutting too.
  // (An odd room of 249 bytes: the double-byte title stops one short.)
  EXPECT_EQ(songlist::CdTrackPath("c:", "", longTitle, 7).size(), 258u);
  EXPECT_EQ(songlist::CdTrackPath("c:", "", std::string(300, 'x'), 7).size(), 259u);
}

TEST_F(AudioCdTest, StartupTracksUseTheNamedDriveAndStaySilent) {
  Disc(2);
  EXPECT_EQ(songlist::AudioCdTracks(links, "d:\\"), (Paths{"d:\\track001.acd", "d:\\track002.acd"}));
  mci.Fail("opencd", platform::kMciErrCannotLoadDriver);
  EXPECT_TRUE(songlist::AudioCdTracks(links, "d:\\").empty());
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_TRUE(notifier.beeps.empty());
}

}  // namespace
