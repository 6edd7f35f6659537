// mp3dec: decode an MPEG audio Layer III file with the player's own decoder.
//
//   mp3dec IN.mp3 OUT.wav        16-bit WAV
//   mp3dec --raw IN.mp3 OUT.pcm  raw 16-bit little-endian, interleaved
//   mp3dec --info IN.mp3         what the open-time scan found
//   mp3dec --bench IN.mp3        decoding speed (and libmpg123's, if built in)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "mpegaudio/check.h"
#include "mpegaudio/mp3.h"
#include "platform/memory_file.h"
#include "platform/stdio_files.h"

#if defined(__GLIBC__)
#include <iconv.h>
#endif
#if defined(HAVE_MPG123)
#include <mpg123.h>
#endif

using mpegaudio::MP3Info;
using mpegaudio::TMP3;

namespace {

// Messages are Shift-JIS; a Linux terminal wants UTF-8.
void PrintMessage(const std::string& sjis) {
#if defined(__GLIBC__)
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd != (iconv_t)-1) {
    std::string in = sjis;
    std::vector<char> out(in.size() * 4 + 4);
    char* ip = &in[0];
    char* op = out.data();
    size_t il = in.size(), ol = out.size();
    if (iconv(cd, &ip, &il, &op, &ol) != (size_t)-1) {
      std::fprintf(stderr, "%.*s\n", int(op - out.data()), out.data());
      iconv_close(cd);
      return;
    }
    iconv_close(cd);
  }
#endif
  std::fprintf(stderr, "%s\n", sjis.c_str());
}

