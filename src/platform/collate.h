// Locale collation of names and paths. The Windows side compares the way the
// user's locale sorts without regard to case; tests compare bytes.
#pragma once

#include <string_view>

namespace platform {

class Collator {
 public:
  virtual ~Collator() = default;
  // Negative, zero or positive, like a case-insensitive string comparison.
  virtual int Compare(std::string_view a, std::string_view b) = 0;
  // Whether two paths name the same file as the file system sees it: equal
  // without regard to case, full-width and accented letters included.
  virtual bool SamePath(std::string_view a, std::string_view b) = 0;
};

}  // namespace platform
