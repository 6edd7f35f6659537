#include "songlist_fixture.h"

using namespace songlist;

namespace {

const char kOneEntry[] = "c:\\s\\1.mid\r\n0\r\n0\r\n\r\n[CONFIG]\r\nFILENUMBER=1\r\nPLAYNUMBER=0\r\n";

}  // namespace

struct StartupTest : SongListTest {
  StartupList startup{list, files, gatherer, fs, notifier, cd};
  StartupSettings settings;

  void ExpectFatal(const std::string& text, const StartupResult& r,
                   const std::string& caption = "エラーメッセージ") {
    EXPECT_TRUE(r.endProgram);
    ASSERT_EQ(notifier.boxes.size(), 1u);
    EXPECT_EQ(notifier.boxes[0].text, text);
    EXPECT_EQ(notifier.boxes[0].caption, caption);
    EXPECT_EQ(notifier.boxes[0].style, platform::kMbOk | platform::kMbIconExclamation);
    EXPECT_FALSE(notifier.boxes[0].owned);
    EXPECT_EQ(notifier.beeps, (std::vector<unsigned>{platform::kBeepWarning}));
  }
};

TEST_F(StartupTest, FilesAndDirectoriesAreSortedByPath) {
  fs.AddFile("c:\\m\\Zed.mid");
  fs.AddFile("c:\\m\\alpha.wav");
  fs.AddFile("c:\\d\\Inner.mp3");
  StartupResult r = startup.FromCommandLine(
      false, {"c:\\m\\zed.mid", "c:\\m\\nothere.mid", "c:\\d", "c:\\m\\alpha.wav", "c:\\m\\x.txt"}, settings);
  EXPECT_FALSE(r.endProgram);
  EXPECT_TRUE(r.fromCommandLine);
  EXPECT_TRUE(r.autoPlay);
  EXPECT_FALSE(r.closeAfterPlay);
  // Stored names from the file system; the files before the directory kept.
  EXPECT_EQ(Order(), (Paths{"c:\\d\\Inner.mp3", "c:\\m\\alpha.wav", "c:\\m\\Zed.mid"}));
  EXPECT_TRUE(notifier.boxes.empty());
}

TEST_F(StartupTest, EmptyResultMessages) {
  StartupResult r = startup.FromCommandLine(false, {"c:\\x.txt"}, settings);
  ExpectFatal("x.txtのように拡張子が '.txt' のファイルは、CORVELLAで演奏できません。プログラムを終了します。", r);
}

TEST_F(StartupTest, CountMessageForSeveralFailedFiles) {
  StartupResult r = startup.FromCommandLine(false, {"c:\\a.txt", "c:\\gone.mid"}, settings);
  ExpectFatal("2個のファイルの中に演奏可能なファイルがありませんでした。プログラムを終了します。", r);
}

TEST_F(StartupTest, OnlyRefusedNamesEndWithTheRefusalAlone) {
  const std::string kReason = "ファイル名にこのプログラムで扱えない文字が含まれているため演奏できません。";
  ExpectFatal("c:\\a?.midは、" + kReason + "プログラムを終了します。",
              startup.FromCommandLine(false, {"c:\\a?.mid"}, settings));
  notifier.boxes.clear();
  notifier.beeps.clear();
  ExpectFatal("次のファイルは、" + kReason + "\n\nc:\\a?.mid\nc:\\b?.wav\n\nプログラムを終了します。",
              startup.FromCommandLine(false, {"c:\\a?.mid", "c:\\b?.wav"}, settings));
}

TEST_F(StartupTest, DirectoryWithoutPlayableFiles) {
  fs.AddFile("c:\\empty\\readme.txt");
  StartupResult r = startup.FromCommandLine(false, {"c:\\empty", "c:\\a.txt"}, settings);
  ExpectFatal("演奏可能なファイルが見つかりませんでした。プログラムを終了します。", r);
}

