// MIDI reset and title, MacBinary conversion, the interval dialog's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_midi.h"
#include "fakes/fake_notifier.h"
#include "playback/interval.h"
#include "playback/macbinary.h"
#include "playback/midi_tools.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(MidiResetTest, MessagesForGsAndGm) {
  EXPECT_EQ(playback::ResetMessage(true, 17),
            (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}));
  EXPECT_EQ(playback::ResetMessage(true, 1)[2], 0x00);
  EXPECT_EQ(playback::ResetMessage(true, 32)[2], 0x1F);
  EXPECT_EQ(playback::ResetMessage(false, 17), (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));

  FakeMidiOut out;
  playback::MidiResetSettings s;
  s.gs = false;
  playback::ResetBeforePlay(out, "c:\\A.MID", s);
  playback::ResetBeforePlay(out, "c:\\a.wav", s);
  s.on = false;
  playback::ResetBeforePlay(out, "c:\\a.mid", s);
  ASSERT_EQ(out.sent.size(), 1u);
  EXPECT_EQ(out.sent[0].size(), 6u);
}

TEST(MidiResetTest, DialogKeepsTheDeviceIdOutsideOneToThirtyTwo) {
  playback::MidiResetSettings s;
  s.deviceId = 5;
  playback::ApplyResetDialog(false, true, "0", &s);
  EXPECT_EQ(s.deviceId, 5);
  EXPECT_FALSE(s.on);
  EXPECT_FALSE(s.gs);
  playback::ApplyResetDialog(true, false, "33", &s);
  EXPECT_EQ(s.deviceId, 5);
  EXPECT_TRUE(s.on && s.gs);
  playback::ApplyResetDialog(true, false, "32", &s);
  EXPECT_EQ(s.deviceId, 32);
  playback::ApplyResetDialog(true, false, "0017", &s);  // three characters read: "001"
  EXPECT_EQ(s.deviceId, 1);
}

struct MidiTitleTest : ::testing::Test {
  FakeFileSystem fs;
  FakeNotifier notifier;
  std::string Show(const std::string& data) {
    fs.AddFile("c:\\t.mid", data);
    playback::ShowMidiTitle(fs, notifier, "c:\\t.mid");
    return notifier.boxes.empty() ? "" : notifier.boxes.back().text;
  }
  static std::string Smf(const std::string& lengthBytes, const std::string& title) {
    return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x20\0\xFF\x03", 25) + lengthBytes +
           title + std::string("\0\xFF\x2F\0", 4);
  }
};

TEST_F(MidiTitleTest, ShowsTheFirstTrackName) {
  EXPECT_EQ(Show(Smf("\x05", "Hello")), "MIDIタイトルは、「Hello」です。");
  EXPECT_EQ(notifier.boxes.back().caption, "MIDIタイトルの表示");
  EXPECT_EQ(notifier.boxes.back().style, platform::kMbOk | platform::kMbIconInformation);
  EXPECT_EQ(Show(Smf(std::string(1, '\0'), "")), "MIDIタイトルは、「」です。");
  // 500 as a variable-length quantity (0x83 0x74): cut to 400 bytes.
  std::string t = Show(Smf("\x83\x74", std::string(500, 'x')));
  EXPECT_EQ(t, "MIDIタイトルは、「" + std::string(400, 'x') + "」です。");
  // A length past the end of the file takes what there is.
  EXPECT_EQ(Show(std::string("MThdMTrk\xFF\x03\x10" "abc", 14)), "MIDIタイトルは、「abc」です。");
}

TEST_F(MidiTitleTest, ReportsWhyThereIsNoTitle) {
  const char kNoTitle[] = "ファイルの中に有効なタイトルが見つかりませんでした。";
  EXPECT_EQ(Show("just some text"), "データが壊れているため、タイトルが見つけられませんでした。");
  EXPECT_EQ(notifier.boxes.back().caption, "MIDIタイトルの表示エラー");
  EXPECT_EQ(Show("MThd....MTrk....no name event"), kNoTitle);
  EXPECT_EQ(Show("MThd only"), kNoTitle);
  // A mismatching "M" is not tried again as the first letter.
  EXPECT_EQ(Show("MMThd"), "データが壊れているため、タイトルが見つけられませんでした。");
  notifier.boxes.clear();
  playback::ShowMidiTitle(fs, notifier, "c:\\missing.mid");
  EXPECT_EQ(notifier.boxes.back().text, "ファイルが見つからないか、ファイルが使用中です。");
}

