// What the player derives from an entry's path and length before opening
// it: the medium flags, the CD track number, the MPEG driver kind, the
// slider divisor and the CD track text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "songlist/media.h"
#include "platform/mci.h"

namespace playback {

struct MediumFlags {
  bool video = false;      // .avi .jpg .mov .mpg .dat
  bool still = false;      // .jpg
  bool qtOrMpeg = false;   // .mov .mpg .dat
  bool mpegVideo = false;  // .mpg .dat
  bool midi = false;       // .mid
  bool cd = false;         // .acd .cda
  bool mp3 = false;        // .mp3
};
MediumFlags FlagsOf(std::string_view path);

// The list's own rule decides a CD entry's track, so that what it accepts plays.
using songlist::CdTrackNumber;

// How MIDI songs sound: through the MIDI sequencer device to a MIDI output,
// or, where no output makes a sound, through the MPEG video device, whose
// decoders include a software synthesizer.
enum class MidiRoute { kSequencer, kSynthesizer };
// From the names of the system's MIDI outputs: none at all, or only loop-back
// ports ("Midi Through") that pass the notes on to nothing, means no sound
// would come out of the sequencer.
MidiRoute ChooseMidiRoute(const std::vector<std::string>& outputNames);

// Opens a file on the media device its extension is mapped to. MPEG films
// also go by ".dat" (Video CD), which not every system maps: such a film then
// opens on the MPEG video device by name. A MIDI song goes where `midi` says;
// `refused` (when given) tells whether the synthesizer refused a file that the
// sequencer reads as a MIDI song.
uint32_t OpenMedium(platform::Mci& mci, const std::string& element, platform::VideoPlacement window,
                    platform::MciDevice* id, MidiRoute midi, bool* refused = nullptr);

// Driver kinds that need their own handling, from the driver's product name.
enum : int32_t {
  kDriverNone = 0,
  kDriverActiveMovie = 1,
  kDriverSoftPeg = 2,  // its seeks are inexact
  kDriverXing = 3,
  kDriverOther = 256,
};
int32_t MpegDriverKind(std::string_view product);

// Milliseconds per slider step for a length, and the slider's range and page.
uint32_t SliderDivisor(uint32_t lengthMs);
struct SliderSetup {
  uint32_t divisor;
  int32_t max;
  int32_t page;
};
SliderSetup SliderFor(uint32_t lengthMs);

// True when the path holds a "$" that is not part of "$$" (CD entry names
// carry their track tag that way).
bool HasSingleDollar(std::string_view path);
// The status-bar text of a playing CD track: after the name case mode, or in
// katakana when the list font is a Shift-JIS one.
std::string CdTrackText(uint32_t track, int32_t caseMode, int32_t charset);

}  // namespace playback
