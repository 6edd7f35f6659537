// Behaviour seen from outside that is easy to get subtly wrong: the command
// line's options, shortcut keys without their target, the slider's thumb,
// dialogs' side effects and the desktop settings written.
#include <gtest/gtest.h>

#include "player.h"

#include <commctrl.h>

#include <cstring>
#include <string>

using namespace wt;

namespace {

class Fidelity : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  static HWND Slider(const Player& p) { return GetDlgItem(p.Client(), 302); }
  static int SliderPos(const Player& p) {
    return static_cast<int>(SendMessageW(Slider(p), TBM_GETPOS, 0, 0));
  }
  std::wstring dir_;
};

}  // namespace

TEST_F(Fidelity, CloseOptionAloneGivesAnEmptyListWithoutMessage) {
  for (const wchar_t* args : {L"/CLOSE", L"/CLOSE ", L"/close"}) {
    Player p;
    ASSERT_TRUE(p.Start(args, dir_));
    ASSERT_TRUE(p.WaitFrame()) << W2Sjis(args);
    MessageBoxInfo box;
    EXPECT_FALSE(p.WaitMessageBox(&box, 1500)) << W2Sjis(box.text);
    EXPECT_FALSE(p.MenuEnabled(203));  // nothing to play
    ASSERT_TRUE(p.Close());
  }
}

TEST_F(Fidelity, CloseOptionAtTheEndLoadsAnOrdinaryList) {
  Player p;
  ASSERT_TRUE(p.Start(Sjis2W(Sample("tune.mid")) + L" /close", dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(WaitState(p, 1, 5000));
  p.Command(204);  // stopping does not end the program: no close-after-play
  Sleep(500);
  EXPECT_TRUE(p.Running());
  ASSERT_TRUE(p.Close());
}

TEST_F(Fidelity, FullScreenKeyWithoutVideoChangesNothing) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.Command(129);  // dedicated video window on, no video open
  ASSERT_TRUE(p.MenuChecked(129));
  p.Command(414);  // Alt+Z
  EXPECT_FALSE(p.MenuChecked(147));
  ASSERT_TRUE(p.Close());
  std::string ini;
  ReadBytes(SettingsPath(), &ini);
  EXPECT_NE(ini.find("AVIALLDISP=OFF"), std::string::npos);
}

TEST_F(Fidelity, TimerPutsAMovedThumbBackWhereTheMediumIs) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("tone.wav"));
  p.Sync();
  // Stopped: the thumb the user moved goes back to 0.
  SendMessageW(Slider(p), TBM_SETPOS, TRUE, 300);
  Sleep(700);
  EXPECT_EQ(SliderPos(p), 0);
  ASSERT_TRUE(p.Close());
}

TEST_F(Fidelity, SliderStaysPutWhileTheAboutBoxIsOpen) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("tone.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  p.PostCommand(101);
  HWND about = WaitDialog(p, L"CORVELLA について");
  ASSERT_TRUE(about);
  SendMessageW(Slider(p), TBM_SETPOS, TRUE, 5);
  Sleep(700);
  EXPECT_EQ(SliderPos(p), 5);
  PostMessageW(about, WM_COMMAND, IDOK, 0);
  Sleep(700);
  EXPECT_GT(SliderPos(p), 5);  // the timer has it again
  ASSERT_TRUE(p.Close());
}

namespace {


}  // namespace

TEST_F(Fidelity, PasteDoesNotAddTheSameFileInOtherCaseTwice) {
  // Two names that differ only in the case of full-width letters: one file
  // on Windows, so the list takes it once.
  const std::wstring upper = Join(dir_, L"ＡＢ.wav"), lower = Join(dir_, L"ａｂ.wav");
  std::string wav;
  ASSERT_TRUE(ReadBytes(Sjis2W(Sample("tone.wav")), &wav));
  ASSERT_TRUE(WriteBytes(upper, wav));
  WriteBytes(lower, wav);  // a second file where names are case-sensitive
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(PutClipboardText(upper + L"\r\n"));
  p.Command(151);
  ASSERT_EQ(ListedPaths(p).size(), 1u);
  ASSERT_TRUE(PutClipboardText(lower + L"\r\n"));
  p.Command(151);
  EXPECT_EQ(ListedPaths(p).size(), 1u);
  ASSERT_TRUE(p.Close());
}

