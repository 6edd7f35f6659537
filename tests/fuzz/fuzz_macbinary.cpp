// The MacBinary header test and the conversion of arbitrary files through an
// in-memory file system.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "playback/macbinary.h"

namespace {

class MemFile : public platform::File {
 public:
  MemFile(std::string* data, bool writable) : data_(data), writable_(writable) {}
  size_t Read(void* buf, size_t n) override {
    if (pos_ >= data_->size()) return 0;
    size_t k = std::min(n, data_->size() - static_cast<size_t>(pos_));
    std::memcpy(buf, data_->data() + pos_, k);
    pos_ += k;
    return k;
  }
  bool Seek(uint64_t offset) override {
    pos_ = offset;
    return true;
  }
  uint64_t Size() const override { return data_->size(); }
  bool Write(const void* buf, size_t n) override {
    if (!writable_) return false;
    data_->append(static_cast<const char*>(buf), n);
    return true;
  }

 private:
  std::string* data_;
  bool writable_;
  uint64_t pos_ = 0;
};

class MemFs : public platform::FileSystem {
 public:
  std::map<std::string, std::string> files;
  bool ReadWholeFile(const std::string&, std::string*, size_t) override { return false; }
  platform::WriteResult WriteWholeFile(const std::string&, std::string_view) override {
    return platform::WriteResult::kWriteError;
  }
  bool GetAttributes(const std::string& p, uint32_t* a) override {
    *a = platform::kAttrArchive;
    return files.count(p) != 0;
  }
  bool Find(const std::string&, platform::FileInfo*) override { return false; }
  bool ListDirectory(const std::string&, std::vector<platform::FileInfo>*) override { return false; }
  bool CreateDirectory(const std::string&) override { return false; }
  bool DeleteFile(const std::string& p) override { return files.erase(p) != 0; }
  std::unique_ptr<platform::File> OpenRead(const std::string& p) override {
    auto it = files.find(p);
    if (it == files.end()) return nullptr;
    return std::make_unique<MemFile>(&it->second, false);
  }
  std::unique_ptr<platform::File> Create(const std::string& p) override {
    files[p].clear();
    return std::make_unique<MemFile>(&files[p], true);
  }
  std::string CurrentDirectory() override { return "c:\\"; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string WindowsDirectory() override { return "c:\\windows"; }
  std::string SystemDirectory() override { return "c:\\windows\\system"; }
  std::string TempDirectory() override { return "c:\\temp"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t length = 0;
  bool header = playback::ParseMacBinaryHeader(data, size, &length);
  if (header && (length == 0 || length >= playback::kMaxDataFork)) __builtin_trap();

  MemFs fs;
  fs.files["c:\\in\\x.mid"] = std::string(reinterpret_cast<const char*>(data), size);
  std::string temp;
  int32_t code = playback::ConvertMacBinary(fs, "c:\\in\\x.mid", {}, &temp);
  if (code == playback::kMacConverted) {
    if (!header || fs.files[temp].size() != length ||
        std::memcmp(fs.files[temp].data(), data + 128, length) != 0) {
      __builtin_trap();
    }
  } else if (fs.files.size() != 1) {
    __builtin_trap();  // a failed conversion leaves nothing behind
  }
  return 0;
}
