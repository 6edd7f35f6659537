// The MP3 decoder on arbitrary bytes: the open-time scan (tags, header
// frame), then decoding of the whole input, then seeks and more decoding.
#include <cstddef>
#include <cstdint>

#include "mpegaudio/mp3.h"
#include "platform/memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static mpegaudio::TMP3* dec = new mpegaudio::TMP3();  // reused, as the player reuses its one
  platform::MemoryFile file(data, size);
  mpegaudio::MP3Info info;
  info.fileSize = uint32_t(size);
  dec->Scan(&file, &info);
  dec->Begin(&file);
  int16_t pcm[2 * 1152 * 4];
  // Enough frames for every path of the frame loop; the end of the stream
  // is reached again by the seek to the last frame below.
  uint32_t frames = 0;
  while (!dec->EndOfFile() && frames < 16) {
    if (dec->GranuleCount() >= 6) dec->ResetCounts();
    dec->SetOutput(pcm, sizeof pcm / sizeof pcm[0]);
    dec->DecodeFrame();
    ++frames;
  }
  if (dec->TotalFrames() > 2) {
    // Through the table, the header frame's table or the byte proportion,
    // with the run-up to the target; the last frame's trim.
    const uint32_t n = dec->TotalFrames();
    for (uint32_t target : {uint32_t(data[0]) * n / 256, n - 1}) {
      dec->Seek(int32_t(target));
      for (int i = 0; i < 2 && !dec->EndOfFile(); ++i) {
        dec->ResetCounts();
        dec->SetOutput(pcm, sizeof pcm / sizeof pcm[0]);
        dec->DecodeFrame();
      }
    }
  }
  return 0;
}
