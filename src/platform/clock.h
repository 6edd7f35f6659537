// The local wall-clock time (the alarm).
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  int32_t hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

}  // namespace platform
