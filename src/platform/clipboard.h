// The clipboard as the song list uses it: plain text, the file-drop list and
// one private block. Memory blocks are the shell's business; it only reports
// whether they could be allocated and locked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class ClipResult { kOk, kNoMemory, kLockFailed };

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual void Empty() = 0;

  virtual bool HasText() = 0;
  virtual bool HasFileList() = 0;
  // Whole blocks as they are held (text with its NUL, the file-drop block with
  // its 20-byte header). False when the memory cannot be locked.
  virtual bool GetText(std::string* block) = 0;
  virtual bool GetFileList(std::string* block) = 0;

  virtual ClipResult SetText(const std::string& block) = 0;
  virtual ClipResult SetFileList(const std::string& block) = 0;
  virtual ClipResult SetData(uint32_t format, const std::string& block) = 0;

  // Conversions between the ANSI/OEM code page and 16-bit characters for the
  // wide file-drop lists of the NT family.
  virtual std::u16string ToWide(std::string_view text) = 0;
  virtual std::string FromWide(std::u16string_view text) = 0;
};

}  // namespace platform
