#include "desktop/wallpaper.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_notifier.h"
#include "fakes/fake_songlist_env.h"

namespace {

using platform::WallpaperUpdate;

struct FakeWallpaper : platform::Wallpaper {
  std::map<std::string, std::string> desktop;
  std::vector<std::pair<std::string, WallpaperUpdate>> sets;
  std::vector<std::pair<std::string, std::string>> writes;

  std::string ReadDesktop(const std::string& key, const std::string& def) override {
    auto it = desktop.find(key);
    return it == desktop.end() ? def : it->second;
  }
  void WriteDesktop(const std::string& key, const std::string& value) override {
    writes.emplace_back(key, value);
    desktop[key] = value;
  }
  void SetWallpaper(const std::string& path, WallpaperUpdate mode) override {
    sets.emplace_back(path, mode);
    desktop["Wallpaper"] = path;
  }
};

class RandomChangeTest : public ::testing::Test {
 protected:
  FakeFileSystem fs;
  FakeWallpaper wp;
  songlist::Random random{12345};

  void Change() { desktop::ChangeWallpaperAtRandom(wp, fs, random); }
};

TEST_F(RandomChangeTest, NeverPicksTheCurrentBitmapAndSkipsOtherFiles) {
  fs.AddFile("c:\\windows\\A.BMP");
  fs.AddFile("c:\\windows\\b.bmp");
  fs.AddFile("c:\\windows\\c.jpg");
  fs.AddDir("c:\\windows\\d.bmp");
  fs.AddFile("c:\\windows\\e.bmp", "", platform::kAttrHidden);
  wp.desktop["Wallpaper"] = "c:\\windows\\a.bmp";  // the profile's case differs from the disk's
  for (int i = 0; i < 20; ++i) {
    Change();
    ASSERT_EQ(wp.sets.size(), 1u);
    EXPECT_EQ(wp.sets[0].first, "c:\\windows\\b.bmp");
    EXPECT_EQ(wp.sets[0].second, WallpaperUpdate::kProfileOnly);
    wp.sets.clear();
    wp.desktop["Wallpaper"] = "c:\\windows\\a.bmp";
  }
  EXPECT_TRUE(wp.writes.empty());  // the tile setting is left alone
}

TEST_F(RandomChangeTest, NothingHappensWithoutAnotherBitmapOrWithoutWallpaper) {
  fs.AddFile("c:\\windows\\a.bmp");
  fs.AddFile("c:\\windows\\b.bmp");
  for (const char* value : {"", "(なし)"}) {
    wp.desktop["Wallpaper"] = value;
    Change();
  }
  wp.desktop.erase("Wallpaper");
  Change();
  EXPECT_TRUE(wp.sets.empty());

  FakeFileSystem alone;
  alone.AddFile("c:\\windows\\a.bmp");
  wp.desktop["Wallpaper"] = "c:\\windows\\a.bmp";
  desktop::ChangeWallpaperAtRandom(wp, alone, random);
  EXPECT_TRUE(wp.sets.empty());
}

TEST_F(RandomChangeTest, DrawsFromTheSharedGeneratorInDirectoryOrder) {
  fs.AddFile("c:\\pics\\cur.bmp");
  for (const char* n : {"p0.bmp", "p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp"}) {
    fs.AddFile(std::string("c:\\pics\\") + n);
  }
  wp.desktop["Wallpaper"] = "c:\\pics\\cur.bmp";
  songlist::Random expected{777};
  random.Seed(777);
  for (int i = 0; i < 10; ++i) {
    Change();
    const uint32_t r = expected.Next();
    EXPECT_EQ(wp.sets.back().first, "c:\\pics\\p" + std::to_string((r * 5) >> 15) + ".bmp");
    wp.desktop["Wallpaper"] = "c:\\pics\\cur.bmp";
  }
}

TEST_F(RandomChangeTest, MissingWallpaperExcludesNothingAndBareNamesSearchTheWindowsDirectory) {
  fs.AddFile("c:\\pics\\only.bmp");
  wp.desktop["Wallpaper"] = "c:\\pics\\gone.bmp";
  Change();
  ASSERT_EQ(wp.sets.size(), 1u);
  EXPECT_EQ(wp.sets[0].first, "c:\\pics\\only.bmp");

  // A bare name is enumerated in the Windows directory but set (and checked)
  // as a bare name, which the process finds from its current directory.
  fs.AddFile("c:\\windows\\w.bmp");
  fs.cwd = "c:\\windows";
  wp.desktop["Wallpaper"] = "x.bmp";
  Change();
  ASSERT_EQ(wp.sets.size(), 2u);
  EXPECT_EQ(wp.sets[1].first, "w.bmp");
}

TEST_F(RandomChangeTest, CollectsAtMost999Names) {
  for (int i = 0; i < 1005; ++i) fs.AddFile("c:\\many\\f" + std::to_string(i) + ".bmp");
  wp.desktop["Wallpaper"] = "c:\\many\\none.bmp";
  // Only the first 999 names found take part, however the draw falls.
  for (int i = 0; i < 200; ++i) {
    Change();
    const std::string& n = wp.sets.back().first;
    const int index = std::stoi(n.substr(n.find('f') + 1));
    EXPECT_LT(index, 999);
  }
}

TEST(WallpaperLabelTest, ShortensByteExactly) {
  EXPECT_EQ(desktop::WallpaperLabel("(なし)"), "壁紙：(なし)");
  const std::string thirty = "c:\\windows\\abcdefghijklmno.bmp";  // 30 bytes
  ASSERT_EQ(thirty.size(), 30u);
  EXPECT_EQ(desktop::WallpaperLabel(thirty), "壁紙：" + thirty);
  EXPECT_EQ(desktop::WallpaperLabel("c:\\windows\\abcdefghijklmnop.bmp"), "壁紙：abcdefghijklmnop.bmp");

  const std::string n26(26, 'a'), n27(27, 'b'), n36(36, 'c'), n37(37, 'd'), n40(40, 'e');
  EXPECT_EQ(desktop::WallpaperLabel("c:\\w\\" + n26 + ".bmp"), "壁紙：" + n26 + ".bmp");
  EXPECT_EQ(desktop::WallpaperLabel("c:\\w\\" + n27 + ".bmp"), n27 + ".bmp");
  EXPECT_EQ(desktop::WallpaperLabel("c:\\w\\" + n36 + ".bmp"), n36 + ".bmp");
  EXPECT_EQ(desktop::WallpaperLabel("c:\\w\\" + n37 + ".bmp"), std::string(35, 'd') + "~.bmp");
  EXPECT_EQ(desktop::WallpaperLabel("c:\\w\\" + n40 + ".bmp"), std::string(35, 'e') + "~.bmp");

  // 20 double-byte characters (40 bytes): the 18th straddles byte 35, so the
  // cut keeps 34 bytes rather than half a character.
  std::string kana;
  for (int i = 0; i < 20; ++i) kana += "あ";
  ASSERT_EQ(kana.size(), 40u);
  std::string cut;
  for (int i = 0; i < 17; ++i) cut += "あ";
  EXPECT_EQ(desktop::WallpaperLabel("c:\\" + kana + ".bmp"), cut + "~.bmp");
}

class WallpaperDialogTest : public ::testing::Test {
 protected:
  FakeFileSystem fs;
  FakeWallpaper wp;
  FakeFileDialog files;
  FakeNotifier notifier;
  desktop::WallpaperDialogOptions options;

