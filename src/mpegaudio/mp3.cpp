// TMP3: drives the stream reader, the granule decoder and the filterbank
// frame by frame, and writes the frames' samples in the stream's output
// format: what is heard after a seek, the gapless trim, mono doubled.
#include "mpegaudio/mp3.h"

#include <cstring>

#include "mpegaudio/kernels.h"

#if defined(CORVELLA_SSE2)
#include <emmintrin.h>
#endif

namespace mpegaudio {

void TMP3::Scan(platform::File* file, MP3Info* info) {
  reader_.Scan(file, info->fileSize);
  info->sampleRate = reader_.SampleRate();
  info->lengthMs = reader_.LengthMs();
  info->usPerFrame = reader_.MicrosecondsPerFrame();
}

void TMP3::EmitFrame(uint32_t start, bool decoded) {
  const StreamReader& s = reader_;
  const uint32_t perFrame = uint32_t(header_.granules) * 576;
  if (!indexKnown_) {
    if (start < dropBefore_) {
      if (decoded) warm_ = true;
      runUp_ = true;
      return;  // run-up to a seek target: decoded, not heard
    }
    indexKnown_ = true;
    const uint32_t bytes = s.AudioEnd() - s.AudioStart();
    if (s.UsesToc() || !bytes || !s.TotalFrames()) {
      frameIndex_ = heardFrom_;
      approxIndex_ = s.UsesToc() && heardFrom_ > 0;
    } else {
      frameIndex_ = uint32_t(double(start - s.AudioStart()) * s.TotalFrames() / bytes + 0.5);
    }
    heardFrom_ = frameIndex_;
  }
  uint32_t index = frameIndex_++;
  const bool cold = !warm_;
  if (decoded) warm_ = true;
  if (index < heardFrom_) runUp_ = true;
  if (!decoded || index < heardFrom_) return;

  uint32_t first = 0, last = perFrame;  // the part heard, in samples per channel
  if (s.Trims()) {
    bool trim = true;
    if (approxIndex_) {
      // A coarse index must not cut real audio: only the true last frame
      // loses its padding.
      trim = uint64_t(start) + uint32_t(header_.frameBytes) >= s.AudioEnd();
      if (trim) index = s.TotalFrames() - 1;
    }
    if (trim) {
      const uint64_t at = uint64_t(index) * perFrame;
      const uint64_t begin = s.SkipStart(), end = s.SkipStart() + s.KeepSamples();
      if (at + perFrame <= begin || at >= end) return;
      if (at < begin) first = uint32_t(begin - at);
      if (at + perFrame > end) last = uint32_t(end - at);
    }
  }
  const int outChannels = s.OutputChannels();
  const int channels = header_.channels;
  const uint32_t n = (last - first) * uint32_t(outChannels);
  if (!output_ || sampleCount_ + n > outputCapacity_) return;
  int16_t* out = output_ + sampleCount_;
  const int16_t* in = scratch_ + first * uint32_t(channels);
  if (cold) {
    // The first frame after a lost sync has no true predecessor in the
    // filterbank: silence rather than a click.
    std::memset(out, 0, n * sizeof *out);
  } else if (channels == outChannels) {
    std::memcpy(out, in, n * sizeof *out);
  } else if (outChannels == 2) {
    for (uint32_t i = 0; i < last - first; ++i) out[2 * i] = out[2 * i + 1] = in[i];
  } else {
    // A stereo frame the scan did not see (past a lost step): mixed down.
    for (uint32_t i = 0; i < last - first; ++i) out[i] = int16_t((int32_t(in[2 * i]) + in[2 * i + 1]) / 2);
  }
  sampleCount_ += n;
  granuleCount_ += uint32_t(header_.granules * outChannels);
}

uint64_t TMP3::TotalSamples() const {
  const StreamReader& s = reader_;
  return s.Trims() ? s.KeepSamples() : uint64_t(s.TotalFrames()) * (s.Lsf() ? 576 : 1152);
}

void TMP3::Begin(platform::File* file) {
  ResetSynthesis();
  frameIndex_ = 0;
  heardFrom_ = 0;
  indexKnown_ = true;
  approxIndex_ = false;
  warm_ = true;
  reader_.Start(file, file ? reader_.AudioStart() : 0);
}

void TMP3::Seek(int32_t frameIndex) {
  ResetSynthesis();
  const uint32_t f = frameIndex < 0 ? 0 : uint32_t(frameIndex);
  heardFrom_ = f;
  indexKnown_ = true;
  approxIndex_ = false;
  const StreamReader::SeekPoint p = reader_.SeekTo(f);
  if (!p.moved || p.pastEnd) return;
  if (p.indexKnown) {
    frameIndex_ = p.index;
  } else {
    indexKnown_ = false;
    dropBefore_ = p.target;
  }
  warm_ = p.fromStart;
}

void TMP3::SetOutput(int16_t* buffer, uint32_t capacity) {
  output_ = buffer;
  outputCapacity_ = capacity;
}

int TMP3::DecodeFrame() {
  // The run-up to a seek target is decoded unheard within this call.
  for (;;) {
    runUp_ = false;
    const int produced = DecodeNext();
    if (!runUp_ || reader_.EndOfFile()) return produced;
  }
}

int TMP3::DecodeNext() {
  granuleError_ = false;
  const StreamReader::Frame frame = reader_.NextFrame();
  if (frame == StreamReader::Frame::kNone) return 0;
  const uint32_t start = reader_.FrameStart();
  header_ = reader_.Header();
  switch (frame) {
    case StreamReader::Frame::kReady:
      break;
    case StreamReader::Frame::kMissing:
      EmitFrame(start, false);
      return 0;
    case StreamReader::Frame::kBad:
      warm_ = false;  // what follows the lost sync starts cold
      EmitFrame(start, false);
      return 0;
    default:
      return 0;
  }
  // The granules go to a frame-sized scratch buffer; EmitFrame moves them
  // to the caller's buffer in the stream's format.
  DecodeGranules(scratch_);
  granuleError_ = granules_.FrameError();
  EmitFrame(start, true);
  return 1;
}

void TMP3::DecodeGranules(int16_t* out) {
  const int nch = header_.channels;
  granules_.SetFrame(header_, reader_.Side());
  for (int gr = 0; gr < header_.granules; ++gr) {
    granules_.DecodeGranule(gr, reader_.MainData());
    filterbank_.Synthesize(nch, granules_.Subbands(), pcm_);
    StoreGranule(out + gr * 576 * nch);
  }
}

void TMP3::ResetSynthesis() {
  filterbank_.Reset();
  granules_.Reset();
}

void TMP3::StoreGranule(int16_t* out) const {
  if (header_.channels == 1) {
    std::memcpy(out, pcm_[0], sizeof pcm_[0]);
    return;
  }
#if defined(CORVELLA_SSE2)
  for (int i = 0; i < 576; i += 8) {
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pcm_[0] + i));
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pcm_[1] + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi16(l, r));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 8), _mm_unpackhi_epi16(l, r));
  }
#else
  for (int i = 0; i < 576; ++i) out[2 * i] = pcm_[0][i], out[2 * i + 1] = pcm_[1][i];
#endif
}

}  // namespace mpegaudio
