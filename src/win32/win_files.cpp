#include "win32/win_files.h"

#include "win32/wnd/win.h"

#include <algorithm>
#include <cwchar>

#include "text/sjis.h"
#include "win32/wnd/text_conv.h"

using wnd::Wide;

namespace win32 {

namespace {

// '?' stands for a character code page 932 cannot hold; such a name, or a
// wildcard, must never reach a file call, which would open another file.
bool Foreign(const std::string& path) { return path.find_first_of("?*") != std::string::npos; }

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
  if (Foreign(path)) return false;
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

bool WinFileSystem::WritePart(void* handle, const char* data, size_t n) {
  DWORD put = 0;
  return ::WriteFile(static_cast<HANDLE>(handle), data, static_cast<DWORD>(n), &put, nullptr) &&
         put == n;
}

namespace {

// Temporary files of the writer: "~cv" and four hex digits, ".tmp". Short,
// so the temporary path fits wherever the target's does.
constexpr wchar_t kTempPattern[] = L"~cv????.tmp";
// A temporary file this old is left from a crash, not from a write in progress.
constexpr ULONGLONG kStaleAge = 10ull * 60 * 10000000;  // 10 minutes in 100 ns

std::wstring DirectoryOf(const std::wstring& path) {
  size_t cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// Paths at MAX_PATH or beyond go in the extended form the W functions accept.
std::wstring ForCall(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

ULONGLONG FileTimeValue(const FILETIME& t) {
  return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void RemoveStaleTemporaries(const std::wstring& dir) {
  FILETIME nowFt;
  GetSystemTimeAsFileTime(&nowFt);
  ULONGLONG now = FileTimeValue(nowFt);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(ForCall(dir + kTempPattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    // The pattern's '?' also matches shorter names; only our own shape goes.
    if (wcslen(fd.cFileName) != 11) continue;
    if (now - FileTimeValue(fd.ftLastWriteTime) < kStaleAge) continue;
    ::DeleteFileW(ForCall(dir + fd.cFileName).c_str());
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

}  // namespace

platform::WriteResult WinFileSystem::WriteWholeFile(const std::string& path, std::string_view data) {
  if (Foreign(path)) return platform::WriteResult::kWriteError;
  std::wstring target = Wide(path);
  DWORD attr = GetFileAttributesW(ForCall(target).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES) {
    if (attr & FILE_ATTRIBUTE_DIRECTORY) return platform::WriteResult::kWriteError;
    if (attr & FILE_ATTRIBUTE_READONLY) return platform::WriteResult::kFileReadOnly;
    // Reached by its short name, the file keeps its long one.
    DWORD n = GetLongPathNameW(ForCall(target).c_str(), nullptr, 0);
    if (n > 0) {
      std::wstring full(n, L'\0');
      n = GetLongPathNameW(ForCall(target).c_str(), full.data(), n);
      if (n > 0 && n < full.size()) {
        full.resize(n);
        target = full;
      }
    }
  }
  std::wstring dir = DirectoryOf(target);
  RemoveStaleTemporaries(dir);

  // The new content goes to a temporary file beside the target, then replaces it.
  std::wstring temp;
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 8);
  for (int i = 0; i < 64 && h == INVALID_HANDLE_VALUE; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"~cv%04x.tmp", static_cast<unsigned>((seed + i * 7919u) & 0xFFFF));
    temp = dir + name;
    h = CreateFileW(ForCall(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  if (h == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    DWORD dirAttr = GetFileAttributesW(ForCall(dir.empty() ? L"." : dir).c_str());
    bool dirReadOnly = dirAttr != INVALID_FILE_ATTRIBUTES && (dirAttr & FILE_ATTRIBUTE_READONLY);
    return (err == ERROR_ACCESS_DENIED && dirReadOnly) ? platform::WriteResult::kDirectoryReadOnly
                                                       : platform::WriteResult::kWriteError;
  }
  bool ok = true;
  constexpr size_t kPart = 64 * 1024;
  for (size_t at = 0; ok && at < data.size(); at += kPart) {
    ok = WritePart(h, data.data() + at, std::min(kPart, data.size() - at));
  }
  ok = ok && FlushFileBuffers(h);
  CloseHandle(h);
  if (ok && attr != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesW(ForCall(temp).c_str(), attr & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                      FILE_ATTRIBUTE_ARCHIVE));
  }
  if (ok) {
    ok = MoveFileExW(ForCall(temp).c_str(), ForCall(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) {
    ::DeleteFileW(ForCall(temp).c_str());
    return platform::WriteResult::kWriteError;
  }
  return platform::WriteResult::kOk;
}

bool WinFileSystem::GetAttributes(const std::string& path, uint32_t* attributes) {
  if (Foreign(path)) return false;
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = a;
  return true;
}

bool WinFileSystem::Find(const std::string& path, platform::FileInfo* info) {
  if (Foreign(path)) return false;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(path).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  info->name = wnd::NarrowFoundName(fd);
  info->attributes = fd.dwFileAttributes;
  info->size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  return true;
}

bool WinFileSystem::ListDirectory(const std::string& dir, std::vector<platform::FileInfo>* entries) {
  entries->clear();
  if (Foreign(dir)) return false;
  std::string pattern = text::WithBackslash(dir) + "*.*";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0) continue;
    platform::FileInfo fi;
    fi.name = wnd::NarrowFoundName(fd);
    fi.attributes = fd.dwFileAttributes;
    fi.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    entries->push_back(std::move(fi));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return true;
}

bool WinFileSystem::CreateDirectory(const std::string& path) {
  if (Foreign(path)) return false;
  return ::CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
}

bool WinFileSystem::DeleteFile(const std::string& path) {
  if (Foreign(path)) return false;
  return ::DeleteFileW(Wide(path).c_str()) != 0;
}

std::unique_ptr<platform::File> WinFileSystem::OpenRead(const std::string& path) {
  if (Foreign(path)) return nullptr;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h);
}

std::unique_ptr<platform::File> WinFileSystem::Create(const std::string& path) {
  if (Foreign(path)) return nullptr;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h);
}

std::string WinFileSystem::CurrentDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buf);
  return (n > 0 && n < MAX_PATH * 2) ? wnd::NarrowPath(std::wstring_view(buf, n)) : std::string(".");
}

bool WinFileSystem::SetCurrentDirectory(const std::string& path) {
  if (Foreign(path)) return false;
  return SetCurrentDirectoryW(Wide(path).c_str()) != 0;
}

std::string WinFileSystem::WindowsDirectory() {
  wchar_t buf[MAX_PATH * 2];
  UINT n = GetWindowsDirectoryW(buf, MAX_PATH * 2);
  return wnd::NarrowPath(std::wstring_view(buf, n));
}

std::string WinFileSystem::SystemDirectory() {
  wchar_t buf[MAX_PATH * 2];
  UINT n = GetSystemDirectoryW(buf, MAX_PATH * 2);
  return wnd::NarrowPath(std::wstring_view(buf, n));
}

std::string WinFileSystem::TempDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetTempPathW(MAX_PATH * 2, buf);
  return wnd::NarrowPath(std::wstring_view(buf, n));
}

}  // namespace win32