  WallpaperDialogTest() {
    fs.AddFile("c:\\windows\\Clouds.bmp");
    fs.AddFile("c:\\pics\\sea.bmp");
  }
  void Answer(const std::string& path) {
    FakeFileDialog::Answer a;
    a.buffer = path + std::string(1, '\0');
    files.answers.push_back(a);
  }
  void Cancelled() {
    FakeFileDialog::Answer a;
    a.ok = false;
    files.answers.push_back(a);
  }
  desktop::WallpaperDialog Open() {
    desktop::WallpaperDialog d(wp, fs, files, notifier, options);
    d.SetUp();
    return d;
  }
};

TEST_F(WallpaperDialogTest, SetUpFindsTheStoredNameAndTheTileFlag) {
  wp.desktop["Wallpaper"] = "clouds.bmp";
  wp.desktop["TileWallPaper"] = "1";
  options.caseMode = text::kCaseUpper;
  desktop::WallpaperDialog d = Open();
  EXPECT_EQ(d.Path(), "C:\\WINDOWS\\CLOUDS.BMP");
  EXPECT_FALSE(d.NoWallpaper());
  EXPECT_EQ(d.Tile(), 1);

  for (const char* value : {"", "(なし)", "c:\\pics\\missing.bmp"}) {
    wp.desktop["Wallpaper"] = value;
    wp.desktop.erase("TileWallPaper");
    desktop::WallpaperDialog n = Open();
    EXPECT_EQ(n.Path(), "(なし)") << value;
    EXPECT_TRUE(n.NoWallpaper());
    EXPECT_EQ(n.Label(), "壁紙：(なし)");
    EXPECT_EQ(n.Tile(), 0);
  }
  EXPECT_TRUE(wp.sets.empty());
  EXPECT_TRUE(wp.writes.empty());
}

TEST_F(WallpaperDialogTest, ChooseAppliesANewBitmapAndIgnoresTheCurrentOne) {
  wp.desktop["Wallpaper"] = "c:\\windows\\clouds.bmp";
  desktop::WallpaperDialog d = Open();
  Answer("C:\\WINDOWS\\CLOUDS.BMP");
  d.Choose();
  EXPECT_TRUE(wp.sets.empty());
  EXPECT_TRUE(wp.writes.empty());

  Cancelled();
  d.Choose();
  EXPECT_TRUE(wp.sets.empty());

  Answer("c:\\Pics\\Sea.bmp");
  d.Choose();
  EXPECT_EQ(d.Path(), "c:\\pics\\sea.bmp");  // lower case is the default name mode
  EXPECT_EQ(d.Label(), "壁紙：c:\\pics\\sea.bmp");
  ASSERT_EQ(wp.sets.size(), 1u);
  EXPECT_EQ(wp.sets[0], std::make_pair(std::string("c:\\pics\\sea.bmp"), WallpaperUpdate::kProfileOnly));
  ASSERT_EQ(wp.writes.size(), 2u);
  EXPECT_EQ(wp.writes[0], std::make_pair(std::string("TileWallPaper"), std::string("0")));
  EXPECT_EQ(wp.writes[1], std::make_pair(std::string("WallpaperStyle"), std::string("0")));

  const platform::FileDialogRequest& r = files.requests.back();
  EXPECT_EQ(r.title, "壁紙の選択");
  EXPECT_EQ(r.filter, "ＢＭＰファイル (*.bmp)|*.bmp|");
  EXPECT_EQ(r.defaultExt, "bmp");
  EXPECT_EQ(r.flags, platform::kDlgFileMustExist | platform::kDlgHideReadOnly | platform::kDlgExplorer);
}

TEST_F(WallpaperDialogTest, WrongExtensionIsRefusedAndKeepsThePreviousName) {
  desktop::WallpaperDialog d = Open();
  Answer("c:\\pics\\sea.bmp");
  d.Choose();
  EXPECT_EQ(wp.sets.back().second, WallpaperUpdate::kProfileAndNotify);  // was "(なし)"
  Answer("c:\\pics\\photo.jpg");
  d.Choose();
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "photo.jpgは、拡張子が違うため設定できません。");
  EXPECT_EQ(notifier.boxes[0].caption, "エラーメッセージ");
  // A name code page 932 cannot hold is refused by both ways of picking.
  Answer("c:\\pics\\M?torhead.bmp");
  d.Choose();
  Answer("c:\\pics\\M?torhead.bmp");
  d.NoWallpaperClicked(false);
  ASSERT_EQ(notifier.boxes.size(), 3u);
  EXPECT_EQ(notifier.boxes[2].text,
            "c:\\pics\\M?torhead.bmpは、ファイル名にこのプログラムで扱えない文字が含まれているため設定できません。");
  EXPECT_EQ(notifier.boxes[2].caption, "エラーメッセージ");
  EXPECT_EQ(d.Path(), "c:\\pics\\sea.bmp");
  EXPECT_EQ(wp.sets.size(), 1u);
  d.Choose();  // cancelled: the name field shows the last good choice
  EXPECT_EQ(files.requests.back().fileName, "sea.bmp");
}

