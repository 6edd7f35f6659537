#include "songlist/clip_format.h"
#include "songlist/media.h"
#include "songlist/songfile.h"
#include "songlist_fixture.h"

using namespace songlist;

namespace {

std::string Nul(std::initializer_list<const char*> parts) {
  std::string s;
  for (const char* p : parts) {
    s += p;
    s.push_back('\0');
  }
  s.push_back('\0');
  return s;
}

}  // namespace

TEST(MediaKind, ExtensionsAndTrackNumbers) {
  EXPECT_EQ(KindOf("c:\\A.MID"), MediaKind::kMidi);
  EXPECT_EQ(KindOf("x.Jpg"), MediaKind::kQuickTime);
  EXPECT_EQ(KindOf("x.dat"), MediaKind::kMpegVideo);
  EXPECT_EQ(KindOf("x.mp3"), MediaKind::kMpegAudio);
  EXPECT_EQ(KindOf("c:\\a.mid\\readme"), MediaKind::kNone);
  EXPECT_EQ(KindOf("x.txt"), MediaKind::kNone);
  EXPECT_EQ(KindOf("d:\\Track001.acd"), MediaKind::kCdEntry);
  EXPECT_EQ(KindOf("d:\\Track999.acd"), MediaKind::kCdEntry);
  EXPECT_EQ(KindOf("d:\\Track000.acd"), MediaKind::kNone);
  EXPECT_EQ(KindOf("d:\\Track.acd"), MediaKind::kNone);  // "ack"
  EXPECT_EQ(KindOf("d:\\Track02.cda"), MediaKind::kCdFile);
  EXPECT_EQ(KindOf("d:\\Trackxx.cda"), MediaKind::kNone);
  EXPECT_EQ(KindOf("d:\\Track2x.cda"), MediaKind::kCdFile);  // digits up to the first non-digit
  EXPECT_EQ(KindOf("d:\\7.acd"), MediaKind::kCdEntry);
  EXPECT_TRUE(PassesFilter("a.mid", 2));
  EXPECT_FALSE(PassesFilter("a.wav", 2));
  EXPECT_TRUE(PassesFilter("a.mpg", 6));
  EXPECT_TRUE(PassesFilter("a.mp2", 6));
  EXPECT_FALSE(PassesFilter("t01.acd", 6));
  EXPECT_FALSE(PassesFilter("a.mid", 7));
  EXPECT_TRUE(IsSongFileName("c:\\L.SNF"));
}

TEST(ClipFormat, TextLinesAndDropBlocks) {
  std::string longLine(260, 'a');
  EXPECT_EQ(SplitClipboardText("a.mid\r\nb.mid\n\rc.mid\r\rd.mid\n" + longLine + "\ne.mid\0f.mid"),
            (Paths{"a.mid", "b.mid", "c.mid", "d.mid", "e.mid"}));
  EXPECT_EQ(SplitClipboardText("x\x83"), (Paths{"x"}));  // lone lead byte at the end dropped
  EXPECT_EQ(SplitClipboardText(std::string(259, 'b')).size(), 1u);

  FakeClipboard clip;
  auto toWide = [&](std::string_view s) { return clip.ToWide(s); };
  auto fromWide = [&](std::u16string_view s) { return clip.FromWide(s); };
  for (bool wide : {false, true}) {
    std::string block = BuildDropFiles({"c:\\a.mid", "c:\\b.wav"}, wide, toWide);
    EXPECT_EQ(block[0], 20);
    EXPECT_EQ(block[12], wide ? 1 : 0);
    EXPECT_EQ(block[16], wide ? 1 : 0);
    Paths out;
    ASSERT_TRUE(ParseDropFiles(block, fromWide, &out));
    EXPECT_EQ(out, (Paths{"c:\\a.mid", "c:\\b.wav"}));
  }
  Paths out;
  EXPECT_FALSE(ParseDropFiles(std::string(19, '\0'), fromWide, &out));
  // A path over 259 bytes is left out; an unterminated last string still reads.
  std::string block = BuildDropFiles({std::string(300, 'x'), "c:\\c.mid"}, false, toWide);
  ASSERT_TRUE(ParseDropFiles(block.substr(0, block.size() - 3), fromWide, &out));
  EXPECT_EQ(out, (Paths{"c:\\c.mid"}));
}

