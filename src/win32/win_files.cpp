#include "win32/win_files.h"

#include "win32/wnd/win.h"

#include "text/sjis.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

namespace win32 {

namespace {

class WinFile : public platform::File {
 public:
  explicit WinFile(HANDLE h) : h_(h) {}
  ~WinFile() override { CloseHandle(h_); }
  size_t Read(void* buf, size_t n) override {
    DWORD got = 0;
    if (!::ReadFile(h_, buf, static_cast<DWORD>(n), &got, nullptr)) return 0;
    return got;
  }
  bool Seek(uint64_t offset) override {
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h_, li, nullptr, FILE_BEGIN) != 0;
  }
  uint64_t Size() const override {
    LARGE_INTEGER li;
    return GetFileSizeEx(h_, &li) ? static_cast<uint64_t>(li.QuadPart) : 0;
  }
  bool Write(const void* buf, size_t n) override {
    DWORD put = 0;
    return ::WriteFile(h_, buf, static_cast<DWORD>(n), &put, nullptr) && put == n;
  }

 private:
  HANDLE h_;
};

}  // namespace

bool WinFileSystem::ReadWholeFile(const std::string& path, std::string* data, size_t maxBytes) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  data->clear();
  char buf[65536];
  bool ok = true;
  while (data->size() < maxBytes) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(sizeof buf, maxBytes - data->size()));
    DWORD got = 0;
    if (!::ReadFile(h, buf, want, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    data->append(buf, got);
  }
  CloseHandle(h);
  return ok;
}

platform::WriteResult WinFileSystem::WriteWholeFile(const std::string& path, std::string_view data) {
  std::wstring target = Wide(path);
  DWORD attr = GetFileAttributesW(target.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
    return platform::WriteResult::kFileReadOnly;
  }
  // The new content goes to a temporary file beside the target, then replaces it.
  std::wstring temp = target + L".~new";
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return platform::WriteResult::kDirectoryReadOnly;
  DWORD put = 0;
  bool ok = data.empty() ||
            (::WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr) &&
             put == data.size());
  ok = ok && FlushFileBuffers(h);
  CloseHandle(h);
  if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) {
    ::DeleteFileW(temp.c_str());
    return platform::WriteResult::kWriteError;
  }
  return platform::WriteResult::kOk;
}

bool WinFileSystem::GetAttributes(const std::string& path, uint32_t* attributes) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = a;
  return true;
}

bool WinFileSystem::Find(const std::string& path, platform::FileInfo* info) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(path).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  info->name = Narrow(fd.cFileName);
  info->attributes = fd.dwFileAttributes;
  info->size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  return true;
}

bool WinFileSystem::ListDirectory(const std::string& dir, std::vector<platform::FileInfo>* entries) {
  entries->clear();
  std::string pattern = text::WithBackslash(dir) + "*.*";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
    platform::FileInfo fi;
    fi.name = Narrow(fd.cFileName);
    fi.attributes = fd.dwFileAttributes;
    fi.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    entries->push_back(std::move(fi));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

bool WinFileSystem::CreateDirectory(const std::string& path) {
  return ::CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
}

bool WinFileSystem::DeleteFile(const std::string& path) {
  return ::DeleteFileW(Wide(path).c_str()) != 0;
}

std::unique_ptr<platform::File> WinFileSystem::OpenRead(const std::string& path) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h);
}

std::unique_ptr<platform::File> WinFileSystem::Create(const std::string& path) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h);
}

std::string WinFileSystem::CurrentDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buf);
  return (n > 0 && n < MAX_PATH * 2) ? Narrow(std::wstring_view(buf, n)) : std::string(".");
}

bool WinFileSystem::SetCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryW(Wide(path).c_str()) != 0;
}

std::string WinFileSystem::WindowsDirectory() {
  wchar_t buf[MAX_PATH * 2];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH * 2);
  return Narrow(std::wstring_view(buf, n));
}

std::string WinFileSystem::SystemDirectory() {
  wchar_t buf[MAX_PATH * 2];
  UINT n = GetSystemDirectoryW(buf, MAX_PATH * 2);
  return Narrow(std::wstring_view(buf, n));
}

std::string WinFileSystem::TempDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetTempPathW(MAX_PATH * 2, buf);
  return Narrow(std::wstring_view(buf, n));
}

}  // namespace win32
