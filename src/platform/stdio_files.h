// platform::File and platform::FileSystem on <cstdio>, for the native tools
// and tests. Paths are passed to the C library unchanged.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/files.h"

namespace platform {

class StdioFile : public File {
 public:
  explicit StdioFile(std::FILE* f) : f_(f) {}
  ~StdioFile() override;
  // Opens with the C library's mode string ("rb", "wb"); nullptr on failure.
  static std::unique_ptr<StdioFile> Open(const std::string& path, const char* mode);

  size_t Read(void* buf, size_t n) override;
  bool Seek(uint64_t offset) override;
  uint64_t Size() const override;
  bool Write(const void* buf, size_t n) override;

 private:
  std::FILE* f_;
};

// Only the operations the decoder and its tools need do real work; the
// directory operations and WriteWholeFile answer "not available".
class StdioFileSystem : public FileSystem {
 public:
  bool ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes = SIZE_MAX) override;
  WriteResult WriteWholeFile(const std::string& path, std::string_view data) override;
  bool GetAttributes(const std::string& path, uint32_t* attributes) override;
  bool Find(const std::string& path, FileInfo* info) override;
  bool ListDirectory(const std::string& dir, std::vector<FileInfo>* entries) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<File> OpenRead(const std::string& path) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  std::string CurrentDirectory() override { return "."; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string WindowsDirectory() override { return "."; }
  std::string SystemDirectory() override { return "."; }
  std::string TempDirectory() override { return "."; }
};

}  // namespace platform
