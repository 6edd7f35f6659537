// The MIDI title search on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "playback/midi_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string title;
  playback::TitleResult r = playback::FindMidiTitle(data, size, &title);
  if (title.size() > playback::kMaxTitleBytes) __builtin_trap();
  if (r != playback::TitleResult::kFound && !title.empty()) __builtin_trap();
  return 0;
}
