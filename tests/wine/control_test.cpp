// Other programs and the keyboard driving the player: control messages keep
// the order they were sent in while songs open, and the media keys play,
// pause, stop and skip, from the focused window and system-wide.
#include <gtest/gtest.h>

#include "player.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include <atomic>
#include <functional>

using namespace wt;

namespace {

const std::wstring kLargeMp3 = CORVELLA_SAMPLES L"\\large-vbr.mp3";

class ControlBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  }

  // n names of the 10 MB VBR MP3, each in a directory of its own whose name
  // mixes single- and double-byte characters: a character that moves shows.
  std::vector<std::string> LargeMp3Links(const std::wstring& tag, int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
      wchar_t sub[64];
      swprintf(sub, 64, L"%ls曲の棚-%02d-abc", tag.c_str(), i);
      // Lower case throughout, as the list shows and copies names.
      std::wstring d = Join(dir_, sub);
      CharLowerBuffW(&d[0], static_cast<DWORD>(d.size()));
      CreateDirectoryW(d.c_str(), nullptr);
      wchar_t name[64];
      swprintf(name, 64, L"大きな歌%02dxyz.mp3", i);
      std::wstring path = Join(d, name);
      if (!CreateHardLinkW(path.c_str(), kLargeMp3.c_str(), nullptr)) {
        ADD_FAILURE() << "no hard link at " << W2Sjis(path) << ": " << GetLastError();
        return {};
      }
      paths.push_back(W2Sjis(path));
    }
    return paths;
  }

  std::wstring dir_;
};


// Names only the entries that differ: a garbled list is long.
::testing::AssertionResult SameEntries(const std::vector<std::string>& got,
                                       const std::vector<std::string>& want) {
  std::string diff;
  for (size_t i = 0; i < got.size() || i < want.size(); ++i) {
    const std::string g = i < got.size() ? got[i] : "(none)";
    const std::string w = i < want.size() ? want[i] : "(none)";
    if (g != w) diff += "\n  entry " + std::to_string(i) + ": " + g + "\n     wanted: " + w;
  }
  if (diff.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << got.size() << " entries, " << want.size()
                                       << " wanted" << diff;
}

}  // namespace

// Each path goes one byte per sent message right after a posted Next, so
// its bytes arrive while the next 10 MB MP3 is being opened.
TEST_F(ControlBox, PathsSentWhileSongsOpenArriveWhole) {
  std::vector<std::string> links = LargeMp3Links(L"", 40);
  ASSERT_EQ(links.size(), 40u);
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.Command(127);  // repeat all: Next always has somewhere to go
  for (int round = 0; round < 5; ++round) {
    p.Control(0, 101);
    p.AddPath(links[0]);
    p.Control(0, 102);
    ASSERT_TRUE(WaitState(p, 1, 5000));
    std::vector<std::string> want{links[0]};
    for (size_t i = 1; i < links.size(); ++i) {
      // Every other path goes to the main window rather than the frame.
      const HWND to = i % 2 ? p.Frame() : p.Client();
      PostMessageW(p.Frame(), WM_COMMAND, 119, 0);
      for (unsigned char c : links[i]) SendMessageW(to, WM_USER, c, 100);
      SendMessageW(to, WM_USER, 0, 100);
      want.push_back(links[i]);
    }
    p.Sync();
    EXPECT_TRUE(SameEntries(ListedSjisPaths(p), want)) << "round " << round;
    EXPECT_TRUE(WaitState(p, 1, 5000));  // a Next may have posted its Play
  }
  ASSERT_TRUE(p.Close());
}

