// The file system for the core, through the W functions (paths converted from
// code page 932). Whole files are written through a temporary file in the
// target's directory, renamed over the target.
#pragma once

#include "platform/files.h"

namespace win32 {

class WinFileSystem : public platform::FileSystem {
 public:
  bool ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) override;
  platform::WriteResult WriteWholeFile(const std::string& path, std::string_view data) override;
  bool GetAttributes(const std::string& path, uint32_t* attributes) override;
  bool Find(const std::string& path, platform::FileInfo* info) override;
  bool ListDirectory(const std::string& dir, std::vector<platform::FileInfo>* entries) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<platform::File> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::File> Create(const std::string& path) override;
  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::string TempDirectory() override;

 protected:
  // One write of WriteWholeFile's temporary file; a test makes it fail part way.
  virtual bool WritePart(void* handle, const char* data, size_t n);
};

}  // namespace win32
