// Records the system-exclusive messages sent.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/midi_out.h"

struct FakeMidiOut : platform::MidiOut {
  std::vector<std::vector<uint8_t>> sent;
  bool SendSysEx(const uint8_t* bytes, size_t length) override {
    sent.emplace_back(bytes, bytes + length);
    return true;
  }
};
