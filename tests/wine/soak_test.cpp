// Long runs: a 500-entry list of one-second songs of every kind played under
// Wine (WAV, MP3, MPEG audio Layer II, AVI), random play with repeat all and
// some entries skipped. Handles, GDI objects and memory must stay flat.
// CORVELLA_SOAK=short runs two minutes (./test.sh does), CORVELLA_SOAK=1
// fifteen, longer than the test runner allows, so run that one directly:
//   CORVELLA_SOAK=1 scripts/wine-run.sh build/win32/tests/wine/wine_tests.exe --gtest_filter=SoakBox.*
// CORVELLA_SOAK_KIND=wav (mp3, mp2, avi) plays that kind only, to tell which
// device a growth comes from.
#include <gtest/gtest.h>

#include "player.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace wt;

namespace {

constexpr int kEntries = 500;
bool Skipped(int i) { return i % 7 == 3; }

// The song named in a caption "name (演奏中)", or "" while none plays.
std::wstring PlayingName(const std::wstring& caption) {
  const size_t at = caption.find(L" (演奏中)");
  if (at == std::wstring::npos) return L"";
  const size_t from = caption.rfind(L' ', at == 0 ? 0 : at - 1);
  return caption.substr(from == std::wstring::npos ? 0 : from + 1, at - (from == std::wstring::npos ? 0 : from + 1));
}

}  // namespace

