// CD player title file: whatever it holds, every track path fits a list slot
// and still ends in its number and ".acd".
#include <cstddef>
#include <cstdint>
#include <string>

#include "playback/medium.h"
#include "songlist/audio_cd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  // The first line names the section, as a media identity would.
  const std::string identity = text.substr(0, text.find('\n'));
  songlist::CdDisc disc;
  disc.tracks = 20;
  disc.titles.Load(text, songlist::DiscIdentifier(identity));
  int track = 0;
  for (const std::string& path : songlist::CdTrackPaths("c:\\", disc)) {
    ++track;
    if (path.size() > 259) __builtin_trap();
    if (path.compare(path.size() - 4, 4, ".acd") != 0) __builtin_trap();
    if (playback::CdTrackNumber(path) != static_cast<uint32_t>(track)) __builtin_trap();
  }
  return 0;
}