void Put16(std::vector<uint8_t>* v, uint32_t x) {
  v->push_back(uint8_t(x));
  v->push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>* v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// Decodes the whole (scanned) file into pcm.
void DecodeAll(TMP3& dec, platform::File* file, std::vector<int16_t>* pcm) {
  int16_t frame[2 * 1152];
  dec.Begin(file);
  while (!dec.EndOfFile()) {
    dec.ResetCounts();
    dec.SetOutput(frame, 2 * 1152);
    dec.DecodeFrame();
    pcm->insert(pcm->end(), frame, frame + dec.SampleCount());
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: mp3dec IN.mp3 OUT.wav\n"
               "       mp3dec --raw IN.mp3 OUT.pcm\n"
               "       mp3dec --info IN.mp3\n"
               "       mp3dec --bench IN.mp3\n");
  return 2;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

#if defined(HAVE_MPG123)
// Decodes the in-memory file with libmpg123; returns samples per channel.
uint64_t DecodeMpg123(const std::string& data, int* rate) {
  mpg123_handle* mh = mpg123_new(nullptr, nullptr);
  if (!mh) return 0;
  mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
  mpg123_open_feed(mh);
  mpg123_feed(mh, reinterpret_cast<const unsigned char*>(data.data()), data.size());
  uint64_t samples = 0;
  int channels = 2, enc = 0;
  long r = 0;
  for (;;) {
    off_t num;
    unsigned char* audio;
    size_t bytes;
    const int err = mpg123_decode_frame(mh, &num, &audio, &bytes);
    if (err == MPG123_NEW_FORMAT) {
      mpg123_getformat(mh, &r, &channels, &enc);
      continue;
    }
    if (err != MPG123_OK) break;
    samples += bytes / 2 / uint64_t(channels);
  }
  *rate = int(r);
  mpg123_delete(mh);
  return samples;
}
#endif

int Bench(const std::string& path) {
  platform::StdioFileSystem fs;
  std::string data;
  if (!fs.ReadWholeFile(path, &data)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  TMP3 dec;
  MP3Info info;
  info.fileSize = uint32_t(data.size());
  platform::MemoryFile file(data.data(), data.size());
  dec.Scan(&file, &info);
  if (info.sampleRate == 0) return 1;

  std::vector<int16_t> pcm;
  pcm.reserve(size_t(info.lengthMs + 1000) * info.sampleRate / 1000 * 2);
#if defined(HAVE_MPG123)
  mpg123_init();
#endif
  // Alternate the two decoders so that both see the same machine load.
  int runs = 0;
  double oursAudio = 0, oursTime = 0, theirTime = 0;
#if defined(HAVE_MPG123)
  double theirAudio = 0;
#endif
  using Clock = std::chrono::steady_clock;
  while ((oursTime < 3.0 || theirTime < 3.0) && runs < 1000) {
    auto t0 = Clock::now();
    pcm.clear();
    DecodeAll(dec, &file, &pcm);
    oursTime += Seconds(Clock::now() - t0);
    oursAudio += double(pcm.size()) / dec.Channels() / info.sampleRate;
#if defined(HAVE_MPG123)
    t0 = Clock::now();
    int rate = 0;
    const uint64_t n = DecodeMpg123(data, &rate);
    theirTime += Seconds(Clock::now() - t0);
    if (rate) theirAudio += double(n) / rate;
#else
    theirTime = oursTime;
#endif
    ++runs;
  }
  const double ours = oursAudio / oursTime;
  std::printf("ours:      %.1fx real time (%d runs, %.2f s)\n", ours, runs, oursTime);
#if defined(HAVE_MPG123)
  const double theirs = theirTime > 0 ? theirAudio / theirTime : 0;
  std::printf("libmpg123: %.1fx real time (%d runs, %.2f s)\n", theirs, runs, theirTime);
  if (theirs > 0) std::printf("ratio ours/libmpg123: %.3f\n", ours / theirs);
  mpg123_exit();
#else
  std::printf("libmpg123: not built in\n");
#endif
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string mode = "wav";
  int arg = 1;
  if (std::strcmp(argv[1], "--raw") == 0) mode = "raw", arg = 2;
  else if (std::strcmp(argv[1], "--info") == 0) mode = "info", arg = 2;
  else if (std::strcmp(argv[1], "--bench") == 0) mode = "bench", arg = 2;
  const std::string in = argv[arg];
  if (mode == "bench") return Bench(in);

  platform::StdioFileSystem fs;
  TMP3 dec;
  MP3Info info;
  std::string message;
  if (!mpegaudio::CheckMP3File(fs, dec, in, &info, &message)) {
    PrintMessage(message);
    return 1;
  }
  if (mode == "info") {
    std::printf("sample rate: %u Hz\nchannels: %d\ntotal frames: %u\nmicroseconds per frame: %u\n"
                "length: %u ms\ntable step: %d\n",
                info.sampleRate, dec.Channels(), dec.TotalFrames(), info.usPerFrame, info.lengthMs,
                int(dec.Stream().TableStep()));
    std::printf("audio bytes: %u to %u\n", dec.Stream().AudioStart(), dec.Stream().AudioEnd());
    const mpegaudio::InfoFrame& h = dec.Stream().Info();
    if (h.present)
      std::printf("header frame: %s, %u frames, %s\n", h.vbr ? "VBR" : "CBR", h.frames,
                  h.hasToc ? "seek table" : "no seek table");
    if (h.hasGapless) std::printf("encoder delay: %u, padding: %u\n", h.delay, h.padding);
    std::printf("samples: %llu\n", static_cast<unsigned long long>(dec.TotalSamples()));
    return 0;
  }
  if (argc < arg + 2) return Usage();
  std::unique_ptr<platform::File> file = fs.OpenRead(in);
  if (!file) {
    PrintMessage("cannot open " + in);
    return 1;
  }
  std::unique_ptr<platform::File> out = fs.Create(argv[arg + 1]);
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", argv[arg + 1]);
    return 1;
  }
  // Streamed: a block of frames at a time goes out, so memory stays small
  // whatever the length of the song.
  const uint32_t channels = uint32_t(dec.Channels());
  std::vector<uint8_t> header;
  auto makeHeader = [&](uint32_t dataBytes) {
    header.clear();
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    Put32(&header, 36 + dataBytes);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(&header, 16);
    Put16(&header, 1);
    Put16(&header, channels);
    Put32(&header, info.sampleRate);
    Put32(&header, info.sampleRate * channels * 2);
    Put16(&header, channels * 2);
    Put16(&header, 16);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    Put32(&header, dataBytes);
  };
  const uint64_t expected = dec.TotalSamples() * channels * 2;
  const uint32_t expectedBytes = expected > 0xFFFFFFF0u ? 0xFFFFFFF0u : uint32_t(expected);
  bool ok = true;
  if (mode == "wav") {
    makeHeader(expectedBytes);
    ok = out->Write(header.data(), header.size());
  }
  constexpr uint32_t kBlock = 32 * 2 * 1152;  // 32 frames of stereo
  std::vector<int16_t> pcm(kBlock + 2 * 1152);
#if !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__)
  std::vector<uint8_t> bytes(pcm.size() * 2);
#endif
  uint64_t written = 0;
  dec.Begin(file.get());
  while (ok && !dec.EndOfFile()) {
    dec.ResetCounts();
    dec.SetOutput(pcm.data(), uint32_t(pcm.size()));
    while (!dec.EndOfFile() && dec.SampleCount() < kBlock) dec.DecodeFrame();
    const uint32_t n = dec.SampleCount();
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    ok = out->Write(pcm.data(), size_t(n) * 2);  // already little-endian
#else
    for (uint32_t i = 0; i < n; ++i) {
      bytes[2 * i] = uint8_t(uint16_t(pcm[i]));
      bytes[2 * i + 1] = uint8_t(uint16_t(pcm[i]) >> 8);
    }
    ok = out->Write(bytes.data(), size_t(n) * 2);
#endif
    written += uint64_t(n) * 2;
  }
  // The length was an estimate for a file without a header frame: put the
  // true one in where the output can be rewritten.
  if (ok && mode == "wav" && written != expectedBytes && out->Seek(0)) {
    makeHeader(written > 0xFFFFFFF0u ? 0xFFFFFFF0u : uint32_t(written));
    ok = out->Write(header.data(), header.size());
  }
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", argv[arg + 1]);
    return 1;
  }
  return 0;
}
