// The open and save file dialogs. The core fills in a request and parses the
// raw result buffer itself, so both dialog styles are handled in one place.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum : uint32_t {
  kDlgMultiSelect = 0x0001,
  kDlgFileMustExist = 0x0002,
  kDlgHideReadOnly = 0x0004,
  kDlgOverwritePrompt = 0x0008,
  kDlgNoValidate = 0x0010,
  kDlgExplorer = 0x0020,  // explorer style; without it the old style
};

struct FileDialogRequest {
  bool save = false;        // save dialog instead of open dialog
  std::string title;
  std::string filter;       // "label|pattern|label|pattern|" ('|' stands for NUL)
  int filterIndex = 1;      // 1-based row of the filter list
  std::string defaultExt;   // without the dot, "" for none
  std::string initialDir;   // "" = the process's current directory
  std::string fileName;     // prefilled name field
  uint32_t flags = 0;
};

struct FileDialogResult {
  // The dialog's result buffer as the platform fills it: explorer style
  // "dir\0name\0name\0\0" or one full path; old style "dir name name" or one
  // path. Embedded NULs are kept.
  std::string buffer;
  int filterIndex = 1;  // the row the user left selected
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;
  // False when the user cancelled (or the dialog failed).
  virtual bool Run(const FileDialogRequest& request, FileDialogResult* result) = 0;
};

}  // namespace platform
