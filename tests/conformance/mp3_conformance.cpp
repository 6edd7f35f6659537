// Decodes an MPEG audio file with the player's decoder and compares the
// result sample by sample with a reference: the reference decoder's PCM of
// a compliance bitstream, or libmpg123's decoding of the same file.
//
//   mp3_conformance vector IN.bit REF.pcm
//   mp3_conformance mpg123 IN.mp3
//   mp3_conformance twin IN.mp3 TWIN.mp3   (two codings of one spectrum)
//
// Prints the largest difference and the RMS difference in LSB; fails when a
// sample is off by more than 1 LSB or the RMS reaches 0.289 LSB.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "mpegaudio/mp3.h"
#include "platform/stdio_files.h"

#if defined(HAVE_MPG123)
#include <mpg123.h>
#endif

namespace {

bool Decode(const std::string& path, std::vector<int16_t>* pcm, int* channels) {
  std::unique_ptr<platform::StdioFile> file = platform::StdioFile::Open(path, "rb");
  if (!file) return false;
  mpegaudio::TMP3 dec;
  mpegaudio::MP3Info info;
  info.fileSize = uint32_t(file->Size());
  dec.Scan(file.get(), &info);
  dec.Begin(file.get());
  int16_t frame[2 * 1152];
  while (!dec.EndOfFile()) {
    dec.ResetCounts();
    dec.SetOutput(frame, 2 * 1152);
    dec.DecodeFrame();
    pcm->insert(pcm->end(), frame, frame + dec.SampleCount());
  }
  *channels = dec.Channels();
  return true;
}

bool ReadPcm(const std::string& path, std::vector<int16_t>* pcm) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t b[2];
  while (std::fread(b, 1, 2, f) == 2) pcm->push_back(int16_t(uint16_t(b[0] | (b[1] << 8))));
  std::fclose(f);
  return true;
}

// Reference samples left out of the comparison: libmpg123 starts its
// filterbank afresh where the channel count changes (joined songs); the
// standard's decoder, and ours, carry it on.
std::vector<std::pair<size_t, size_t>> gUncompared;

#if defined(HAVE_MPG123)
bool DecodeMpg123(const std::string& path, std::vector<int16_t>* pcm, int* channels) {
  mpg123_init();
  mpg123_handle* mh = mpg123_new(nullptr, nullptr);
  if (!mh) return false;
  mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
  mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
  if (mpg123_open(mh, path.c_str()) != MPG123_OK) return false;
  long rate;
  int enc;
  int now = 0;  // channels of the frames coming now
  *channels = 1;
  std::vector<std::pair<int, std::vector<int16_t>>> frames;
  for (;;) {
    off_t num;
    unsigned char* audio;
    size_t bytes;
    const int err = mpg123_decode_frame(mh, &num, &audio, &bytes);
    if (err == MPG123_NEW_FORMAT) {
      mpg123_getformat(mh, &rate, &now, &enc);
      if (now == 2) *channels = 2;
      continue;
    }
    if (err != MPG123_OK) break;
    const int16_t* s = reinterpret_cast<const int16_t*>(audio);
    const size_t n = bytes / 2;
    frames.emplace_back(now, std::vector<int16_t>(s, s + n));
  }
  // Joined files: stereo when any part is, its mono frames doubled, as ours.
  int previous = 0;
  for (const auto& f : frames) {
    const size_t at = pcm->size();
    if (previous && f.first != previous) gUncompared.emplace_back(at, at + size_t(1152 * *channels));
    previous = f.first;
    if (f.first == *channels) {
      pcm->insert(pcm->end(), f.second.begin(), f.second.end());
    } else {
      for (int16_t v : f.second) pcm->insert(pcm->end(), {v, v});
    }
  }
  mpg123_close(mh);
  mpg123_delete(mh);
  mpg123_exit();
  return true;
}
#endif

struct Difference {
  int maxAbs = 0;
  size_t worstAt = 0;  // sample index (ours) of the largest difference
  double rms = 0;
  size_t count = 0;
};