// The same through the control program, with songs opening all along.
TEST_F(ControlBox, CorvellactlAddDuringPlaybackGivesExactlyThoseEntries) {
  std::vector<std::string> links = LargeMp3Links(L"ctl", 51);
  ASSERT_EQ(links.size(), 51u);
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.Command(127);
  p.AddPath(links[0]);
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 5000));
  std::atomic<bool> adding{true};
  const HWND frame = p.Frame();
  std::thread skipper([&] {
    while (adding) {
      PostMessageW(frame, WM_COMMAND, 119, 0);
      Sleep(150);
    }
  });
  std::wstring args = L"add";
  for (size_t i = 1; i < links.size(); ++i) args += L" \"" + Sjis2W(links[i]) + L"\"";
  std::string out;
  const DWORD code = RunCtl(args, &out);
  adding = false;
  skipper.join();
  EXPECT_EQ(code, 0u) << out;
  p.Sync();
  EXPECT_TRUE(SameEntries(ListedSjisPaths(p), links));
  EXPECT_TRUE(WaitState(p, 1, 5000));
  ASSERT_TRUE(p.Close());
}

// Commands and control messages sent to the main window rather than the
// frame take the same route: the enabling rules hold, and a dialog that is
// open meanwhile loses nothing.
TEST_F(ControlBox, TheMainWindowTakesTheSameRouteAsTheFrame) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  const HWND main = p.Client();
  ASSERT_TRUE(main);
  // Save As is greyed for an empty list, whichever window is asked.
  PostMessageW(main, WM_COMMAND, 116, 0);
  PostMessageW(p.Frame(), WM_COMMAND, 116, 0);
  p.Sync();
  MessageBoxInfo box;
  EXPECT_FALSE(p.WaitMessageBox(&box, 1000)) << W2Sjis(box.caption);

  auto sendPath = [&](const std::string& path) {
    for (unsigned char c : path) SendMessageW(main, WM_USER, c, 100);
    SendMessageW(main, WM_USER, 0, 100);
  };
  sendPath(Sample("long.wav"));
  p.Sync();
  SendMessageW(main, WM_USER, 0, 102);
  ASSERT_TRUE(WaitState(p, 1, 5000));
  PostMessageW(main, WM_COMMAND, 116, 0);
  HWND dlg = WaitDialog(p, L"曲名の保存");
  ASSERT_TRUE(dlg);
  sendPath("c:\\music\\two.wav");
  // Answered at once while the dialog waits (a queued query would answer 0).
  EXPECT_EQ(SendMessageW(main, WM_USER, 0, 104), 1);
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
  for (int i = 0; i < 100 && IsWindow(dlg); ++i) Sleep(50);
  p.Sync();
  const std::vector<std::string> listed = ListedSjisPaths(p);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[1], "c:\\music\\two.wav");
  ASSERT_TRUE(p.Close());
}

namespace {

LRESULT AppCommand(HWND to, int command) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(to, WM_APPCOMMAND, reinterpret_cast<WPARAM>(to),
                      MAKELPARAM(0, command | FAPPCOMMAND_KEY), SMTO_NORMAL, 10000, &r);
  return static_cast<LRESULT>(r);
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// A window of this test program that takes the focus away from the player.
struct OtherProgram {
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0,
                              80, 40, nullptr, nullptr, nullptr, nullptr);
  ~OtherProgram() { DestroyWindow(hwnd); }
  void TakeFocus() {
    SetForegroundWindow(hwnd);
    Pump(200);
  }
  // Hot keys this program holds arrive here.
  int hotKeys = 0;
  void Pump(DWORD ms) {
    for (DWORD t = 0; t < ms; t += 20) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_HOTKEY) ++hotKeys;
        DispatchMessageW(&m);
      }
      Sleep(20);
    }
  }
};

}  // namespace

