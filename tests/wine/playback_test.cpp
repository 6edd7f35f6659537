// Playing from outside: songs added and started through the external control,
// the state it reports, pause, stop, close-after-play and device errors.
#include <gtest/gtest.h>

#include "player.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

using namespace wt;

namespace {

class PlaybackBox : public ::testing::Test {
 protected:
  void SetUp() override {
    CleanSettings();
    dir_ = FreshDir(Sjis2W(::testing::UnitTest::GetInstance()->current_test_info()->name()));
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
  Sleep(500);  // and it plays on: the resume is not taken for the song's end
  p.Sync();
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
  // A WAV file, then an MP3, given to the player by its control program.
  ASSERT_EQ(RunCtl(L"add " + Sjis2W(Sample("short.wav")) + L" " + Sjis2W(Sample("song.mp3"))), 0u);
  ASSERT_EQ(RunCtl(L"play"), 0u);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  EXPECT_NE(p.Caption().find(L"short.wav"), std::wstring::npos);
  EXPECT_NE(p.Caption().find(L"(演奏中)"), std::wstring::npos) << W2Sjis(p.Caption());
  // The one-second song ends, the pause between songs runs, the next starts.
  ASSERT_TRUE(WaitState(p, 0, 4000));
  EXPECT_NE(p.Caption().find(L"(待機中)"), std::wstring::npos) << W2Sjis(p.Caption());
  ASSERT_TRUE(WaitState(p, 1, 4000));
  EXPECT_NE(p.Caption().find(L"song.mp3"), std::wstring::npos) << W2Sjis(p.Caption());
  EXPECT_NE(p.Caption().find(L"(演奏中)"), std::wstring::npos) << W2Sjis(p.Caption());
  std::string out;
  EXPECT_EQ(RunCtl(L"state", &out), 0u);
  EXPECT_EQ(out.substr(0, 7), "playing");
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

// With the dedicated window on, the picture plays in a window of its own at
// the stored place while the list stays in the main window; Stop closes it
// and the place it had is saved. Full screen maximises that window.
TEST_F(PlaybackBox, VideoPlaysInItsOwnWindowAndFullScreen) {
  for (bool full : {false, true}) {
    SCOPED_TRACE(full ? "full screen" : "dedicated window");
    CleanSettings();
    ASSERT_TRUE(WriteBytes(SettingsPath(),
                           std::string("[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nAVIDISP=ON\r\n") +
                               (full ? "AVIALLDISP=ON\r\n" : "") +
                               "VX=40\r\nVY=50\r\nVW=320\r\nVH=240\r\n"));
    Player p;
    ASSERT_TRUE(p.Start(L"", dir_));
    ASSERT_TRUE(p.WaitFrame());
    p.AddPath(Sample("clip.avi"));
    p.Control(0, 102);
    ASSERT_TRUE(WaitState(p, 1, 3000));
    HWND video = nullptr;
    for (int i = 0; i < 50 && !video; ++i, Sleep(100)) video = FindForeignWindow(p.Pid(), p.Frame());
    ASSERT_NE(video, nullptr) << "no video window";
    Sleep(300);
    RECT r;
    GetWindowRect(video, &r);
    if (full) {
      EXPECT_GE(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
      EXPECT_GE(r.bottom - r.top, GetSystemMetrics(SM_CYSCREEN) - 40);
    } else {
      EXPECT_EQ(r.left, 40);
      EXPECT_EQ(r.top, 50);
      EXPECT_EQ(r.right - r.left, 320);
      EXPECT_EQ(r.bottom - r.top, 240);
      // The list keeps the main window.
      auto colours = ClientColours(p);
      int total = 0;
      for (const auto& [c, n] : colours) total += n;
      EXPECT_GT(colours[RGB(255, 255, 232)], total / 2);
      MoveWindow(video, 60, 70, 320, 240, TRUE);
    }
    p.Command(204);
    p.Sync();
    EXPECT_FALSE(IsWindow(video) && IsWindowVisible(video));
    EXPECT_EQ(p.Control(0, 104), 0);
    ASSERT_TRUE(p.Close());
    std::string ini;
    ASSERT_TRUE(ReadBytes(SettingsPath(), &ini));
    EXPECT_NE(ini.find(full ? "VX=40\r\n" : "VX=60\r\n"), std::string::npos) << ini;
  }
}

// 1000 commands of every kind in bursts, resources measured between them.
// By default the songs are MP3s (our own player, about 20 s); CORVELLA_STRESS
// adds media-device songs: "all" WAV files (some minutes), "video" an AVI,
// an MPEG audio Layer II song and an MPEG film too (about eight minutes,
// longer than the test runner allows, so run it directly:
//   CORVELLA_STRESS=video scripts/wine-run.sh build/win32/tests/wine/wine_tests.exe --gtest_filter='*RapidCommands*')
TEST_F(PlaybackBox, RapidCommandsLeaveItResponsiveAndLeakNothing) {
  wchar_t kind[16] = L"";
  GetEnvironmentVariableW(L"CORVELLA_STRESS", kind, 16);
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  std::vector<const char*> songs = {"song.mp3", "song.mp3"};
  if (std::wstring(kind) == L"all") songs = {"song.mp3", "tone.wav", "short.wav", "song.mp3"};
  if (std::wstring(kind) == L"video") {
    songs = {"song.mp3", "tone.wav", "clip.avi", "song.mp2", "clip.mpg", "song.mp3"};
  }
  for (const char* s : songs) p.AddPath(Sample(s));
  HWND slider = GetDlgItem(p.Client(), 302);
  const UINT commands[] = {203, 204, 103, 119, 120, 203, 103, 203};
  uint32_t r = 12345;
  auto burst = [&](int n) {
    for (int i = 0; i < n; ++i) {
      r = r * 1103515245u + 12345u;
      uint32_t pick = (r >> 16) % 10;
      if (pick < 8) {
        p.Command(commands[pick]);
      } else if (pick == 8) {
        p.Control(0, 102);
      } else {
        DWORD_PTR res;
        SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, (r >> 8) % 200, SMTO_NORMAL, 2000, &res);
        SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0),
                            reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 2000, &res);
      }
      MessageBoxInfo box;
      if (i % 10 == 0 && p.WaitMessageBox(&box, 0)) {
        ADD_FAILURE() << "message box after command " << i << ": " << W2Sjis(box.text);
        Player::Answer(box, IDOK);
        return false;
      }
    }
    // Play on a playing song posts a Play of its own, which may come behind
    // a Stop given meanwhile; Stop is repeated until nothing is queued.
    bool stopped = false;
    for (int i = 0; i < 5 && !stopped; ++i) {
      p.PostCommand(204);
      p.Sync();
      Sleep(200);
      p.Sync();
      stopped = p.Control(0, 104) == 0;
    }
    EXPECT_TRUE(stopped);
    return stopped;
  };
  ASSERT_TRUE(burst(200));  // warm-up: devices, threads and buffers met once
  const Usage before = MeasureUsage(p);
  const HandleCounts handlesBefore = CountHandles(p.Pid());
  PrintUsage("before", before);
  Usage after;
  HandleCounts handlesAfter;
  const DWORD start = GetTickCount();
  for (int round = 1; round <= 5; ++round) {
    ASSERT_TRUE(burst(200));
    after = MeasureUsage(p);
    handlesAfter = CountHandles(p.Pid());
    PrintUsage(("after " + std::to_string(round * 200)).c_str(), after);
  }
  std::printf("1000 commands in %lu s\n", (GetTickCount() - start + 500) / 1000);
  ASSERT_GT(after.memory, 0u) << "the player's memory could not be measured";
  ASSERT_GT(after.handles, 0u) << "the player's handles could not be measured";
  // Still answering, stopped, and nothing piled up.
  EXPECT_EQ(p.Control(0, 104), 0);
  EXPECT_TRUE(p.MenuEnabled(203));
  const std::string handles = DescribeHandles(handlesBefore, handlesAfter);
  std::printf("%s\n", handles.c_str());
  EXPECT_LE(after.gdi, before.gdi + 8);
  ASSERT_TRUE(p.Close());
  if (std::wstring(kind) != L"video") {
    EXPECT_LE(after.handles, before.handles + 8);
    EXPECT_TRUE(HandlesFlat(handlesBefore, handlesAfter)) << handles;
    EXPECT_LE(after.memory, before.memory + 4 * 1024 * 1024);
    return;
  }
  // Wine's MPEG device leaves handles and memory behind with every file it
  // opens, player or not: per film 152 registry keys, an event, a thread and
  // its decoded pictures (1 to 4 MB); per song 114 keys and an event. The
  // costs are measured here with bare opens of the same files, and the
  // player's films and songs are told from its keys and other handles.
  // Beyond the device's share nothing may grow: a thread of ours left behind
  // would show as films without their keys. The memory bound is coarse, as
  // a film's share depends on how long it played.
  const DeviceCost film = MeasureMpegDeviceCost({Sjis2W(Sample("clip.mpg"))}, 8);
  const DeviceCost song = MeasureMpegDeviceCost({Sjis2W(Sample("song.mp2"))}, 8);
  std::printf("film: %s\nsong: %s\n", film.text.c_str(), song.text.c_str());
  const double det = film.keys * song.other - song.keys * film.other;
  ASSERT_GT(std::abs(det), 1.0) << "films and songs cannot be told apart";
  const double dKeys = static_cast<double>(handlesAfter.keys) - handlesBefore.keys;
  const double dOther = static_cast<double>(handlesAfter.Other()) - handlesBefore.Other();
  const double films = (dKeys * song.other - song.keys * dOther) / det;
  const double mpegSongs = (film.keys * dOther - dKeys * film.other) / det;
  std::printf("the player opened about %.1f films and %.1f songs on the MPEG device\n", films, mpegSongs);
  EXPECT_GE(films, -0.5) << handles;
  EXPECT_GE(mpegSongs, -0.5) << handles;
  EXPECT_LE(handlesAfter.events, handlesBefore.events + 8 + film.events * films + song.events * mpegSongs)
      << handles;
  EXPECT_LE(after.memory / 1024.0,
            before.memory / 1024.0 + 4096 + 1.25 * (film.memoryKb * films + song.memoryKb * mpegSongs));
}

// A song damaged in the middle plays through to the next one; a file the
// device refuses shows the device's own error under "マルチメディアエラー";
// the player answers throughout and closes normally.
TEST_F(PlaybackBox, DamagedFilesNeitherCrashNorHang) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  std::string mp3;
  ASSERT_TRUE(ReadBytes(Sjis2W(Sample("song.mp3")), &mp3));
  uint32_t r = 99;
  for (size_t i = 20000; i < 40000 && i < mp3.size(); ++i) {
    r = r * 1103515245u + 12345u;
    mp3[i] = static_cast<char>(r >> 24);
  }
  ASSERT_TRUE(WriteBytes(dir_ + L"\\damaged.mp3", mp3));
  std::string wav("RIFF\x24\x10\0\0WAVEjunk", 16);
  wav += std::string(4000, '\x7f');
  ASSERT_TRUE(WriteBytes(dir_ + L"\\bad.wav", wav));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(dir_ + L"\\damaged.mp3"));
  p.AddPath(W2Sjis(dir_ + L"\\bad.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  const DWORD start = GetTickCount();
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box, 15000));
  EXPECT_GT(GetTickCount() - start, 2500u) << "the damaged song did not play on";
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  EXPECT_FALSE(box.text.empty());
  EXPECT_EQ(box.text.find(L"演奏中にエラー"), std::wstring::npos) << W2Sjis(box.text);
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_EQ(p.Control(0, 104), 0);
  ASSERT_TRUE(p.Close());
}

