#include "list_marks.h"
#include "songlist/songfile.h"

#include "songlist_fixture.h"

using namespace songlist;

namespace {

const char kExample[] =
    "c:\\a\\x.mid\r\n1\r\n0\r\nc:\\a\\y.wav\r\n0\r\n257\r\n\r\n[CONFIG]\r\n"
    "FILENUMBER=2\r\nPLAYNUMBER=1\r\nPAUSETIME=0\r\nPLAYFLAG=0\r\nBASEX=0\r\nRSEL=-1\r\n";

std::string Entries(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "c:\\m\\" + std::to_string(i) + ".mid\r\n" + std::to_string(i) + "\r\n0\r\n";
  return s;
}

std::string Keys(int n, int play = 0, const std::string& more = "") {
  return "\r\n[CONFIG]\r\nFILENUMBER=" + std::to_string(n) + "\r\nPLAYNUMBER=" +
         std::to_string(play) + "\r\nPAUSETIME=0\r\nPLAYFLAG=0\r\nBASEX=0\r\nRSEL=-1\r\n" + more;
}

}  // namespace

TEST_F(SongListTest, WorkedExampleWritesAndReadsByteForByte) {
  Fill({"c:\\a\\x.mid", "c:\\a\\y.wav"});
  list.Move(1, 0);
  SetMarkAt(list, 0, kMarkSkipped);
  list.SetSelected(0, true);
  list.SetCurrent(1);
  EXPECT_EQ(files.Write("c:\\lists\\two.snf"), kSnfWritten);  // directory created
  EXPECT_EQ(fs.Contents("c:\\lists\\two.snf"), kExample);

  SongList other({&pb, &view, &collator, &random});
  fs.AddFile("c:\\ex.snf", kExample);
  ASSERT_TRUE(ReadSongFile(fs, "c:\\ex.snf", other));
  EXPECT_EQ(other.Count(), 2);
  EXPECT_STREQ(other.PathAt(0), "c:\\a\\y.wav");
  EXPECT_EQ(other.MarkAt(0), kMarkSkipped);
  EXPECT_TRUE(other.SelectedAt(0));  // flag word 257: skipped and selected
  EXPECT_EQ(other.SelectedCount(), 1);
  EXPECT_EQ(other.Current(), 1);
  EXPECT_EQ(other.Anchor(), -1);
  EXPECT_EQ(other.Focus(), 0);
}