TEST_F(SongListTest, ChooseFilesSingleAndSeveral) {
  fs.AddFile("c:\\music\\SONG.MID");
  Fill({"c:\\old.mid"});
  gatherOptions.lastDirectory = "c:\\music";
  dialog.answers.push_back({true, Nul({"C:\\MUSIC\\SONG.MID"}), 2});
  gatherer.ChooseFiles();
  const platform::FileDialogRequest& r = dialog.requests[0];
  EXPECT_EQ(r.title, "曲のファイルの選択（複数選択可）");
  EXPECT_EQ(r.defaultExt, "mid");
  EXPECT_EQ(r.filter, MediaFilterList());
  EXPECT_TRUE(r.flags & platform::kDlgMultiSelect);
  EXPECT_EQ(Order(), (Paths{"c:\\music\\song.mid"}));
  EXPECT_EQ(gatherOptions.filterIndex, 2);
  EXPECT_EQ(gatherOptions.lastDirectory, "c:\\music");
  EXPECT_EQ(fs.cwd, fs.windowsDir);
  list.Undo();  // the undo step is the replaced list
  EXPECT_EQ(Order(), (Paths{"c:\\old.mid"}));
  list.Undo();

  dialog.answers.push_back({true, Nul({"c:\\music\\notes.txt"})});
  gatherer.ChooseFiles();
  EXPECT_EQ(LastText(), "c:\\music\\notes.txtは、拡張子が違うため演奏できません。");
  EXPECT_EQ(LastCaption(), "エラーメッセージ");
  EXPECT_EQ(Order(), (Paths{"c:\\music\\song.mid"}));

  dialog.answers.push_back({true, Nul({"c:\\m", "Z.wav", "a.txt", "B.mid"})});
  gatherer.ChooseFiles();
  EXPECT_EQ(Order(), (Paths{"c:\\m\\b.mid", "c:\\m\\z.wav"}));

  dialog.answers.push_back({true, Nul({"c:\\m", "a.txt", "b.doc"})});
  gatherer.ChooseFiles();
  EXPECT_EQ(LastText(), "演奏可能なファイルがありません。拡張子を確認してください。");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_FALSE(list.Busy());
}

TEST_F(SongListTest, ChooseFilesOldStyleLooksUpStoredNames) {
  gatherOptions.explorerStyle = false;
  fs.AddFile("c:\\m\\Long.mid");
  fs.AddFile("c:\\m\\Other.wav");
  dialog.answers.push_back({true, "c:\\m\\LONG.MID"});
  gatherer.ChooseFiles();
  EXPECT_FALSE(dialog.requests[0].flags & platform::kDlgExplorer);
  EXPECT_EQ(Order(), (Paths{"c:\\m\\long.mid"}));
  dialog.answers.push_back({true, "c:\\m other.wav x.txt"});
  gatherer.ChooseFiles();
  EXPECT_EQ(Order(), (Paths{"c:\\m\\other.wav"}));
  dialog.answers.push_back({true, "c:\\m\\x.txt"});
  gatherer.ChooseFiles();
  EXPECT_EQ(LastText(), "x.txtは、拡張子が違うため演奏できません。");
  // The old directory dialog: the text before the first "*" is the directory.
  dialog.answers.push_back({true, "c:\\m\\*.*"});
  gatherer.ChooseDirectory();
  EXPECT_EQ(dialog.requests.back().fileName, "");
  EXPECT_EQ(Order(), (Paths{"c:\\m\\long.mid", "c:\\m\\other.wav"}));
}