TEST_F(WallpaperDialogTest, PlacementAndNoWallpaperBoxApplyInNotifyMode) {
  wp.desktop["Wallpaper"] = "c:\\pics\\sea.bmp";
  desktop::WallpaperDialog d = Open();
  d.SetTile(0);  // unchanged: nothing
  EXPECT_TRUE(wp.sets.empty());
  d.SetTile(1);
  EXPECT_EQ(wp.writes[wp.writes.size() - 2], std::make_pair(std::string("TileWallPaper"), std::string("1")));
  EXPECT_EQ(wp.sets.back(), std::make_pair(std::string("c:\\pics\\sea.bmp"), WallpaperUpdate::kProfileAndNotify));

  d.NoWallpaperClicked(true);
  EXPECT_TRUE(d.NoWallpaper());
  EXPECT_EQ(wp.sets.back(), std::make_pair(std::string("(なし)"), WallpaperUpdate::kProfileAndNotify));
  const size_t sets = wp.sets.size();

  Cancelled();
  d.NoWallpaperClicked(false);
  EXPECT_TRUE(d.NoWallpaper());
  Answer("c:\\pics\\x.gif");
  d.NoWallpaperClicked(false);
  EXPECT_TRUE(d.NoWallpaper());
  EXPECT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(wp.sets.size(), sets);

  Answer("c:\\windows\\clouds.bmp");
  d.NoWallpaperClicked(false);
  EXPECT_FALSE(d.NoWallpaper());
  EXPECT_EQ(wp.sets.back(), std::make_pair(std::string("c:\\windows\\clouds.bmp"), WallpaperUpdate::kProfileAndNotify));
}