// Play answers once the first buffers are on their way to the device, so the
// time a sent Play takes bounds the delay to the first buffer; a large VBR
// file is scanned whole before that.
TEST_F(PlaybackBox, LargeVbrMp3StartsWithinATenthOfASecond) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("large-vbr.mp3"));
  p.Sync();
  DWORD best = 100000;
  for (int i = 0; i < 3; ++i) {  // the first read may meet a cold disk cache
    p.Command(204);
    p.Sync();
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    p.Command(203);
    QueryPerformanceCounter(&b);
    ASSERT_EQ(p.Control(0, 104), 1);
    const DWORD ms = static_cast<DWORD>((b.QuadPart - a.QuadPart) * 1000 / f.QuadPart);
    std::printf("Play of a %s took %lu ms\n", "10 MB VBR MP3", ms);
    if (ms < best) best = ms;
  }
  EXPECT_LT(best, 100u);
  ASSERT_TRUE(p.Close());
}

// The decoding thread paces itself: a 128 kbit/s stereo MP3 costs the whole
// player under 6% of one processor over a minute of playing. Most of that is
// Wine's sound output in our process, which varies from 4.1% to 5.2% between
// runs of one build; a thread that did not pace itself would cost ten times
// as much.
TEST_F(PlaybackBox, MinuteOfMp3CostsUnderSixPercentOfAProcessor) {
  static const UINT query = RegisterWindowMessageW(L"Corvella.Usage");
  auto cpuMs = [&](const Player& p) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(p.Frame(), query, 5, 0, SMTO_NORMAL, 5000, &r);
    return static_cast<DWORD>(r);
  };
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("minute.mp3"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(1000);
  const DWORD cpu0 = cpuMs(p), t0 = GetTickCount();
  Sleep(60000);
  const DWORD cpu1 = cpuMs(p), t1 = GetTickCount();
  EXPECT_EQ(p.Control(0, 104), 1);
  const double share = 100.0 * (cpu1 - cpu0) / (t1 - t0);
  std::printf("processor time while playing: %lu ms in %lu ms (%.1f%%)\n",
              static_cast<unsigned long>(cpu1 - cpu0), static_cast<unsigned long>(t1 - t0), share);
  ASSERT_GT(cpu1, 0u);
  EXPECT_LT(share, 6.0);
  ASSERT_TRUE(p.Close());
}