TEST_F(SongListTest, ChooseDirectoryKeepsFirst999SortedAndFollowsFilter) {
  fs.AddDir("c:\\big");
  for (int i = 1199; i >= 0; --i) fs.AddFile("c:\\big\\f" + std::to_string(1000 + i) + ".mid");
  fs.AddFile("c:\\big\\hidden.mid", "", platform::kAttrHidden);
  fs.AddDir("c:\\big\\sub.mid");
  dialog.answers.push_back({true, Nul({"c:\\big\\ディレクトリを選んでください。"}), 1, "c:\\big"});
  gatherer.ChooseDirectory();
  EXPECT_EQ(dialog.requests[0].title, "ディレクトリの選択");
  EXPECT_EQ(dialog.requests[0].fileName, "ディレクトリを選んでください。");
  ASSERT_EQ(list.Count(), 999);
  // The enumeration gave f2199 down to f1201: those 999, sorted by path.
  EXPECT_STREQ(list.PathAt(0), "c:\\big\\f1201.mid");
  EXPECT_STREQ(list.PathAt(998), "c:\\big\\f2199.mid");
  EXPECT_EQ(gatherOptions.lastDirectory, "c:\\big");

  fs.AddDir("c:\\mix");
  for (const char* n : {"A.MID", "b.wav", "c.mpg", "d.mp3", "e.dat"}) fs.AddFile(std::string("c:\\mix\\") + n);
  dialog.answers.push_back({true, Nul({"c:\\mix"}), 2});
  gatherer.ChooseDirectory();  // a typed directory name is made current
  EXPECT_EQ(Order(), (Paths{"c:\\mix\\a.mid"}));
  dialog.answers.push_back({true, Nul({"c:\\mix"}), 6});
  gatherer.ChooseDirectory();
  EXPECT_EQ(Order(), (Paths{"c:\\mix\\c.mpg", "c:\\mix\\d.mp3", "c:\\mix\\e.dat"}));
  dialog.answers.push_back({true, Nul({"c:\\mix"}), 4});
  gatherer.ChooseDirectory();
  EXPECT_EQ(LastText(), "演奏可能なファイルがありません。");
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(SongListTest, DropInsertsAtRowInDropOrderAndSkipsDuplicates) {
  FillNumbered(6);
  list.SetCurrent(5);
  for (const char* p : {"c:\\d\\z.mid", "c:\\d\\y.mid", "c:\\d\\x.mid"}) fs.AddFile(p);
  gatherer.Drop({"c:\\d\\Z.MID", "c:\\d\\y.mid", "c:\\d\\x.mid"}, [] { return 4; });
  ASSERT_EQ(list.Count(), 9);
  // Inserted at 4, 5, 6 and sorted among themselves by path.
  EXPECT_STREQ(list.PathAt(4), "c:\\d\\x.mid");
  EXPECT_STREQ(list.PathAt(5), "c:\\d\\y.mid");
  EXPECT_STREQ(list.PathAt(6), "c:\\d\\z.mid");
  EXPECT_STREQ(list.PathAt(7), "c:\\m\\4.mid");
  EXPECT_STREQ(list.PathAt(list.Current()), "c:\\m\\5.mid");
  EXPECT_EQ(cursor.calls, (Paths{"wait", "arrow"}));

  // Same path in another case: nothing added, no undo copy.
  list.SelectAll();
  list.MarkSelected(0);  // clears the selection
  list.SetSelected(0, true);
  list.DeleteSelected();  // undo copy 9, list 8
  gatherer.Drop({"C:\\D\\X.MID"}, [] { return -1; });
  EXPECT_EQ(list.Count(), 8);
  list.Undo();  // the 9 before the deletion, not a copy of the 8 taken by the drop
  EXPECT_EQ(list.Count(), 9);
  list.Undo();

  gatherer.Drop({"c:\\d\\new.wav"}, [] { return -1; });
  EXPECT_STREQ(list.PathAt(8), "c:\\d\\new.wav");
}

TEST_F(SongListTest, DropOfOneSongFileLoadsThenInserts) {
  fs.AddFile("c:\\l\\set.snf", "c:\\s\\1.mid\r\n0\r\n0\r\n\r\n[CONFIG]\r\nFILENUMBER=1\r\nPLAYNUMBER=0\r\n");
  fs.AddFile("c:\\d\\a.mid");
  fs.AddFile("c:\\d\\b.mid");
  Fill({"c:\\before.mid"});
  gatherer.Drop({"c:\\d\\b.mid", "c:\\l\\set.snf", "c:\\d\\a.mid"}, [] { return -1; });
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid", "c:\\d\\a.mid", "c:\\d\\b.mid"}));
  EXPECT_TRUE(list.Tied());
  EXPECT_EQ(list.SnfName(), "c:\\l\\set.snf");
  list.Undo();  // back to the loaded list
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid"}));

  fs.AddFile("c:\\l\\two.snf", "x");
  gatherer.Drop({"c:\\l\\set.snf", "c:\\l\\two.snf", "c:\\d\\a.mid"}, [] { return -1; });
  EXPECT_EQ(LastText(),
            "２個以上の曲名ファイル(.snf)を、同時にドラッグ・アンド・ドロップすることはできません。ドロップは行われませんでした。");
  EXPECT_EQ(LastCaption(), "ドラッグ・アンド・ドロップについて");
  EXPECT_EQ(list.Count(), 1);

  gatherer.Drop({"c:\\l\\two.snf"}, [] { return -1; });
  EXPECT_EQ(LastText(), "c:\\l\\two.snfの読み込みに失敗しました。");
  EXPECT_EQ(LastCaption(), "ファイルエラー");
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid"}));
  EXPECT_FALSE(list.Busy());
}

TEST_F(SongListTest, DroppedDirectoryIsScannedRecursivelyKeepingStoredCase) {
  fs.AddFile("c:\\Tree\\B.mid");
  fs.AddFile("c:\\Tree\\Sub\\A.wav");
  fs.AddFile("c:\\Tree\\skip.txt");
  fs.AddFile("c:\\Tree\\Sub\\Deeper\\C.mp3");
  Fill({"c:\\tree\\b.mid"});
  gatherer.Drop({"c:\\TREE"}, [] { return -1; });
  EXPECT_EQ(Order(), (Paths{"c:\\tree\\b.mid", "c:\\tree\\Sub\\A.wav", "c:\\tree\\Sub\\Deeper\\C.mp3"}));
  // Inserting at a row shifts positions; the duplicate test still sees every old entry.
  list.Clear();
  fs.AddFile("c:\\Two\\A.mid");
  fs.AddFile("c:\\Two\\B.mid");
  Fill({"c:\\x.mid", "c:\\two\\b.mid"});
  gatherer.Drop({"c:\\two"}, [] { return 0; });
  EXPECT_EQ(Order(), (Paths{"c:\\two\\A.mid", "c:\\x.mid", "c:\\two\\b.mid"}));
  // A full list takes nothing more.
  FillNumbered(kMaxEntries);
  bool undo = false;
  gatherer.ScanDirectory("c:\\tree", -1, &undo);
  EXPECT_FALSE(undo);
}

TEST_F(SongListTest, PasteTextAddsPlayableNewLinesOnly) {
  clip.hasText = true;
  clip.text = std::string("c:\\m\\Song.mid\r\nc:\\m\\notes.txt\r\nC:\\M\\SONG.MID\r\n\0", 47);
  gatherer.Paste(clip);
  EXPECT_EQ(Order(), (Paths{"c:\\m\\Song.mid"}));  // kept as pasted, not lowered
  EXPECT_EQ(view.titles, 1);
  EXPECT_FALSE(clip.open);

  clip.openFails = true;
  gatherer.Paste(clip);
  EXPECT_EQ(LastText(), "クリップボードは使用中です。貼り付けは行われませんでした。");
  EXPECT_EQ(LastCaption(), "クリップボードエラー");
  EXPECT_FALSE(list.Busy());
  clip.openFails = false;
  clip.lockFails = true;
  gatherer.Paste(clip);
  EXPECT_EQ(LastText(), "メモリが認識できません。貼り付けは行われませんでした。");
  EXPECT_EQ(LastCaption(), "メモリエラー");
  EXPECT_FALSE(list.Busy());
}

TEST_F(SongListTest, PasteFileListFollowsFilesDirectoriesAndOneSongFile) {
  fs.AddFile("c:\\p\\One.mid");
  fs.AddFile("c:\\p\\dir\\Two.wav");
  fs.AddFile("c:\\p\\list.snf", "c:\\s\\1.mid\r\n0\r\n0\r\n\r\n[CONFIG]\r\nFILENUMBER=1\r\n");
  clip.hasFiles = true;
  clip.files = BuildDropFiles({"c:\\p\\One.mid", "c:\\p\\missing.mid", "c:\\p\\dir", "c:\\p\\list.snf"},
                              true, [&](std::string_view s) { return clip.ToWide(s); });
  Fill({"c:\\x.mid"});
  gatherer.Paste(clip);
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid", "c:\\p\\One.mid", "c:\\p\\dir\\Two.wav"}));
  list.Undo();  // before the paste
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid"}));

  fs.AddFile("c:\\p\\b.snf");
  clip.files = BuildDropFiles({"c:\\p\\list.snf", "c:\\p\\b.snf"}, false, nullptr);
  gatherer.Paste(clip);
  EXPECT_EQ(LastText(), "２個以上の曲名ファイル(.snf)を、同時に貼り付けることはできません。貼り付けは行われませんでした。");
  EXPECT_EQ(LastCaption(), "貼り付けについて");
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid"}));

  // A song-name file that fails to load: the files still come in, and Undo
  // goes back to the list before the paste, not tied to the failed file.
  fs.AddFile("c:\\p\\bad.snf", "junk\r\n");
  clip.files = BuildDropFiles({"c:\\p\\bad.snf", "c:\\p\\One.mid"}, false, nullptr);
  gatherer.Paste(clip);
  EXPECT_EQ(LastText(), "c:\\p\\bad.snfの読み込みに失敗しました。");
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid", "c:\\p\\One.mid"}));
  list.Undo();
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid"}));
  EXPECT_FALSE(list.Tied());
  EXPECT_EQ(list.SnfName(), "");
  // A name that arrives while its failure box is up stays.
  clip.files = BuildDropFiles({"c:\\p\\bad.snf"}, false, nullptr);
  notifier.whileShown = [&] { list.Append("c:\\late.mid"); };
  gatherer.Paste(clip);
  notifier.whileShown = nullptr;
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid", "c:\\late.mid"}));
}

TEST_F(SongListTest, CopyTextInPlayOrderClearsSelection) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid", "c:\\d.mid"});
  list.Move(2, 0);  // c a b d
  for (int p : {0, 1, 3}) list.SetSelected(p, true);
  gatherOptions.caseMode = text::kCaseWords;
  gatherer.Copy(clip, false, true);
  EXPECT_EQ(clip.text, std::string("C:\\C.mid\r\nC:\\A.mid\r\nC:\\D.mid\r\n\0", 31));
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_FALSE(list.SelectedAt(0));
  EXPECT_FALSE(clip.open);

  list.SetSelected(2, true);
  gatherer.Copy(clip, true, false);  // file list, byte strings
  Paths out;
  ASSERT_TRUE(ParseDropFiles(clip.files, nullptr, &out));
  EXPECT_EQ(out, (Paths{"c:\\b.mid"}));
  EXPECT_EQ(clip.privateFormat, 0xCB24u);
  EXPECT_EQ(clip.privateBlock.size(), 260u);
  EXPECT_STREQ(clip.privateBlock.c_str(), "c:\\b.mid");

  list.SetSelected(1, true);
  clip.setResult = platform::ClipResult::kNoMemory;
  gatherer.Copy(clip, false, true);
  EXPECT_EQ(LastText(), "コピーに必要なメモリが確保できませんでした。コピーは行われませんでした。");
  EXPECT_EQ(LastCaption(), "メモリが足りません");
  EXPECT_EQ(list.SelectedCount(), 1);  // nothing copied, nothing cleared
  clip.setResult = platform::ClipResult::kLockFailed;
  gatherer.Copy(clip, false, true);
  EXPECT_EQ(LastText(), "メモリが認識できません。コピーは行われませんでした。");
  clip.openFails = true;
  gatherer.Copy(clip, false, true);
  EXPECT_EQ(LastText(), "クリップボードは使用中です。コピーは行われませんでした。");
  EXPECT_EQ(notifier.beeps.size(), 3u);
}

