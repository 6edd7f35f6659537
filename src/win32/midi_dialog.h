// The MIDI reset settings dialog (command 134).
#pragma once

#include "win32/wnd/dialog.h"

#include "playback/midi_tools.h"

class TMidiDialog : public wnd::Dialog {
 public:
  explicit TMidiDialog(playback::MidiResetSettings* settings)
      : wnd::Dialog(6), settings_(settings) {}

 protected:
  bool OnInitDialog() override;
  bool CanClose() override;

 private:
  playback::MidiResetSettings* settings_;
};
