// MIDI output on the platform's MIDI mapper, used only for the system-
// exclusive reset of the sound module.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

class MidiOut {
 public:
  virtual ~MidiOut() = default;
  // Sends one system-exclusive message and returns when it has gone out (or
  // after about two seconds). A missing or busy device sends nothing and
  // reports nothing: false is only for the caller's curiosity.
  virtual bool SendSysEx(const uint8_t* bytes, size_t length) = 0;
};

}  // namespace platform