// Command 145 opens each selected song for its length and adds the pauses
// between songs: 1 s + 3 s + one pause of 3 s.
TEST_F(PlaybackBox, SelectionPlayingTimeAddsLengthsAndPauses) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=3\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("short.wav"));
  p.AddPath(Sample("tone.wav"));
  EXPECT_FALSE(p.MenuEnabled(145));  // nothing selected
  p.Command(152);                    // select all
  EXPECT_TRUE(p.MenuEnabled(145));
  p.PostCommand(145);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"選択曲の演奏時間の表示");
  EXPECT_EQ(box.text, L"演奏時間は、07秒です。");
  Player::Answer(box, IDOK);
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, MissingDirectoryAsksForTheNewOne) {
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath("c:\\no such folder\\song.mid");
  p.PostCommand(203);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  EXPECT_EQ(box.text, L"演奏するファイルのディレクトリが見つかりません。ディレクトリの変更を行いますか？");
  Player::Answer(box, IDNO);  // No: nothing plays, nothing else is asked
  p.Sync();
  Sleep(300);
  EXPECT_FALSE(p.WaitMessageBox(&box, 500));
  EXPECT_EQ(p.Control(0, 104), 0);
  ASSERT_TRUE(p.Close());
}


TEST_F(PlaybackBox, SongEndingWhileADialogIsOpenGoesOnToTheNext) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("short.wav"));
  p.AddPath(Sample("tone.wav"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  p.PostCommand(123);  // the interval dialog stays open while the song ends
  MessageBoxInfo dialog;
  ASSERT_TRUE(p.WaitMessageBox(&dialog));
  Sleep(2500);
  EXPECT_EQ(p.Control(0, 104), 1);
  EXPECT_NE(p.Caption().find(L"tone.wav"), std::wstring::npos) << W2Sjis(p.Caption());
  Player::Answer(dialog, IDCANCEL);
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

namespace {

// The time gadget of the status bar (its second part). The text is fetched
// into memory of the player's own: Wine does not carry SB_GETTEXTW's buffer
// across processes.
std::wstring TimeText(const Player& p) {
  HWND bar = FindWindowExW(p.Frame(), nullptr, L"msctls_statusbar32", nullptr);
  if (!bar) return L"";
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, p.Pid());
  if (!proc) return L"";
  wchar_t buf[128] = L"";
  void* remote = VirtualAllocEx(proc, nullptr, sizeof buf, MEM_COMMIT, PAGE_READWRITE);
  DWORD_PTR r = 0;
  if (remote && SendMessageTimeoutW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                                    2000, &r)) {
    ReadProcessMemory(proc, remote, buf, sizeof buf - sizeof buf[0], nullptr);
  }
  if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
  std::wstring t = buf;
  while (!t.empty() && (t[0] == L'\t' || t[0] == L' ')) t.erase(0, 1);
  return t;
}

// What was seen of one song while the list played through.
struct SongRun {
  std::wstring name;
  DWORD started = 0, ended = 0;  // ms since the first Play
  std::vector<std::wstring> times;
  DWORD_PTR maxSlider = 0;
  bool waitShown = false;
  bool ownWindow = false;  // a window of its own was seen
  std::string ownWindowSeen;  // what it was, when first seen
};

std::string DescribeWindow(HWND h, DWORD at) {
  wchar_t cls[64] = L"";
  GetClassNameW(h, cls, 64);
  RECT r = {};
  GetWindowRect(h, &r);
  char buf[200];
  std::snprintf(buf, sizeof buf, "class %ls, style %08lx, owner %p, (%ld,%ld)-(%ld,%ld), at %lu ms",
                cls, GetWindowLongW(h, GWL_STYLE), reinterpret_cast<void*>(GetWindow(h, GW_OWNER)),
                r.left, r.top, r.right, r.bottom, at);
  return buf;
}

// Plays the list through, watching caption, time display and slider every
// 50 ms, until the last song has started or `limitMs` has passed.
std::vector<SongRun> PlayThrough(const Player& p, const std::vector<std::wstring>& names,
                                 DWORD limitMs) {
  std::vector<SongRun> runs;
  HWND slider = GetDlgItem(p.Client(), 302);
  const DWORD t0 = GetTickCount();
  p.Control(0, 102);
  size_t next = 0;
  LRESULT last = 0;
  while (GetTickCount() - t0 < limitMs) {
    const LRESULT state = p.Control(0, 104);
    const std::wstring caption = p.Caption();
    const DWORD now = GetTickCount() - t0;
    if (state == 1 && last != 1 && next < names.size() &&
        caption.find(names[next] + L" (演奏中)") != std::wstring::npos) {
      runs.push_back(SongRun{names[next], now});
      if (++next == names.size()) break;
    }
    if (!runs.empty() && runs.back().ended == 0) {
      SongRun& r = runs.back();
      if (state == 1) {
        const std::wstring t = TimeText(p);
        if (r.times.empty() || r.times.back() != t) r.times.push_back(t);
        DWORD_PTR pos = 0;
        SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &pos);
        if (pos > r.maxSlider) r.maxSlider = pos;
        if (HWND own = FindForeignWindow(p.Pid(), p.Frame()); own && !r.ownWindow) {
          r.ownWindow = true;
          r.ownWindowSeen = DescribeWindow(own, now - r.started);
        }
      } else {
        r.ended = now;
        r.waitShown = caption.find(L"(待機中)") != std::wstring::npos;
      }
    }
    last = state;
    Sleep(50);
  }
  return runs;
}

