// Copy of a video frame, driven from outside: nothing while the video plays,
// a device-independent bitmap of the client area once it is paused.
#include <gtest/gtest.h>

#include "player.h"

#include <string>

using namespace wt;

namespace {

std::string ClipSample() { return W2Sjis(CORVELLA_SAMPLES L"\\") + "clip.avi"; }

bool WaitState(const Player& p, LRESULT want, DWORD ms) {
  for (DWORD t = 0; t < ms; t += 100) {
    if (p.Control(0, 104) == want) return true;
    Sleep(100);
  }
  return false;
}

void EmptyTheClipboard() {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
}

TEST(CaptureBox, CopyTakesThePausedFrameOnly) {
  CleanSettings();
  Player p;
  ASSERT_TRUE(p.Start(L"", FreshDir(L"CaptureCopy")));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(ClipSample());
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(300);
  EmptyTheClipboard();
  p.Command(150);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));

  p.Command(103);
  ASSERT_EQ(p.Control(0, 104), 3);
  p.Command(150);
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  RECT rc{};
  GetClientRect(p.Client(), &rc);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE h = GetClipboardData(CF_DIB);
  ASSERT_NE(h, nullptr);
  auto* bih = static_cast<const BITMAPINFOHEADER*>(GlobalLock(h));
  ASSERT_NE(bih, nullptr);
  EXPECT_EQ(bih->biSize, 40u);
  EXPECT_EQ(bih->biWidth, rc.right);
  EXPECT_TRUE(bih->biHeight == rc.bottom || bih->biHeight == rc.bottom - 21) << bih->biHeight;
  EXPECT_TRUE(bih->biBitCount == 24 || bih->biBitCount == 8);
  DWORD row = ((bih->biBitCount * bih->biWidth + 31) / 32) * 4;
  EXPECT_EQ(bih->biSizeImage, row * bih->biHeight);
  EXPECT_GE(GlobalSize(h), 40 + row * bih->biHeight);
  GlobalUnlock(h);
  CloseClipboard();
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

}  // namespace