TEST_F(ControlBox, ApplicationCommandsPlayPauseStopAndSkip) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(CORVELLA_SAMPLES L"\\song.wav"));
  p.AddPath(W2Sjis(CORVELLA_SAMPLES L"\\tone.wav"));
  EXPECT_EQ(AppCommand(p.Frame(), APPCOMMAND_MEDIA_PLAY_PAUSE), TRUE);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"song.wav"), std::wstring::npos);
  AppCommand(p.Frame(), APPCOMMAND_MEDIA_PLAY_PAUSE);
  EXPECT_TRUE(WaitState(p, 3, 3000));
  AppCommand(p.Frame(), APPCOMMAND_MEDIA_PLAY_PAUSE);  // resumes
  EXPECT_TRUE(WaitState(p, 1, 3000));
  AppCommand(p.Frame(), APPCOMMAND_MEDIA_NEXTTRACK);
  p.Sync();
  EXPECT_NE(p.Caption().find(L"tone.wav"), std::wstring::npos) << W2Sjis(p.Caption());
  AppCommand(p.Frame(), APPCOMMAND_MEDIA_PREVIOUSTRACK);
  p.Sync();
  EXPECT_NE(p.Caption().find(L"song.wav"), std::wstring::npos) << W2Sjis(p.Caption());

  // The same from the play pod.
  p.Command(451);
  HWND pod = FindWindowW(L"CorvellaPod", nullptr);
  ASSERT_NE(pod, nullptr);
  EXPECT_EQ(AppCommand(pod, APPCOMMAND_MEDIA_STOP), TRUE);
  EXPECT_TRUE(WaitState(p, 0, 3000));
  EXPECT_NE(p.Caption().find(L"(停止中)"), std::wstring::npos);
  // Other commands are not ours.
  EXPECT_EQ(AppCommand(p.Frame(), APPCOMMAND_VOLUME_UP), FALSE);
  EXPECT_EQ(p.Control(0, 104), 0);
  ASSERT_TRUE(p.Close());
}

// Stop while stopped is greyed, and so is ignored: with the close-after-play
// flag set (a single file named with the close option that failed to open),
// a Stop carried out would end the program.
TEST_F(ControlBox, AGreyedStopFromAnAppCommandIsIgnored) {
  const std::wstring bad = Join(dir_, L"bad.wav");
  ASSERT_TRUE(WriteBytes(bad, std::string(4000, 'x')));
  Player p;
  ASSERT_TRUE(p.Start(L"/close " + bad, dir_));
  ASSERT_TRUE(p.WaitFrame());
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  Player::Answer(box, IDOK);
  p.Sync();
  ASSERT_EQ(p.Control(0, 104), 0);
  EXPECT_EQ(AppCommand(p.Frame(), APPCOMMAND_MEDIA_STOP), TRUE);  // ours, even greyed
  p.Sync();
  EXPECT_FALSE(p.WaitExit(1000));
  EXPECT_TRUE(p.Running());
  ASSERT_TRUE(p.Close());
}

TEST_F(ControlBox, MediaKeysWorkWhileAnotherProgramHasTheFocus) {
  OtherProgram other;
  // That program holds the Stop key; the player leaves it to it, silently.
  ASSERT_TRUE(RegisterHotKey(nullptr, 7, 0, VK_MEDIA_STOP));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  EXPECT_TRUE(p.MenuChecked(155));  // on by default
  p.AddPath(W2Sjis(CORVELLA_SAMPLES L"\\song.wav"));
  p.AddPath(W2Sjis(CORVELLA_SAMPLES L"\\tone.wav"));
  other.TakeFocus();
  ASSERT_EQ(GetForegroundWindow(), other.hwnd);

  PressKey(VK_MEDIA_PLAY_PAUSE);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  PressKey(VK_MEDIA_PLAY_PAUSE);
  EXPECT_TRUE(WaitState(p, 3, 3000));
  PressKey(VK_MEDIA_PLAY_PAUSE);
  EXPECT_TRUE(WaitState(p, 1, 3000));
  PressKey(VK_MEDIA_NEXT_TRACK);
  Sleep(300);
  p.Sync();
  EXPECT_NE(p.Caption().find(L"tone.wav"), std::wstring::npos) << W2Sjis(p.Caption());
  PressKey(VK_MEDIA_PREV_TRACK);
  Sleep(300);
  p.Sync();
  EXPECT_NE(p.Caption().find(L"song.wav"), std::wstring::npos) << W2Sjis(p.Caption());
  PressKey(VK_MEDIA_STOP);
  other.Pump(300);
  EXPECT_EQ(other.hotKeys, 1);
  EXPECT_EQ(p.Control(0, 104), 1);  // still playing
  UnregisterHotKey(nullptr, 7);

  // Switched off, the keys are the focused program's again...
  p.Command(155);
  EXPECT_FALSE(p.MenuChecked(155));
  other.TakeFocus();
  PressKey(VK_MEDIA_PLAY_PAUSE);
  Sleep(500);
  EXPECT_EQ(p.Control(0, 104), 1);
  // ...and the player's own while it has the focus.
  SetForegroundWindow(p.Frame());
  Sleep(300);
  ASSERT_EQ(GetForegroundWindow(), p.Frame());
  PressKey(VK_MEDIA_PLAY_PAUSE);
  EXPECT_TRUE(WaitState(p, 3, 3000));
  ASSERT_TRUE(p.Close());
  std::string ini;
  ASSERT_TRUE(ReadBytes(SettingsPath(), &ini));
  EXPECT_NE(ini.find("MEDIAKEYS=OFF"), std::string::npos);
}