std::string MacBinary(uint32_t forkLength, size_t fileSize, uint8_t nameLength = 9) {
  std::string f(fileSize, '\0');
  f[1] = static_cast<char>(nameLength);
  f[83] = static_cast<char>(forkLength >> 24);
  f[84] = static_cast<char>(forkLength >> 16);
  f[85] = static_cast<char>(forkLength >> 8);
  f[86] = static_cast<char>(forkLength);
  for (size_t i = 128; i < fileSize; ++i) f[i] = static_cast<char>(i * 13 + 1);
  return f;
}

struct MacBinaryTest : ::testing::Test {
  FakeFileSystem fs;
  playback::MacBinaryOptions options;
  std::string temp;
  MacBinaryTest() { fs.AddDir("c:\\temp"); }
  int32_t Convert(const std::string& data, const std::string& path = "c:\\in\\song.mid") {
    fs.AddFile(path, data);
    temp.clear();
    return playback::ConvertMacBinary(fs, path, options, &temp);
  }
};

TEST_F(MacBinaryTest, HeaderRules) {
  EXPECT_EQ(Convert(MacBinary(0, 200)), playback::kMacNotMacBinary);
  EXPECT_EQ(Convert(MacBinary(8388608, 200)), playback::kMacNotMacBinary);
  EXPECT_EQ(Convert(MacBinary(100, 127)), playback::kMacNotMacBinary);
  std::string bad = MacBinary(100, 300);
  bad[74] = 1;
  EXPECT_EQ(Convert(bad), playback::kMacNotMacBinary);
  bad = MacBinary(100, 300);
  bad[110] = 1;
  EXPECT_EQ(Convert(bad), playback::kMacNotMacBinary);
  // A name length out of range needs byte 126 to be zero.
  bad = MacBinary(100, 300, 64);
  EXPECT_EQ(Convert(bad), playback::kMacConverted);
  bad[126] = 1;
  EXPECT_EQ(Convert(bad), playback::kMacNotMacBinary);
  EXPECT_EQ(playback::ConvertMacBinary(fs, "c:\\nothing.mid", options, &temp),
            playback::kMacNotMacBinary);
}

TEST_F(MacBinaryTest, CopiesExactlyTheDataFork) {
  std::string in = MacBinary(2000, 2600);
  ASSERT_EQ(Convert(in), playback::kMacConverted);
  EXPECT_EQ(temp, "c:\\temp\\song.mid");
  EXPECT_EQ(fs.Contents(temp), in.substr(128, 2000));
  // The first name is taken now: "_0" follows.
  ASSERT_EQ(Convert(MacBinary(1024, 1152)), playback::kMacConverted);
  EXPECT_EQ(temp, "c:\\temp\\song_0.mid");
  EXPECT_EQ(fs.Contents(temp).size(), 1024u);
}

TEST_F(MacBinaryTest, DamagedForkOrUnwritableDirectoryLeavesNoFile) {
  EXPECT_EQ(Convert(MacBinary(5000, 3000)), playback::kMacDamaged);
  EXPECT_FALSE(fs.Has("c:\\temp\\song.mid"));
  fs.failWrite.insert("c:\\temp\\song.mid");
  EXPECT_EQ(Convert(MacBinary(100, 300)), playback::kMacWriteFailed);
  EXPECT_FALSE(fs.Has("c:\\temp\\song.mid"));
  EXPECT_STREQ(playback::MacBinaryMessage(playback::kMacWriteFailed),
               "ファイルにMACバイナリが検出されましたが、テンポラリディレクトリにデータが書き込めないため、変換できませんでした。");
}

TEST_F(MacBinaryTest, AllElevenNamesTaken) {
  fs.AddFile("c:\\temp\\song.mid");
  for (int n = 0; n <= 9; ++n) fs.AddFile("c:\\temp\\song_" + std::to_string(n) + ".mid");
  EXPECT_EQ(Convert(MacBinary(100, 300)), playback::kMacNoTempName);
  EXPECT_STREQ(playback::MacBinaryMessage(playback::kMacNoTempName),
               "ファイルにMACバイナリが検出されましたが、テンポラリディレトリに同じ名前のファイルが存在するため、変換が行えませんでした。");
}

