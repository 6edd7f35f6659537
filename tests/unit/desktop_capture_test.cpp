#include "desktop/capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_notifier.h"
#include "fakes/fake_songlist_env.h"

namespace {

using desktop::BitmapFileHeader;
using desktop::DibInfoHeader;

uint32_t Get32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(s[at + i]);
  return v;
}
uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

struct FakeScreen : platform::CaptureScreen {
  int32_t width = 100, height = 80;
  bool slider = false, palette = false, readFails = false;
  std::vector<std::string> calls;
  uint32_t entriesAsked = 0;

  void RepaintNow() override { calls.push_back("repaint"); }
  void ClientSize(int32_t* w, int32_t* h) override {
    *w = width;
    *h = height;
  }
  bool SliderShown() override { return slider; }
  bool PaletteDisplay() override { return palette; }
  bool ReadFrame(uint32_t entries, std::string* dib) override {
    calls.push_back("read");
    entriesAsked = entries;
    if (readFails) return false;
    // Marks the last byte so a test can see the pixels arrived unchanged.
    dib->back() = '\x5A';
    return true;
  }
  void SendFrameToBack() override { calls.push_back("back"); }
  void RestoreFrame(bool topmost) override { calls.push_back(topmost ? "topmost" : "normal"); }
  void Sleep(uint32_t ms) override { calls.push_back("sleep " + std::to_string(ms)); }
};

TEST(CaptureFormat, HeadersAreByteExactForBothDepths) {
  std::string h = DibInfoHeader(101, 3, 24);
  const unsigned char want24[40] = {40, 0, 0, 0, 101, 0, 0, 0, 3, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                    0x90, 3, 0, 0,  // 304 * 3 = 912
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(h, std::string(reinterpret_cast<const char*>(want24), 40));

  h = DibInfoHeader(101, 2, 8);
  EXPECT_EQ(Get16(h, 14), 8);
  EXPECT_EQ(Get32(h, 20), 208u);
  EXPECT_EQ(Get32(h, 32), 256u);

  // File headers: pixels at 54 for 24 bits, 1078 after a 256-entry table.
  std::string f = BitmapFileHeader(40 + 912, 0);
  const unsigned char wantFile[14] = {'B', 'M', 0xC6, 3, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  EXPECT_EQ(f, std::string(reinterpret_cast<const char*>(wantFile), 14));
  f = BitmapFileHeader(40 + 1024 + 208, 256);
  EXPECT_EQ(Get32(f, 2), 14u + 40 + 1024 + 208);
  EXPECT_EQ(Get32(f, 10), 1078u);
}

TEST(CaptureFormat, RowsArePaddedToFourBytes) {
  EXPECT_EQ(desktop::RowSize(24, 100), 300u);
  EXPECT_EQ(desktop::RowSize(24, 101), 304u);
  EXPECT_EQ(desktop::RowSize(8, 100), 100u);
  EXPECT_EQ(desktop::RowSize(8, 101), 104u);
  EXPECT_EQ(desktop::RowSize(1, 33), 8u);
  EXPECT_EQ(desktop::RowSize(4, 9), 8u);
}

TEST(CaptureFormat, PaletteSizeDecidesTheDepth) {
  EXPECT_EQ(desktop::BitsForPaletteSize(2), 1);
  EXPECT_EQ(desktop::BitsForPaletteSize(3), 4);
  EXPECT_EQ(desktop::BitsForPaletteSize(16), 4);
  EXPECT_EQ(desktop::BitsForPaletteSize(17), 8);
  EXPECT_EQ(desktop::BitsForPaletteSize(256), 8);
  EXPECT_EQ(desktop::BitsForPaletteSize(257), 24);
  EXPECT_EQ(desktop::BitsForPaletteSize(desktop::SystemPaletteRequest(true)), 8);
  EXPECT_EQ(desktop::BitsForPaletteSize(desktop::SystemPaletteRequest(false)), 24);
  EXPECT_EQ(desktop::ColourTableLength(4), 16u);
  EXPECT_EQ(desktop::ColourTableLength(24), 0u);
}

TEST(CaptureFrame, TakesTheAreaAboveTheSliderInTheDisplaysFormat) {
  FakeScreen screen;
  screen.width = 101;
  screen.height = 121;
  screen.slider = true;
  std::string dib;
  ASSERT_EQ(desktop::CaptureFrame(screen, &dib), desktop::CaptureResult::kOk);
  EXPECT_EQ(screen.calls, (std::vector<std::string>{"repaint", "read"}));
  EXPECT_EQ(screen.entriesAsked, 2048u);
  EXPECT_EQ(Get32(dib, 8), 100u);
  EXPECT_EQ(dib.size(), 40u + 304 * 100);
  EXPECT_EQ(dib.back(), '\x5A');

  screen.palette = true;
  screen.height = 20;  // too low to carry the strip: nothing is taken off
  ASSERT_EQ(desktop::CaptureFrame(screen, &dib), desktop::CaptureResult::kOk);
  EXPECT_EQ(screen.entriesAsked, 256u);
  EXPECT_EQ(Get32(dib, 8), 20u);
  EXPECT_EQ(Get16(dib, 14), 8);
  EXPECT_EQ(dib.size(), 40u + 1024 + 104 * 20);

  // An area with no pixels left and a failed read both end as out of memory.
  screen.height = 21;
  EXPECT_EQ(desktop::CaptureFrame(screen, &dib), desktop::CaptureResult::kNoMemory);
  screen.height = 50;
  screen.readFails = true;
  EXPECT_EQ(desktop::CaptureFrame(screen, &dib), desktop::CaptureResult::kNoMemory);
  // Sizes a 32-bit process cannot hold are refused before any allocation.
  screen.readFails = false;
  screen.width = screen.height = 0x7FFFFFFF;
  EXPECT_EQ(desktop::CaptureFrame(screen, &dib), desktop::CaptureResult::kNoMemory);
}

TEST(CaptureCopy, ChoosesFrameNamesOrNothing) {
  using desktop::CopyAction;
  EXPECT_EQ(desktop::CopyActionFor(false, false), CopyAction::kNames);
  EXPECT_EQ(desktop::CopyActionFor(true, true), CopyAction::kFrame);
  EXPECT_EQ(desktop::CopyActionFor(true, false), CopyAction::kNothing);
}

class SaveFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddDir("c:\\windows");
    fs.AddDir("d:\\video");
    dialog.cwd = &fs.cwd;
  }
  void Save(const std::string& chosen, const std::string& cwdAfter = "") {
    dialog.answers.push_back({true, chosen + std::string(1, '\0'), 1, cwdAfter});
    desktop::SaveVideoFrame({&screen, &fs, &dialog, &notifier, &cursor}, "e:\\movies\\Clip.avi",
                            true, &aviDir);
  }
  FakeScreen screen;
  FakeFileSystem fs;
  FakeFileDialog dialog;
  FakeNotifier notifier;
  FakeCursor cursor;
  std::string aviDir = "d:\\video";
};

