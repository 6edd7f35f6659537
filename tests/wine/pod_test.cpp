// The play pod, seen from outside: shown and closed by the user, its
// position kept in the settings.
#include <gtest/gtest.h>

#include "player.h"

using namespace wt;

namespace {

HWND FindPod(DWORD pid) {
  HWND pod = nullptr;
  while ((pod = FindWindowExW(nullptr, pod, L"CorvellaPod", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(pod, &owner);
    if (owner == pid && IsWindowVisible(pod)) return pod;
  }
  return nullptr;
}

}  // namespace

TEST(PlayPod, ShownByTheMenuAndClosedFromItsCaption) {
  CleanSettings();
  std::wstring dir = FreshDir(L"PlayPodClose");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_EQ(FindPod(p.Pid()), nullptr);
  p.Command(451);
  HWND pod = FindPod(p.Pid());
  ASSERT_NE(pod, nullptr);
  EXPECT_TRUE(p.MenuChecked(451));
  wchar_t title[32] = L"";
  GetWindowTextW(pod, title, 32);
  EXPECT_STREQ(title, L"Corvella");
  // Shown only while minimised: gone from the normal window.
  p.Command(453);
  EXPECT_EQ(FindPod(p.Pid()), nullptr);
  p.Command(453);
  pod = FindPod(p.Pid());
  ASSERT_NE(pod, nullptr);
  SetWindowPos(pod, nullptr, -40, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(pod, WM_CLOSE, 0, 0);
  p.Sync();
  EXPECT_EQ(FindPod(p.Pid()), nullptr);
  EXPECT_FALSE(p.MenuChecked(451));
  ASSERT_TRUE(p.Close());
  std::string ini;
  ReadBytes(SettingsPath(), &ini);
  EXPECT_NE(ini.find("PX=0\r\nPY=25\r\nTOPPAD=OFF\r\nICONPAD=OFF\r\nCONTROLPAD=OFF\r\n"),
            std::string::npos)
      << ini;
}