bool Shown(const SongRun& r, const wchar_t* text) {
  for (const auto& t : r.times) {
    if (t == text) return true;
  }
  return false;
}

std::string Joined(const std::vector<std::wstring>& v) {
  std::string s;
  for (const auto& t : v) s += W2Sjis(t) + " | ";
  return s;
}

}  // namespace

// MPEG audio Layer II songs and MPEG-1 films play through the media device:
// their time display advances, they end at their length, a song under one
// second too, and the next song starts after the pause between songs. The
// same film plays under the other name MPEG films have, and in its own window.
TEST_F(PlaybackBox, MpegSongsAndFilmsEndAndTheNextSongFollows) {
  std::string film;
  ASSERT_TRUE(ReadBytes(Sjis2W(Sample("clip.mpg")), &film));
  ASSERT_TRUE(WriteBytes(dir_ + L"\\clip.dat", film));
  struct Song {
    std::wstring name;
    std::string path;
    DWORD ms;  // its length
  };
  const Song wav{L"short.wav", Sample("short.wav"), 1000};
  for (bool dedicated : {false, true}) {
    SCOPED_TRACE(dedicated ? "dedicated window" : "main window");
    CleanSettings();
    ASSERT_TRUE(WriteBytes(SettingsPath(), std::string("[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=1\r\n") +
                                               (dedicated ? "AVIDISP=ON\r\n" : "")));
    std::vector<Song> songs;
    if (dedicated) {
      songs = {{L"clip.mpg", Sample("clip.mpg"), 3000}, wav};
    } else {
      songs = {{L"song.mp2", Sample("song.mp2"), 4000}, wav,
               {L"blip.mp2", Sample("blip.mp2"), 600},  wav,
               {L"clip.mpg", Sample("clip.mpg"), 3000}, wav,
               {L"clip.dat", W2Sjis(dir_ + L"\\clip.dat"), 3000}, wav};
    }
    Player p;
    ASSERT_TRUE(p.Start(L"", dir_));
    ASSERT_TRUE(p.WaitFrame());
    std::vector<std::wstring> names;
    for (const Song& s : songs) {
      p.AddPath(s.path);
      names.push_back(s.name);
    }
    std::vector<SongRun> runs = PlayThrough(p, names, 40000);
    ASSERT_EQ(runs.size(), songs.size())
        << "stalled after " << (runs.empty() ? "nothing" : W2Sjis(runs.back().name));
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
      const SongRun& r = runs[i];
      SCOPED_TRACE(W2Sjis(r.name));
      const DWORD played = r.ended - r.started;
      const DWORD gap = runs[i + 1].started - r.ended;
      std::printf("%-10ls %s: length %lu ms, played %lu ms, end to next start %lu ms\n", r.name.c_str(),
                  dedicated ? "own window" : "main window", songs[i].ms, played, gap);
      EXPECT_GE(played + 300, songs[i].ms);
      EXPECT_LE(played, songs[i].ms + 2500);
      EXPECT_TRUE(r.waitShown);
      // A film for the main window is its child from the open on, so no
      // window of its own may appear even for a moment.
      if (dedicated) {
        EXPECT_TRUE(r.ownWindow);
      } else {
        EXPECT_FALSE(r.ownWindow) << r.ownWindowSeen;
      }
      // The pause between songs is one second, counted in whole ticks (the
      // end is seen here only once the player has closed the song).
      EXPECT_GE(gap, 500u);
      // Building a film's filter graph takes a second or two of its own here.
      EXPECT_LE(gap, 5000u);
      if (songs[i].ms >= 3000) {
        const std::wstring total = songs[i].ms == 4000 ? L"0分04秒" : L"0分03秒";
        EXPECT_TRUE(Shown(r, (L"0分01秒／" + total).c_str())) << Joined(r.times);
        EXPECT_TRUE(Shown(r, (L"0分02秒／" + total).c_str())) << Joined(r.times);
        EXPECT_GT(r.maxSlider, songs[i].ms / 2);
      }
    }
    p.Command(204);
    EXPECT_EQ(p.Control(0, 104), 0);
    ASSERT_TRUE(p.Close());
  }
}

