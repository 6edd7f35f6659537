// A read-only platform::File over bytes in memory (fuzzing, benchmarks,
// tests).
#pragma once

#include <cstring>

#include "platform/files.h"

namespace platform {

class MemoryFile : public File {
 public:
  MemoryFile(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  size_t Read(void* buf, size_t n) override {
    const size_t left = pos_ < size_ ? size_ - pos_ : 0;
    if (n > left) n = left;
    if (n) std::memcpy(buf, data_ + pos_, n);
    pos_ += n;
    return n;
  }
  bool Seek(uint64_t offset) override {
    pos_ = offset > size_ ? size_ : size_t(offset);
    return true;
  }
  uint64_t Size() const override { return size_; }
  bool Write(const void*, size_t) override { return false; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace platform
