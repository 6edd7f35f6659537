// The player as the main window sees it: the sequencer and the media device
// layer built together, with the window messages routed to them.
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "platform/cursor.h"
#include "playback/device.h"
#include "playback/midi_tools.h"
#include "playback/sequencer.h"
#include "songlist/random.h"

namespace playback {

struct PlayerLinks {
  DeviceLinks device;
  platform::Clock* clock;
  songlist::Random* random;
  platform::Cursor* cursor = nullptr;  // the wait cursor of long operations
  DeviceConfig config = {};
};

class Player {
 public:
  // The song list may be built after the player: only its address is kept
  // until the first call.
  explicit Player(const PlayerLinks& links);

  Device& device() { return device_; }
  const Device& device() const { return device_; }
  Sequencer& sequencer() { return sequencer_; }
  const Sequencer& sequencer() const { return sequencer_; }
  // The song list's playback link.
  songlist::PlaybackLink* link() { return &sequencer_; }

  // Commands 203, 204, 103, 119, 120, 105, 126, 127, 154, 129, 147, 414,
  // 133, 144 and 146; false for any other id.
  bool OnCommand(uint16_t id);
  void OnNotify(uint32_t code) { sequencer_.OnNotify(code); }
  void OnTimer() { sequencer_.OnTimer(); }
  void OnSlider(SliderEvent event, int32_t value) { device_.SeekTo(value, event); }
  // Every new client size of the main window. A shrunk picture area exposes
  // nothing, so a driver that draws only on exposure is told to repaint.
  void OnMainWindowSized(int32_t width, int32_t height);
  // The slider strip came (the picture area shrank) or went.
  void OnSliderShown(bool shown) { device_.MainWindowSized(!shown); }
  void OnPaint() { device_.RedrawPausedPicture(); }

  MidiResetSettings ResetSettings() const;
  void SetResetSettings(const MidiResetSettings& s);

 private:
  PlayerLinks links_;
  int32_t clientWidth_ = 0, clientHeight_ = 0;  // the last size of the main window
  Device device_;
  Sequencer sequencer_;
};

}  // namespace playback
