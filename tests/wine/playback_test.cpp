// Playing from outside: songs added and started through the external control,
// the state it reports, pause, stop, close-after-play and device errors.
#include <gtest/gtest.h>

#include "player.h"

#include <commctrl.h>

using namespace wt;

namespace {

std::string Sample(const char* name) { return W2Sjis(CORVELLA_SAMPLES L"\\") + name; }

class PlaybackBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  // Waits until the state answer is want (1 playing, 3 paused, 0 otherwise).
  static bool WaitState(const Player& p, LRESULT want, DWORD ms) {
    for (DWORD t = 0; t < ms; t += 100) {
      if (p.Control(0, 104) == want) return true;
      Sleep(100);
    }
    return false;
  }
  std::wstring dir_;
};

}  // namespace

TEST_F(PlaybackBox, WavPlaysPausesResumesAndStops) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("tone.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"(演奏中)"), std::wstring::npos) << W2Sjis(p.Caption());
  std::string out;
  EXPECT_EQ(RunCtl(L"state", &out), 0u);
  EXPECT_EQ(out.substr(0, 7), "playing");
  p.Command(103);
  EXPECT_EQ(p.Control(0, 104), 3);
  EXPECT_NE(p.Caption().find(L"(ポーズ)"), std::wstring::npos);
  p.Command(203);  // Play on a paused song resumes it
  EXPECT_EQ(p.Control(0, 104), 1);
  p.Command(204);
  EXPECT_EQ(p.Control(0, 104), 0);
  EXPECT_NE(p.Caption().find(L"(停止中)"), std::wstring::npos);
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, NextSongStartsAfterTheInterval) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=1\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("short.wav"));
  p.AddPath(Sample("tone.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"short.wav"), std::wstring::npos);
  // The one-second song ends, the pause between songs runs, the next starts.
  ASSERT_TRUE(WaitState(p, 0, 4000));
  ASSERT_TRUE(WaitState(p, 1, 4000));
  EXPECT_NE(p.Caption().find(L"tone.wav"), std::wstring::npos) << W2Sjis(p.Caption());
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, CloseOptionEndsTheProgramWhenTheSongIsOver) {
  Player p;
  ASSERT_TRUE(p.Start(L"/close " + Sjis2W(Sample("short.wav")), dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(p.WaitExit(15000));
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST_F(PlaybackBox, MissingFileShowsTheDeviceError) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("nosuch.wav"));
  p.PostCommand(203);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  EXPECT_FALSE(box.text.empty());
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_EQ(p.Control(0, 104), 0);
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, ExternalControlBuildsAndPlaysAOneEntryList) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("tone.wav"));
  p.Control(0, 101);  // clear
  EXPECT_FALSE(p.MenuEnabled(203));
  p.AddPath(Sample("short.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"short.wav"), std::wstring::npos);
  p.Control(0, 101);  // clearing stops the song
  EXPECT_EQ(p.Control(0, 104), 0);
  ASSERT_TRUE(p.Close());
}


TEST_F(PlaybackBox, Mp3PlaysToItsEndAndSeeksWithTheSlider) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("song.mp3"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"song.mp3 (演奏中)"), std::wstring::npos) << W2Sjis(p.Caption());
  // The slider follows the position; a page step through the slider seeks.
  HWND slider = GetDlgItem(p.Client(), 302);
  ASSERT_TRUE(slider);
  Sleep(1200);
  DWORD_PTR before = 0, max = 0, after = 0;
  SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &before);
  SendMessageTimeoutW(slider, TBM_GETRANGEMAX, 0, 0, SMTO_NORMAL, 2000, &max);
  EXPECT_GT(before, 0u);
  EXPECT_GT(max, before);
  // Seek to three quarters: set the thumb, then tell the window as the slider would.
  DWORD_PTR target = max * 3 / 4;
  SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, target, SMTO_NORMAL, 2000, &after);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0),
                      reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 2000, &after);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                      reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 2000, &after);
  Sleep(600);
  SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &after);
  EXPECT_GE(after, target);
  // The rest of the four-second song is about one second.
  ASSERT_TRUE(WaitState(p, 0, 3000));
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, AviPlaysInsideTheMainWindow) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("clip.avi"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(500);
  // The test picture's colour bars fill the list area; the list background is gone.
  auto colours = ClientColours(p);
  int saturated = 0, background = 0, total = 0;
  for (const auto& [c, n] : colours) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    total += n;
    if ((r > 200) + (g > 200) + (b > 200) >= 1 && (r < 60) + (g < 60) + (b < 60) >= 1) saturated += n;
    if (c == RGB(255, 255, 232)) background += n;
  }
  EXPECT_GT(saturated, total / 3);
  EXPECT_LT(background, total / 20);
  // Pausing keeps the picture; Stop gives the list back.
  p.Command(103);
  EXPECT_EQ(p.Control(0, 104), 3);
  EXPECT_TRUE(p.MenuEnabled(153));  // a paused picture can be saved
  p.Command(204);
  colours = ClientColours(p);
  auto it = colours.find(RGB(255, 255, 232));
  EXPECT_GT(it == colours.end() ? 0 : it->second, total / 2);
  ASSERT_TRUE(p.Close());
}
