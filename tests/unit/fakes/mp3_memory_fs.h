// A file system holding files in memory, enough for the decoder's tests:
// reading files, and counting the seeks made on them.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/memory_file.h"

namespace mp3test {

// A memory file that remembers where it was last sent.
class TracingFile : public platform::MemoryFile {
 public:
  TracingFile(const std::string& data) : platform::MemoryFile(data.data(), data.size()) {}
  bool Seek(uint64_t offset) override {
    lastSeek = offset;
    ++seeks;
    return platform::MemoryFile::Seek(offset);
  }
  uint64_t lastSeek = 0;
  int seeks = 0;
};

class MemoryFileSystem : public platform::FileSystem {
 public:
  std::map<std::string, std::string> files;

  bool ReadWholeFile(const std::string& path, std::string* data, size_t) override {
    auto it = files.find(path);
    if (it == files.end()) return false;
    *data = it->second;
    return true;
  }
  platform::WriteResult WriteWholeFile(const std::string& path, std::string_view data) override {
    files[path] = std::string(data);
    return platform::WriteResult::kOk;
  }
  bool GetAttributes(const std::string& path, uint32_t* attributes) override {
    *attributes = platform::kAttrArchive;
    return files.count(path) != 0;
  }
  bool Find(const std::string&, platform::FileInfo*) override { return false; }
  bool ListDirectory(const std::string&, std::vector<platform::FileInfo>*) override { return false; }
  bool CreateDirectory(const std::string&) override { return false; }
  bool DeleteFile(const std::string& path) override { return files.erase(path) != 0; }
  std::unique_ptr<platform::File> OpenRead(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    return std::make_unique<TracingFile>(it->second);
  }
  std::unique_ptr<platform::File> Create(const std::string&) override { return nullptr; }
  std::string CurrentDirectory() override { return "C:\\"; }
  bool SetCurrentDirectory(const std::string&) override { return false; }
  std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
  std::string SystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string TempDirectory() override { return "C:\\TEMP"; }
};

}  // namespace mp3test