Difference Compare(const std::vector<int16_t>& a, size_t aStart, const std::vector<int16_t>& b, size_t bStart,
                   size_t limit) {
  Difference d;
  double sum = 0;
  size_t n = std::min(a.size() - std::min(a.size(), aStart), b.size() - std::min(b.size(), bStart));
  if (limit && n > limit) n = limit;
  for (size_t i = 0; i < n; ++i) {
    bool skip = false;
    for (const auto& r : gUncompared) skip = skip || (bStart + i >= r.first && bStart + i < r.second);
    if (skip) continue;
    const int diff = std::abs(int(a[aStart + i]) - int(b[bStart + i]));
    if (diff > d.maxAbs) d.maxAbs = diff, d.worstAt = aStart + i;
    sum += double(diff) * diff;
  }
  d.count = n;
  d.rms = n ? std::sqrt(sum / double(n)) : 0;
  return d;
}

int Report(const std::string& name, const std::vector<int16_t>& ours, const std::vector<int16_t>& ref, int channels) {
  // A decoder may emit silence, or nothing, for frames whose main data lies
  // before the start of the stream: try whole-granule offsets either way.
  const size_t granule = size_t(576) * size_t(channels);
  size_t bestOurs = 0, bestRef = 0;
  double bestScore = -1;
  for (int k = -8; k <= 8; ++k) {
    const size_t oStart = k > 0 ? size_t(k) * granule : 0;
    const size_t rStart = k < 0 ? size_t(-k) * granule : 0;
    const Difference d = Compare(ours, oStart, ref, rStart, 200000);
    if (d.count == 0) continue;
    const double score = d.rms;
    if (bestScore < 0 || score < bestScore) {
      bestScore = score;
      bestOurs = oStart;
      bestRef = rStart;
    }
  }
  const Difference d = Compare(ours, bestOurs, ref, bestRef, 0);
  const long lengthDiff = long(ours.size() - bestOurs) - long(ref.size() - bestRef);
  std::printf("%s: max |difference| %d LSB, RMS %.4f LSB over %zu samples (offset ours %zu, reference %zu, "
              "length difference %ld; largest at frame %zu)\n",
              name.c_str(), d.maxAbs, d.rms, d.count, bestOurs, bestRef, lengthDiff,
              d.worstAt / (2 * granule));
  bool ok = d.count > 0 && d.maxAbs <= 1 && d.rms < 0.289;
  // The two may differ by the last frame at most.
  if (std::labs(lengthDiff) > long(2 * granule)) {
    std::printf("%s: lengths differ by more than a frame\n", name.c_str());
    ok = false;
  }
  std::printf("%s\n", ok ? "PASS" : "FAIL");
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "vector") == 0) {
    std::vector<int16_t> ours, ref;
    int channels = 0;
    if (!Decode(argv[2], &ours, &channels) || !ReadPcm(argv[3], &ref)) {
      std::fprintf(stderr, "cannot read %s or %s\n", argv[2], argv[3]);
      return 1;
    }
    return Report(argv[2], ours, ref, channels);
  }
  if (argc >= 4 && std::strcmp(argv[1], "twin") == 0) {
    std::vector<int16_t> ours, twin;
    int channels = 0, twinChannels = 0;
    if (!Decode(argv[2], &ours, &channels) || !Decode(argv[3], &twin, &twinChannels) || ours.empty()) {
      std::fprintf(stderr, "cannot decode %s or %s\n", argv[2], argv[3]);
      return 1;
    }
    if (ours.size() != twin.size()) {
      std::printf("%s: %zu samples, twin %zu\nFAIL\n", argv[2], ours.size(), twin.size());
      return 1;
    }
    return Report(argv[2], ours, twin, channels);
  }
#if defined(HAVE_MPG123)
  if (argc >= 3 && std::strcmp(argv[1], "mpg123") == 0) {
    std::vector<int16_t> ours, ref;
    int channels = 0, refChannels = 0;
    if (!Decode(argv[2], &ours, &channels) || !DecodeMpg123(argv[2], &ref, &refChannels)) {
      std::fprintf(stderr, "cannot decode %s\n", argv[2]);
      return 1;
    }
    if (channels != refChannels) {
      std::printf("%s: channels %d, libmpg123 %d\nFAIL\n", argv[2], channels, refChannels);
      return 1;
    }
    return Report(argv[2], ours, ref, channels);
  }
#endif
  std::fprintf(stderr, "usage: mp3_conformance vector IN.bit REF.pcm | mpg123 IN.mp3 | twin IN.mp3 TWIN.mp3\n");
  return 2;
}
