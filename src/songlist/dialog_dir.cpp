#include "songlist/dialog_dir.h"

namespace songlist {

bool RunDialogIn(platform::FileSystem& fs, platform::FileDialog& dlg,
                 const platform::FileDialogRequest& req, platform::FileDialogResult* result,
                 std::string* lastDir, const std::function<void()>& onOk) {
  if (!lastDir->empty()) fs.SetCurrentDirectory(*lastDir);
  bool ok = dlg.Run(req, result);
  if (ok && onOk) onOk();
  *lastDir = fs.CurrentDirectory();
  fs.SetCurrentDirectory(fs.WindowsDirectory());
  return ok;
}

}  // namespace songlist
