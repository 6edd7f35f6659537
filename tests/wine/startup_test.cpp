// Start-up and exit of the player, seen from outside.
#include <gtest/gtest.h>

#include "player.h"

using namespace wt;

namespace {

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }
  std::wstring dir_;
};

std::string Ini() {
  std::string data;
  ReadBytes(SettingsPath(), &data);
  return data;
}

}  // namespace

TEST_F(Startup, FirstExitWritesEveryKeyInOrderWithDefaults) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  ASSERT_TRUE(p.Close());
  EXPECT_EQ(p.ExitCode(), 0u);
  std::string cwd = W2Sjis(dir_);
  const std::string expected =
      "[VERSION]\r\nVERSION=119\r\n"
      "[CONFIG]\r\nW=500\r\nH=400\r\nVX=100\r\nVY=100\r\nVW=320\r\nVH=240\r\n"
      "R=255\r\nG=255\r\nB=232\r\n"
      "DIRECTORY=" + cwd + "\r\nSNFDIRECTORY=" + cwd + "\r\nWPDIRECTORY=" + cwd +
      "\r\nAVIDIRECTORY=" + cwd + "\r\nFILTERINDEX=1\r\n"
      "ENDSAVE=ON\r\nREPEAT1=OFF\r\nREPEAT2=OFF\r\nINITLOAD=OFF\r\nINITSHUFFLE=OFF\r\n"
      "INITPLAY=OFF\r\nINITLOADFILE=\r\nTOPMOST=OFF\r\nMINIMIZE=OFF\r\nSHUFFLE=OFF\r\n"
      "WPCHANGE=OFF\r\nAUTOWP=OFF\r\nSTRUPR=0\r\nRESETON=ON\r\nRESETGS=ON\r\nDEVICEID=17\r\n"
      "AVIDISP=OFF\r\nAVISIZE=OFF\r\nAVICENTER=OFF\r\nAVIALLDISP=OFF\r\nNOSOUND=OFF\r\n";
  std::string ini = Ini();
  // The [CONFIG] keys before the [BUTTON] section, in the written order.
  EXPECT_EQ(ini.substr(0, expected.size()), expected);
  const std::string rest =
      "MENUBAR=ON\r\nCONTROLBAR=ON\r\nSTATUSBAR=ON\r\nSLIDER=ON\r\nSYSTEMCOLOR=OFF\r\n"
      "PX=0\r\nPY=0\r\nTOPPAD=OFF\r\nICONPAD=OFF\r\nCONTROLPAD=OFF\r\n"
      "INTERVAL=3\r\nALARMSET=OFF\r\nALARMHOUR=7\r\nALARMMINUTE=0\r\n";
  EXPECT_NE(ini.find(rest), std::string::npos) << ini;
  EXPECT_NE(ini.find("[BUTTON]\r\nBT_FILE=ON\r\nBT_CD=ON\r\nBT_SNF=ON\r\nBT_EDIT=ON\r\n"
                     "BT_COPY=ON\r\nBT_UNDO=ON\r\nBT_INITLOAD=ON\r\nBT_INTERVAL=ON\r\n"
                     "BT_WPSET=ON\r\nBT_SHUFFLE=ON\r\nBT_SORT=ON\r\nBT_SAVEAVI=ON\r\n"),
            std::string::npos);
  EXPECT_NE(ini.find("[FONT]\r\nFACENAME=FixedSys\r\nFONTSIZE=14\r\nBOLD=400\r\nITALIC=OFF\r\n"
                     "CHARSET=128\r\nCHARNUM=8\r\n"),
            std::string::npos);
}

TEST_F(Startup, OldVersionKeepsPlacementButResetsOptions) {
  ASSERT_TRUE(WriteBytes(SettingsPath(),
                         "[VERSION]\r\nVERSION=103\r\n[CONFIG]\r\nX=40\r\nY=50\r\nW=420\r\nH=300\r\n"
                         "REPEAT1=ON\r\nINTERVAL=9\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  HWND f = p.WaitFrame();
  ASSERT_TRUE(f);
  RECT r;
  GetWindowRect(f, &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 420);
  EXPECT_FALSE(p.MenuChecked(126));  // repeat one went back to its default
  ASSERT_TRUE(p.Close());
  std::string ini = Ini();
  EXPECT_NE(ini.find("VERSION=119"), std::string::npos);
  EXPECT_NE(ini.find("REPEAT1=OFF"), std::string::npos);
  EXPECT_NE(ini.find("INTERVAL=3"), std::string::npos);
}

TEST_F(Startup, SavedPositionIsClampedToTheScreen) {
  int sw = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nX=" +
                                             std::to_string(sw + 976) + "\r\nW=500\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  HWND f = p.WaitFrame();
  ASSERT_TRUE(f);
  RECT r;
  GetWindowRect(f, &r);
  EXPECT_EQ(r.left, sw - 500);
  ASSERT_TRUE(p.Close());
}

TEST_F(Startup, ToggleCheckMarksAreSavedAtExit) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_FALSE(p.MenuChecked(126));
  p.Command(126);
  EXPECT_TRUE(p.MenuChecked(126));
  EXPECT_FALSE(p.MenuEnabled(127));  // repeat all is off limits while repeat one is on
  ASSERT_TRUE(p.Close());
  EXPECT_NE(Ini().find("REPEAT1=ON"), std::string::npos);
}

TEST_F(Startup, EndSaveOffWritesOnlyPlacementAndEndSave) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.Command(126);  // repeat one on
  p.Command(109);  // saving at exit off
  ASSERT_TRUE(p.Close());
  std::string ini = Ini();
  EXPECT_NE(ini.find("ENDSAVE=OFF"), std::string::npos);
  EXPECT_EQ(ini.find("REPEAT1"), std::string::npos);
  EXPECT_NE(ini.find("W=500"), std::string::npos);
}

TEST_F(Startup, EmptyListDisablesPlayButNotAudioCd) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_FALSE(p.MenuEnabled(203));
  EXPECT_TRUE(p.MenuEnabled(137));
  EXPECT_FALSE(p.MenuEnabled(116));
  EXPECT_FALSE(p.MenuEnabled(117));
  EXPECT_TRUE(p.MenuEnabled(202));
  ASSERT_TRUE(p.Close());
}

TEST_F(Startup, CorvellactlStateAnswersStopped) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::string out;
  EXPECT_EQ(RunCtl(L"state", &out), 0u);
  EXPECT_EQ(out.substr(0, 7), "stopped");
  ASSERT_TRUE(p.Close());
  EXPECT_EQ(RunCtl(L"state", &out), 1u);  // no player window any more
}
