// What surrounds the audio frames of an MP3 file: tags at either end, and the
// header frame some encoders put first (frame count, seek table, the
// encoder's delay and padding).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/files.h"

namespace mpegaudio {

// The bytes between the tags: [start, end).
struct AudioRegion {
  uint32_t start = 0;
  uint32_t end = 0;
};

// Skips ID3v2 tags at the start and strips ID3v1, APE, Lyrics3 and appended
// ID3v2 tags from the end. A tag whose size does not fit in the file is not
// taken for a tag; the frame search then copes with its bytes. Leaves the
// file position undefined.
AudioRegion FindAudioRegion(platform::File* file, uint32_t fileSize);

// Contents of a Xing/Info or VBRI header frame.
struct InfoFrame {
  bool present = false;
  bool vbr = false;          // "Xing" or "VBRI"; "Info" marks a constant bitrate
  uint32_t frames = 0;       // audio frames after this one; 0 when not given
  uint32_t bytes = 0;        // stream bytes from this frame on; 0 when not given
  bool hasToc = false;       // toc holds a usable (non-decreasing) table
  uint8_t toc[100] = {};
  bool hasGapless = false;   // delay and padding come from an encoder tag
  uint32_t delay = 0;        // samples the encoder put before the signal
  uint32_t padding = 0;      // samples it put after
};

// Looks for the header in the first frame (n bytes from its first header
// byte). sideBytes is the side information size for that header.
InfoFrame ParseInfoFrame(const uint8_t* frame, size_t n, int sideBytes, bool crc);

}  // namespace mpegaudio
