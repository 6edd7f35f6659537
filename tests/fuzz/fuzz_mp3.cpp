// The MP3 decoder on arbitrary bytes: the open-time scan, then decoding of
// the whole input, then a seek into the middle and more decoding.
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
  uint32_t frames = 0;
  while (!dec->EndOfFile() && frames < 100000) {
    if (dec->GranuleCount() >= 6) dec->ResetCounts();
    dec->SetOutput(pcm, sizeof pcm / sizeof pcm[0]);
    dec->DecodeFrame();
    ++frames;
  }
  if (dec->TotalFrames() > 2) {
    dec->Seek(int32_t(dec->TotalFrames() / 2));
    for (int i = 0; i < 4 && !dec->EndOfFile(); ++i) {
      dec->ResetCounts();
      dec->SetOutput(pcm, sizeof pcm / sizeof pcm[0]);
      dec->DecodeFrame();
    }
  }
  return 0;
}