TEST_F(SaveFrameTest, WritesHeaderAndDibAcceptingAnyCaseOfBmp) {
  Save("d:\\video\\shot.BMP");
  ASSERT_EQ(dialog.requests.size(), 1u);
  const platform::FileDialogRequest& r = dialog.requests[0];
  EXPECT_TRUE(r.save);
  EXPECT_EQ(r.title, "ビデオ画面の保存");
  EXPECT_EQ(r.filter, "ビットマップファイル (*.bmp)|*.bmp|");
  EXPECT_EQ(r.defaultExt, "bmp");
  EXPECT_EQ(r.fileName, "Clip.bmp");
  EXPECT_TRUE(r.flags & platform::kDlgOverwritePrompt);
  EXPECT_TRUE(r.flags & platform::kDlgHideReadOnly);
  EXPECT_TRUE(notifier.boxes.empty());

  std::string file = fs.Contents("d:\\video\\shot.BMP");
  ASSERT_EQ(file.size(), 14u + 40 + 300 * 80);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(Get32(file, 2), file.size());
  EXPECT_EQ(Get32(file, 10), 54u);
  EXPECT_EQ(file.substr(14, 40), DibInfoHeader(100, 80, 24));
  EXPECT_EQ(file.back(), '\x5A');
  EXPECT_EQ(cursor.calls, (std::vector<std::string>{"wait", "arrow"}));
  // The process ends in the Windows directory, the setting where the dialog was.
  EXPECT_EQ(aviDir, "D:\\VIDEO");
  EXPECT_EQ(fs.cwd, "c:\\windows");
}

