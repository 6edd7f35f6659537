// corvellactl's command words, its serve lines and the status line that the
// desktop bridge reads back.
#include <gtest/gtest.h>

#include "remote.h"

using ctl::Verb;

TEST(ToolsRemote, CommandLineWords) {
  ctl::Request r;
  const struct {
    const char* word;
    Verb verb;
    uint16_t posted;
  } cases[] = {{"stop", Verb::kStop, 204},      {"pause", Verb::kPause, 415},
               {"next", Verb::kNext, 119},      {"previous", Verb::kPrevious, 120},
               {"quit", Verb::kQuit, 24310},    {"play", Verb::kPlay, 0},
               {"status", Verb::kStatus, 0},    {"--help", Verb::kHelp, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(ctl::ParseArgs({c.word}, &r)) << c.word;
    EXPECT_EQ(r.verb, c.verb) << c.word;
    EXPECT_EQ(ctl::PostedCommand(r.verb), c.posted) << c.word;
  }
  ASSERT_TRUE(ctl::ParseArgs({"add", "a b.mp3", "c.mid"}, &r));
  EXPECT_EQ(r.paths, (std::vector<std::string>{"a b.mp3", "c.mid"}));
  // Usage errors: nothing, an unknown word, a word in another case, missing
  // or extra arguments.
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"STOP"}, {"add"}, {"stop", "now"}, {"status", "x"}}) {
    EXPECT_FALSE(ctl::ParseArgs(bad, &r)) << (bad.empty() ? "(none)" : bad[0]);
  }
}

TEST(ToolsRemote, ServeLinesTakeTheRestAsOnePath) {
  ctl::Request r;
  ASSERT_TRUE(ctl::ParseLine("add Z:\\my music\\a b.mp3\r\n", &r));
  EXPECT_EQ(r.verb, Verb::kAdd);
  EXPECT_EQ(r.paths, (std::vector<std::string>{"Z:\\my music\\a b.mp3"}));
  ASSERT_TRUE(ctl::ParseLine("next", &r));
  EXPECT_EQ(r.verb, Verb::kNext);
  EXPECT_FALSE(ctl::ParseLine("serve", &r));
  EXPECT_FALSE(ctl::ParseLine("", &r));
  EXPECT_FALSE(ctl::ParseLine("add", &r));
}

TEST(ToolsRemote, StatusLineRoundTripsAndRejectsGarbage) {
  EXPECT_EQ(ctl::StateWord(1, false), "playing");
  EXPECT_EQ(ctl::StateWord(3, false), "paused");
  EXPECT_EQ(ctl::StateWord(0, true), "waiting");
  EXPECT_EQ(ctl::StateWord(0, false), "stopped");

  ctl::Status s;
  s.state = "playing";
  s.entry = 3;
  s.positionMs = 61000;
  s.lengthMs = 4294967295u;
  s.path = "Z:\\曲 の 棚\\a b.mp3";
  const std::string line = ctl::FormatStatus(s);
  EXPECT_EQ(line, "playing 3 61000/4294967295 " + s.path);
  ctl::Status back;
  ASSERT_TRUE(ctl::ParseStatus(line + "\r\n", &back));
  EXPECT_EQ(back.state, s.state);
  EXPECT_EQ(back.entry, 3);
  EXPECT_EQ(back.positionMs, 61000u);
  EXPECT_EQ(back.lengthMs, 4294967295u);
  EXPECT_EQ(back.path, s.path);
  ASSERT_TRUE(ctl::ParseStatus("stopped 0 0/0 ", &back));
  EXPECT_EQ(back.path, "");
  for (const char* bad : {"", "error: no player", "stopped 0 0/0", "lost 1 0/0 x", "playing x 0/0 a",
                          "playing 1 5/ a", "playing 1000 0/0 a", "playing 1 4294967296/0 a"}) {
    EXPECT_FALSE(ctl::ParseStatus(bad, &back)) << bad;
  }

  EXPECT_EQ(ctl::FormatCan(0), "none");
  EXPECT_EQ(ctl::FormatCan(1 | 4 | 16), "play pause previous");
  EXPECT_EQ(ctl::ParseCan("play pause previous\r\n"), 1 | 4 | 16);
  EXPECT_EQ(ctl::ParseCan("none"), 0);
}

namespace {
std::string Roots(char drive, void*) {
  if (drive == 'z') return "/";
  if (drive == 'c') return "/home/u/.wine/drive_c/";
  return "";
}
}  // namespace

TEST(ToolsRemote, TitleAndFileUrlOfAWindowsPath) {
  EXPECT_EQ(ctl::TitleOf("Z:\\music\\a b.mp3"), "a b.mp3");
  EXPECT_EQ(ctl::TitleOf("tune.mid"), "tune.mid");
  EXPECT_EQ(ctl::FileUrl("Z:\\my music\\\xE6\x9B\xB2#1.mp3", Roots, nullptr),
            "file:///my%20music/%E6%9B%B2%231.mp3");
  EXPECT_EQ(ctl::FileUrl("c:\\songs\\t.mid", Roots, nullptr), "file:///home/u/.wine/drive_c/songs/t.mid");
  // No URL for an unknown drive, a relative path or a CD track name without a drive.
  EXPECT_EQ(ctl::FileUrl("d:\\track01.cda", Roots, nullptr), "");
  EXPECT_EQ(ctl::FileUrl("songs\\t.mid", Roots, nullptr), "");
  EXPECT_EQ(ctl::FileUrl("", Roots, nullptr), "");
}
