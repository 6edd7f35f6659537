// The main window's test of an MPEG audio file before it is played or its
// length is added up.
#pragma once

#include <string>

#include "mpegaudio/mp3.h"
#include "platform/files.h"

namespace mpegaudio {

// Returns 1 when the file can be played; info then holds its file size,
// sample rate, length in milliseconds and microseconds per frame. Returns 0
// with the text to show in *message (at most 1023 bytes, the caller's
// 1024-byte buffer) otherwise.
int CheckMP3File(platform::FileSystem& fs, TMP3& decoder, const std::string& path, MP3Info* info,
                 std::string* message);

}  // namespace mpegaudio