TEST_F(StartupTest, SongFileArgumentLoadsAndAlwaysPlays) {
  fs.AddFile("c:\\l\\set.snf", kOneEntry);
  StartupResult r = startup.FromCommandLine(false, {"c:\\l\\set.snf", "c:\\ignored.mid"}, settings);
  EXPECT_TRUE(r.autoPlay);
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid"}));
  EXPECT_TRUE(list.Tied());
  StartupResult bad = startup.FromCommandLine(false, {"c:\\l\\none.snf"}, settings);
  ExpectFatal("曲名ファイルの読み込みに失敗しました。", bad, "ファイルエラー");
}

TEST_F(StartupTest, CloseOptionPlaysOneFile) {
  fs.AddFile("c:\\m\\Tune.MID");
  StartupResult r = startup.FromCommandLine(true, {"c:\\m\\tune.mid", "c:\\m\\other.mid"}, settings);
  EXPECT_TRUE(r.closeAfterPlay);
  EXPECT_TRUE(r.autoPlay);
  EXPECT_EQ(Order(), (Paths{"c:\\m\\Tune.MID"}));
}

TEST_F(StartupTest, CloseOptionWithMissingFile) {
  StartupResult r = startup.FromCommandLine(true, {"c:\\m\\gone.mid"}, settings);
  ExpectFatal("gone.midが見つかりません。プログラムを終了します。", r);
}

TEST_F(StartupTest, CloseOptionWithUnplayableName) {
  StartupResult r = startup.FromCommandLine(true, {"c:\\m\\readme"}, settings);
  ExpectFatal("readmeのように拡張子が '' のファイルは、CORVELLAで演奏できません。プログラムを終了します。", r);
}

TEST_F(StartupTest, CloseOptionWithDriveAsksForCdTracks) {
  StartupResult r = startup.FromCommandLine(true, {"d:\\"}, settings);
  EXPECT_EQ(cd.asked, (Paths{"d:\\"}));
  ExpectFatal("演奏可能なトラックが見つかりませんでした。プログラムを終了します。", r);
  cd.tracks = {"d:\\track001.acd", "d:\\track002.acd"};
  notifier.boxes.clear();
  notifier.beeps.clear();
  StartupResult ok = startup.FromCommandLine(true, {"d:"}, settings);
  EXPECT_TRUE(ok.closeAfterPlay);
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(StartupTest, CloseOptionWithoutPathGivesEmptyListQuietly) {
  // "/CLOSE " takes effect; "/CLOSE" at the line's end is ignored: either way no path.
  for (bool close : {true, false}) {
    StartupResult r = startup.FromCommandLine(close, {}, settings);
    EXPECT_FALSE(r.endProgram) << close;
    EXPECT_FALSE(r.autoPlay);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(notifier.boxes.empty()) << close;
  }
}

TEST_F(StartupTest, SavedStateUsesAutoLoadFileOrResumeFile) {
  fs.AddFile("c:\\run\\temp.snf",
             std::string(kOneEntry) + "FILENAME=c:\\l\\fav.snf\r\nSNF=ON\r\n");
  fs.AddFile("c:\\l\\auto.snf",
             "c:\\a.mid\r\n0\r\n0\r\nc:\\b.mid\r\n1\r\n0\r\n\r\n[CONFIG]\r\nFILENUMBER=2\r\n");
  // INITLOAD with an empty file name: the resume file.
  settings.initLoad = true;
  settings.initPlay = true;
  StartupResult r = startup.FromSavedState(settings, "c:\\run\\temp.snf");
  EXPECT_TRUE(r.autoPlay);
  EXPECT_FALSE(r.fromCommandLine);
  EXPECT_EQ(Order(), (Paths{"c:\\s\\1.mid"}));
  EXPECT_EQ(list.SnfName(), "c:\\l\\fav.snf");
  EXPECT_TRUE(list.Tied());

  settings.initLoadFile = "c:\\l\\auto.snf";
  settings.initShuffle = true;
  uint32_t before = random.State();
  startup.FromSavedState(settings, "c:\\run\\temp.snf");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.SnfName(), "c:\\l\\auto.snf");
  EXPECT_NE(random.State(), before);  // shuffled

  settings.initLoadFile = "c:\\l\\missing.snf";
  r = startup.FromSavedState(settings, "c:\\run\\temp.snf");
  EXPECT_EQ(LastText(), "自動ファイル読み込みに失敗しました。");
  EXPECT_EQ(LastCaption(), "ファイルエラー");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(r.autoPlay);

  settings.initLoad = false;
  size_t boxes = notifier.boxes.size();
  r = startup.FromSavedState(settings, "c:\\run\\nothing\\temp.snf");
  EXPECT_EQ(notifier.boxes.size(), boxes);  // a missing resume file is silent
  EXPECT_FALSE(list.Tied());
}

