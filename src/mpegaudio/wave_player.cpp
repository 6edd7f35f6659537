#include "mpegaudio/wave_player.h"

#include <cstring>

#include "text/sjis.h"

namespace mpegaudio {

namespace {

const char kNoMemory[] = "メモリが足りないため、演奏は行いません。";
const char kNoLock[] = "メモリが認識できないため、演奏は行いません。";
const char kNoData[] = "演奏可能なデータがありません。";

}  // namespace

WavePlayer::WavePlayer(TMP3& decoder, platform::FileSystem& fs, platform::WaveOut& out,
                       platform::PlayerHost& host)
    : decoder_(decoder), fs_(fs), out_(out), host_(host) {}

WavePlayer::~WavePlayer() { Close(); }

void WavePlayer::SetMessage(std::string* message, const std::string& text) const {
  if (message) *message = text::CutBytes(text, kMessageLimit);
}

bool WavePlayer::ExpectedDone() const {
  const platform::WaveHeader* h = hdr_[expected_];
  return h != nullptr && platform::HeaderDone(h);
}

int WavePlayer::Open(const std::string& path, std::string* message, MP3Info* info,
                     bool messageMode) {
  Close();
  decoder_.Begin(nullptr);
  file_ = fs_.OpenRead(path);
  if (!file_) {
    SetMessage(message, "ファイル '" + path + "' が開けないため、演奏は行いません。");
    return 0;
  }
  decoder_.Begin(file_.get());

  bool allocated = true;
  for (int i = 0; i < kBuffers; ++i) {
    pcmBlock_[i] = out_.AllocBlock(kBufferBytes);
    allocated = allocated && pcmBlock_[i] != 0;
  }
  for (int i = 0; i < kBuffers; ++i) {
    hdrBlock_[i] = out_.AllocBlock(sizeof(platform::WaveHeader));
    allocated = allocated && hdrBlock_[i] != 0;
  }
  if (!allocated) {
    SetMessage(message, kNoMemory);
    Close();
    return 0;
  }
  bool locked = true;
  for (int i = 0; i < kBuffers; ++i) {
    pcm_[i] = static_cast<int16_t*>(out_.LockBlock(pcmBlock_[i]));
    locked = locked && pcm_[i] != nullptr;
  }
  for (int i = 0; i < kBuffers; ++i) {
    hdr_[i] = static_cast<platform::WaveHeader*>(out_.LockBlock(hdrBlock_[i]));
    if (hdr_[i]) std::memset(hdr_[i], 0, sizeof(platform::WaveHeader));
    locked = locked && hdr_[i] != nullptr;
  }
  if (!locked) {
    SetMessage(message, kNoLock);
    Close();
    return 0;
  }

  const int channels = decoder_.Channels() == 1 ? 1 : 2;
  format_ = platform::WaveFormat();
  format_.channels = static_cast<uint16_t>(channels);
  format_.samplesPerSec = decoder_.SampleRate();
  format_.avgBytesPerSec = decoder_.SampleRate() * uint32_t(channels) * 2;
  format_.blockAlign = static_cast<uint16_t>(channels * 2);
  format_.bitsPerSample = 16;
  uint32_t code = out_.Open(format_, messageMode);
  if (code != 0) {
    SetMessage(message, out_.ErrorText(code));
    Close();
    return 0;
  }
  deviceOpen_ = true;

  for (int32_t& f : last_) f = 0;
  queued_ = 0;
  bool noSamples = false;
  code = QueueInitial(&noSamples);
  if (noSamples || code != 0) {
    SetMessage(message, noSamples ? std::string(kNoData) : out_.ErrorText(code));
    ResetAndUnprepare();
    Close();
    return 0;
  }
  playing_ = 1;
  expected_ = 0;
  current_ = 0;
  error_ = 0;
  active_ = 1;
  if (info) info->waveOut = out_.Handle();
  return 1;
}

int WavePlayer::Restart(int32_t frameIndex, std::string* message) {
  playing_ = 0;
  if (!file_ || !deviceOpen_) {
    // The song already ran out and the player closed itself.
    SetMessage(message, kNoData);
    return 0;
  }
  decoder_.Seek(frameIndex);
  playing_ = 1;
  for (int32_t& f : last_) f = 0;
  bool noSamples = false;
  const uint32_t code = QueueInitial(&noSamples);
  if (noSamples || code != 0) {
    SetMessage(message, noSamples ? std::string(kNoData) : out_.ErrorText(code));
    return 0;
  }
  expected_ = 0;
  current_ = 0;
  error_ = 0;
  return 1;
}

uint32_t WavePlayer::QueueInitial(bool* noSamples) {
  int used = 0;
  for (int i = 0; i < kBuffers; ++i) {
    FillBuffer(i, false);
    if (samples_[i] == 0) {
      // A buffer that found the end with nothing in it is not queued, so the
      // one before it is the last to come back.
      if (i > 0) last_[i - 1] = 1;
      break;
    }
    ++used;
    if (decoder_.EndOfFile()) break;
  }
  *noSamples = used == 0;
  if (used == 0) return 0;
  for (int i = 0; i < used; ++i) {
    const uint32_t code = PrepareBuffer(i);
    if (code != 0) return code;
  }
  for (int i = 0; i < used; ++i) {
    const uint32_t code = out_.Write(hdr_[i]);
    if (code != 0) return code;
    ++queued_;
  }
  return 0;
}

WavePlayer::Fill WavePlayer::FillBuffer(int i, bool threaded) {
  decoder_.SetOutput(pcm_[i], kBufferSamples);
  decoder_.ResetCounts();
  samples_[i] = 0;
  while (!decoder_.EndOfFile() && decoder_.GranuleCount() < kGranuleLimit) {
    decoder_.DecodeFrame();
    if (threaded) {
      if (active_.load() == 0) {
        samples_[i] = decoder_.SampleCount();
        return Fill::kAborted;
      }
      const int32_t t = throttle_.load();
      if (t >= 4) host_.Sleep(uint32_t(t) >> 1);
    }
  }
  samples_[i] = decoder_.SampleCount();
  if (decoder_.EndOfFile()) last_[i] = 1;
  return Fill::kDone;
}

uint32_t WavePlayer::PrepareBuffer(int i) {
  platform::WaveHeader* h = hdr_[i];
  std::memset(h, 0, sizeof *h);
  h->data = reinterpret_cast<char*>(pcm_[i]);
  h->bufferLength = samples_[i] * 2;
  return out_.Prepare(h);
}

void WavePlayer::Advance() {
  current_ = current_ == kBuffers - 1 ? 0 : current_ + 1;
  expected_ = current_;
}

void WavePlayer::UnprepareAll() {
  for (int i = kBuffers - 1; i >= 0; --i)
    if (hdr_[i]) out_.Unprepare(hdr_[i]);
}

void WavePlayer::AwaitHandBack() {
  // Some drivers take a buffer off their queue before a reset and flag it
  // done later from their own thread; a header rewritten meanwhile would be
  // flagged done while queued again, and freed memory would be written to.
  for (int n = 0; n < kHandBackSleeps; ++n) {
    bool held = false;
    for (const platform::WaveHeader* h : hdr_)
      if (h && platform::HeaderHeld(h)) held = true;
    if (!held) return;
    host_.Sleep(1);
  }
}

void WavePlayer::ResetAndUnprepare() {
  out_.Reset();
  AwaitHandBack();
  UnprepareAll();
}

void WavePlayer::ResetOutput() {
  if (!deviceOpen_) return;
  ResetAndUnprepare();
}

void WavePlayer::Stop() {
  playing_ = 0;
  ResetOutput();
  Close();
}

void WavePlayer::Close() {
  if (deviceOpen_) {
    if (out_.Close() != 0) {
      // Still holding buffers: take them back first, the memory goes next.
      ResetAndUnprepare();
      out_.Close();
    }
    deviceOpen_ = false;
  }
  AwaitHandBack();
  for (int i = kBuffers - 1; i >= 0; --i) {
    if (hdr_[i]) out_.UnlockBlock(hdrBlock_[i]);
    hdr_[i] = nullptr;
    if (hdrBlock_[i]) out_.FreeBlock(hdrBlock_[i]);
    hdrBlock_[i] = 0;
  }
  for (int i = kBuffers - 1; i >= 0; --i) {
    if (pcm_[i]) out_.UnlockBlock(pcmBlock_[i]);
    pcm_[i] = nullptr;
    if (pcmBlock_[i]) out_.FreeBlock(pcmBlock_[i]);
    pcmBlock_[i] = 0;
  }
  decoder_.SetOutput(nullptr, 0);
  if (file_) {
    decoder_.Begin(nullptr);
    file_.reset();
  }
}

void WavePlayer::FailOutput(uint32_t code) {
  error_ = 1;
  errorText_ = text::CutBytes(out_.ErrorText(code), kMessageLimit);
  ResetAndUnprepare();
  Close();
  playing_ = 0;
}

int WavePlayer::RefillThreaded() {
  const int i = current_;
  platform::WaveHeader* h = hdr_[expected_];
  if (!h) return 0;
  out_.Unprepare(h);
  h->flags = 0;
  if (last_[i]) {
    Close();
    playing_ = 0;
    return 0;
  }
  if (decoder_.EndOfFile()) {
    Advance();
    return 1;
  }
  if (FillBuffer(i, true) == Fill::kAborted) return 1;
  Advance();
  if (samples_[i] > 0) {
    uint32_t code = PrepareBuffer(i);
    if (code == 0) code = out_.Write(hdr_[i]);
    if (code != 0) {
      FailOutput(code);
      return 0;
    }
  } else if (decoder_.EndOfFile()) {
    last_[i == 0 ? kBuffers - 1 : i - 1] = 1;
  }
  return 1;
}

int WavePlayer::RefillOnMessage() {
  const int i = current_;
  platform::WaveHeader* h = hdr_[expected_];
  if (!h) return 0;
  out_.Unprepare(h);
  if (queued_ > 0) --queued_;
  h->flags = 0;
  if (last_[i]) {
    Close();
    playing_ = 0;
    return 0;
  }
  if (decoder_.EndOfFile()) {
    Advance();
    return 0;
  }
  FillBuffer(i, false);
  Advance();
  // Written even when empty: it comes straight back and ends the song.
  uint32_t code = PrepareBuffer(i);
  if (code == 0) code = out_.Write(hdr_[i]);
  if (code != 0) {
    FailOutput(code);
    return 1;
  }
  ++queued_;
  return 0;
}

}  // namespace mpegaudio
