// Facts about paths the media layer asks the platform.
#pragma once

#include <string>

namespace platform {

class Drives {
 public:
  virtual ~Drives() = default;
  // True when the path's drive ("c:") is a fixed disk.
  virtual bool IsFixedDrive(const std::string& path) = 0;
  // The short (8.3) form of an existing path; false when the platform has none.
  virtual bool ShortPath(const std::string& path, std::string* shortPath) = 0;
};

}  // namespace platform
