// System-exclusive messages to the MIDI mapper; the names of the MIDI outputs.
#pragma once

#include "platform/midi_out.h"

class WinMidiOut : public platform::MidiOut {
 public:
  bool SendSysEx(const uint8_t* bytes, size_t length) override;
  std::vector<std::string> OutputNames() override;
};
