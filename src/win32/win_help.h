// The shell's half of the manual: where the program lives and handing a page
// to whatever the user's system opens HTML with.
#pragma once

#include "win32/wnd/win.h"

#include <string>

namespace win32 {

// The program's directory with its trailing backslash, in Shift-JIS; the
// short form when the long one has characters that code page cannot hold.
std::string ProgramDirectory();

// Opens a document with its registered program (the default browser for a
// page); false when the system found nothing to open it with.
bool OpenDocument(HWND owner, const std::string& sjisPath);

}  // namespace win32
