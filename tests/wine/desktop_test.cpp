// The wallpaper changer seen from outside: the desktop's wallpaper setting
// before and after the player changes it.
#include <gtest/gtest.h>

#include "player.h"

using namespace wt;

namespace {

std::wstring DesktopWallpaper() {
  wchar_t buf[MAX_PATH] = L"";
  GetProfileStringW(L"Desktop", L"Wallpaper", L"", buf, MAX_PATH);
  return buf;
}

class DesktopBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(L"Wallpaper");
    saved_ = DesktopWallpaper();
  }
  void TearDown() override {
    WriteProfileStringW(L"Desktop", L"Wallpaper", saved_.c_str());
  }
  std::wstring Bitmap(const wchar_t* name) {
    std::wstring path = dir_ + L"\\" + name;
    WriteBytes(path, std::string("BM") + std::string(60, '\0'));
    return path;
  }
  std::wstring dir_, saved_;
};

}  // namespace

// "Change now" picks another bitmap beside the current one, every time; with
// no other bitmap there it leaves the wallpaper alone.
TEST_F(DesktopBox, ChangeNowPicksAnotherBitmapFromTheSameDirectory) {
  const std::wstring a = Bitmap(L"a.bmp"), b = Bitmap(L"b.bmp");
  WriteBytes(dir_ + L"\\c.txt", "not a bitmap");
  ASSERT_TRUE(WriteProfileStringW(L"Desktop", L"Wallpaper", a.c_str()));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.Command(400);
  EXPECT_EQ(_wcsicmp(DesktopWallpaper().c_str(), b.c_str()), 0) << W2Sjis(DesktopWallpaper());
  p.Command(400);
  EXPECT_EQ(_wcsicmp(DesktopWallpaper().c_str(), a.c_str()), 0) << W2Sjis(DesktopWallpaper());
  DeleteFileW(b.c_str());
  p.Command(400);
  EXPECT_EQ(_wcsicmp(DesktopWallpaper().c_str(), a.c_str()), 0) << W2Sjis(DesktopWallpaper());
  // No wallpaper: nothing to change.
  ASSERT_TRUE(WriteProfileStringW(L"Desktop", L"Wallpaper", L""));
  Bitmap(L"b.bmp");
  p.Command(400);
  EXPECT_EQ(DesktopWallpaper(), L"");
  ASSERT_TRUE(p.Close());
}

// A bitmap whose name code page 932 cannot hold, picked in the wallpaper
// dialog: the desktop gets a name that reaches that very file, never one
// with '?' in it.
TEST_F(DesktopBox, PickedForeignNameReachesItsFile) {
  const std::wstring pic = Bitmap(L"Motörhead.bmp");
  ASSERT_TRUE(WriteProfileStringW(L"Desktop", L"Wallpaper", L""));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(118);
  HWND dlg = WaitDialog(p, L"壁紙の設定");
  ASSERT_TRUE(dlg);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(401, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, 401)));
  HWND pick = WaitDialog(p, L"壁紙の選択");
  ASSERT_TRUE(pick);
  ASSERT_TRUE(AnswerFileDialog(pick, pic.c_str()));
  p.Sync();
  const std::wstring set = DesktopWallpaper();
  EXPECT_EQ(set.find(L'?'), std::wstring::npos) << W2Sjis(set);
  wchar_t longName[MAX_PATH] = L"";
  ASSERT_TRUE(GetLongPathNameW(set.c_str(), longName, MAX_PATH)) << W2Sjis(set);
  EXPECT_EQ(_wcsicmp(longName, pic.c_str()), 0) << W2Sjis(longName);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  p.Sync();
  ASSERT_TRUE(p.Close());
}