TEST_F(WallpaperDialogTest, CancelUndoesEveryChange) {
  wp.desktop["Wallpaper"] = "c:\\pics\\sea.bmp";
  {
    desktop::WallpaperDialog d = Open();
    d.Cancel();  // nothing changed: nothing applied
    EXPECT_TRUE(wp.sets.empty());
  }
  desktop::WallpaperDialog d = Open();
  Answer("c:\\windows\\clouds.bmp");
  d.Choose();
  d.SetTile(1);
  d.Cancel();
  EXPECT_EQ(wp.writes.back(), std::make_pair(std::string("WallpaperStyle"), std::string("0")));
  EXPECT_EQ(wp.writes[wp.writes.size() - 2], std::make_pair(std::string("TileWallPaper"), std::string("0")));
  EXPECT_EQ(wp.sets.back(), std::make_pair(std::string("c:\\pics\\sea.bmp"), WallpaperUpdate::kProfileAndNotify));
}

TEST(WallpaperDirectoryTest, RemembersWhereTheUserEndedAndReturnsToTheWindowsDirectory) {
  FakeFileSystem fs;
  fs.AddDir("c:\\pics");
  fs.AddDir("c:\\art");
  std::string last = "c:\\pics";
  std::string during;
  desktop::RunInWallpaperDirectory(fs, &last, [&] {
    during = fs.cwd;
    fs.SetCurrentDirectory("c:\\art");
  });
  EXPECT_TRUE(text::EqualNoCase(during, "c:\\pics"));
  EXPECT_TRUE(text::EqualNoCase(last, "c:\\art"));
  EXPECT_EQ(fs.cwd, fs.windowsDir);
}

}  // namespace
