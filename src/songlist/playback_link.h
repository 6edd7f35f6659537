// What the song list needs from playback. Until the sequencer exists the shell
// answers "stopped" and does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace songlist {

enum PlayerState : int32_t { kStopped = 0, kPlaying = 1, kPaused = 2 };

class PlaybackLink {
 public:
  virtual ~PlaybackLink() = default;
  virtual int32_t State() = 0;
  // Sets the state value only (Undo puts back the state it remembered).
  virtual void SetState(int32_t state) = 0;
  // Device position of the open song in milliseconds; false when unknown.
  virtual bool QueryPosition(uint32_t* ms) = 0;
  virtual void Stop() = 0;  // command 204
  virtual void Play() = 0;  // command 203
  // The flag that makes the sequencer count the interval, then play the current entry.
  virtual void SetWaiting(bool waiting) = 0;
  virtual void ClearCachedLength() = 0;
  // The sequencer's advance: from the current position to the next entry
  // marked played (random or wrapping as its options say); makes it current.
  virtual bool NextPlayable() = 0;
  virtual bool RandomPlay() = 0;
  virtual bool RepeatAll() = 0;
};

// What the song list tells the window after a change.
class ViewLink {
 public:
  virtual ~ViewLink() = default;
  virtual void RefreshTitle() = 0;
  virtual void Repaint() = 0;
  virtual void ScrollToCurrent() = 0;
};

// Tracks of the audio CD in a drive, as list paths; empty when none.
class CdTrackSource {
 public:
  virtual ~CdTrackSource() = default;
  virtual std::vector<std::string> Tracks(const std::string& drive) = 0;
};

}  // namespace songlist
