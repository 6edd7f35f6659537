// The song list from outside: command-line lists and their messages, the
// external control, the resume file, the clipboard.
#include <gtest/gtest.h>

#include "player.h"

#include <shlobj.h>

using namespace wt;

namespace {

class SongListBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  // A small file with the given name in the test folder.
  std::wstring Touch(const std::wstring& name) {
    std::wstring p = Join(dir_, name);
    WriteBytes(p, "MThd");
    return p;
  }
  std::string Resume() {
    std::string data;
    ReadBytes(Join(dir_, L"temp.snf"), &data);
    return data;
  }
  std::wstring dir_;
};


}  // namespace

TEST_F(SongListBox, UnplayableArgumentShowsTheExtensionMessageAndEnds) {
  Player p;
  ASSERT_TRUE(p.Start(L"x.txt", dir_));
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"エラーメッセージ");
  EXPECT_EQ(box.text,
            L"x.txtのように拡張子が '.txt' のファイルは、CORVELLAで演奏できません。プログラムを終了します。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.WaitExit());
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(SongListBox, TwoUnplayableArgumentsShowTheCount) {
  Player p;
  ASSERT_TRUE(p.Start(L"a.txt b.doc", dir_));
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.text, L"2個のファイルの中に演奏可能なファイルがありませんでした。プログラムを終了します。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.WaitExit());
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(SongListBox, CloseWithAMissingFileEnds) {
  Player p;
  ASSERT_TRUE(p.Start(L"/close nosuch.mid", dir_));
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"エラーメッセージ");
  EXPECT_EQ(box.text, L"nosuch.midが見つかりません。プログラムを終了します。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.WaitExit());
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(SongListBox, CommandLineFilesAreSortedByPathAndNeverResumed) {
  Touch(L"b.mid");
  Touch(L"C.wav");
  Touch(L"a.mid");
  std::string d = W2Sjis(dir_);
  for (char& c : d) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  Player p;
  ASSERT_TRUE(p.Start(L"b.mid C.wav a.mid", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::vector<std::string> lines = ListedSjisPaths(p);
  ASSERT_EQ(lines.size(), 3u);
  // The start directory and the name as found (Wine answers an exact lookup
  // with the name as asked, Windows with the stored one: compare folded).
  for (std::string& l : lines) {
    for (char& c : l) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  }
  EXPECT_EQ(lines[0], d + "\\a.mid");
  EXPECT_EQ(lines[1], d + "\\b.mid");
  EXPECT_EQ(lines[2], d + "\\c.wav");
  ASSERT_TRUE(p.Close());
  EXPECT_EQ(Resume(), "");  // a list from the command line is never written back
}

TEST_F(SongListBox, ExternalControlListIsResumedByteForByte) {
  {
    Player p;
    ASSERT_TRUE(p.Start(L"", dir_));
    ASSERT_TRUE(p.WaitFrame());
    std::string out;
    EXPECT_EQ(RunCtl(L"add c:\\music\\one.mid c:\\music\\two.wav", &out), 0u);
    p.Sync();
    ASSERT_TRUE(p.Close());
  }
  // Each entry: path, play order slot, flag word; then the keys.
  EXPECT_EQ(Resume(),
            "c:\\music\\one.mid\r\n0\r\n0\r\nc:\\music\\two.wav\r\n1\r\n0\r\n\r\n"
            "[CONFIG]\r\nFILENUMBER=2\r\nPLAYNUMBER=0\r\nPAUSETIME=0\r\nPLAYFLAG=0\r\n"
            "BASEX=0\r\nRSEL=-1\r\nFILENAME=\r\nSNF=OFF\r\n");
  // The next start takes the list back.
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_TRUE(p.MenuEnabled(203));
  std::vector<std::string> lines = ListedSjisPaths(p);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "c:\\music\\one.mid");
  EXPECT_EQ(lines[1], "c:\\music\\two.wav");
  ASSERT_TRUE(p.Close());
}

TEST_F(SongListBox, MissingAutoLoadFileIsReported) {
  ASSERT_TRUE(WriteBytes(SettingsPath(),
                         "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINITLOAD=ON\r\n"
                         "INITLOADFILE=c:\\nowhere\\list.snf\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"ファイルエラー");
  EXPECT_EQ(box.text, L"自動ファイル読み込みに失敗しました。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_FALSE(p.MenuEnabled(203));  // the list stays empty
  ASSERT_TRUE(p.Close());
}

TEST_F(SongListBox, PasteTakesPlayableLinesOnce) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(PutClipboardText(L"c:\\a\\one.mid\r\nc:\\a\\notes.txt\r\nC:\\A\\ONE.MID\r\nc:\\a\\曲.wav\r\n"));
  EXPECT_TRUE(p.MenuEnabled(151));
  p.Command(151);
  std::vector<std::string> lines = ListedSjisPaths(p);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "c:\\a\\one.mid");
  EXPECT_EQ(Sjis2W(lines[1]), L"c:\\a\\曲.wav");
  ASSERT_TRUE(p.Close());
}

TEST_F(SongListBox, PasteOfAFileListAddsItsFiles) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::wstring a = Touch(L"song1.mid"), b = Touch(L"song2.wav");
  // A wide file-drop block: header, then the paths, then an empty string.
  std::wstring paths = a + L'\0' + b + L'\0' + L'\0';
  ASSERT_TRUE(PutClipboardFiles(paths));
  p.Command(151);
  std::vector<std::string> lines = ListedSjisPaths(p);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("song1.mid"), std::string::npos);
  EXPECT_NE(lines[1].find("song2.wav"), std::string::npos);
  ASSERT_TRUE(p.Close());
}


namespace {
// Pastes a damaged song-name file and waits for its failure box.
bool PasteBrokenList(const Player& p, const std::wstring& dir, MessageBoxInfo* box) {
  const std::wstring bad = Join(dir, L"broken.snf");
  if (!WriteBytes(bad, "junk\r\n") || !PutClipboardFiles(bad + L'\0' + L'\0')) return false;
  p.PostCommand(151);
  return p.WaitMessageBox(box);
}
}  // namespace

// A name another program sends while the failure box of a pasted song-name
// file is up stays in the list once the box is gone.
TEST_F(SongListBox, ANameSentWhileAFailedPastesBoxIsUpIsKept) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath("c:\\music\\before.wav");
  MessageBoxInfo box;
  ASSERT_TRUE(PasteBrokenList(p, dir_, &box));
  EXPECT_NE(box.text.find(L"の読み込みに失敗しました。"), std::wstring::npos);
  for (unsigned char c : std::string("c:\\music\\during.wav")) {
    SendMessageW(p.Frame(), WM_USER, c, 100);
  }
  SendMessageW(p.Frame(), WM_USER, 0, 100);
  Sleep(300);
  Player::Answer(box, IDOK);
  p.Sync();
  const std::vector<std::string> lines = ListedSjisPaths(p);
  EXPECT_EQ(lines, (std::vector<std::string>{"c:\\music\\before.wav", "c:\\music\\during.wav"}));
  ASSERT_TRUE(p.Close());
}

// List commands another program sends while a paste is halfway (its failure
// box is up) wait for it and are then carried out, in order: Select all, then
// Delete, leave the list empty.
TEST_F(SongListBox, ListCommandsSentDuringAPasteAreCarriedOutAfterIt) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath("c:\\music\\one.wav");
  p.AddPath("c:\\music\\two.wav");
  MessageBoxInfo box;
  ASSERT_TRUE(PasteBrokenList(p, dir_, &box));
  p.PostCommand(152);
  p.PostCommand(113);
  Sleep(300);
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_TRUE(ListedSjisPaths(p).empty());
  ASSERT_TRUE(p.Close());
}

TEST_F(SongListBox, SaveAsThroughTheDialogWritesTheFile) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath("c:\\music\\one.mid");
  p.AddPath("c:\\music\\two.wav");
  EXPECT_FALSE(p.MenuEnabled(117));
  p.PostCommand(116);
  HWND dlg = WaitDialog(p, L"曲名の保存");
  ASSERT_TRUE(dlg);
  std::wstring target = Join(dir_, L"mylist.snf");
  ASSERT_TRUE(AnswerFileDialog(dlg, target.c_str()));
  p.Sync();
  std::string data;
  ASSERT_TRUE(ReadBytes(target, &data));
  EXPECT_EQ(data.substr(0, 18), "c:\\music\\one.mid\r\n");
  EXPECT_NE(data.find("[CONFIG]\r\nFILENUMBER=2\r\n"), std::string::npos);
  EXPECT_TRUE(p.MenuEnabled(117));  // the list is tied to the new file now
  ASSERT_TRUE(p.Close());
}

// Wine has no audio CD here: Open audio CD says there is no disc, after
// stopping what played, and leaves the list as it was.
TEST_F(SongListBox, OpenAudioCdWithoutADiscLeavesTheList) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(CORVELLA_SAMPLES L"\\tone.wav"));
  p.Control(0, 102);
  p.PostCommand(137);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  EXPECT_EQ(box.text, L"ＣＤがセットされていません。ＣＤをセットしてください。");
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_EQ(p.Control(0, 104), 0);
  std::vector<std::string> lines = ListedSjisPaths(p);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("tone.wav"), std::string::npos);
  ASSERT_TRUE(p.Close());
}
