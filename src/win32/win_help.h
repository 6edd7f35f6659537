// The shell's half of the manual: where the program lives and handing a page
// to whatever the user's system opens HTML with.
#pragma once

#include "win32/wnd/win.h"

#include <string>

namespace win32 {

// The program's directory with its trailing backslash, in Shift-JIS; the
// short form when the long one has characters that code page cannot hold.
std::string ProgramDirectory();

// Opens an HTML page in the user's default browser; false when the system
// found nothing to open it with.
bool OpenHtmlPage(HWND owner, const std::string& sjisPath);

}  // namespace win32
