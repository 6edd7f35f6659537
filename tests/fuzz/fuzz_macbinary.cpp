// The MacBinary header test and the conversion of arbitrary files through the
// tests' in-memory file system.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fakes/fake_filesystem.h"
#include "playback/macbinary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t length = 0;
  bool header = playback::ParseMacBinaryHeader(data, size, &length);
  if (header && (length == 0 || length >= playback::kMaxDataFork)) __builtin_trap();

  FakeFileSystem fs;
  fs.AddDir(fs.tempDir);
  fs.AddFile("c:\\in\\x.mid", std::string(reinterpret_cast<const char*>(data), size));
  std::string temp;
  int32_t code = playback::ConvertMacBinary(fs, "c:\\in\\x.mid", {}, &temp);
  std::vector<platform::FileInfo> left;
  fs.ListDirectory(fs.tempDir, &left);
  if (code == playback::kMacConverted) {
    std::string out = fs.Contents(temp);
    if (!header || out.size() != length || std::memcmp(out.data(), data + 128, length) != 0) {
      __builtin_trap();
    }
  } else if (!left.empty()) {
    __builtin_trap();  // a failed conversion leaves nothing behind
  }
  return 0;
}