// Wine's MPEG device cannot seek to a position; the slider still moves an
// MP2 song on, and a film moved to its own window goes on where it was.
TEST_F(PlaybackBox, MpegSongSeeksAndAFilmMovedToItsOwnWindowGoesOn) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(Sample("song.mp2"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 5000));
  Sleep(700);
  HWND slider = GetDlgItem(p.Client(), 302);
  DWORD_PTR max = 0, pos = 0, r = 0;
  SendMessageTimeoutW(slider, TBM_GETRANGEMAX, 0, 0, SMTO_NORMAL, 2000, &max);
  const DWORD_PTR target = max * 3 / 4;
  SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, target, SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  Sleep(400);
  SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &pos);
  EXPECT_GE(pos, target);
  MessageBoxInfo box;
  EXPECT_FALSE(p.WaitMessageBox(&box, 0)) << W2Sjis(box.text);
  // About a second was left after the seek.
  EXPECT_TRUE(WaitState(p, 0, 2500));

  p.Control(0, 101);
  p.AddPath(Sample("clip.mpg"));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 5000));
  Sleep(1300);
  p.Command(129);  // to the dedicated window, at the same place
  Sleep(500);
  ASSERT_FALSE(p.WaitMessageBox(&box, 0)) << W2Sjis(box.text);
  EXPECT_EQ(p.Control(0, 104), 1);
  EXPECT_NE(FindForeignWindow(p.Pid(), p.Frame()), nullptr);
  SendMessageTimeoutW(slider, TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &pos);
  EXPECT_GE(pos, 1000u);  // not from the start again
  EXPECT_TRUE(WaitState(p, 0, 3000));
  ASSERT_TRUE(p.Close());
}