TEST_F(Fidelity, CopyOfAVideoFrameReplacesWhatTheClipboardHeld) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("clip.avi"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(300);
  p.Command(103);
  ASSERT_EQ(p.Control(0, 104), 3);
  ASSERT_TRUE(PutClipboardText(L"another program's text"));
  p.Command(150);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

TEST_F(Fidelity, CentredWallpaperWritesTheStyleBesideTheTileFlag) {
  wchar_t saved[MAX_PATH] = L"";
  GetProfileStringW(L"Desktop", L"TileWallPaper", L"0", saved, MAX_PATH);
  WriteProfileStringW(L"Desktop", L"TileWallPaper", L"1");
  WriteProfileStringW(L"Desktop", L"WallpaperStyle", L"10");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(118);
  HWND dlg = WaitDialog(p, L"壁紙の設定");
  ASSERT_TRUE(dlg);
  SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(501, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, 501)));
  wchar_t tile[8] = L"", style[8] = L"";
  GetProfileStringW(L"Desktop", L"TileWallPaper", L"", tile, 8);
  GetProfileStringW(L"Desktop", L"WallpaperStyle", L"", style, 8);
  EXPECT_STREQ(tile, L"0");
  EXPECT_STREQ(style, L"0");
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  p.Sync();
  ASSERT_TRUE(p.Close());
  WriteProfileStringW(L"Desktop", L"TileWallPaper", saved);
}

TEST_F(Fidelity, MissingFontFaceFallsBackToFixedSys) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[FONT]\r\n"
                                         "FACENAME=No Such Face Anywhere\r\nFONTSIZE=20\r\nBOLD=700\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(p.Close());
  std::string ini;
  ReadBytes(SettingsPath(), &ini);
  EXPECT_NE(ini.find("FACENAME=FixedSys\r\nFONTSIZE=14\r\nBOLD=400\r\n"), std::string::npos) << ini;
}

TEST_F(Fidelity, FontWithoutKanjiIsWarnedAbout) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[FONT]\r\n"
                                         "FACENAME=DejaVu Sans\r\nFONTSIZE=12\r\nCHARSET=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(140);
  HWND dlg = WaitDialog(p, L"フォントの指定");
  ASSERT_TRUE(dlg);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  HWND warning = WaitDialog(p, L"使用上の注意");
  ASSERT_TRUE(warning);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"使用上の注意");
  EXPECT_EQ(box.text, L"このフォントを使用すると、漢字の表示ができなくなります。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.Close());
}

TEST_F(Fidelity, MaximiseDoublesTheVideoAndRestoreReturnsOrRecentres) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  HWND f = p.WaitFrame();
  ASSERT_TRUE(f);
  p.AddPath(Sample("clip.avi"));  // 160 x 120
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  p.Command(103);
  RECT before;
  GetWindowRect(f, &before);
  SendMessageW(f, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  p.Sync();
  EXPECT_TRUE(IsZoomed(f));
  RECT c;
  GetClientRect(p.Client(), &c);
  EXPECT_EQ(c.right, 320);
  EXPECT_EQ(c.bottom, 240 + 21);  // the picture and the slider strip
  SendMessageW(f, WM_SYSCOMMAND, SC_RESTORE, 0);
  p.Sync();
  RECT after;
  GetWindowRect(f, &after);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);

  // Centred video: a restored frame is centred again.
  p.Command(144);
  SetWindowPos(f, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMessageW(f, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  SendMessageW(f, WM_SYSCOMMAND, SC_RESTORE, 0);
  p.Sync();
  GetWindowRect(f, &after);
  const int sw = GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR(after.left, (sw - (after.right - after.left)) / 2, 1);
  p.Command(204);
  ASSERT_TRUE(p.Close());
}
