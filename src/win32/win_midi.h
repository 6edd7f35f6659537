// System-exclusive messages to the MIDI mapper.
#pragma once

#include "platform/midi_out.h"

class WinMidiOut : public platform::MidiOut {
 public:
  bool SendSysEx(const uint8_t* bytes, size_t length) override;
};