TEST_F(PlaybackBox, Mp3WithAPictureTagShowsItsTrueLengthAndSeeksToTheRightTime) {
  // The four-second song behind a 300 KB ID3v2 picture (as taggers write
  // them: version 3, synchsafe size, an APIC frame) and an ID3v1 tag.
  std::string song;
  ASSERT_TRUE(ReadBytes(Sjis2W(Sample("song.mp3")), &song));
  std::string picture = "image/jpeg";
  picture.insert(0, 1, '\0');
  picture += std::string("\0\x03\0", 3) + "\xFF\xD8\xFF\xE0";
  for (uint32_t x = 1; picture.size() < 300000; x = x * 1103515245u + 12345u) picture += char(x >> 24);
  auto be32 = [](uint32_t n) { return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)}; };
  const std::string frame = "APIC" + be32(uint32_t(picture.size())) + std::string(2, '\0') + picture;
  const uint32_t n = uint32_t(frame.size());
  const std::string size{char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
  const std::string tagged = std::string("ID3\x03\0\0", 6) + size + frame + song + "TAG" + std::string(125, ' ');
  const std::wstring path = dir_ + L"\\pictured.mp3";
  ASSERT_TRUE(WriteBytes(path, tagged));

  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(path));
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 3000));
  Sleep(500);
  std::wstring shown = TimeText(p);
  EXPECT_NE(shown.find(L"／0分04秒"), std::wstring::npos) << W2Sjis(shown);
  // Three quarters of the slider is the third second.
  HWND slider = GetDlgItem(p.Client(), 302);
  ASSERT_TRUE(slider);
  DWORD_PTR max = 0, r = 0;
  SendMessageTimeoutW(slider, TBM_GETRANGEMAX, 0, 0, SMTO_NORMAL, 2000, &max);
  SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, max * 3 / 4, SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  Sleep(450);
  shown = TimeText(p);
  EXPECT_NE(shown.find(L"0分03秒／0分04秒"), std::wstring::npos) << W2Sjis(shown);
  // And it plays on to its end from there, about a second later.
  EXPECT_TRUE(WaitState(p, 0, 3000));
  ASSERT_TRUE(p.Close());
}

namespace {

// A song of `beats` half-second beats: a melody on a piano, a bass line on a
// bass and drums, each channel with its own program.
std::string TestMidi(int beats) {
  std::string ev;
  auto put = [&](uint32_t delta, std::initializer_list<int> bytes) {
    char v[5];
    int n = 0;
    do {
      v[n++] = static_cast<char>(delta & 0x7F);
      delta >>= 7;
    } while (delta);
    while (n > 1) ev += static_cast<char>(v[--n] | 0x80);
    ev += v[0];
    for (int b : bytes) ev += static_cast<char>(b);
  };
  put(0, {0xFF, 0x03, 4, 'T', 'e', 's', 't'});
  put(0, {0xC0, 0});
  put(0, {0xC1, 33});
  static const int kMelody[] = {60, 64, 67, 72, 71, 67, 64, 62};
  for (int i = 0; i < beats; ++i) {
    const int m = kMelody[i % 8], b = 36 + (i / 2 % 2) * 7, d = i % 2 ? 38 : 36;
    put(0, {0x90, m, 100});
    put(0, {0x91, b, 110});
    put(0, {0x99, d, 120});
    put(0, {0x99, 42, 90});
    put(480, {0x80, m, 0});
    put(0, {0x81, b, 0});
    put(0, {0x89, d, 0});
    put(0, {0x89, 42, 0});
  }
  put(0, {0xFF, 0x2F, 0});
  std::string f = "MThd";
  f += std::string("\0\0\0\6\0\0\0\1\1\xE0", 10);  // format 0, one track, 480 ticks a beat
  const size_t n = ev.size();
  f += "MTrk";
  f += static_cast<char>(n >> 24);
  f += static_cast<char>(n >> 16);
  f += static_cast<char>(n >> 8);
  f += static_cast<char>(n);
  return f + ev;
}

DWORD_PTR SliderAt(const Player& p) {
  DWORD_PTR pos = 0;
  SendMessageTimeoutW(GetDlgItem(p.Client(), 302), TBM_GETPOS, 0, 0, SMTO_NORMAL, 2000, &pos);
  return pos;
}

DWORD CpuMs(const Player& p) {
  static const UINT query = RegisterWindowMessageW(L"Corvella.Usage");
  DWORD_PTR r = 0;
  SendMessageTimeoutW(p.Frame(), query, 5, 0, SMTO_NORMAL, 5000, &r);
  return static_cast<DWORD>(r);
}

// With tests/wine/midi_listen.sh around the test, a file in the folder it
// names tells it that the song plays, and it answers with the level it
// recorded from the player's own sound sink.
std::wstring ListenDir() {
  wchar_t buf[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"CORVELLA_LISTEN_DIR", buf, MAX_PATH)) return L"";
  std::wstring dir = std::wstring(L"Z:") + buf;
  for (wchar_t& c : dir) {
    if (c == L'/') c = L'\\';
  }
  return dir;
}

}  // namespace