namespace {

// The time from a posted command until its effect shows from outside, looked
// at every 10 ms without sending the player anything (the caption and the
// state query of a window of another process are read from the server).
DWORD MillisUntil(const std::function<bool()>& done, DWORD limit) {
  const DWORD t0 = GetTickCount();
  while (!done()) {
    if (GetTickCount() - t0 > limit) return limit + 1;
    Sleep(10);
  }
  return GetTickCount() - t0;
}

}  // namespace

// A command that finds the player idle is carried out at once: nothing else
// arrives meanwhile to wake it (a remote control sends one message and no more).
TEST_F(ControlBox, PostedCommandsAreCarriedOutWithin100Milliseconds) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("long.wav"));
  p.AddPath(Sample("tone.wav"));
  p.AddPath(Sample("song.wav"));
  // The first song of the process waits for the sound system to start
  // (Wine connects to the sound server then): not part of these figures.
  p.Command(203);
  p.Command(204);
  Sleep(1000);  // the player is idle
  // Another process's caption is read from the server, with no message.
  auto captionHas = [&](const wchar_t* s) {
    wchar_t buf[512] = L"";
    GetWindowTextW(p.Frame(), buf, 512);
    return std::wstring(buf).find(s) != std::wstring::npos;
  };
    struct Step {
    UINT id;
    const wchar_t* shows;
  } steps[] = {{203, L"long.wav (演奏中)"}, {103, L"long.wav (ポーズ)"}, {203, L"long.wav (演奏中)"},
               {204, L"long.wav (停止中)"}, {119, L"tone.wav (演奏中)"}, {120, L"long.wav (演奏中)"},
               {204, L"long.wav (停止中)"}};
  for (const Step& s : steps) {
    Sleep(500);
    p.PostCommand(s.id);
    const DWORD ms = MillisUntil([&] { return captionHas(s.shows); }, 3000);
    std::printf("command %u: %lu ms\n", s.id, static_cast<unsigned long>(ms));
    EXPECT_LE(ms, 100u) << "command " << s.id << ": " << W2Sjis(p.Caption());
  }
  // Sent, a command is carried out before the call returns: the application
  // command Stop of a remote control, after a posted Play.
  Sleep(500);
  p.PostCommand(203);
  ASSERT_LE(MillisUntil([&] { return captionHas(L"long.wav (演奏中)"); }, 3000), 100u);
  Sleep(500);
  const DWORD t0 = GetTickCount();
  AppCommand(p.Frame(), APPCOMMAND_MEDIA_STOP);
  const DWORD sent = GetTickCount() - t0;
  std::printf("application command Stop: %lu ms\n", static_cast<unsigned long>(sent));
  EXPECT_LE(sent, 100u);
  EXPECT_TRUE(captionHas(L"long.wav (停止中)"));
  ASSERT_TRUE(p.Close());
}