TEST(SoakBox, FiveHundredShortSongsAtRandomLeaveResourcesFlat) {
  wchar_t soak[8] = L"", only[8] = L"";
  GetEnvironmentVariableW(L"CORVELLA_SOAK", soak, 8);
  GetEnvironmentVariableW(L"CORVELLA_SOAK_KIND", only, 8);
  if (soak[0] == 0 || soak[0] == L'0') GTEST_SKIP() << "CORVELLA_SOAK=short (two minutes) or 1 (fifteen)";
  const bool longRun = soak[0] != L's';
  const DWORD runMs = (longRun ? 15 : 2) * 60 * 1000;
  const int reportEvery = longRun ? 100 : 20;

  CleanSettings();
  const std::wstring dir = FreshDir(L"soak");
  // Every entry is a file of its own, so the caption tells which one plays.
  std::vector<std::string> kinds;
  for (const char* k : {"one.wav", "one.mp3", "one.mp2", "one.avi"}) {
    if (!only[0] || Sjis2W(k + 4) == only) kinds.push_back(k);
  }
  ASSERT_FALSE(kinds.empty()) << "CORVELLA_SOAK_KIND: wav, mp3, mp2 or avi";
  std::string snf;
  for (int i = 0; i < kEntries; ++i) {
    char name[32];
    const std::string& kind = kinds[i % kinds.size()];
    std::snprintf(name, sizeof name, "s%03d%s", i, kind.c_str() + 3);
    const std::wstring path = Join(dir, Sjis2W(name));
    ASSERT_TRUE(CopyFileW(Sjis2W(Sample(kind.c_str())).c_str(), path.c_str(), FALSE)) << name;
    snf += W2Sjis(path) + "\r\n" + std::to_string(i) + "\r\n" + (Skipped(i) ? "1" : "0") + "\r\n";
  }
  snf += "\r\n[CONFIG]\r\nFILENUMBER=500\r\nPLAYNUMBER=0\r\nPAUSETIME=0\r\nPLAYFLAG=0\r\nBASEX=0\r\nRSEL=0\r\n";
  ASSERT_TRUE(WriteBytes(Join(dir, L"soak.snf"), snf));
  ASSERT_TRUE(WriteBytes(SettingsPath(), "[VERSION]\r\nVERSION=119\r\n[CONFIG]\r\nINTERVAL=0\r\n"
                                         "SHUFFLE=ON\r\nREPEAT2=ON\r\n"));

  Player p;
  ASSERT_TRUE(p.Start(L"\"" + Join(dir, L"soak.snf") + L"\"", dir));
  ASSERT_TRUE(p.WaitFrame());
  p.Control(0, 102);

  // Figures are taken as each song starts, once every kind has played three
  // times (each device, its buffers and Wine's caches behind it are warm by
  // then). What is open during a song differs by kind, by some MB with the
  // video devices, so the last figures of each kind are held against the
  // first of the same kind.
  struct Figures {
    Usage usage;
    HandleCounts handles;
    int song = 0, mpeg = 0;  // songs started, MPEG audio songs among them
  };
  std::map<std::wstring, int> played;
  std::map<std::wstring, Figures> first, last;
  int songs = 0, measuredFrom = 0;
  std::wstring current;
  const DWORD start = GetTickCount();
  DWORD lastStart = start;
  while (GetTickCount() - start < runMs) {
    const std::wstring name = PlayingName(p.Caption());
    const DWORD now = GetTickCount();
    if (!name.empty() && name != current) {
      current = name;
      lastStart = now;
      ++songs;
      const int index = _wtoi(name.c_str() + 1);
      ASSERT_FALSE(Skipped(index)) << "a skipped entry played: " << W2Sjis(name);
      const std::wstring kind = name.substr(name.size() - 4);
      ++played[kind];
      bool warm = measuredFrom > 0 || played.size() == kinds.size();
      for (const auto& [k, n] : played) warm = warm && n >= 3;
      if (warm) {
        if (measuredFrom == 0) measuredFrom = songs;
        Figures f{MeasureUsage(p), CountHandles(p.Pid()), songs, played[L".mp2"]};
        if (!first.count(kind)) first[kind] = f;
        last[kind] = f;
        if ((songs - measuredFrom) % reportEvery == 0) {
          PrintUsage((std::to_string(songs) + " songs").c_str(), f.usage);
          std::printf("         %s\n", DescribeHandles(first.begin()->second.handles, f.handles).c_str());
          std::fflush(stdout);
        }
      }
    }
    ASSERT_LT(now - lastStart, 15000u) << "no new song for 15 s after " << W2Sjis(current);
    MessageBoxInfo box;
    if (p.WaitMessageBox(&box, 0)) {
      Player::Answer(box, IDOK);
      FAIL() << "message box after " << songs << " songs: " << W2Sjis(box.text);
    }
    Sleep(100);
  }
  std::printf("%d songs in %lu s, measured from song %d\n", songs, (GetTickCount() - start) / 1000,
              measuredFrom);
  EXPECT_EQ(played.size(), kinds.size());
  ASSERT_GT(measuredFrom, 0) << songs << " songs, too few to warm up";
  ASSERT_GE(songs - measuredFrom, longRun ? 300 : 40) << "too few songs after the warm-up";
  for (const auto& [kind, a] : first) {
    const Figures& b = last[kind];
    SCOPED_TRACE(W2Sjis(kind));
    // Wine's MPEG device leaves about 114 registry keys, an event and some
    // memory behind with every file it opens (a plain open, play and close
    // does the same); everything else must stay flat. Between the first
    // and the last figures of a kind lie nearly all measured songs, so a
    // handle, a GDI object or 64 KB left behind per song exceeds these bounds.
    const DWORD mpeg = static_cast<DWORD>(b.mpeg - a.mpeg);
    const std::string handles = DescribeHandles(a.handles, b.handles);
    std::printf("%ls songs %d to %d: %s; private %lu -> %lu KB\n", kind.c_str(), a.song, b.song,
                handles.c_str(), static_cast<unsigned long>(a.usage.memory / 1024),
                static_cast<unsigned long>(b.usage.memory / 1024));
    EXPECT_TRUE(HandlesFlat(a.handles, b.handles)) << handles;
    EXPECT_LE(b.handles.keys, a.handles.keys + 8 + 130 * mpeg);
    EXPECT_LE(b.usage.gdi, a.usage.gdi + 8);
    EXPECT_LE(b.usage.memory, a.usage.memory + 2 * 1024 * 1024 + 32 * 1024 * mpeg);
  }
  p.Command(204);
  ASSERT_TRUE(p.Close());
}