// Where no MIDI output makes a sound, a MIDI song still sounds, and it moves
// like any other medium: the time display and the slider advance, pause
// holds it, Play resumes it and the slider seeks in it.
TEST_F(PlaybackBox, MidiSongSoundsAndMovesWithoutAMidiOutput) {
  const std::wstring song = dir_ + L"\\song.mid";
  ASSERT_TRUE(WriteBytes(song, TestMidi(20)));  // 10 s
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(song));
  const DWORD play = GetTickCount();
  p.Control(0, 102);
  ASSERT_TRUE(WaitState(p, 1, 8000));
  std::printf("MIDI started %lu ms after Play\n", static_cast<unsigned long>(GetTickCount() - play));
  MessageBoxInfo box;
  ASSERT_FALSE(p.WaitMessageBox(&box, 0)) << W2Sjis(box.text);
  Sleep(500);
  const DWORD_PTR pos0 = SliderAt(p);
  const DWORD cpu0 = CpuMs(p), t0 = GetTickCount();
  const std::wstring listen = ListenDir();
  double level = -1;
  if (!listen.empty()) {
    ASSERT_TRUE(WriteBytes(listen + L"\\playing", "1"));
    std::string answer;
    for (int i = 0; i < 100 && !ReadBytes(listen + L"\\level", &answer); ++i) Sleep(100);
    ASSERT_FALSE(answer.empty()) << "no level recorded";
    level = std::atof(answer.c_str());
  } else {
    Sleep(2000);
  }
  const DWORD_PTR pos1 = SliderAt(p);
  const DWORD cpu1 = CpuMs(p), t1 = GetTickCount();
  const std::wstring shown = TimeText(p);
  std::printf("MIDI: level %.4f RMS, slider %lu -> %lu ms in %lu ms, processor %.1f%%, shown %s\n", level,
              static_cast<unsigned long>(pos0), static_cast<unsigned long>(pos1),
              static_cast<unsigned long>(t1 - t0), 100.0 * (cpu1 - cpu0) / (t1 - t0), W2Sjis(shown).c_str());
  if (!listen.empty()) {
    EXPECT_GT(level, 0.003);
  }
  // 10 s gives the slider steps of 1 ms.
  EXPECT_GE(pos1, pos0 + (t1 - t0) - 700);
  EXPECT_LE(pos1, pos0 + (t1 - t0) + 700);
  EXPECT_NE(shown.find(L"／0分10秒"), std::wstring::npos) << W2Sjis(shown);

  // The slider shows the last 200 ms tick and a synthesizer takes a moment
  // to stop and to start again: the figures are read once they have settled.
  p.Command(103);
  ASSERT_EQ(p.Control(0, 104), 3);
  Sleep(500);
  const DWORD_PTR held = SliderAt(p);
  Sleep(800);
  const DWORD_PTR stillHeld = SliderAt(p);
  EXPECT_LE(stillHeld, held + 50);
  p.Command(203);
  EXPECT_EQ(p.Control(0, 104), 1);
  Sleep(500);
  const DWORD_PTR resumed = SliderAt(p);
  const DWORD r0 = GetTickCount();
  Sleep(1000);
  const DWORD_PTR onward = SliderAt(p);
  const DWORD r1 = GetTickCount();
  std::printf("MIDI paused at %lu ms, %lu ms after 800 ms; resumed %lu -> %lu ms in %lu ms\n",
              static_cast<unsigned long>(held), static_cast<unsigned long>(stillHeld),
              static_cast<unsigned long>(resumed), static_cast<unsigned long>(onward),
              static_cast<unsigned long>(r1 - r0));
  EXPECT_GE(resumed, held);
  EXPECT_GE(onward, resumed + (r1 - r0) - 400);

  // Seek to 7.5 s: it lands within half a second.
  DWORD_PTR r = 0;
  HWND slider = GetDlgItem(p.Client(), 302);
  SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, 7500, SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider),
                      SMTO_NORMAL, 2000, &r);
  // The slider shows the position of the last 200 ms tick: the freshest
  // reading, less the time since the seek, is where it landed.
  const DWORD seekAt = GetTickCount();
  long landed = 0;
  for (int i = 0; i < 10; ++i) {
    Sleep(60);
    landed = std::max(landed, static_cast<long>(SliderAt(p)) - static_cast<long>(GetTickCount() - seekAt));
  }
  std::printf("MIDI seek to 7500 ms landed at %ld ms\n", landed);
  EXPECT_LE(std::labs(landed - 7500), 500);
  ASSERT_FALSE(p.WaitMessageBox(&box, 0)) << W2Sjis(box.text);
  p.Command(204);
  ASSERT_TRUE(p.Close());
}

