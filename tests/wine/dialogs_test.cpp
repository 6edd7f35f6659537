// Dialogs as the user first meets them: where they open, and the font
// dialog's OK that must not change a font nobody touched.
#include <gtest/gtest.h>

#include "player.h"

#include <dlgs.h>

#include <cstdlib>
#include <string>

using namespace wt;

namespace {

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  std::wstring dir_;
};

std::string KeyLine(const std::string& ini, const std::string& key) {
  size_t at = ini.find("\r\n" + key + "=");
  if (at == std::string::npos) return "";
  at += 2;
  return ini.substr(at, ini.find("\r\n", at) - at);
}

}  // namespace

TEST_F(Dialogs, FontDialogOkAtOnceKeepsTheFontKeys) {
  // FixedSys is missing here: the list is drawn with a stand-in face.
  const std::string font = "[FONT]\r\nFACENAME=FixedSys\r\nFONTSIZE=14\r\nBOLD=400\r\n"
                           "ITALIC=OFF\r\nCHARSET=128\r\n";
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n" + font));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.PostCommand(140);
  HWND dlg = WaitDialog(p, L"フォントの指定");
  ASSERT_TRUE(dlg);
  HWND faces = GetDlgItem(dlg, cmb1);
  for (LRESULT i = 0, n = SendMessageW(faces, CB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t name[LF_FACESIZE * 2] = L"";
    SendMessageW(faces, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
    EXPECT_NE(name[0], L'@') << W2Sjis(name);  // no sideways faces offered
  }
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
  p.Sync();
  ASSERT_TRUE(p.Close());
  std::string ini;
  ReadBytes(SettingsPath(), &ini);
  for (const char* key : {"FACENAME", "FONTSIZE", "BOLD", "ITALIC", "CHARSET"}) {
    EXPECT_EQ(KeyLine(ini, key), KeyLine(font, key)) << ini;
  }
}

TEST_F(Dialogs, EveryDialogOpensCentredOnTheMainWindow) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  HWND f = p.WaitFrame();
  ASSERT_TRUE(f);
  // Off the screen's middle, so a dialog centred on the screen would show.
  SetWindowPos(f, nullptr, 60, 50, 500, 300, SWP_NOZORDER);
  p.AddPath(Sample("tone.wav"));
  p.Command(152);  // selected, for the playing time's message box
  RECT fr;
  GetWindowRect(f, &fr);
  const LONG cx = (fr.left + fr.right) / 2, cy = (fr.top + fr.bottom) / 2;
  // The file dialogs, the options, the MIDI reset, the wallpaper, the
  // interval, the font, the about box and a message box.
  for (UINT id : {202u, 110u, 116u, 142u, 138u, 128u, 140u, 134u, 123u, 118u, 101u, 145u}) {
    p.PostCommand(id);
    MessageBoxInfo box;
    ASSERT_TRUE(p.WaitMessageBox(&box)) << id;
    Sleep(300);  // a dialog that moves itself after showing would have done so
    RECT d;
    GetWindowRect(box.hwnd, &d);
    EXPECT_LE(std::abs((d.left + d.right) / 2 - cx), 1) << id << " " << W2Sjis(box.caption);
    EXPECT_LE(std::abs((d.top + d.bottom) / 2 - cy), 1) << id << " " << W2Sjis(box.caption);
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(box.hwnd); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(box.hwnd)) << id;
    p.Sync();
  }
  ASSERT_TRUE(p.Close());
}
