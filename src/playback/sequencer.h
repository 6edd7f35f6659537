// What plays: Play, Stop, Next and Previous, random play, the end of a song,
// the pause between songs, the alarm and the 200 ms timer that also keeps
// the time display and the position slider. It is the song list's playback
// link and opens entries through the media device layer. The pause between
// songs is its own; the open medium's state is the device's, which it changes
// only through the device's named operations.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "playback/device.h"
#include "playback/player_view.h"
#include "songlist/model.h"
#include "songlist/playback_link.h"
#include "songlist/random.h"

namespace playback {

struct SequencerLinks {
  Device* device;
  songlist::SongList* list;
  PlayerView* view;
  platform::Notifier* notifier;
  platform::Clock* clock;
  songlist::Random* random;
  app::Settings* settings;
};

class Sequencer : public songlist::PlaybackLink {
 public:
  explicit Sequencer(const SequencerLinks& links);

  // ---- the song list's link ----
  int32_t State() override { return dev_.State(); }
  void SetState(int32_t state) override { dev_.RestoreState(state); }
  bool QueryPosition(uint32_t* ms) override;
  void Stop() override;  // 204
  void Play() override;  // 203
  void SetWaiting(bool waiting) override;
  void ClearCachedLength() override { dev_.ForgetLength(); }
  bool NextPlayable() override;
  bool RandomPlay() override { return settings_.shuffle; }
  bool RepeatAll() override { return settings_.repeat2; }

  // ---- commands ----
  void Next();      // 119
  void Previous();  // 120
  void Pause();     // 103
  // 154: the current entry opened again, paused again when it was paused
  // or a video option asked for it.
  void ReopenCurrent();
  bool RandomNext();
  bool NextAvailable() const;
  bool PreviousAvailable() const;
  // 129, 147, 414, 133, 144: flips the option and moves an open video.
  void VideoOption(uint16_t id);

  // ---- events ----
  void OnNotify(uint32_t code);  // the media-control notification
  void OnTimer();                // timer 1, every 200 ms

  bool Waiting() const { return waiting_; }  // the pause between songs runs
  void SetCloseAfterPlay(bool on) { closeAfterPlay_ = on; }

 private:
  void CloseForRestart();
  void CloseDevice();
  void StopMedium();
  void StartNext();
  // Opens and plays the current entry; past a song the synthesizer refuses,
  // the list goes on as at a song's end.
  void OpenCurrent();
  // After a song's end: the next entry by the play order, or nothing.
  void MoveOnAfterEnd();
  void AfterMove();
  // Returns whether a position was read (and the position).
  bool TimeDisplay(uint32_t* position);
  void WatchForStall(bool known, uint32_t position);
  int UnmarkedCount() const;
  bool Unmarked(int pos) const;
  bool AdvanceForward(int* pos) const;

  Device& dev_;
  songlist::SongList& list_;
  PlayerView& view_;
  platform::Notifier& notifier_;
  platform::Clock& clock_;
  songlist::Random& random_;
  app::Settings& settings_;

  bool waiting_ = false;
  bool reopenPaused_ = false;  // the reopened video pauses again
  bool closeAfterPlay_ = false;
  int refusals_ = 0;  // songs refused in a row
  int32_t lastSecond_ = -1;
  bool playingBefore_ = false;
  int32_t intervalTicks_ = 0, intervalSeconds_ = 0;
  int32_t ignoreTicks_ = 0;
  bool alarmFired_ = false;
  std::string lastTimeText_;
  struct StallWatch {
    bool started = false;
    uint32_t plays = 0;     // the song watched
    bool known = false;     // the last tick read a position
    uint32_t last = 0;      // that position
    uint64_t estimate = 0;  // where the song should be by now, ms
    int32_t stillTicks = 0;
  } stall_;
};

}  // namespace playback