// A MIDI song ends at its length, without the stall guard's wait, and the
// next entry follows; the selection's playing time has its length; a damaged
// one shows the device's error once.
TEST_F(PlaybackBox, MidiSongEndsAtItsLengthAndTheNextFollows) {
  const std::wstring song = dir_ + L"\\song.mid";
  ASSERT_TRUE(WriteBytes(song, TestMidi(8)));  // 4 s
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=1\r\n"));
  Player p;
  ASSERT_TRUE(p.Start(L"", dir_));
  ASSERT_TRUE(p.WaitFrame());
  p.AddPath(W2Sjis(song));
  p.AddPath(Sample("short.wav"));
  std::vector<SongRun> runs = PlayThrough(p, {L"song.mid", L"short.wav"}, 20000);
  ASSERT_EQ(runs.size(), 2u) << "stalled after " << (runs.empty() ? "nothing" : W2Sjis(runs.back().name));
  const DWORD played = runs[0].ended - runs[0].started;
  std::printf("MIDI of 4000 ms: played %lu ms, end to next start %lu ms\n", static_cast<unsigned long>(played),
              static_cast<unsigned long>(runs[1].started - runs[0].ended));
  EXPECT_GE(played, 3500u);
  EXPECT_LE(played, 4500u);
  EXPECT_TRUE(Shown(runs[0], L"0分02秒／0分04秒")) << Joined(runs[0].times);
  p.Command(204);
  // Its length for the selection's playing time comes the same way: 4 s, a pause, 1 s.
  p.Command(152);
  p.PostCommand(145);
  MessageBoxInfo box;
  ASSERT_TRUE(p.WaitMessageBox(&box));
  EXPECT_EQ(box.text, L"演奏時間は、06秒です。");
  Player::Answer(box, IDOK);
  p.Sync();

  ASSERT_TRUE(WriteBytes(dir_ + L"\\broken.mid", std::string("MThd\0\0\0\6\0\1", 10) + "no song at all"));
  p.Control(0, 101);
  p.AddPath(W2Sjis(dir_ + L"\\broken.mid"));
  p.Control(0, 102);
  ASSERT_TRUE(p.WaitMessageBox(&box, 10000));
  EXPECT_EQ(box.caption, L"マルチメディアエラー");
  std::printf("damaged MIDI: %s\n", W2Sjis(box.text).c_str());
  Player::Answer(box, IDOK);
  p.Sync();
  EXPECT_FALSE(p.WaitMessageBox(&box, 1500)) << W2Sjis(box.text);
  EXPECT_EQ(p.Control(0, 104), 0);
  // A song in a folder that is gone still brings the question of its folder.
  p.Control(0, 101);
  p.AddPath("c:\\no such folder\\song.mid");
  PostMessageW(p.Frame(), WM_USER, 0, 102);  // the question holds the play
  ASSERT_TRUE(p.WaitMessageBox(&box, 10000));
  EXPECT_EQ(box.text, L"演奏するファイルのディレクトリが見つかりません。ディレクトリの変更を行いますか？");
  Player::Answer(box, IDNO);
  p.Sync();
  ASSERT_TRUE(p.Close());
}

// Pausing, resuming and moving the slider never end a song: a film with a
// sound track (whose device reports the end of every play it stops), an MPEG
// song and an MPEG film each play on to their own end, and only then does
// the next entry start.
TEST_F(PlaybackBox, PauseResumeAndSeekNeverEndASong) {
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"));
  struct Medium {
    const char* file;
    const wchar_t* name;
    DWORD ms;
  } media[] = {{"sound.avi", L"sound.avi", 8000}, {"song.mp2", L"song.mp2", 4000},
               {"clip.mpg", L"clip.mpg", 3000}};
  for (const Medium& m : media) {
    SCOPED_TRACE(m.file);
    Player p;
    ASSERT_TRUE(p.Start(L"", dir_));
    ASSERT_TRUE(p.WaitFrame());
    p.Control(0, 101);  // not the list the last round left behind
    p.AddPath(Sample(m.file));
    p.AddPath(Sample("short.wav"));
    p.Control(0, 102);
    ASSERT_TRUE(WaitState(p, 1, 5000));
    auto playing = [&] {
      return p.Caption().find(std::wstring(m.name) + L" (演奏中)") != std::wstring::npos;
    };
    Sleep(m.ms / 4);
    p.Command(103);
    EXPECT_EQ(p.Control(0, 104), 3);
    Sleep(400);
    p.Command(203);  // resumes
    Sleep(400);
    p.Sync();
    EXPECT_TRUE(playing()) << "after the resume: " << W2Sjis(p.Caption());
    HWND slider = GetDlgItem(p.Client(), 302);
    DWORD_PTR max = 0, r = 0;
    SendMessageTimeoutW(slider, TBM_GETRANGEMAX, 0, 0, SMTO_NORMAL, 2000, &max);
    SendMessageTimeoutW(slider, TBM_SETPOS, TRUE, max / 2, SMTO_NORMAL, 2000, &r);
    SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0),
                        reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 2000, &r);
    SendMessageTimeoutW(p.Client(), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                        reinterpret_cast<LPARAM>(slider), SMTO_NORMAL, 2000, &r);
    const DWORD seeked = GetTickCount();
    Sleep(300);
    p.Sync();
    EXPECT_TRUE(playing()) << "after the seek: " << W2Sjis(p.Caption());
    // The other half, then the next entry.
    DWORD ended = 0;
    for (int i = 0; i < 200 && !ended; ++i) {
      if (p.Caption().find(L"short.wav") != std::wstring::npos) ended = GetTickCount();
      Sleep(50);
    }
    ASSERT_NE(ended, 0u) << W2Sjis(p.Caption());
    EXPECT_GE(ended - seeked, m.ms / 2 - 700) << "ended early";
    MessageBoxInfo box;
    EXPECT_FALSE(p.WaitMessageBox(&box, 0)) << W2Sjis(box.text);
    ASSERT_TRUE(p.Close());
  }
}