TEST_F(SongListTest, DirectoryChangeMovesEveryEntryOfTheOldDirectory) {
  Fill({"c:\\old\\a.mid", "C:\\OLD\\B.wav", "c:\\other\\c.mid", "c:\\old\\sub\\d.mid"});
  fs.AddFile("c:\\new\\a.mid");
  dialog.answers.push_back({true, Nul({"x"}), 1, "c:\\New"});
  EXPECT_TRUE(gatherer.ChangeDirectory("c:\\old\\a.mid"));
  EXPECT_EQ(dialog.requests[0].title, "ディレクトリの変更");
  EXPECT_EQ(Order(), (Paths{"c:\\new\\a.mid", "c:\\new\\b.wav", "c:\\other\\c.mid", "c:\\old\\sub\\d.mid"}));

  dialog.answers.push_back({true, Nul({"x"}), 1, "c:\\other"});
  EXPECT_FALSE(gatherer.ChangeDirectory("c:\\old\\sub\\d.mid"));
  EXPECT_EQ(LastText(), "c:\\other\\d.mid は見つかりません。変更するディレクトリに d.mid がなければなりません。");
  EXPECT_EQ(LastCaption(), "ディレクトリ変更の中止");
  EXPECT_FALSE(gatherer.ChangeDirectory("c:\\old\\sub\\d.mid"));  // cancelled
  EXPECT_FALSE(list.Busy());
}

