// File dialogs open in a remembered directory; afterwards the directory the
// user ended in is remembered and the process goes back to the Windows
// directory, so no directory stays in use by this program.
#pragma once

#include <functional>
#include <string>

#include "platform/file_dialog.h"
#include "platform/files.h"

namespace songlist {

// Runs the dialog with the process in *lastDir. onOk runs (only after OK)
// while the process is still in the directory where the dialog ended.
bool RunDialogIn(platform::FileSystem& fs, platform::FileDialog& dlg,
                 const platform::FileDialogRequest& req, platform::FileDialogResult* result,
                 std::string* lastDir, const std::function<void()>& onOk = {});

}  // namespace songlist
