// Records the system-exclusive messages sent; lists the outputs it is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/midi_out.h"

struct FakeMidiOut : platform::MidiOut {
  std::vector<std::vector<uint8_t>> sent;
  std::vector<std::string> outputs{"Synth"};
  int listed = 0;
  bool SendSysEx(const uint8_t* bytes, size_t length) override {
    sent.emplace_back(bytes, bytes + length);
    return true;
  }
  std::vector<std::string> OutputNames() override {
    ++listed;
    return outputs;
  }
};
