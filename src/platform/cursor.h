// Mouse cursor requests made while a long list operation runs.
#pragma once

namespace platform {

class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual void Wait() = 0;   // hourglass
  virtual void Arrow() = 0;  // back to the normal arrow
};

}  // namespace platform
