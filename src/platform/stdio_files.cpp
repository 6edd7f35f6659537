#include "platform/stdio_files.h"

namespace platform {

StdioFile::~StdioFile() {
  if (f_) std::fclose(f_);
}

std::unique_ptr<StdioFile> StdioFile::Open(const std::string& path, const char* mode) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return nullptr;
  return std::unique_ptr<StdioFile>(new StdioFile(f));
}

size_t StdioFile::Read(void* buf, size_t n) { return std::fread(buf, 1, n, f_); }

bool StdioFile::Seek(uint64_t offset) {
  if (offset > 0x7FFFFFFFu) return false;  // 32-bit long on Windows
  return std::fseek(f_, long(offset), SEEK_SET) == 0;
}

uint64_t StdioFile::Size() const {
  const long here = std::ftell(f_);
  if (std::fseek(f_, 0, SEEK_END) != 0) return 0;
  const long end = std::ftell(f_);
  std::fseek(f_, here < 0 ? 0 : here, SEEK_SET);
  return end < 0 ? 0 : uint64_t(end);
}

bool StdioFile::Write(const void* buf, size_t n) { return std::fwrite(buf, 1, n, f_) == n; }

bool StdioFileSystem::ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) {
  std::unique_ptr<StdioFile> f = StdioFile::Open(path, "rb");
  if (!f) return false;
  data->clear();
  char buf[65536];
  size_t n;
  while (data->size() < maxBytes && (n = f->Read(buf, sizeof buf)) > 0) {
    const size_t room = maxBytes - data->size();
    data->append(buf, n < room ? n : room);
  }
  return true;
}

// The tools never save whole files, and the C library offers no safe
// replace (a fixed temporary name could overwrite a file of the user's, and
// rename will not replace on every system), so this refuses.
WriteResult StdioFileSystem::WriteWholeFile(const std::string&, std::string_view) {
  return WriteResult::kWriteError;
}

bool StdioFileSystem::GetAttributes(const std::string& path, uint32_t* attributes) {
  std::unique_ptr<StdioFile> f = StdioFile::Open(path, "rb");
  if (!f) return false;
  *attributes = kAttrArchive;
  return true;
}

bool StdioFileSystem::Find(const std::string& path, FileInfo* info) {
  std::unique_ptr<StdioFile> f = StdioFile::Open(path, "rb");
  if (!f) return false;
  const size_t slash = path.find_last_of("/\\");
  info->name = slash == std::string::npos ? path : path.substr(slash + 1);
  info->attributes = kAttrArchive;
  info->size = f->Size();
  return true;
}

bool StdioFileSystem::ListDirectory(const std::string&, std::vector<FileInfo>*) { return false; }
bool StdioFileSystem::CreateDirectory(const std::string&) { return false; }
bool StdioFileSystem::DeleteFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

std::unique_ptr<File> StdioFileSystem::OpenRead(const std::string& path) {
  return StdioFile::Open(path, "rb");
}

std::unique_ptr<File> StdioFileSystem::Create(const std::string& path) {
  return StdioFile::Open(path, "wb");
}

}  // namespace platform
