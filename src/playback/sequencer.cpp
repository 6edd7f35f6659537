#include "playback/sequencer.h"

#include <cstdio>

#include "text/sjis.h"

namespace playback {

Sequencer::Sequencer(const SequencerLinks& l)
    : dev_(*l.device),
      list_(*l.list),
      view_(*l.view),
      notifier_(*l.notifier),
      clock_(*l.clock),
      random_(*l.random),
      settings_(*l.settings) {}

bool Sequencer::Unmarked(int pos) const { return list_.MarkAt(pos) == 0; }

int Sequencer::UnmarkedCount() const {
  int m = 0;
  for (int p = 0; p < list_.Count(); ++p) m += Unmarked(p) ? 1 : 0;
  return m;
}

bool Sequencer::QueryPosition(uint32_t* ms) {
  int32_t s = 0;
  return dev_.Position(ms, &s);
}

void Sequencer::SetWaiting(bool waiting) {
  waiting_ = waiting;
  if (!waiting) intervalTicks_ = intervalSeconds_ = 0;
}

// Closing a dedicated-window video makes its device report "aborted"; that
// report must not read as the user closing the window.
void Sequencer::CloseForRestart() {
  const bool reports =
      dev_.VideoInDedicated() && !dev_.Flags().still && dev_.DriverKind() != kDriverSoftPeg;
  CloseDevice();
  if (reports) dev_.ExpectAborted();
}

// A closed device ends the pause between songs as well.
void Sequencer::CloseDevice() {
  dev_.CloseMedium();
  waiting_ = false;
}

void Sequencer::Pause() {
  const bool wasPlaying = dev_.State() == songlist::kPlaying;
  dev_.PauseMedium();
  if (wasPlaying && dev_.State() == songlist::kPaused) waiting_ = false;
}

void Sequencer::ReopenCurrent() {
  const bool paused = reopenPaused_ || dev_.State() == songlist::kPaused;
  reopenPaused_ = false;
  if (list_.Count() == 0) return;
  if (dev_.IsOpen() || dev_.State() != songlist::kStopped) CloseDevice();
  if (dev_.OpenAndPlay(list_.PathAt(list_.Current())) && paused &&
      !(settings_.aviDisp && settings_.aviAllDisp)) {
    view_.PostCommand(CM_PAUSE);
  }
}

void Sequencer::Play() {
  SetWaiting(false);
  if (list_.Count() == 0) return;
  if (dev_.State() == songlist::kPlaying) {
    CloseForRestart();  // which leaves it stopped
    list_.SetStartPosition(0);
    view_.PostCommand(CM_PLAY);
    return;
  }
  // A paused state without an open device (restored by an undo) plays afresh.
  if (dev_.State() == songlist::kPaused && !dev_.IsOpen()) dev_.RestoreState(songlist::kStopped);
  if (dev_.State() == songlist::kPaused) {
    const char* current = list_.PathAt(list_.Current());
    if (dev_.LastPath().empty() || list_.SamePath(dev_.LastPath(), current)) {
      dev_.ResumeMedium();
      return;
    }
    CloseForRestart();
  }
  list_.SetStartPosition(0);
  OpenCurrent();
}

void Sequencer::StopMedium() {
  if (dev_.State() != songlist::kStopped || dev_.IsOpen()) {
    bool mainVideo = dev_.VideoInMain();
    CloseDevice();
    if (mainVideo) view_.RedrawList();
  }
  SetWaiting(false);
  view_.RefreshTitle();
  dev_.AfterStop();
}

void Sequencer::Stop() {
  StopMedium();
  if (closeAfterPlay_) view_.EndProgram();
}

// From the current position forward past skipped entries, wrapping to the
// start with repeat all (not beyond the current position).
bool Sequencer::AdvanceForward(int* found) const {
  const int n = list_.Count();
  const int cur = list_.Current();
  for (int p = cur + 1; p < n; ++p) {
    if (Unmarked(p)) {
      *found = p;
      return true;
    }
  }
  if (!settings_.repeat2) return false;
  for (int p = 0; p <= cur && p < n; ++p) {
    if (Unmarked(p)) {
      *found = p;
      return true;
    }
  }
  return false;
}

bool Sequencer::NextPlayable() {
  if (settings_.shuffle) return RandomNext();
  int p = 0;
  if (!AdvanceForward(&p)) return false;
  list_.SetCurrent(p);
  return true;
}

bool Sequencer::RandomNext() {
  const int n = list_.Count();
  const int m = UnmarkedCount();
  if (m == 0) return false;
  const int cur = list_.Current();
  if (m == 1) {
    for (int p = 0; p < n; ++p) {
      if (Unmarked(p)) {
        list_.SetCurrent(p);
        break;
      }
    }
    return true;
  }
  const int c = (cur < n && Unmarked(cur)) ? 1 : 0;
  const uint32_t r = random_.Next();
  const int k = static_cast<int>((static_cast<uint32_t>(m - c) * r) >> 15);
  int counted = 0;
  for (int p = 0; p < n; ++p) {
    if (!Unmarked(p) || p == cur) continue;
    if (counted == k) {
      list_.SetCurrent(p);
      return true;
    }
    ++counted;
  }
  return false;
}

void Sequencer::AfterMove() {
  view_.ScrollToCurrent();
  view_.RedrawList();
  Play();
}

void Sequencer::Next() {
  if (list_.Count() == 0) return;
  if (settings_.shuffle) {
    if (!RandomNext()) return;
  } else {
    int p = 0;
    if (!AdvanceForward(&p)) return;
    list_.SetCurrent(p);
  }
  AfterMove();
}

void Sequencer::Previous() {
  const int n = list_.Count();
  if (n == 0) return;
  const int cur = list_.Current();
  if (settings_.shuffle) {
    int p = dev_.PreviousPath().empty() ? -1 : list_.FindPath(dev_.PreviousPath());
    if (p >= 0 && Unmarked(p)) {
      list_.SetCurrent(p);
    } else if (!RandomNext()) {
      return;
    }
  } else {
    int found = -1;
    for (int p = cur - 1; p >= 0; --p) {
      if (Unmarked(p)) {
        found = p;
        break;
      }
    }
    if (found < 0) {
      if (!settings_.repeat2) return;
      for (int p = n - 1; p > cur; --p) {
        if (Unmarked(p)) {
          found = p;
          break;
        }
      }
      if (found < 0) return;
    }
    list_.SetCurrent(found);
  }
  AfterMove();
}

bool Sequencer::NextAvailable() const {
  if (settings_.shuffle || settings_.repeat2) return UnmarkedCount() > 0;
  for (int p = list_.Current() + 1; p < list_.Count(); ++p) {
    if (Unmarked(p)) return true;
  }
  return false;
}

bool Sequencer::PreviousAvailable() const {
  if (settings_.shuffle) return UnmarkedCount() > 0;
  const int cur = list_.Current();
  const int limit = settings_.repeat2 ? list_.Count() : cur;
  for (int p = 0; p < limit; ++p) {
    if (p != cur && Unmarked(p)) return true;
  }
  return false;
}

void Sequencer::StartNext() {
  list_.SetStartPosition(0);
  if (settings_.interval <= 0) {
    OpenCurrent();
    view_.RedrawList();
    return;
  }
  view_.RedrawList();
  SetWaiting(true);
  dev_.ForgetLength();
  view_.RefreshTitle();
}

void Sequencer::MoveOnAfterEnd() {
  if (list_.Busy() || list_.Count() == 0) return;
  if (settings_.repeat1) {
    if (Unmarked(list_.Current())) StartNext();
    return;
  }
  if (!settings_.shuffle) {
    const int n = list_.Count();
    const int old = list_.Current();
    int found = -1;
    for (int p = old + 1; p < n; ++p) {
      if (Unmarked(p)) {
        found = p;
        break;
      }
    }
    if (found < 0) {
      if (!settings_.repeat2) {
        if (closeAfterPlay_) view_.EndProgram();
        return;
      }
      for (int p = 0; p < old; ++p) {
        if (Unmarked(p)) {
          found = p;
          break;
        }
      }
      if (found < 0) {
        if (!Unmarked(old)) return;
        found = old;
      }
    }
    list_.SetCurrent(found);
    if (!view_.ListDragging()) view_.ScrollToCurrent();
    StartNext();
    return;
  }
  if (RandomNext()) {
    if (!view_.ListDragging()) view_.ScrollToCurrent();
    StartNext();
  }
}

void Sequencer::OpenCurrent() {
  if (dev_.OpenAndPlay(list_.PathAt(list_.Current())) || !dev_.RefusedBySynthesizer()) {
    refusals_ = 0;
    return;
  }
  // Its box has been shown. A song that would only be refused again, or a
  // whole round of refusals, ends it.
  if (settings_.repeat1 || ++refusals_ >= UnmarkedCount()) {
    refusals_ = 0;
    return;
  }
  MoveOnAfterEnd();
}

void Sequencer::OnNotify(uint32_t code) {
  if (dev_.VideoInMain() && dev_.State() == songlist::kPaused) return;
  switch (code) {
    case platform::kMciNotifySuccessful: {
      if (dev_.State() == songlist::kPaused) return;
      // A late report for a song already stopped must not start another.
      if (dev_.State() == songlist::kStopped && !dev_.IsOpen()) return;
      bool mainVideo = dev_.VideoInMain();
      CloseDevice();
      if (mainVideo) view_.RedrawList();
      MoveOnAfterEnd();
      return;
    }
    case platform::kMciNotifyAborted:
      // Not of our own doing: the user closed the video window.
      if (!dev_.TakeExpectedAborted() && dev_.VideoInDedicated()) Stop();
      return;
    case platform::kMciNotifyFailure: {
      bool mainVideo = dev_.VideoInMain();
      CloseDevice();
      if (mainVideo) view_.RedrawList();
      notifier_.Beep(platform::kBeepWarning);
      notifier_.MessageBox("演奏中にエラーが発生しました。演奏を中止します。", "マルチメディアエラー",
                           platform::kMbOk | platform::kMbIconExclamation);
      if (closeAfterPlay_) view_.EndProgram();
      return;
    }
    default:
      return;
  }
}

bool Sequencer::TimeDisplay(uint32_t* position) {
  char buf[96];
  auto setText = [&](const std::string& t) {
    if (t == lastTimeText_) return;
    lastTimeText_ = t;
    view_.SetTimeText(t);
  };
  auto setSlider = [&](int32_t v) {
    // Set every tick: the user may have moved the thumb since (a page click
    // while stopped, a seek the device did not follow).
    if (dev_.Dragging() || view_.DialogOpen() || !settings_.slider) return;
    view_.SetSliderPosition(v);
  };
  if (dev_.State() == songlist::kStopped) {
    const uint32_t len = dev_.Length();
    if (len != 0) {
      if (playingBefore_) {
        lastSecond_ = -1;
        playingBefore_ = false;
      }
      const uint32_t total = dev_.Flags().cd ? dev_.DiscLength() : len;
      const int32_t s = static_cast<int32_t>((uint64_t{total} + 500) / 1000);
      if (!view_.StatusBarShown()) {
        lastSecond_ = -1;
      } else if (s != lastSecond_) {
        std::snprintf(buf, sizeof buf, " %ld分%02d秒", static_cast<long>(s / 60), static_cast<int>(s % 60));
        setText(buf);
        lastSecond_ = s;
      }
    } else {
      setText("  ");
      lastSecond_ = -1;
    }
    setSlider(0);
    return false;
  }
  uint32_t p = 0;
  int32_t s = 0;
  if (!dev_.Position(&p, &s)) return false;
  *position = p;
  const int32_t total = static_cast<int32_t>((uint64_t{dev_.Length()} + 500) / 1000);
  if (!view_.StatusBarShown()) {
    lastSecond_ = -1;
  } else if (s != lastSecond_ && s + 1 != lastSecond_) {
    std::snprintf(buf, sizeof buf, " %ld分%02d秒／%ld分%02d秒", static_cast<long>(s / 60),
                  static_cast<int>(s % 60), static_cast<long>(total / 60), static_cast<int>(total % 60));
    setText(buf);
    lastSecond_ = s;
  }
  setSlider(static_cast<int32_t>(p / (dev_.Divisor() ? dev_.Divisor() : 1)));
  playingBefore_ = true;
  return true;
}

// A device that never reports its end would hold the list for ever. Once
// the position has stood at or past the length for two seconds, or where the
// song must be by now (the last position that moved, plus the time since)
// is three seconds past the length, the song is taken as ended.
void Sequencer::WatchForStall(bool known, uint32_t p) {
  constexpr uint32_t kTickMs = 200;
  constexpr int32_t kStillTicks = 10;
  constexpr uint32_t kGraceMs = 3000;
  const bool watch = dev_.State() == songlist::kPlaying && dev_.IsOpen() && !dev_.Flags().still &&
                     dev_.Length() != 0 && !dev_.Dragging();
  if (!watch) {
    stall_ = StallWatch{};
    return;
  }
  if (!stall_.started || stall_.plays != dev_.Plays()) {
    stall_ = StallWatch{};
    stall_.started = true;
    stall_.plays = dev_.Plays();
    stall_.estimate = known ? p : list_.StartPosition();
    stall_.known = known;
    stall_.last = p;
    return;
  }
  const bool moving = known && (!stall_.known || p != stall_.last);
  if (moving) {
    stall_.estimate = p;
    stall_.stillTicks = 0;
  } else {
    stall_.estimate += kTickMs;
    if (known) ++stall_.stillTicks;
  }
  stall_.known = known;
  stall_.last = p;
  const bool stoodAtEnd = known && p >= dev_.Length() && stall_.stillTicks >= kStillTicks;
  // A position that moves is news enough, even past a length that was short.
  if (stoodAtEnd || (!moving && stall_.estimate >= uint64_t{dev_.Length()} + kGraceMs)) {
    stall_ = StallWatch{};
    OnNotify(platform::kMciNotifySuccessful);
  }
}

void Sequencer::OnTimer() {
  // 1. Time display and slider.
  uint32_t position = 0;
  const bool known = TimeDisplay(&position);
  // 2. The list view's own housekeeping.
  view_.ListHousekeeping();
  // 3. The pause between songs: one second per five ticks.
  if (waiting_) {
    if (intervalTicks_ * 200 + 200 > 992) {
      intervalTicks_ = 0;
      ++intervalSeconds_;
    } else {
      ++intervalTicks_;
    }
    if (intervalSeconds_ >= settings_.interval) {
      SetWaiting(false);
      list_.SetStartPosition(0);
      if (list_.Count() > 0) {
        OpenCurrent();
      } else {
        view_.RefreshTitle();
      }
    }
  } else {
    intervalTicks_ = intervalSeconds_ = 0;
  }
  // 4. Our own aborted report has had two seconds to arrive.
  if (dev_.AbortedExpected()) {
    if (++ignoreTicks_ >= 10) {
      dev_.StopExpectingAborted();
      ignoreTicks_ = 0;
    }
  } else {
    ignoreTicks_ = 0;
  }
  // 5. The alarm, once in its minute.
  if (settings_.alarmSet) {
    platform::LocalTime t = clock_.Now();
    if (t.hour == settings_.alarmHour && t.minute == settings_.alarmMinute) {
      if (!alarmFired_) {
        alarmFired_ = true;
        if (dev_.State() != songlist::kPlaying && list_.Count() > 0) Play();
      }
    } else {
      alarmFired_ = false;
    }
  }
  // 6. A song the device never ends.
  WatchForStall(known, position);
}

void Sequencer::VideoOption(uint16_t id) {
  const bool videoOpen = dev_.VideoInMain() || dev_.VideoInDedicated();
  switch (id) {
    case CM_AVIDISP:
    case CM_AVIALLDISP:
    case CM_FULLSCREENKEY: {
      // The key is a shortcut for the dedicated window only; without one it would
      // flip the menu's option unseen.
      if (id == CM_FULLSCREENKEY && !dev_.VideoInDedicated()) return;
      bool* option = id == CM_AVIDISP ? &settings_.aviDisp : &settings_.aviAllDisp;
      if (!videoOpen) {
        *option = !*option;
        return;
      }
      const bool wasPaused = dev_.State() == songlist::kPaused;
      const bool still = dev_.Flags().still;
      const bool kind2 = dev_.DriverKind() == kDriverSoftPeg;
      uint32_t pos = 0;
      int32_t second = 0;
      const bool known = dev_.Position(&pos, &second);
      if (id == CM_AVIDISP) {
        StopMedium();
      } else {
        if (!known) return;  // full screen stays as it was
        CloseDevice();
      }
      *option = !*option;
      if (!known) return;
      if (!still && !kind2) dev_.ExpectAborted();
      list_.SetStartPosition(pos);
      reopenPaused_ = wasPaused;
      view_.PostCommand(CM_REOPEN);
      return;
    }
    case CM_AVISIZE:
      settings_.aviSize = !settings_.aviSize;
      if (settings_.aviSize && videoOpen) dev_.FitVideo(1);
      return;
    case CM_AVICENTER:
      settings_.aviCenter = !settings_.aviCenter;
      if (settings_.aviCenter && videoOpen) {
        if (dev_.VideoInDedicated()) {
          dev_.CenterDedicated();
        } else {
          dev_.CenterFrame();
        }
      }
      return;
    default:
      return;
  }
}

}  // namespace playback
