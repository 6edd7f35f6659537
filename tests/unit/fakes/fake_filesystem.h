// An in-memory file system with directories, attributes, read-only flags and
// failure injection. Paths compare without regard to ASCII case; either
// separator is accepted; directory listings keep the order of creation.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

class FakeFileSystem : public platform::FileSystem {
 public:
  FakeFileSystem();

  // Creates the file (and any missing parent directories); replaces old content.
  void AddFile(const std::string& path, const std::string& data = "",
               uint32_t attributes = platform::kAttrArchive);
  void AddDir(const std::string& path, uint32_t attributes = platform::kAttrDirectory);
  void SetAttr(const std::string& path, uint32_t attributes);
  std::string Contents(const std::string& path) const;  // "" when missing
  bool Has(const std::string& path) const;

  // Failure injection by path (any case).
  std::set<std::string> failRead, failWrite, failCreateDir, failList;
  int writeCount = 0;

  std::string cwd = "c:\\";
  std::string windowsDir = "c:\\windows";
  std::string systemDir = "c:\\windows\\system";
  std::string tempDir = "c:\\temp";

  bool ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) override;
  platform::WriteResult WriteWholeFile(const std::string& path, std::string_view data) override;
  bool GetAttributes(const std::string& path, uint32_t* attributes) override;
  bool Find(const std::string& path, platform::FileInfo* info) override;
  bool ListDirectory(const std::string& dir, std::vector<platform::FileInfo>* entries) override;
  bool CreateDirectory(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  std::unique_ptr<platform::File> OpenRead(const std::string& path) override;
  std::unique_ptr<platform::File> Create(const std::string& path) override;
  std::string CurrentDirectory() override { return cwd; }
  bool SetCurrentDirectory(const std::string& path) override;
  std::string WindowsDirectory() override { return windowsDir; }
  std::string SystemDirectory() override { return systemDir; }
  std::string TempDirectory() override { return tempDir; }

  struct Node {
    std::string name;  // as stored, no directory
    uint32_t attributes = 0;
    std::string data;
    std::vector<std::string> children;  // keys, in creation order
  };

 private:
  std::string Key(const std::string& path) const;
  static std::string ParentKey(const std::string& key);
  Node* Lookup(const std::string& path);
  Node* AddNode(const std::string& path, uint32_t attributes);
  bool Failing(const std::set<std::string>& set, const std::string& path) const;

  std::map<std::string, Node> nodes_;
};
