#include "fakes/fake_filesystem.h"

#include <cstring>

#include "text/sjis.h"

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
    if (data_->size() < pos_ + n) data_->resize(pos_ + n);
    std::memcpy(&(*data_)[pos_], buf, n);
    pos_ += n;
    return true;
  }

 private:
  std::string* data_;
  bool writable_;
  uint64_t pos_ = 0;
};

}  // namespace

FakeFileSystem::FakeFileSystem() {
  Node root;
  root.name = "c:";
  root.attributes = platform::kAttrDirectory;
  nodes_["c:"] = root;
  AddDir(windowsDir);
}

std::string FakeFileSystem::Key(const std::string& path) const {
  std::string p = path;
  for (size_t i = 0; i < p.size(); i += text::CharLen(p, i)) {
    if (p[i] == '/') p[i] = '\\';
  }
  if (p.find(':') == std::string::npos) p = text::WithBackslash(cwd) + p;
  text::ToLowerAscii(p);
  while (text::EndsWithBackslash(p)) p.pop_back();
  return p;
}

std::string FakeFileSystem::ParentKey(const std::string& key) {
  for (size_t i = key.size(); i-- > 0;) {
    if (key[i] == '\\' && !text::IsTrailByteAt(key, i)) return key.substr(0, i);
  }
  return "";
}

bool FakeFileSystem::Failing(const std::set<std::string>& set, const std::string& path) const {
  for (const std::string& f : set) {
    if (Key(f) == Key(path)) return true;
  }
  return false;
}

FakeFileSystem::Node* FakeFileSystem::Lookup(const std::string& path) {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

FakeFileSystem::Node* FakeFileSystem::AddNode(const std::string& path, uint32_t attributes) {
  std::string key = Key(path);
  auto it = nodes_.find(key);
  if (it != nodes_.end()) {
    it->second.attributes = attributes;
    return &it->second;
  }
  std::string parent = ParentKey(key);
  // The stored names keep the case the test gave, parents included.
  std::string given = path;
  while (text::EndsWithBackslash(given)) given.pop_back();
  if (!parent.empty() && nodes_.find(parent) == nodes_.end()) {
    std::string dir = text::DirectoryPart(given);
    while (text::EndsWithBackslash(dir)) dir.pop_back();
    AddDir(dir.empty() ? parent : dir);
  }
  Node n;
  n.name = text::FileNamePart(given);
  n.attributes = attributes;
  if (!parent.empty()) nodes_[parent].children.push_back(key);
  return &(nodes_[key] = n);
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& data, uint32_t attributes) {
  AddNode(path, attributes & ~platform::kAttrDirectory)->data = data;
}

void FakeFileSystem::AddDir(const std::string& path, uint32_t attributes) {
  AddNode(path, attributes | platform::kAttrDirectory);
}

void FakeFileSystem::SetAttr(const std::string& path, uint32_t attributes) {
  if (Node* n = Lookup(path)) n->attributes = attributes;
}

std::string FakeFileSystem::Contents(const std::string& path) const {
  auto it = nodes_.find(Key(path));
  return it == nodes_.end() ? "" : it->second.data;
}

bool FakeFileSystem::Has(const std::string& path) const { return nodes_.count(Key(path)) != 0; }

bool FakeFileSystem::ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) {
  Node* n = Lookup(path);
  if (!n || (n->attributes & platform::kAttrDirectory) || Failing(failRead, path)) return false;
  *data = n->data.substr(0, maxBytes);
  return true;
}

platform::WriteResult FakeFileSystem::WriteWholeFile(const std::string& path, std::string_view data) {
  std::string key = Key(path);
  Node* parent = Lookup(ParentKey(key));
  if (!parent || !(parent->attributes & platform::kAttrDirectory)) return platform::WriteResult::kWriteError;
  if (parent->attributes & platform::kAttrReadOnly) return platform::WriteResult::kDirectoryReadOnly;
  Node* n = Lookup(path);
  if (n && (n->attributes & platform::kAttrReadOnly)) return platform::WriteResult::kFileReadOnly;
  if (Failing(failWrite, path)) return platform::WriteResult::kWriteError;
  ++writeCount;
  if (!n) n = AddNode(path, platform::kAttrArchive);
  n->data.assign(data.data(), data.size());
  return platform::WriteResult::kOk;
}

bool FakeFileSystem::GetAttributes(const std::string& path, uint32_t* attributes) {
  Node* n = Lookup(path);
  if (!n) return false;
  *attributes = n->attributes;
  return true;
}

bool FakeFileSystem::Find(const std::string& path, platform::FileInfo* info) {
  Node* n = Lookup(path);
  if (!n) return false;
  info->name = n->name;
  info->attributes = n->attributes;
  info->size = n->data.size();
  return true;
}

bool FakeFileSystem::ListDirectory(const std::string& dir, std::vector<platform::FileInfo>* entries) {
  Node* d = Lookup(dir);
  if (!d || !(d->attributes & platform::kAttrDirectory) || Failing(failList, dir)) return false;
  entries->clear();
  for (const std::string& k : d->children) {
    const Node& c = nodes_[k];
    entries->push_back({c.name, c.attributes, c.data.size()});
  }
  return true;
}

bool FakeFileSystem::CreateDirectory(const std::string& path) {
  std::string key = Key(path);
  if (nodes_.count(key) || Failing(failCreateDir, path)) return false;
  if (!Lookup(ParentKey(key))) return false;
  AddDir(path);
  return true;
}

bool FakeFileSystem::DeleteFile(const std::string& path) {
  std::string key = Key(path);
  auto it = nodes_.find(key);
  if (it == nodes_.end() || (it->second.attributes & platform::kAttrDirectory)) return false;
  nodes_.erase(it);
  auto& siblings = nodes_[ParentKey(key)].children;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i] == key) {
      siblings.erase(siblings.begin() + static_cast<long>(i));
      break;
    }
  }
  return true;
}

std::unique_ptr<platform::File> FakeFileSystem::OpenRead(const std::string& path) {
  Node* n = Lookup(path);
  if (!n || (n->attributes & platform::kAttrDirectory) || Failing(failRead, path)) return nullptr;
  return std::make_unique<MemFile>(&n->data, false);
}

std::unique_ptr<platform::File> FakeFileSystem::Create(const std::string& path) {
  if (Failing(failWrite, path)) return nullptr;
  Node* parent = Lookup(ParentKey(Key(path)));
  if (!parent) return nullptr;
  Node* n = AddNode(path, platform::kAttrArchive);
  n->data.clear();
  return std::make_unique<MemFile>(&n->data, true);
}

bool FakeFileSystem::SetCurrentDirectory(const std::string& path) {
  Node* n = Lookup(path);
  if (!n || !(n->attributes & platform::kAttrDirectory)) return false;
  std::string p = path;
  if (p.find(':') == std::string::npos) p = text::WithBackslash(cwd) + p;
  cwd = p;
  return true;
}
