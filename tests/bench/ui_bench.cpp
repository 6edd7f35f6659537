// Cost of building the drawing list of a full repaint: 999 entries in a
// 1024 x 768 client with the default font's cell size.
#include <benchmark/benchmark.h>

#include <string>

#include "../unit/list_marks.h"
#include "songlist/model.h"
#include "ui/list_view.h"

namespace {

struct IdlePlayback : songlist::PlaybackLink {
  int32_t State() override { return songlist::kStopped; }
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
struct IdleView : songlist::ViewLink {
  void RefreshTitle() override {}
  void Repaint() override {}
  void ScrollToCurrent() override {}
};
struct ByteCollator : platform::Collator {
  int Compare(std::string_view a, std::string_view b) override { return a.compare(b); }
  bool SamePath(std::string_view a, std::string_view b) override { return a == b; }
};
struct FixedDrives : ui::DriveInfo {
  int32_t Type(const std::string&) override { return 3; }
  uint32_t SectorSize(const std::string&) override { return 512; }
};

struct Fixture {
  IdlePlayback pb;
  IdleView iv;
  ByteCollator collator;
  songlist::Random random{1};
  songlist::SongList list{{&pb, &iv, &collator, &random}};
  FixedDrives drives;
  ui::ListView view{list, drives};

  Fixture() {
    static const char* const kExt[] = {".mid", ".mp3", ".wav", ".avi", ".txt"};
    for (int i = 0; i < songlist::kMaxEntries; ++i) {
      list.Append("c:\\my music\\album " + std::to_string(i / 12) + "\\track " +
                  std::to_string(i) + " 曲名" + kExt[i % 5]);
    }
    for (int i = 0; i < songlist::kMaxEntries; i += 7) list.SetSelected(i, true);
    for (int i = 3; i < songlist::kMaxEntries; i += 11) SetMarkAt(list, i, songlist::kMarkSkipped);
    list.SetCurrent(500);
    list.SetFocus(505);
    list.SetFirstColumn(15);
    // FixedSys-like extents: "3333wwwwwwww33" 112 x 19, "3" 8, "3333" 32.
    view.SetMetrics(ui::MakeMetrics(112, 19, 8, 32));
    view.Settings().caseMode = 2;
    view.SetClient(1024, 768, true, 17);
  }
};

void BM_FullRepaint999(benchmark::State& state) {
  Fixture f;
  ui::DrawList ops;
  ops.reserve(4096);
  for (auto _ : state) {
    ops.clear();
    f.view.FullRepaint(&ops);
    benchmark::DoNotOptimize(ops.data());
  }
  state.counters["ops"] = static_cast<double>(ops.size());
  state.counters["cells"] = f.view.Layout().rows * f.view.Layout().drawnColumns;
}
BENCHMARK(BM_FullRepaint999);

void BM_TwoCells(benchmark::State& state) {
  Fixture f;
  ui::DrawList ops;
  f.view.FullRepaint(&ops);
  const int32_t cells[] = {500, 505};
  for (auto _ : state) {
    ops.clear();
    f.view.PartialRepaint(cells, 2, &ops);
    benchmark::DoNotOptimize(ops.data());
  }
}
BENCHMARK(BM_TwoCells);

}  // namespace
