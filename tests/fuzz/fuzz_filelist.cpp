// File-drop list reader: the raw block as the clipboard holds it (20-byte
// header, then byte or 16-bit strings). Paths never exceed a list slot.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "songlist/clip_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  // A stand-in for the code-page conversion: one byte per character, as a
  // double-byte conversion may also lengthen the text.
  auto fromWide = [](std::u16string_view w) {
    std::string out;
    for (char16_t c : w) {
      if (c > 0x7F) out.push_back(static_cast<char>(0x82));
      out.push_back(static_cast<char>(c & 0x7F));
    }
    return out;
  };
  std::vector<std::string> paths;
  if (!songlist::ParseDropFiles(in, fromWide, &paths)) return 0;
  for (const std::string& p : paths) {
    if (p.empty() || p.size() > 259) abort();
  }
  return 0;
}
