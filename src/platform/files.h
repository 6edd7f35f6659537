// Files and directories, as the core sees them. Paths are Shift-JIS byte
// strings; the Windows implementation converts them to UTF-16 at each call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Attribute bits with the platform's values.
enum : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

struct FileInfo {
  std::string name;       // the name as the file system stores it (no directory)
  uint32_t attributes = 0;
  uint64_t size = 0;
  bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
};

// Result of writing a whole file through a temporary name.
enum class WriteResult {
  kOk = 0,
  kFileReadOnly,       // the target exists and is read-only
  kDirectoryReadOnly,  // the directory is read-only and refused the temporary file
  kWriteError,         // creating, writing, flushing or renaming failed; the old file is intact
};

// An open file for sequential and random reading (decoder, MIDI title, MacBinary).
class File {
 public:
  virtual ~File() = default;
  // Reads up to n bytes at the current position; returns the count read (0 at the end or on error).
  virtual size_t Read(void* buf, size_t n) = 0;
  virtual bool Seek(uint64_t offset) = 0;
  virtual uint64_t Size() const = 0;
  // Writing is used only for files created with Create().
  virtual bool Write(const void* buf, size_t n) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads a whole file (at most maxBytes). False when it cannot be opened or read.
  virtual bool ReadWholeFile(const std::string& path, std::string* data,
                             size_t maxBytes = SIZE_MAX) = 0;
  // Writes data to a temporary file in the same directory and renames it over
  // path, so a failure never leaves a half-written file in place of a good one.
  // Temporary files an earlier crash left there are removed.
  virtual WriteResult WriteWholeFile(const std::string& path, std::string_view data) = 0;

  // Attributes of a file or directory; false when it does not exist.
  virtual bool GetAttributes(const std::string& path, uint32_t* attributes) = 0;
  // Looks a single path up (no wildcards); fills the stored name. False when missing.
  virtual bool Find(const std::string& path, FileInfo* info) = 0;
  // Entries of a directory (without "." and ".."), in the platform's order.
  virtual bool ListDirectory(const std::string& dir, std::vector<FileInfo>* entries) = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;

  virtual std::unique_ptr<File> OpenRead(const std::string& path) = 0;
  virtual std::unique_ptr<File> Create(const std::string& path) = 0;

  virtual std::string CurrentDirectory() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  virtual std::string TempDirectory() = 0;

  bool Exists(const std::string& path) {
    uint32_t a;
    return GetAttributes(path, &a);
  }
  bool IsDirectory(const std::string& path) {
    uint32_t a;
    return GetAttributes(path, &a) && (a & kAttrDirectory) != 0;
  }
};

}  // namespace platform
