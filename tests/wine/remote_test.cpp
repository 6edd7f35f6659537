// corvellactl as a remote: each command against a running player, and the
// state that follows as its status line and the player's own answers say.
#include <gtest/gtest.h>

#include "player.h"

#include <string>

using namespace wt;

namespace {

std::string Ctl(const std::wstring& args, DWORD* code = nullptr) {
  std::string out;
  const DWORD rc = RunCtl(args, &out);
  if (code) *code = rc;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

// The status line up to the position: "STATE ENTRY ".
std::string Head(const std::string& status) {
  const size_t second = status.find(' ', status.find(' ') + 1);
  return status.substr(0, second + 1);
}

}  // namespace

TEST(RemoteBox, EachCommandLeavesTheStateItNames) {
  CleanSettings();
  const std::wstring dir = FreshDir(L"RemoteCommands");
  Player p;
  ASSERT_TRUE(p.Start(L"", dir));
  ASSERT_TRUE(p.WaitFrame());
  // Two songs of a minute, so none ends by itself meanwhile; the paths are ASCII.
  const std::string first = Sample("minute.mp3");
  const std::wstring secondW = Join(dir, L"second.mp3");
  ASSERT_TRUE(CreateHardLinkW(secondW.c_str(), Sjis2W(first).c_str(), nullptr));
  const std::string second = W2Sjis(secondW);
  p.AddPath(first);
  p.AddPath(second);
  EXPECT_EQ(Ctl(L"status"), "stopped 1 0/0 " + first);
  EXPECT_EQ(Ctl(L"can"), "play next");

  // Pause is the media key's toggle: from stopped it plays.
  Ctl(L"pause");
  EXPECT_TRUE(WaitState(p, 1, 3000));
  Sleep(1200);
  std::string s = Ctl(L"status");
  EXPECT_EQ(Head(s), "playing 1 ");
  unsigned long pos = 0, len = 0;
  ASSERT_EQ(sscanf(s.c_str(), "%*s %*d %lu/%lu", &pos, &len), 2) << s;
  EXPECT_GT(pos, 0u);
  EXPECT_NEAR(static_cast<double>(len), 65000.0, 200.0);
  EXPECT_EQ(Ctl(L"can"), "play stop pause next");

  Ctl(L"pause");
  EXPECT_TRUE(WaitState(p, 3, 3000));
  EXPECT_EQ(Ctl(L"state"), "paused");
  Ctl(L"pause");
  EXPECT_TRUE(WaitState(p, 1, 3000));

  Ctl(L"next");
  EXPECT_EQ(Head(Ctl(L"status")), "playing 2 ");
  EXPECT_EQ(Ctl(L"can"), "play stop pause previous");
  // Disabled on the tool bar at the list's end without repeat: nothing happens.
  DWORD rc = 99;
  Ctl(L"next", &rc);
  EXPECT_EQ(rc, 0u);
  s = Ctl(L"status");
  EXPECT_EQ(Head(s), "playing 2 ");
  EXPECT_EQ(s.substr(s.size() - second.size()), second);

  Ctl(L"previous");
  EXPECT_EQ(Head(Ctl(L"status")), "playing 1 ");
  Ctl(L"stop");
  EXPECT_EQ(Ctl(L"status"), "stopped 1 0/0 " + first);
  Ctl(L"stop");  // disabled while stopped
  EXPECT_TRUE(WaitState(p, 0, 3000));

  Ctl(L"quit", &rc);
  EXPECT_EQ(rc, 0u);
  EXPECT_TRUE(p.WaitExit(5000));  // quit waits for the end
  EXPECT_EQ(p.ExitCode(), 0u);

  // No player: a message and status 1; an unknown command: the usage and 2.
  s = Ctl(L"status", &rc);
  EXPECT_EQ(rc, 1u);
  EXPECT_NE(s.find("no Corvella window is running"), std::string::npos) << s;
  s = Ctl(L"rewind", &rc);
  EXPECT_EQ(rc, 2u);
  EXPECT_EQ(s.rfind("usage: corvellactl", 0), 0u) << s;
}
