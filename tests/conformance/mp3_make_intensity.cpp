// Writes MPEG-2 intensity-stereo streams (22050 Hz, joint stereo) with
// random positions, regions, block kinds, intensity scales and mid/side,
// each beside its plainly coded twin: NAME.mp3 and NAME_twin.mp3.
//
//   mp3_make_intensity OUT_DIR
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "fakes/mp3_intensity_writer.h"

namespace {

using mp3test::Blocks;

mp3test::IntensityPlan RandomPlan(std::mt19937& rng, bool midSide, bool shortKinds) {
  auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
  mp3test::IntensityPlan p;
  p.kind = shortKinds ? (pick(2) ? Blocks::kShort : Blocks::kMixed) : Blocks::kLong;
  p.midSide = midSide;
  p.intensityScale = pick(2);
  for (int& s : p.slen) s = pick(5) == 0 ? 0 : 2 + pick(2);
  if (pick(3) == 0) p.slen[0] = 4;
  mp3test::FillLeft(&p);
  const std::vector<mp3test::Cell> cells = mp3test::Cells(p.kind);
  // Right-channel data in a few low cells (per window for short blocks).
  const int reach = pick(4) == 0 ? 0 : pick(int(cells.size()) / 2);
  for (int k = 0; k < reach; ++k)
    if (pick(3) == 0) p.right[size_t(cells[size_t(k)].first + pick(cells[size_t(k)].width))] = pick(2) ? 1 : -2;
  const uint8_t* counts = mp3test::PositionCounts(p.kind);
  size_t group = 0, groupEnd = counts[0];
  for (size_t k = 0; k < cells.size(); ++k) {
    if (!mp3test::Scaled(cells[k])) {
      if (midSide)  // no factor to carry the mid/side level in the twin
        for (int i = cells[k].first; i < cells[k].first + cells[k].width; ++i) p.left[size_t(i)] = 0;
      continue;
    }
    while (k >= groupEnd) groupEnd += counts[++group];
    const int illegal = (1 << p.slen[group]) - 1;
    int v;
    if (p.slen[group] == 0) {
      v = 0;
    } else if (pick(6) == 0 || midSide) {
      v = pick(2) ? illegal : 0;
    } else if (p.intensityScale) {
      v = pick(std::min(illegal, 8));  // the twin's factors hold 0 ... 7
    } else {
      static const int kEven[4] = {0, 3, 4, 7};  // io^2n: whole twin factors
      v = kEven[pick(4)];
      if (v >= illegal) v = 0;
    }
    if (cells[k].band == (cells[k].isShort ? 11 : 20) && v != illegal) v = 0;
    if (int(k) < reach && v > 7) v = 0;  // a factor of coded lines: the twin holds 0 ... 7
    p.positions.push_back(v);
  }
  return p;
}

bool Write(const std::string& path, const std::string& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mp3_make_intensity OUT_DIR\n");
    return 2;
  }
  struct Kind {
    const char* name;
    bool midSide, shortKinds;
  };
  const Kind kinds[] = {{"intensity22_long", false, false},
                        {"intensity22_short", false, true},
                        {"intensity22_ms_long", true, false},
                        {"intensity22_ms_short", true, true}};
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  std::mt19937 rng(2205);
  for (const Kind& k : kinds) {
    std::string coded, twin;
    for (int i = 0; i < 300; ++i) {
      const mp3test::IntensityPlan p = RandomPlan(rng, k.midSide, k.shortKinds && i % 4 != 0);
      mp3test::Append(&coded, mp3test::IntensityFrame(p));
      mp3test::Append(&twin, mp3test::TwinFrame(p));
    }
    const std::string base = std::string(argv[1]) + "/" + k.name;
    if (!Write(base + ".mp3", coded) || !Write(base + "_twin.mp3", twin)) {
      std::fprintf(stderr, "cannot write %s\n", base.c_str());
      return 1;
    }
  }
  return 0;
}
