// An in-memory file system for the settings tests: files by exact path,
// directories as a set, and switches that make writing fail.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

struct AppFakeFiles : platform::FileSystem {
  std::map<std::string, std::string> files;
  std::map<std::string, uint32_t> attributes;  // extra attribute bits per file
  std::set<std::string> directories;
  std::set<std::string> readOnlyDirectories;  // nothing can be created in these
  std::vector<std::string> created;           // paths passed to Create()
  std::set<std::string> unreadable;           // present, but reading fails (locked, denied)
  std::string windowsDir = "c:\\windows", currentDir = "c:\\music";

  static std::string Parent(const std::string& path) {
    size_t p = path.rfind('\\');
    return p == std::string::npos ? std::string() : path.substr(0, p);
  }
  bool CanCreateIn(const std::string& path) const {
    std::string dir = Parent(path);
    return directories.count(dir) && !readOnlyDirectories.count(dir);
  }

  bool ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) override {
    auto it = files.find(path);
    if (it == files.end() || unreadable.count(path)) return false;
    *data = it->second.substr(0, maxBytes);
    return true;
  }
  platform::WriteResult WriteWholeFile(const std::string& path, std::string_view data) override {
    auto a = attributes.find(path);
    if (a != attributes.end() && (a->second & platform::kAttrReadOnly))
      return platform::WriteResult::kFileReadOnly;
    if (!CanCreateIn(path)) return platform::WriteResult::kDirectoryReadOnly;
    files[path] = std::string(data);
    return platform::WriteResult::kOk;
  }
  bool GetAttributes(const std::string& path, uint32_t* attr) override {
    if (directories.count(path)) {
      *attr = platform::kAttrDirectory;
      return true;
    }
    if (!files.count(path)) return false;
    auto a = attributes.find(path);
    *attr = platform::kAttrArchive | (a == attributes.end() ? 0 : a->second);
    return true;
  }
  bool Find(const std::string& path, platform::FileInfo* info) override {
    uint32_t a;
    if (!GetAttributes(path, &a)) return false;
    size_t p = path.rfind('\\');
    info->name = p == std::string::npos ? path : path.substr(p + 1);
    info->attributes = a;
    return true;
  }
  bool ListDirectory(const std::string&, std::vector<platform::FileInfo>*) override { return false; }
  bool CreateDirectory(const std::string& path) override {
    if (!directories.count(Parent(path))) return false;
    directories.insert(path);
    return true;
  }
  bool DeleteFile(const std::string& path) override { return files.erase(path) > 0; }

  struct NullFile : platform::File {
    size_t Read(void*, size_t) override { return 0; }
    bool Seek(uint64_t) override { return true; }
    uint64_t Size() const override { return 0; }
    bool Write(const void*, size_t) override { return true; }
  };
  std::unique_ptr<platform::File> OpenRead(const std::string& path) override {
    if (!files.count(path)) return nullptr;
    return std::make_unique<NullFile>();
  }
  std::unique_ptr<platform::File> Create(const std::string& path) override {
    created.push_back(path);
    if (!CanCreateIn(path)) return nullptr;
    files[path] = "";
    return std::make_unique<NullFile>();
  }

  std::string CurrentDirectory() override { return currentDir; }
  bool SetCurrentDirectory(const std::string& path) override {
    currentDir = path;
    return true;
  }
  std::string WindowsDirectory() override { return windowsDir; }
  std::string SystemDirectory() override { return windowsDir + "\\system"; }
  std::string TempDirectory() override { return windowsDir + "\\temp"; }
};
