#include "fakes/fake_waveout.h"

using platform::WaveHeader;

void FakeWaveOut::Complete(WaveHeader* h) {
  h->flags = (h->flags | platform::kWhdrDone) & ~platform::kWhdrInQueue;
  if (notifyWindow) doneNotices.push_back(h);
}

void FakeWaveOut::Play(uint32_t ms) {
  if (!open || paused) return;
  fraction_ += uint64_t(ms) * format.avgBytesPerSec;
  uint64_t bytes = fraction_ / 1000;
  fraction_ %= 1000;
  while (!queue.empty()) {
    WaveHeader* h = queue.front();
    const uint32_t left = h->bufferLength - frontConsumed;
    const uint32_t take = bytes < left ? uint32_t(bytes) : left;
    frontConsumed += take;
    playedBytes += take;
    bytes -= take;
    if (frontConsumed < h->bufferLength) break;
    queue.pop_front();
    frontConsumed = 0;
    Complete(h);
  }
}

void FakeWaveOut::Tick() {
  for (size_t i = 0; i < late_.size();) {
    if (--late_[i].sleepsLeft > 0) {
      ++i;
      continue;
    }
    Complete(late_[i].header);
    late_.erase(late_.begin() + long(i));
  }
}

bool FakeWaveOut::Held(const void* p) const {
  for (const Late& l : late_)
    if (l.header == p) return true;
  return false;
}

int FakeWaveOut::LiveLocks() const {
  int n = 0;
  for (const auto& b : blocks_) n += b.second.locks;
  return n;
}

uint32_t FakeWaveOut::Open(const platform::WaveFormat& f, bool notify) {
  ++opens;
  if (openError) return openError;
  if (open) return 4;  // allocated: the player must have closed it first
  open = true;
  paused = false;
  format = f;
  notifyWindow = notify;
  playedBytes = 0;
  frontConsumed = 0;
  fraction_ = 0;
  return 0;
}

uint32_t FakeWaveOut::Prepare(WaveHeader* h) {
  if (Held(h)) ++touchedWhileHeld;
  if (!open) return kInvalHandle;
  if (prepares++ == failPrepareAt) return callError;
  h->flags |= platform::kWhdrPrepared;
  return 0;
}

uint32_t FakeWaveOut::Write(WaveHeader* h) {
  if (!open) return kInvalHandle;
  if (!(h->flags & platform::kWhdrPrepared)) return kUnprepared;
  if (writes++ == failWriteAt) return callError;
  if (writeEndsPause && queue.empty()) paused = false;
  h->flags = (h->flags & ~platform::kWhdrDone) | platform::kWhdrInQueue;
  written.append(h->data, h->bufferLength);
  writtenLengths.push_back(h->bufferLength);
  queue.push_back(h);
  // An empty buffer is handed back at once.
  if (!paused) Play(0);
  return 0;
}

uint32_t FakeWaveOut::Unprepare(WaveHeader* h) {
  if (!open) return kInvalHandle;
  ++unprepares;
  if (h->flags & platform::kWhdrInQueue) return kStillPlaying;
  h->flags &= ~platform::kWhdrPrepared;
  return 0;
}

uint32_t FakeWaveOut::Pause() {
  if (!open) return kInvalHandle;
  if (pauseError) return pauseError;
  paused = true;
  return 0;
}

uint32_t FakeWaveOut::Restart() {
  if (!open) return kInvalHandle;
  if (restartError) return restartError;
  paused = false;
  Play(0);
  return 0;
}

uint32_t FakeWaveOut::Reset() {
  if (!open) return kInvalHandle;
  ++resets;
  if (lateHandBackSleeps > 0 && !queue.empty()) {
    late_.push_back({queue.front(), lateHandBackSleeps});
    queue.pop_front();
  }
  while (!queue.empty()) {
    WaveHeader* h = queue.front();
    queue.pop_front();
    Complete(h);
  }
  frontConsumed = 0;
  playedBytes = 0;
  paused = false;
  return 0;
}

uint32_t FakeWaveOut::Close() {
  if (!open) return kInvalHandle;
  if (!queue.empty()) return kStillPlaying;
  ++closes;
  open = false;
  return 0;
}

uint32_t FakeWaveOut::GetPositionSamples(uint32_t* samples) {
  if (!open) return kInvalHandle;
  *samples = uint32_t(playedBytes / (format.blockAlign ? format.blockAlign : 1));
  return 0;
}

std::string FakeWaveOut::ErrorText(uint32_t code) { return "wave error " + std::to_string(code); }

platform::WaveOut::Block FakeWaveOut::AllocBlock(uint32_t bytes) {
  if (allocs++ == failAllocAt) return 0;
  const Block b = nextBlock_++;
  blocks_[b].bytes.assign(bytes, '\x55');
  return b;
}

void* FakeWaveOut::LockBlock(Block b) {
  auto it = blocks_.find(b);
  if (it == blocks_.end()) {
    ++badReleases;
    return nullptr;
  }
  if (locks++ == failLockAt) return nullptr;
  ++it->second.locks;
  return it->second.bytes.data();
}

void FakeWaveOut::UnlockBlock(Block b) {
  auto it = blocks_.find(b);
  if (it == blocks_.end() || it->second.locks == 0) {
    ++badReleases;
    return;
  }
  --it->second.locks;
}

void FakeWaveOut::FreeBlock(Block b) {
  auto it = blocks_.find(b);
  if (it != blocks_.end() && Held(it->second.bytes.data())) ++touchedWhileHeld;
  if (it == blocks_.end() || it->second.locks != 0) {
    ++badReleases;
    return;
  }
  blocks_.erase(it);
}

void FakePlayerHost::Sleep(uint32_t ms) {
  sleeps.push_back(ms);
  sleptMs += ms;
  if (device_) {
    device_->Tick();
    device_->Play(ms);
  }
  if (onSleep) onSleep(sleeps.size());
  if (sleptMs > runawayMs && onRunaway) {
    onRunaway();
    onRunaway = nullptr;
  }
}
