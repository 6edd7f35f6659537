// Copy of a video frame, driven from outside: nothing while the video plays,
// a device-independent bitmap of the client area once it is paused.
#include <gtest/gtest.h>

#include "player.h"

#include <cstdint>
#include <cstring>
#include <string>

using namespace wt;

namespace {


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
  p.AddPath(Sample("clip.avi"));
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

// Save (153) on a paused video writes a bitmap file: the 14-byte file
// header, then the same 40-byte header the clipboard gets.
TEST(CaptureBox, SaveWritesABitmapFileOfThePausedFrame) {
  CleanSettings();
  const std::wstring dir = FreshDir(L"CaptureSave");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("clip.avi"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(300);
  EXPECT_FALSE(p.MenuEnabled(153));  // only a paused picture can be saved
  p.Command(103);
  ASSERT_TRUE(p.MenuEnabled(153));
  p.PostCommand(153);
  HWND dlg = WaitDialog(p, L"ビデオ画面の保存");
  ASSERT_TRUE(dlg);
  const std::wstring target = Join(dir, L"frame.bmp");
  ASSERT_TRUE(AnswerFileDialog(dlg, target.c_str()));
  p.Sync();
  std::string data;
  ASSERT_TRUE(ReadBytes(target, &data));
  ASSERT_GT(data.size(), 54u);
  EXPECT_EQ(data.substr(0, 2), "BM");
  uint32_t size = 0, offset = 0, header = 0;
  memcpy(&size, data.data() + 2, 4);
  memcpy(&offset, data.data() + 10, 4);
  memcpy(&header, data.data() + 14, 4);
  EXPECT_EQ(size, data.size());
  EXPECT_TRUE(offset == 54 || offset == 1078) << offset;
  EXPECT_EQ(header, 40u);
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

}  // namespace