TEST_F(SaveFrameTest, RefusesOtherExtensionsAndCreatesMissingDirectory) {
  Save("d:\\video\\shot.jpg");
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "shot.jpgの拡張子を.bmpとしてください。");
  EXPECT_EQ(notifier.boxes[0].caption, "エラーメッセージ");
  EXPECT_EQ(fs.writeCount, 0);

  Save("d:\\video\\new\\shot.bmp", "d:\\video");
  EXPECT_TRUE(fs.IsDirectory("d:\\video\\new"));
  EXPECT_TRUE(fs.Has("d:\\video\\new\\shot.bmp"));
  EXPECT_EQ(notifier.boxes.size(), 1u);
}

TEST_F(SaveFrameTest, ReportsDirectoryAndWriteFailures) {
  fs.failCreateDir.insert("d:\\video\\new");
  Save("d:\\video\\new\\shot.bmp");
  fs.AddFile("d:\\video\\old.bmp", "keep", platform::kAttrReadOnly);
  Save("d:\\video\\old.bmp");
  fs.failWrite.insert("d:\\video\\x.bmp");
  Save("d:\\video\\x.bmp");
  ASSERT_EQ(notifier.boxes.size(), 3u);
  EXPECT_EQ(notifier.boxes[0].text, "d:\\video\\new\\の作成ができませんでした。");
  EXPECT_EQ(notifier.boxes[1].text, "old.bmpは読み取り専用のため上書きできません。");
  EXPECT_EQ(notifier.boxes[2].text, "x.bmpの保存ができませんでした。");
  for (const auto& b : notifier.boxes) EXPECT_EQ(b.caption, "ファイルエラー");
  EXPECT_EQ(notifier.beeps.size(), 3u);
  EXPECT_EQ(fs.Contents("d:\\video\\old.bmp"), "keep");

  // A name the code page cannot hold arrives with '?': refused, nothing created.
  Save("d:\\video\\?\\M?torhead.bmp");
  ASSERT_EQ(notifier.boxes.size(), 4u);
  EXPECT_EQ(notifier.boxes[3].text,
            "d:\\video\\?\\M?torhead.bmpは、ファイル名にこのプログラムで扱えない文字が含まれているため保存できません。");
  EXPECT_FALSE(fs.Has("d:\\video\\?"));
}

TEST_F(SaveFrameTest, CancelStillKeepsTheDirectoryAndCaptureFailureShowsNoDialog) {
  fs.AddDir("d:\\other");
  dialog.answers.push_back({false, "", 1, "d:\\other"});
  desktop::SaveVideoFrame({&screen, &fs, &dialog, &notifier, &cursor}, "a.avi", true, &aviDir);
  EXPECT_EQ(aviDir, "d:\\other");
  EXPECT_EQ(fs.cwd, "c:\\windows");

  screen.readFails = true;
  desktop::SaveVideoFrame({&screen, &fs, &dialog, &notifier, &cursor}, "a.avi", true, &aviDir);
  EXPECT_EQ(dialog.requests.size(), 1u);
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "ビデオ画面の保存ができませんでした。");
  EXPECT_EQ(notifier.boxes[0].caption, "メモリが足りません");
}

TEST(CaptureCopy, ReplacesWhatTheClipboardHoldsWithTheDib) {
  FakeScreen screen;
  FakeClipboard clip;
  FakeNotifier notifier;
  FakeCursor cursor;
  clip.hasText = true;
  desktop::CopyVideoFrame(screen, clip, notifier, cursor, false, false);
  EXPECT_TRUE(clip.emptied);
  EXPECT_FALSE(clip.hasText);
  EXPECT_FALSE(clip.open);
  EXPECT_EQ(clip.privateFormat, 8u);
  EXPECT_EQ(clip.privateBlock.size(), 40u + 300 * 80);
  EXPECT_TRUE(notifier.boxes.empty());
  EXPECT_EQ(screen.calls, (std::vector<std::string>{"repaint", "read"}));

  // Ctrl: the frame steps back for a second and is put back as the option says.
  screen.calls.clear();
  clip.setDataResult = platform::ClipResult::kNoMemory;
  desktop::CopyVideoFrame(screen, clip, notifier, cursor, true, true);
  EXPECT_EQ(screen.calls,
            (std::vector<std::string>{"back", "sleep 1000", "repaint", "read", "topmost"}));
  ASSERT_EQ(notifier.boxes.size(), 1u);
  EXPECT_EQ(notifier.boxes[0].text, "ビデオ画面のコピーができませんでした。");
  EXPECT_EQ(notifier.boxes[0].caption, "メモリが足りません");
  EXPECT_FALSE(clip.open);
  EXPECT_EQ(cursor.calls.back(), "arrow");
}

}  // namespace
