// The list on screen, seen from outside: the colours of current, selected and
// skipped entries, selection with the keys, and the caption.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "player.h"

using namespace wt;

namespace {

class ListViewBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  std::wstring dir_;
};

int Count(const std::map<COLORREF, int>& m, int r, int g, int b) {
  auto it = m.find(RGB(r, g, b));
  return it == m.end() ? 0 : it->second;
}

void AddTwelve(const Player& p) {
  for (int i = 1; i <= 12; ++i) {
    p.AddPath("c:\\music\\song" + std::to_string(i) + (i % 2 ? ".mid" : ".wav"));
  }
}

}  // namespace

TEST_F(ListViewBox, CellColoursFollowCurrentSelectedAndSkipped) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  AddTwelve(p);
  auto c = ClientColours(p);
  EXPECT_GT(Count(c, 0, 255, 255), 50);   // the current entry
  EXPECT_EQ(Count(c, 128, 255, 128), 0);  // nothing selected yet
  EXPECT_EQ(Count(c, 255, 0, 0), 0);      // nothing skipped

  p.Command(403);  // focus to the second entry
  p.Command(410);  // Space: select it
  c = ClientColours(p);
  EXPECT_GT(Count(c, 128, 255, 128), 50);

  p.Command(111);  // mark the selection skipped
  p.Command(413);  // Esc: clear the selection
  c = ClientColours(p);
  EXPECT_EQ(Count(c, 128, 255, 128), 0);
  EXPECT_GT(Count(c, 255, 0, 0), 5);      // red text of the skipped entry

  p.Command(152);  // select all: the current entry is selected too
  c = ClientColours(p);
  EXPECT_GT(Count(c, 0, 0, 255), 50);
  EXPECT_GT(Count(c, 128, 255, 128), 50);
  ASSERT_TRUE(p.Close());
}

TEST_F(ListViewBox, KeySelectionIsWrittenToTheResumeFile) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  AddTwelve(p);
  p.Command(410);  // select the first entry; focus moves to the second
  p.Command(410);  // and the second
  p.Command(410);  // and the third
  p.Command(413);  // Esc clears them all
  p.Command(403);  // down to the fifth
  p.Command(410);  // select the fifth
  ASSERT_TRUE(p.Close());
  std::string resume;
  ASSERT_TRUE(ReadBytes(Join(dir_, L"temp.snf"), &resume));
  // Entry lines: path, play order slot, flag word; only the fifth is selected.
  EXPECT_NE(resume.find("c:\\music\\song5.mid\r\n4\r\n256\r\n"), std::string::npos) << resume;
  EXPECT_NE(resume.find("c:\\music\\song1.mid\r\n0\r\n0\r\n"), std::string::npos);
  EXPECT_NE(resume.find("c:\\music\\song3.mid\r\n2\r\n0\r\n"), std::string::npos);
}

TEST_F(ListViewBox, CaptionNamesTheCurrentSongAndItsState) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_EQ(p.Caption(), L"corvella");
  p.AddPath("c:\\music\\夜明けの歌.MID");
  EXPECT_EQ(p.Caption(), L"夜明けの歌.mid (停止中)");
  p.Control(0, 101);
  EXPECT_EQ(p.Caption(), L"corvella");
  ASSERT_TRUE(p.Close());
}

TEST_F(ListViewBox, UpperCaseModeShowsCapitals) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nSTRUPR=1\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_EQ(p.Caption(), L"CORVELLA");
  p.AddPath("c:\\music\\song.mid");
  EXPECT_EQ(p.Caption(), L"SONG.MID (停止中)");
  ASSERT_TRUE(p.Close());
}

// Not a timed test: prints what a full repaint of a full list costs at
// 1024x768, and fails only when it is far beyond one frame.
TEST_F(ListViewBox, FullRepaintOfAFullListFitsInAFrame) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  wchar_t env[16] = L"";
  int entries = GetEnvironmentVariableW(L"CORVELLA_REPAINT_ENTRIES", env, 16) ? _wtoi(env) : 999;
  for (int i = 1; i <= entries; ++i) {
    p.AddPath("c:\\music\\\x8b\xc8" + std::to_string(i) + (i % 3 ? ".mid" : ".mp3"));
  }
  ShowWindow(p.Frame(), SW_MAXIMIZE);
  p.Sync();
  HWND w = p.Client();
  RECT rc;
  GetClientRect(w, &rc);
  const int rounds = 20;
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < rounds; ++i) {
    InvalidateRect(w, nullptr, FALSE);
    UpdateWindow(w);  // paints synchronously in the player's thread
  }
  p.Sync();
  QueryPerformanceCounter(&t1);
  double ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart) / rounds;
  std::printf("full repaint of %d entries at %ldx%ld: %.2f ms\n", entries, rc.right, rc.bottom, ms);
  EXPECT_LT(ms, 100.0);
  ASSERT_TRUE(p.Close());
}

// The mouse taken away in the middle of a drag (here by the cancel-mode
// message a window coming up sends): the drag ends there, and the button's
// later release moves nothing.
TEST_F(ListViewBox, LostCaptureEndsTheDrag) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  AddTwelve(p);
  HWND w = p.Client();
  ASSERT_TRUE(w);
  const std::vector<std::wstring> before = ListedPaths(p);
  auto drag = [&](bool lose) {
    DWORD_PTR r;
    SendMessageTimeoutW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30), SMTO_NORMAL, 5000, &r);
    if (lose) SendMessageTimeoutW(w, WM_CANCELMODE, 0, 0, SMTO_NORMAL, 5000, &r);
    SendMessageTimeoutW(w, WM_LBUTTONUP, 0, MAKELPARAM(20, 90), SMTO_NORMAL, 5000, &r);
  };
  drag(true);
  EXPECT_EQ(ListedPaths(p), before);
  // The same gesture kept whole moves an entry: the two points hit two entries.
  drag(false);
  EXPECT_NE(ListedPaths(p), before);
  ASSERT_TRUE(p.Close());
}
