// Windows implementations of the small platform interfaces of the song list:
// clipboard, file dialogs, the wait cursor and locale collation.
#pragma once

#include "win32/wnd/win.h"

#include "platform/clipboard.h"
#include "platform/collate.h"
#include "platform/cursor.h"
#include "platform/file_dialog.h"

namespace win32 {

class WinClipboard : public platform::Clipboard {
 public:
  explicit WinClipboard(HWND owner) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  bool Open() override;
  void Close() override;
  void Empty() override;
  bool HasText() override;
  bool HasFileList() override;
  bool GetText(std::string* block) override;
  bool GetFileList(std::string* block) override;
  platform::ClipResult SetText(const std::string& block) override;
  platform::ClipResult SetFileList(const std::string& block) override;
  platform::ClipResult SetData(uint32_t format, const std::string& block) override;
  std::u16string ToWide(std::string_view text) override;
  std::string FromWide(std::u16string_view text) override;

 private:
  platform::ClipResult Put(UINT format, const void* data, size_t size);
  HWND owner_;
};

class WinFileDialog : public platform::FileDialog {
 public:
  explicit WinFileDialog(HWND owner) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  bool Run(const platform::FileDialogRequest& request, platform::FileDialogResult* result) override;

 private:
  HWND owner_;
};

class WinCursor : public platform::Cursor {
 public:
  void Wait() override { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
  void Arrow() override { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
};

class WinCollator : public platform::Collator {
 public:
  int Compare(std::string_view a, std::string_view b) override;
  bool SamePath(std::string_view a, std::string_view b) override;
};

}  // namespace win32
