#include "playback/player.h"

#include "app/command_ids.h"
#include "playback/selection_time.h"

namespace playback {

Player::Player(const PlayerLinks& l)
    : links_(l),
      device_(l.device, l.config),
      sequencer_({&device_, l.device.list, l.device.view, l.device.notifier, l.clock, l.random,
                  l.device.settings}) {}

void Player::OnMainWindowSized(int32_t width, int32_t height) {
  const bool grew = width > clientWidth_ || height > clientHeight_;
  clientWidth_ = width;
  clientHeight_ = height;
  device_.MainWindowSized(grew);
}

bool Player::OnCommand(uint16_t id) {
  app::Settings& s = *links_.device.settings;
  songlist::SongList& list = *links_.device.list;
  switch (id) {
    case CM_PLAY: sequencer_.Play(); return true;
    case CM_STOP: sequencer_.Stop(); return true;
    case CM_PAUSE: sequencer_.Pause(); return true;
    case CM_NEXT: sequencer_.Next(); return true;
    case CM_PREVIOUS: sequencer_.Previous(); return true;
    case CM_REPEAT1: s.repeat1 = !s.repeat1; return true;
    case CM_REPEAT2: s.repeat2 = !s.repeat2; return true;
    case CM_RANDOMPLAY: s.shuffle = !s.shuffle; return true;
    case CM_REOPEN: sequencer_.ReopenCurrent(); return true;
    case CM_AVIDISP:
    case CM_AVIALLDISP:
    case CM_FULLSCREENKEY:
    case CM_AVISIZE:
    case CM_AVICENTER:
      sequencer_.VideoOption(id);
      return true;
    case CM_PLAYTIME:
      if (links_.cursor) ShowSelectionTime(links_.device, device_, sequencer_.Waiting(), *links_.cursor);
      return true;
    case CM_MIDITITLE:
      if (list.Count() > 0) {
        ShowMidiTitle(*links_.device.fs, *links_.device.notifier, list.PathAt(list.Focus()));
      }
      return true;
    default:
      return false;
  }
}

MidiResetSettings Player::ResetSettings() const {
  const app::Settings& s = *links_.device.settings;
  return MidiResetSettings{s.resetOn, s.resetGs, s.deviceId};
}

void Player::SetResetSettings(const MidiResetSettings& r) {
  app::Settings& s = *links_.device.settings;
  s.resetOn = r.on;
  s.resetGs = r.gs;
  s.deviceId = r.deviceId;
}

}  // namespace playback