// The shell hands over a name code page 932 cannot hold either as its short
// name or with '?' for the characters it lacks; the latter must be refused
// and named, never dropped silently and never looked up.
TEST_F(SongListTest, ForeignNamesAreRefusedWithAMessageNamingThem) {
  const std::string kReason = "は、ファイル名にこのプログラムで扱えない文字が含まれているため演奏できません。";
  fs.AddFile("c:\\n\\MOTRHE~1.WAV");
  fs.AddFile("c:\\n\\日本語.wav");
  fs.AddFile("c:\\n\\a?b.wav");
  fs.AddFile("c:\\n\\???.wav");
  fs.AddFile("c:\\n\\note?.txt");
  gatherer.Drop({"c:\\n\\MOTRHE~1.WAV", "c:\\n\\A?B.WAV", "c:\\n\\日本語.wav", "c:\\n\\x?.txt"},
                [] { return -1; });
  EXPECT_EQ(Order(), (Paths{"c:\\n\\motrhe~1.wav", "c:\\n\\日本語.wav"}));
  ASSERT_EQ(notifier.boxes.size(), 1u);  // the .txt is skipped silently, as any other
  EXPECT_EQ(LastText(), "c:\\n\\a?b.wav" + kReason);
  EXPECT_EQ(LastCaption(), "エラーメッセージ");
  EXPECT_EQ(notifier.beeps.size(), 1u);

  // A scanned directory: every refused file in one message, one per line.
  list.Clear();
  gatherer.Drop({"c:\\n"}, [] { return -1; });
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(LastText(), "次のファイルは、ファイル名にこのプログラムで扱えない文字が含まれているため演奏できません。\n"
                        "\nc:\\n\\a?b.wav\nc:\\n\\???.wav");

  // Pasted text is not looked up either; a foreign line is still refused.
  clip.hasText = true;
  clip.text = std::string("c:\\q\\ok.mid\r\nc:\\q\\?.mid\r\n") + '\0';
  gatherer.Paste(clip);
  EXPECT_STREQ(list.PathAt(list.Count() - 1), "c:\\q\\ok.mid");
  EXPECT_EQ(LastText(), "c:\\q\\?.mid" + kReason);

  // Many at once: the box stays short.
  for (int i = 0; i < 12; ++i) fs.AddFile("c:\\many\\" + std::to_string(i) + "?.mid");
  list.Clear();
  gatherer.Drop({"c:\\many"}, [] { return -1; });
  EXPECT_EQ(list.Count(), 0);
  EXPECT_NE(LastText().find("\nほか2個"), std::string::npos);

  // The file dialog: the playable foreign name is refused, the others come in.
  size_t boxes = notifier.boxes.size();
  dialog.answers.push_back({true, Nul({"c:\\n", "MOTRHE~1.WAV", "a?b.wav"}), 1});
  gatherer.ChooseFiles();
  EXPECT_EQ(Order(), (Paths{"c:\\n\\motrhe~1.wav"}));
  ASSERT_EQ(notifier.boxes.size(), boxes + 1);
  EXPECT_EQ(LastText(), "c:\\n\\a?b.wav" + kReason);
  dialog.answers.push_back({true, Nul({"c:\\n", "a?b.wav"}), 1});
  gatherer.ChooseFiles();
  ASSERT_EQ(notifier.boxes.size(), boxes + 2);  // no "nothing playable" on top of it
  EXPECT_EQ(Order(), (Paths{"c:\\n\\motrhe~1.wav"}));
}