TEST_F(StartupTest, ExitWritesResumeOnlyForNonCommandLineLists) {
  Fill({"c:\\a.mid"});
  ExitSequence exit(files, list);
  EXPECT_EQ(exit.WriteResume(true, true, "c:\\temp.snf"), -1);
  EXPECT_FALSE(fs.Has("c:\\temp.snf"));
  EXPECT_EQ(exit.WriteResume(false, false, "c:\\temp.snf"), -1);
  EXPECT_EQ(exit.WriteResume(true, false, "c:\\temp.snf"), kSnfWritten);
  EXPECT_TRUE(fs.Has("c:\\temp.snf"));
  fs.SetAttr("c:\\temp.snf", platform::kAttrReadOnly);
  int r = exit.WriteResume(true, false, "c:\\temp.snf");
  exit.ReportResume(r);
  EXPECT_EQ(LastText(), "ファイルが書き込み禁止となっております。保存することはできません。");
  EXPECT_EQ(LastCaption(), "'temp.snf' ファイル書き込みエラー");
}

TEST_F(StartupTest, ExitQuestionSavesLaterOrUnties) {
  Fill({"c:\\a.mid"});
  files.Write("c:\\Lists\\t.snf");
  list.SetSnfName("c:\\Lists\\t.snf");
  list.SetTied(true);
  list.Append("c:\\b.mid");
  ExitSequence exit(files, list);
  snfOptions.caseMode = text::kCaseLower;
  notifier.answers.push_back(platform::kIdYes);
  exit.AskSaveChanged();
  EXPECT_EQ(LastText(), "ファイル c:\\lists\\t.snf の内容は変更されています。保存しますか？");
  EXPECT_EQ(fs.Contents("c:\\lists\\t.snf").find("FILENUMBER=2"), std::string::npos);  // not yet
  exit.WriteMarkedFile();
  EXPECT_NE(fs.Contents("c:\\lists\\t.snf").find("FILENUMBER=2"), std::string::npos);

  list.Append("c:\\c.mid");
  notifier.answers.push_back(platform::kIdNo);
  ExitSequence second(files, list);
  second.AskSaveChanged();
  EXPECT_FALSE(list.Tied());
  int writes = fs.writeCount;
  second.WriteMarkedFile();
  EXPECT_EQ(fs.writeCount, writes);
}

TEST_F(SongListTest, ExternalControlAppendsAndClears) {
  EXPECT_TRUE(AppendExternalName(list, "c:\\x.mid"));
  EXPECT_TRUE(AppendExternalName(list, std::string(260, 'a')));  // dropped
  EXPECT_EQ(Order(), (Paths{"c:\\x.mid"}));
  EXPECT_EQ(list.MarkAt(0), 0u);
  FillNumbered(kMaxEntries);
  EXPECT_FALSE(AppendExternalName(list, "c:\\y.mid"));  // full: the name stays buffered
  list.SetSelected(3, true);
  list.SetCurrent(5);
  pb.state = kPaused;
  ClearFromExternal(list);
  EXPECT_EQ(pb.calls, (Paths{"stop"}));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(list.SelectedCount(), 0);
}
