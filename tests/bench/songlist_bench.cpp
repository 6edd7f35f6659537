// Song list operations on a full list of 999 entries.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "platform/collate.h"
#include "songlist/model.h"
#include "songlist/songfile.h"
#include "text/sjis.h"

namespace {

struct Collator : platform::Collator {
  int Compare(std::string_view a, std::string_view b) override { return text::CompareNoCase(a, b); }
  bool SamePath(std::string_view a, std::string_view b) override { return text::EqualNoCase(a, b); }
};

struct Playback : songlist::PlaybackLink {
  int32_t State() override { return 0; }
  void SetState(int32_t) override {}
  bool QueryPosition(uint32_t*) override { return false; }
  void Stop() override {}
  void Play() override {}
  void SetWaiting(bool) override {}
  void ClearCachedLength() override {}
  bool NextPlayable() override { return false; }
  bool RandomPlay() override { return false; }
  bool RepeatAll() override { return false; }
};

struct View : songlist::ViewLink {
  void RefreshTitle() override {}
  void Repaint() override {}
  void ScrollToCurrent() override {}
};

// Just enough of a file system for one file written and read back.
struct MemFs : platform::FileSystem {
  std::map<std::string, std::string> files;
  bool ReadWholeFile(const std::string& p, std::string* d, size_t) override {
    auto it = files.find(p);
    if (it == files.end()) return false;
    *d = it->second;
    return true;
  }
  platform::WriteResult WriteWholeFile(const std::string& p, std::string_view d) override {
    files[p] = std::string(d);
    return platform::WriteResult::kOk;
  }
  bool GetAttributes(const std::string& p, uint32_t* a) override {
    *a = platform::kAttrDirectory;
    return p == "c:\\lists";
  }
  bool Find(const std::string&, platform::FileInfo*) override { return false; }
  bool ListDirectory(const std::string&, std::vector<platform::FileInfo>*) override { return false; }
  bool CreateDirectory(const std::string&) override { return true; }
  bool DeleteFile(const std::string&) override { return true; }
  std::unique_ptr<platform::File> OpenRead(const std::string&) override { return nullptr; }
  std::unique_ptr<platform::File> Create(const std::string&) override { return nullptr; }
  std::string CurrentDirectory() override { return "c:\\"; }
  bool SetCurrentDirectory(const std::string&) override { return true; }
  std::string WindowsDirectory() override { return "c:\\windows"; }
  std::string SystemDirectory() override { return "c:\\windows\\system"; }
  std::string TempDirectory() override { return "c:\\temp"; }
};

struct Env {
  Collator collator;
  Playback playback;
  View view;
  songlist::Random random{42};
  songlist::SongList list{{&playback, &view, &collator, &random}};
  Env() {
    // Paths in a scrambled order so the sorts have work to do.
    for (int i = 0; i < songlist::kMaxEntries; ++i) {
      int k = (i * 577) % songlist::kMaxEntries;
      list.Append("c:\\music\\album " + std::to_string(k % 37) + "\\Track " + std::to_string(k) +
                  (k % 3 ? ".mid" : ".mp3"));
    }
  }
};

void BM_SortAlphabetical(benchmark::State& state) {
  Env env;
  for (auto _ : state) {
    env.list.Shuffle();
    env.list.SortAlphabetical();
  }
}
BENCHMARK(BM_SortAlphabetical)->Unit(benchmark::kMillisecond);

void BM_FullPathSort(benchmark::State& state) {
  Env env;
  for (auto _ : state) {
    env.list.Shuffle();
    env.list.FullPathSort();
  }
}
BENCHMARK(BM_FullPathSort)->Unit(benchmark::kMillisecond);

void BM_Shuffle(benchmark::State& state) {
  Env env;
  for (auto _ : state) env.list.Shuffle();
}
BENCHMARK(BM_Shuffle)->Unit(benchmark::kMicrosecond);

void BM_Undo(benchmark::State& state) {
  Env env;
  env.list.TakeUndoCopy();
  for (auto _ : state) env.list.Undo();
}
BENCHMARK(BM_Undo)->Unit(benchmark::kMicrosecond);

void BM_TakeUndoCopy(benchmark::State& state) {
  Env env;
  for (auto _ : state) env.list.TakeUndoCopy();
}
BENCHMARK(BM_TakeUndoCopy)->Unit(benchmark::kMicrosecond);

void BM_SongFileWrite(benchmark::State& state) {
  Env env;
  MemFs fs;
  for (auto _ : state) songlist::WriteSongFile(fs, "c:\\lists\\all.snf", env.list);
  state.SetBytesProcessed(state.iterations() * fs.files["c:\\lists\\all.snf"].size());
}
BENCHMARK(BM_SongFileWrite)->Unit(benchmark::kMicrosecond);

void BM_SongFileRead(benchmark::State& state) {
  Env env;
  MemFs fs;
  songlist::WriteSongFile(fs, "c:\\lists\\all.snf", env.list);
  for (auto _ : state) {
    if (!songlist::ReadSongFile(fs, "c:\\lists\\all.snf", env.list)) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(state.iterations() * fs.files["c:\\lists\\all.snf"].size());
}
BENCHMARK(BM_SongFileRead)->Unit(benchmark::kMicrosecond);

}  // namespace
