// The sound-module reset sent before MIDI songs, its settings dialog's
// rules, and the MIDI title command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/midi_out.h"
#include "platform/notify.h"

namespace playback {

// GS reset (device id 1..32 goes into the third byte as id - 1) or the
// General MIDI System On.
std::vector<uint8_t> ResetMessage(bool gs, int32_t deviceId);

struct MidiResetSettings {
  bool on = true;
  bool gs = true;
  int32_t deviceId = 17;
};

// Sends the reset when the path is a ".mid" file and the reset is on.
void ResetBeforePlay(platform::MidiOut& out, const std::string& path,
                     const MidiResetSettings& s);

// OK of the reset settings dialog: check box, radio "GM System On" and the
// device id edit text (at most 3 characters; kept only when 1..32).
void ApplyResetDialog(bool checkOn, bool gmChecked, const std::string& deviceIdText,
                      MidiResetSettings* s);

enum class TitleResult { kFound, kNoHeader, kNoTitle };
constexpr size_t kMaxTitleBytes = 400;

// The plain byte search for the first sequence/track name after "MThd" and
// "MTrk". next() returns the next byte, or -1 at the end.
TitleResult FindMidiTitle(const std::function<int()>& next, std::string* title);
TitleResult FindMidiTitle(const uint8_t* data, size_t size, std::string* title);

// Command 146 on the file at path: shows the title or why there is none.
void ShowMidiTitle(platform::FileSystem& fs, platform::Notifier& notifier,
                   const std::string& path);

}  // namespace playback