TEST_F(MacBinaryTest, TemporaryNamesStayWithinTheLimits) {
  options.shortNames = true;
  fs.AddFile("c:\\temp\\longname.mid");
  ASSERT_EQ(Convert(MacBinary(10, 200), "c:\\in\\longname.mid"), playback::kMacConverted);
  EXPECT_EQ(temp, "c:\\temp\\longna_0.mid");
  // Without a temporary path the resume file's directory is used.
  fs.tempDir = "";
  options.resumePath = "c:\\prog\\temp.snf";
  fs.AddDir("c:\\prog");
  ASSERT_EQ(Convert(MacBinary(10, 200), "c:\\in\\a.mid"), playback::kMacConverted);
  EXPECT_EQ(temp, "c:\\prog\\a.mid");
  // A long name is cut, on a character boundary, to keep the path in 259 bytes.
  fs.tempDir = "c:\\temp";
  std::string name = "\x82\xA0" + std::string(300, 'n');
  std::string t = playback::MacBinaryTempName(fs, "c:\\" + name.substr(0, 200) + ".mid", options);
  EXPECT_LE(t.size(), 259u);
  std::string longDir(250, 'd');
  fs.tempDir = "c:\\" + longDir.substr(0, 245);
  t = playback::MacBinaryTempName(fs, "c:\\\x82\xA0\x82\xA0\x82\xA0.mid", options);
  EXPECT_LE(t.size(), 259u);
  EXPECT_EQ(t, fs.tempDir + "\\\x82\xA0\x82\xA0\x82\xA0.mid");
}

TEST(IntervalTest, ButtonsClampToOneDay) {
  int32_t t = playback::TotalSeconds({23, 59, 59});
  t = playback::IntervalButton(t, 401);
  EXPECT_EQ(t, 86400);
  playback::Hms v = playback::SplitSeconds(t);
  EXPECT_EQ(v.hours, 24);
  EXPECT_EQ(v.minutes, 0);
  EXPECT_EQ(v.seconds, 0);
  EXPECT_EQ(playback::IntervalButton(0, 406), 0);
  EXPECT_EQ(playback::IntervalButton(0, 402), 0);
  EXPECT_EQ(playback::IntervalButton(59, 404), 59);
  EXPECT_EQ(playback::IntervalButton(3600, 402), 0);
  EXPECT_EQ(playback::IntervalButton(86400, 405), 86400);
  EXPECT_EQ(playback::IntervalButton(-100, 403), 60);  // a typed negative field
  EXPECT_EQ(playback::IntervalButton(999 * 3600, 402), 86400);
  EXPECT_EQ(playback::IntervalOnOk({-1, 0, 0}), 0);
  EXPECT_EQ(playback::IntervalOnOk({999, 0, 0}), 86400);
}

TEST(IntervalTest, TextLeavesOutZeroParts) {
  EXPECT_EQ(playback::IntervalText({0, 0, 0}), "なし");
  EXPECT_EQ(playback::IntervalText({1, 0, 5}), "1時間5秒");
  EXPECT_EQ(playback::IntervalText({0, 90, 0}), "90分");
  EXPECT_EQ(playback::ReadField(" 12x"), 12);
}

TEST(AlarmFieldsTest, ChecksHourThenMinute) {
  FakeNotifier n;
  bool set = false;
  int32_t hour = 7, minute = 0;
  EXPECT_FALSE(playback::ApplyAlarmFields(n, true, "12", "70", false, &set, &hour, &minute));
  EXPECT_EQ(n.boxes.back().text,
            "１１時よりも大きな時刻は設定できません。\n目覚し時刻の設定は行われません。");
  EXPECT_EQ(n.boxes.back().caption, "設定エラー");
  EXPECT_FALSE(playback::ApplyAlarmFields(n, true, "3", "-1", false, &set, &hour, &minute));
  EXPECT_EQ(n.boxes.back().text,
            "０分よりも小さな時刻は設定できません。\n目覚し時刻の設定は行われません。");
  EXPECT_FALSE(set);
  EXPECT_EQ(hour, 7);
  EXPECT_TRUE(playback::ApplyAlarmFields(n, true, "3", "15", true, &set, &hour, &minute));
  EXPECT_TRUE(set);
  EXPECT_EQ(hour, 15);
  EXPECT_EQ(minute, 15);
}

}  // namespace