TEST_F(SongListTest, EmptyListAndPlayingPositionAndKeysOfResume) {
  EXPECT_EQ(files.Write("c:\\e.snf"), kSnfWritten);
  EXPECT_EQ(fs.Contents("c:\\e.snf"), Keys(0));
  Fill({"c:\\a.mid"});
  list.SetSelected(0, true);
  list.DeleteSelected();
  Fill({"c:\\z.mid"});
  ASSERT_TRUE(files.Read("c:\\e.snf"));
  EXPECT_EQ(list.Count(), 0);

  Fill({"c:\\a.mid"});
  pb.state = kPlaying;
  pb.position = 1500;
  list.SetSnfName("c:\\my.snf");
  list.SetTied(true);
  files.WriteResume("c:\\temp.snf");
  std::string text = fs.Contents("c:\\temp.snf");
  EXPECT_NE(text.find("PAUSETIME=1500\r\nPLAYFLAG=1\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.find("RSEL")), "RSEL=-1\r\nFILENAME=c:\\my.snf\r\nSNF=ON\r\n");
  pb.state = kStopped;
  list.SetTied(false);
  files.WriteResume("c:\\temp.snf");
  text = fs.Contents("c:\\temp.snf");
  EXPECT_EQ(text.substr(text.find("RSEL")), "RSEL=-1\r\nFILENAME=\r\nSNF=OFF\r\n");
}

TEST(SongFileParse, LimitsAndRefusals) {
  ListState* s = new ListState();
  EXPECT_TRUE(ParseSongFile(Entries(999) + Keys(999, 998), s));
  EXPECT_EQ(s->count, 999);
  EXPECT_FALSE(ParseSongFile(Entries(1000) + Keys(1000), s));
  std::string good = Entries(2) + Keys(2);
  EXPECT_TRUE(ParseSongFile(good, s));
  EXPECT_FALSE(ParseSongFile(good.substr(0, good.size() - 2), s));  // last line not closed
  EXPECT_FALSE(ParseSongFile(Entries(2), s));                        // no [CONFIG]
  EXPECT_FALSE(ParseSongFile(Entries(2) + "\r\n[CONFIG]\r\nPLAYNUMBER=0\r\n", s));  // no FILENUMBER
  EXPECT_FALSE(ParseSongFile(Entries(2) + Keys(3), s));              // entry lines missing
  EXPECT_FALSE(ParseSongFile(Entries(2) + Keys(2, 3), s));           // PLAYNUMBER above FILENUMBER
  EXPECT_FALSE(ParseSongFile(Entries(2) + Keys(-1), s));
  // Keys are found without regard to case, in a lower-case section name too; PLAYFLAG is ignored.
  EXPECT_TRUE(ParseSongFile(Entries(1) + "\r\n[config]\r\nfilenumber=1\r\nPLAYFLAG=1\r\nPAUSETIME=77\r\n", s));
  EXPECT_EQ(s->count, 1);
  EXPECT_EQ(s->playerState, 0);
  EXPECT_EQ(s->startPos, 77u);
  delete s;
}

TEST(SongFileParse, HostileFilesAreRefusedOrRepairedNeverOverrun) {
  ListState* s = new ListState();
  // Play order not a permutation (duplicate, out of range, negative): refused.
  EXPECT_FALSE(ParseSongFile("a.mid\r\n0\r\n0\r\nb.mid\r\n0\r\n0\r\n" + Keys(2), s));
  EXPECT_FALSE(ParseSongFile("a.mid\r\n5\r\n0\r\n" + Keys(1), s));
  EXPECT_FALSE(ParseSongFile("a.mid\r\n-1\r\n0\r\n" + Keys(1), s));
  // Positions out of range: repaired.
  std::string keys = "\r\n[CONFIG]\r\nFILENUMBER=2\r\nPLAYNUMBER=-5\r\nPAUSETIME=-3\r\nBASEX=77\r\nRSEL=9\r\n";
  ASSERT_TRUE(ParseSongFile(Entries(2) + keys, s));
  EXPECT_EQ(s->current, 0);
  EXPECT_EQ(s->startPos, 0u);
  EXPECT_EQ(s->firstColumn, 0);
  EXPECT_EQ(s->anchor, -1);
  ASSERT_TRUE(ParseSongFile(Entries(2) + Keys(2, 2), s));  // PLAYNUMBER == FILENUMBER
  EXPECT_EQ(s->current, 0);
  // Stray flag bits are dropped; any non-zero mark reads as skipped.
  ASSERT_TRUE(ParseSongFile("a.mid\r\n0\r\n-1\r\n" + Keys(1), s));
  EXPECT_EQ(s->flags[0], kMarkSkipped | kSelected);
  EXPECT_EQ(s->selected, 1);
  // A long path line is cut and the triples stay in step.
  std::string longLine(5000, 'x');
  ASSERT_TRUE(ParseSongFile(longLine + "\r\n1\r\n0\r\nb.mid\r\n0\r\n1\r\n" + Keys(2), s));
  EXPECT_EQ(std::string(s->path[0]), std::string(259, 'x'));
  EXPECT_STREQ(s->path[1], "b.mid");
  EXPECT_EQ(s->order[0], 1);
  EXPECT_EQ(s->flags[1], kMarkSkipped);
  // A double-byte character is not split by the cut.
  std::string dbcs(258, 'x');
  dbcs += "\x83\x41z";
  ASSERT_TRUE(ParseSongFile(dbcs + "\r\n0\r\n0\r\n" + Keys(1), s));
  EXPECT_EQ(std::string(s->path[0]).size(), 258u);
  delete s;
}

TEST_F(SongListTest, FailedReadLeavesTheListAlone) {
  Fill({"c:\\a.mid"});
  fs.AddFile("c:\\bad.snf", "c:\\x.mid\r\n0\r\n0\r\n" + Keys(1).substr(0, 20));
  EXPECT_FALSE(files.Read("c:\\bad.snf"));
  EXPECT_FALSE(files.Read("c:\\missing.snf"));
  EXPECT_EQ(Order(), (Paths{"c:\\a.mid"}));
}

TEST_F(SongListTest, WriteResultCodes) {
  Fill({"c:\\a.mid"});
  fs.AddFile("c:\\ro.snf", "old", platform::kAttrReadOnly);
  EXPECT_EQ(files.Write("c:\\ro.snf"), kSnfFileReadOnly);
  EXPECT_EQ(fs.Contents("c:\\ro.snf"), "old");
  fs.AddDir("c:\\locked", platform::kAttrDirectory | platform::kAttrReadOnly);
  EXPECT_EQ(files.Write("c:\\locked\\x.snf"), kSnfDirReadOnly);
  fs.failCreateDir.insert("c:\\nodir");
  EXPECT_EQ(files.Write("c:\\nodir\\x.snf"), kSnfWriteError);
  fs.failWrite.insert("c:\\w.snf");
  EXPECT_EQ(files.Write("c:\\w.snf"), kSnfWriteError);
  files.ReportWriteResult(kSnfFileReadOnly, "c:\\ro.snf");
  EXPECT_EQ(LastText(), "'c:\\ro.snf'は書き込み禁止となっております。保存することはできません。");
  EXPECT_EQ(LastCaption(), "ファイル書き込みエラー");
  EXPECT_EQ(notifier.beeps, (std::vector<unsigned>{platform::kBeepWarning}));
  files.ReportResumeResult(kSnfDirReadOnly);
  EXPECT_EQ(LastText(), "ディレクトリが書き込み禁止となっております。保存することはできません。");
  EXPECT_EQ(LastCaption(), "'temp.snf' ファイル書き込みエラー");
}

TEST_F(SongListTest, LoadCommandTiesAndRollsBack) {
  fs.AddFile("c:\\lists\\one.snf", Entries(1) + Keys(1));
  snfOptions.snfDirectory = "c:\\lists";
  Fill({"c:\\old1.mid", "c:\\old2.mid"});
  pb.state = kPlaying;
  dialog.answers.push_back({true, std::string("c:\\lists\\one.snf\0", 17)});
  files.Load();
  EXPECT_EQ(dialog.requests[0].title, "曲名ファイルを開く");
  EXPECT_EQ(dialog.requests[0].filter, "曲名ファイル (*.snf)|*.snf|");
  EXPECT_EQ(dialog.requests[0].defaultExt, "snf");
  EXPECT_EQ(Order(), (Paths{"c:\\m\\0.mid"}));
  EXPECT_TRUE(list.Tied());
  EXPECT_EQ(list.SnfName(), "c:\\lists\\one.snf");
  EXPECT_EQ(pb.calls, (Paths{"stop"}));
  EXPECT_EQ(fs.cwd, fs.windowsDir);  // back in the Windows directory after the dialog
  EXPECT_FALSE(list.Busy());

  dialog.answers.push_back({true, "c:\\lists\\x.txt"});
  files.Load();
  EXPECT_EQ(LastText(), "x.txtは、拡張子が違うため開けません。");
  EXPECT_EQ(LastCaption(), "エラーメッセージ");

  fs.AddFile("c:\\lists\\broken.snf", "junk\r\n");
  dialog.answers.push_back({true, "c:\\lists\\broken.snf"});
  // A name that arrives while the box is up stays.
  notifier.whileShown = [&] { list.Append("c:\\late.mid"); };
  files.Load();
  notifier.whileShown = nullptr;
  EXPECT_EQ(LastText(), "c:\\lists\\broken.snfは、書き込み中です。もう少し、お待ち下さい。");
  EXPECT_EQ(LastCaption(), "ファイル読み込みエラー");
  EXPECT_EQ(Order(), (Paths{"c:\\m\\0.mid", "c:\\late.mid"}));
  EXPECT_EQ(list.SnfName(), "c:\\lists\\one.snf");
  // Undo after the failure must not tie the list to the file that failed.
  list.Undo();
  EXPECT_EQ(list.SnfName(), "c:\\lists\\one.snf");
  EXPECT_TRUE(list.Tied());  // still one.snf's list: an overwrite goes there
  list.Undo();

  // A failed load into an empty list keeps it empty (no older list comes back).
  list.Clear();
  dialog.answers.push_back({true, "c:\\lists\\broken.snf"});
  files.Load();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.SnfName(), "c:\\lists\\one.snf");
}

TEST_F(SongListTest, SaveAsAndOverwriteSave) {
  Fill({"c:\\a.mid"});
  dialog.answers.push_back({true, "c:\\s\\new.txt"});
  files.SaveAs();
  EXPECT_EQ(LastText(), "new.txtの拡張子を.snfとしてください。");
  EXPECT_TRUE(dialog.requests[0].save);
  EXPECT_EQ(dialog.requests[0].title, "曲名の保存");
  dialog.answers.push_back({true, "c:\\s\\new.snf"});
  files.SaveAs();
  EXPECT_TRUE(list.Tied());
  EXPECT_NE(fs.Contents("c:\\s\\new.snf").find("FILENUMBER=1"), std::string::npos);

  fs.SetAttr("c:\\s\\new.snf", platform::kAttrReadOnly);
  notifier.answers.push_back(platform::kIdYes);
  files.OverwriteSave();
  EXPECT_EQ(notifier.boxes[1].text, "c:\\s\\new.snf\n\nを上書きします。よろしいですか？");
  EXPECT_EQ(notifier.boxes[1].caption, "曲名の上書き保存");
  EXPECT_EQ(LastText(), "'c:\\s\\new.snf'は書き込み禁止となっております。保存することはできません。");
  size_t boxes = notifier.boxes.size();
  notifier.answers.push_back(platform::kIdNo);
  files.OverwriteSave();
  EXPECT_EQ(notifier.boxes.size(), boxes + 1);

  // A name code page 932 cannot hold (and with no short form) is refused:
  // written under another name, the list would land in a file not chosen.
  dialog.answers.push_back({true, "c:\\s\\a?b.snf"});
  files.SaveAs();
  EXPECT_EQ(LastText(), "c:\\s\\a?b.snfは、ファイル名にこのプログラムで扱えない文字が含まれているため保存できません。");
  EXPECT_EQ(LastCaption(), "ファイル書き込みエラー");
  EXPECT_EQ(list.SnfName(), "c:\\s\\new.snf");
}

TEST_F(SongListTest, ListChangedCheckAsksOnlyWhenEntriesDiffer) {
  Fill({"c:\\a.mid", "c:\\b.mid"});
  ASSERT_EQ(files.Write("c:\\t.snf"), kSnfWritten);
  list.SetSnfName("c:\\t.snf");
  list.SetTied(true);
  list.Move(1, 0);
  SetMarkAt(list, 0, kMarkSkipped);
  list.BeginReplace();  // order and marks changed only: no question
  EXPECT_TRUE(notifier.boxes.empty());
  list.Undo();
  list.Append("c:\\c.mid");
  snfOptions.caseMode = text::kCaseUpper;
  notifier.answers.push_back(platform::kIdYes);
  list.BeginReplace();
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(LastText(), "ファイル C:\\T.SNF の内容は変更されています。保存しますか？");
  EXPECT_EQ(LastCaption(), "曲名に変更がありました");
  EXPECT_EQ(list.SnfName(), "C:\\T.SNF");
  EXPECT_NE(fs.Contents("c:\\t.snf").find("FILENUMBER=3"), std::string::npos);
  EXPECT_EQ(list.Count(), 0);
  list.Undo();  // the undo step is the replaced list
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(SongListTest, ResumeKeysDecideTheTiedFile) {
  fs.AddFile("c:\\temp.snf", Entries(1) + Keys(1, 0, "FILENAME=c:\\Lists\\fav.snf\r\nSNF=ON\r\n"));
  ResumeKeys keys;
  ASSERT_TRUE(files.Read("c:\\temp.snf", &keys));
  TieAfterLoad(list, "c:\\temp.snf", keys);
  EXPECT_TRUE(list.Tied());
  EXPECT_EQ(list.SnfName(), "c:\\Lists\\fav.snf");
  // Under Win32s only short names can be tied.
  TieAfterLoad(list, "c:\\TEMP.SNF", {"ON", "c:\\longdirectory\\fav.snf"}, true);
  EXPECT_FALSE(list.Tied());
  TieAfterLoad(list, "c:\\temp.snf", {"on", "c:\\x.snf"});
  EXPECT_FALSE(list.Tied());
  EXPECT_EQ(list.SnfName(), "");
  TieAfterLoad(list, "c:\\temp.snf", {"ON", std::string(300, 'a')});
  EXPECT_FALSE(list.Tied());
  TieAfterLoad(list, "c:\\other.snf", {"OFF", ""});
  EXPECT_TRUE(list.Tied());
  EXPECT_EQ(list.SnfName(), "c:\\other.snf");
}
