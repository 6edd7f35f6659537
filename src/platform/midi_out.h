// MIDI output on the platform's MIDI mapper, used for the system-exclusive
// reset of the sound module; and the list of the system's MIDI outputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class MidiOut {
 public:
  virtual ~MidiOut() = default;
  // Sends one system-exclusive message and returns when it has gone out (or
  // after about two seconds). A missing or busy device sends nothing and
  // reports nothing: false is only for the caller's curiosity.
  virtual bool SendSysEx(const uint8_t* bytes, size_t length) = 0;
  // The names of the MIDI output devices, the mapper not counted.
  virtual std::vector<std::string> OutputNames() = 0;
};

}  // namespace platform
