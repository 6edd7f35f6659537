// Clipboard text splitter: every line it gives fits a list slot and holds no
// line end or NUL.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "songlist/clip_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  for (const std::string& line : songlist::SplitClipboardText(in)) {
    if (line.empty() || line.size() > 259) abort();
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) abort();
  }
  return 0;
}
