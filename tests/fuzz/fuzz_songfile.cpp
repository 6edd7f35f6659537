// Song-name file reader: whatever the bytes, a list it accepts must keep the
// list's invariants (bounded count, a permutation, positions inside).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "songlist/songfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<songlist::ListState> state(new songlist::ListState());
  songlist::ResumeKeys keys;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  if (!songlist::ParseSongFile(in, state.get(), &keys)) return 0;
  const songlist::ListState& s = *state;
  if (s.count < 0 || s.count > songlist::kMaxEntries) abort();
  std::vector<bool> seen(s.count, false);
  int selected = 0;
  for (int i = 0; i < s.count; ++i) {
    if (s.order[i] < 0 || s.order[i] >= s.count || seen[s.order[i]]) abort();
    seen[s.order[i]] = true;
    if (strnlen(s.path[i], songlist::kPathBytes) >= static_cast<size_t>(songlist::kPathBytes)) abort();
    if (s.flags[i] & ~0x101u) abort();
    if (s.flags[i] & songlist::kSelected) ++selected;
  }
  if (selected != s.selected) abort();
  if (s.count > 0 && (s.current < 0 || s.current >= s.count)) abort();
  if (s.anchor < -1 || s.anchor >= s.count) abort();
  if (s.firstColumn < 0) abort();
  return 0;
}
