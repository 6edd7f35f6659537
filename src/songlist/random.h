// The program's one random generator: shuffle, random play and the wallpaper
// changer all draw from it, so a seeded run is reproducible.
#pragma once

#include <cstdint>

namespace songlist {

class Random {
 public:
  explicit Random(uint32_t seed = 0) : x_(seed) {}
  void Seed(uint32_t seed) { x_ = seed; }
  uint32_t State() const { return x_; }
  // Next value 0..32767.
  uint32_t Next() {
    x_ = x_ * 0x015A4E35u + 1u;
    return (x_ >> 16) & 0x7FFFu;
  }
  // A value 0..n-1 for n up to 131072: (r * n) >> 15 in 32-bit arithmetic.
  uint32_t Below(uint32_t n) { return (Next() * n) >> 15; }

 private:
  uint32_t x_;
};

}  // namespace songlist
