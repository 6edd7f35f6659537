// MIDI files wrapped in MacBinary: the header test and the copy of the data
// fork into a temporary ".mid" file the sequencer device accepts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files.h"

namespace playback {

constexpr size_t kMacBinaryHeader = 128;
constexpr uint32_t kMaxDataFork = 0x800000;

// True when the 128 header bytes look like MacBinary; *dataLength gets the
// data fork's length (1 .. 8388607).
bool ParseMacBinaryHeader(const uint8_t* header, size_t size, uint32_t* dataLength);

enum MacBinaryResult : int32_t {
  kMacConverted = 0,
  kMacNotMacBinary = 1,
  kMacNoTempName = 2,
  kMacDamaged = 3,
  kMacWriteFailed = 4,
};

struct MacBinaryOptions {
  bool shortNames = false;   // 8.3 platform: the name part is cut to 6 bytes for "_N" names
  std::string resumePath;    // its directory stands in when there is no temporary path
};

// The temporary name for a wrapped file, or "" when every candidate exists.
std::string MacBinaryTempName(platform::FileSystem& fs, const std::string& path,
                              const MacBinaryOptions& options);

// Converts path; on kMacConverted *tempPath names the new file.
int32_t ConvertMacBinary(platform::FileSystem& fs, const std::string& path,
                         const MacBinaryOptions& options, std::string* tempPath);

// The message for codes 2..4 ("" for the others, which show the device error).
const char* MacBinaryMessage(int32_t code);

}  // namespace playback
