#include <gtest/gtest.h>

#include "app/external_control.h"

using app::ExternalControl;
using app::PlayState;
using app::PowerNotice;
using Action = ExternalControl::Action;

namespace {

ExternalControl::Result Send(ExternalControl& x, const std::string& name, bool full = false) {
  for (char c : name) {
    ExternalControl::Result r = x.Handle(100, static_cast<unsigned char>(c), PlayState::kStopped, full);
    EXPECT_EQ(r.action, Action::kNone);
    EXPECT_EQ(r.reply, 0);
  }
  return x.Handle(100, 0, PlayState::kStopped, full);
}

}  // namespace

TEST(AppExternalControl, ClearAppendPlayAndQuery) {
  ExternalControl x;
  x.Handle(100, 'z', PlayState::kStopped, false);
  ExternalControl::Result r = x.Handle(101, 0, PlayState::kPlaying, false);
  EXPECT_EQ(r.action, Action::kClearList);

  r = Send(x, "c:\\music\\\x83\x5c.mid");
  EXPECT_EQ(r.action, Action::kAppendEntry);
  EXPECT_EQ(r.name, "c:\\music\\\x83\x5c.mid");
  EXPECT_EQ(x.Handle(102, 0, PlayState::kStopped, false).action, Action::kPlay);

  EXPECT_EQ(x.Handle(104, 0, PlayState::kPlaying, false).reply, 1);
  EXPECT_EQ(x.Handle(104, 0, PlayState::kPaused, false).reply, 3);
  EXPECT_EQ(x.Handle(104, 0, PlayState::kStopped, false).reply, 0);
  for (intptr_t code : {0, 99, 103, 105, -1}) {
    r = x.Handle(code, 'a', PlayState::kPlaying, false);
    EXPECT_EQ(r.action, Action::kNone);
    EXPECT_EQ(r.reply, 0);
  }
  // Only the low byte of wParam is a character.
  r = Send(x, "");
  EXPECT_EQ(r.action, Action::kNone);  // an empty name adds nothing
  x.Handle(100, 0x141, PlayState::kStopped, false);
  EXPECT_EQ(x.Handle(100, 0x100, PlayState::kStopped, false).name, "A");
}

TEST(AppExternalControl, BufferLimits) {
  ExternalControl x;
  // A name longer than any entry is dropped, and the next one starts afresh.
  for (int i = 0; i < 5000; ++i) x.Handle(100, 'a', PlayState::kStopped, false);
  ExternalControl::Result r = x.Handle(100, 0, PlayState::kStopped, false);
  EXPECT_EQ(r.action, Action::kNone);

  // 259 bytes fit an entry; 260 are dropped whole rather than cut.
  r = Send(x, std::string(259, 'p'));
  EXPECT_EQ(r.action, Action::kAppendEntry);
  EXPECT_EQ(r.name.size(), 259u);
  r = Send(x, std::string(260, 'p'));
  EXPECT_EQ(r.action, Action::kNone);

  // A full list drops the name and keeps the buffer.
  r = Send(x, "a.mid", true);
  EXPECT_EQ(r.action, Action::kNone);
  r = Send(x, "b.mid", false);
  EXPECT_EQ(r.name, "a.midb.mid");
}

TEST(AppPowerNotice, ResumesOnlyWhatWasPlaying) {
  PowerNotice p;
  EXPECT_EQ(p.OnEvent(PowerNotice::kQuerySuspend, PlayState::kPlaying), PowerNotice::Action::kPause);
  // The suspend that follows the query sees the paused player but changes nothing.
  EXPECT_EQ(p.OnEvent(PowerNotice::kSuspend, PlayState::kPaused), PowerNotice::Action::kNone);
  EXPECT_EQ(p.OnEvent(PowerNotice::kResumeAutomatic, PlayState::kPaused), PowerNotice::Action::kPlay);
  EXPECT_EQ(p.OnEvent(PowerNotice::kResumeSuspend, PlayState::kPlaying), PowerNotice::Action::kNone);

  EXPECT_EQ(p.OnSuspend(PlayState::kPaused), PowerNotice::Action::kNone);
  EXPECT_EQ(p.OnResume(), PowerNotice::Action::kNone);
  EXPECT_EQ(p.OnSuspend(PlayState::kPlaying), PowerNotice::Action::kPause);
  EXPECT_EQ(p.OnEvent(PowerNotice::kQuerySuspendFailed, PlayState::kPaused),
            PowerNotice::Action::kPlay);
  EXPECT_EQ(p.OnEvent(0x8013, PlayState::kPlaying), PowerNotice::Action::kNone);
}

namespace {

struct FakeView : ExternalControl::View {
  int count = 0, current = 0;
  std::string path;
  uint32_t position = 0, length = 0;
  bool waiting = false;
  app::CommandState commands;
  int Count() override { return count; }
  int Current() override { return current; }
  std::string CurrentPath() override { return path; }
  uint32_t PositionMs() override { return position; }
  uint32_t LengthMs() override { return length; }
  bool Waiting() override { return waiting; }
  app::CommandState Commands() override { return commands; }
};

}  // namespace

TEST(AppExternalControl, RemoteQueriesReadTheCurrentEntryAndTheEnablingRules) {
  FakeView v;
  v.path = "c:\\\x83\x5c.mp3";  // a trail byte equal to a backslash stays a byte
  EXPECT_EQ(ExternalControl::Answer(105, 0, v), 0);  // empty list
  EXPECT_EQ(ExternalControl::Answer(108, 0, v), 0);
  v.count = 4;
  v.current = 2;
  v.position = 61000;
  v.length = 180500;
  EXPECT_EQ(ExternalControl::Answer(105, 0, v), 3);
  EXPECT_EQ(ExternalControl::Answer(106, 0, v), 61000);
  EXPECT_EQ(ExternalControl::Answer(107, 0, v), 180500);
  std::string bytes;
  for (uintptr_t i = 0; intptr_t b = ExternalControl::Answer(108, i, v); ++i) bytes += static_cast<char>(b);
  EXPECT_EQ(bytes, v.path);
  EXPECT_EQ(ExternalControl::Answer(108, 1000, v), 0);
  EXPECT_EQ(ExternalControl::Answer(110, 0, v), 0);
  v.waiting = true;
  EXPECT_EQ(ExternalControl::Answer(110, 0, v), 1);

  v.commands.count = 4;
  v.commands.state = PlayState::kPlaying;
  v.commands.nextAvailable = true;
  EXPECT_EQ(ExternalControl::Answer(109, 0, v), ExternalControl::kCanPlay | ExternalControl::kCanStop |
                                                    ExternalControl::kCanPause | ExternalControl::kCanNext);
  v.commands.state = PlayState::kStopped;
  v.commands.nextAvailable = false;
  v.commands.previousAvailable = true;
  EXPECT_EQ(ExternalControl::Answer(109, 0, v), ExternalControl::kCanPlay | ExternalControl::kCanPrevious);
  for (intptr_t code = 104; code <= 110; ++code) EXPECT_TRUE(ExternalControl::AnswersAtOnce(code)) << code;
  EXPECT_FALSE(ExternalControl::AnswersAtOnce(111));
}
