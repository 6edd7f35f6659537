// Pictures and QuickTime films without a QuickTime device: a ".jpg" is shown
// through the system's image decoder like a one-frame video, a ".mov" goes to
// the DirectShow device, and only its failure is reported.
#include <gtest/gtest.h>

#include "player.h"

using namespace wt;

namespace {

const std::wstring kSamples = L"" CORVELLA_SAMPLES;

struct Quadrants {
  int red = 0, green = 0, blue = 0, yellow = 0, total = 0;
};

// The sample picture is red and green above, blue and yellow below.
Quadrants Classify(const std::map<COLORREF, int>& colours) {
  Quadrants q;
  for (const auto& [c, n] : colours) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    q.total += n;
    if (r > 200 && g < 60 && b < 60) q.red += n;
    if (r < 60 && g > 200 && b < 60) q.green += n;
    if (r < 60 && g < 60 && b > 200) q.blue += n;
    if (r > 200 && g > 200 && b < 60) q.yellow += n;
  }
  return q;
}

void ExpectPicture(const Quadrants& q) {
  // Each colour fills about a quarter of the picture area.
  EXPECT_GT(q.red * 6, q.total) << q.red << " of " << q.total;
  EXPECT_GT(q.green * 6, q.total) << q.green << " of " << q.total;
  EXPECT_GT(q.blue * 6, q.total) << q.blue << " of " << q.total;
  EXPECT_GT(q.yellow * 6, q.total) << q.yellow << " of " << q.total;
}

}  // namespace

TEST(Picture, JpegIsShownInTheMainWindowAndEndsLikeAStill) {
  CleanSettings();
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  std::wstring dir = FreshDir(L"PictureMain");
  Player p;
  ASSERT_TRUE(p.Start(L"\"" + Join(kSamples, L"picture.jpg") + L"\"", dir));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(WaitState(p, 1, 10000));
  MessageBoxInfo box;
  EXPECT_FALSE(p.WaitMessageBox(&box, 300)) << box.text;
  ExpectPicture(Classify(ClientColours(p)));
  // A still: no pause, and its picture can be copied with nothing selected.
  EXPECT_FALSE(p.MenuEnabled(103));
  EXPECT_TRUE(p.MenuEnabled(150));
  // It is shown for a while, then the list ends as after any song.
  EXPECT_TRUE(WaitState(p, 0, 15000));
  EXPECT_NE(p.Caption().find(L"(停止中)"), std::wstring::npos) << p.Caption();
  ASSERT_TRUE(p.Close());
}

TEST(Picture, JpegInItsOwnWindowAndFullScreenWhichTheUserMayClose) {
  CleanSettings();
  ASSERT_TRUE(WriteBytes(SettingsPath(),
                         "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\nAVIDISP=ON\r\n"));
  std::wstring dir = FreshDir(L"PictureOwn");
  Player p;
  ASSERT_TRUE(p.Start(L"\"" + Join(kSamples, L"picture.jpg") + L"\"", dir));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(WaitState(p, 1, 10000));
  HWND own = nullptr;
  for (int i = 0; i < 50 && !own; ++i, Sleep(100)) own = FindForeignWindow(p.Pid(), p.Frame());
  ASSERT_NE(own, nullptr);
  SetForegroundWindow(own);
  ExpectPicture(Classify(WindowColours(own)));
  // Full screen reopens it in a window that covers the screen.
  p.Command(147);
  ASSERT_TRUE(WaitState(p, 1, 5000));
  HWND full = nullptr;
  RECT r{};
  for (int i = 0; i < 50; ++i, Sleep(100)) {
    full = FindForeignWindow(p.Pid(), p.Frame());
    if (full && GetWindowRect(full, &r) && r.right - r.left == GetSystemMetrics(SM_CXSCREEN)) break;
  }
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN));
  ExpectPicture(Classify(WindowColours(full)));
  // Closing the picture's window stops the player, long before its time is up.
  own = full;
  PostMessageW(own, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitState(p, 0, 2000));
  ASSERT_TRUE(p.Close());
}

TEST(Picture, FilmGoesToTheDirectShowDeviceAndOnlyItsFailureIsShown) {
  CleanSettings();
  std::wstring dir = FreshDir(L"FilmMov");
  Player p;
  ASSERT_TRUE(p.Start(L"\"" + Join(kSamples, L"film.mov") + L"\"", dir));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_TRUE(WaitState(p, 1, 10000));
  MessageBoxInfo box;
  EXPECT_FALSE(p.WaitMessageBox(&box, 500)) << box.text;
  EXPECT_NE(p.Caption().find(L"(演奏中)"), std::wstring::npos) << p.Caption();
  ASSERT_TRUE(p.Close());

  // A ".mov" that is no film: the device's own error, once.
  std::wstring broken = Join(dir, L"broken.mov");
  ASSERT_TRUE(WriteBytes(broken, std::string(4096, 'x')));
  Player q;
  ASSERT_TRUE(q.Start(L"\"" + broken + L"\"", dir));
  ASSERT_TRUE(q.WaitFrame());
  ASSERT_TRUE(q.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  EXPECT_FALSE(box.text.empty());
  HWND first = box.hwnd;
  Player::Answer(box, IDOK);
  for (int i = 0; i < 40 && IsWindow(first); ++i) Sleep(50);
  EXPECT_FALSE(q.WaitMessageBox(&box, 1000)) << box.text;
  EXPECT_EQ(q.Control(0, 104), 0);
  ASSERT_TRUE(q.Close());
}
