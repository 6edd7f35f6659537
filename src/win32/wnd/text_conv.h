// Conversions between the program's Shift-JIS byte strings and the UTF-16
// the W functions take, so Japanese shows right on a Windows of any locale.
#pragma once

#include "win32/wnd/win.h"

#include <string>
#include <string_view>

namespace wnd {

constexpr UINT kCodePage = 932;

std::wstring Wide(std::string_view sjis);
// For text that is only shown: characters code page 932 lacks become '?'.
std::string Narrow(std::wstring_view utf16);
std::string Narrow(const wchar_t* utf16);

// Exact conversion without best fit: false when some character has no
// code-page-932 form. "¥" must never turn into a backslash.
bool NarrowExact(std::wstring_view utf16, std::string* out);

// A file name or path for the core: exact when code page 932 holds it, else
// its short (8.3) form when the volume has one, else the name with '?' for
// each foreign character. '?' cannot occur in a real path, so the core
// recognises such a name and refuses it, and no file call accepts it.
std::string NarrowPath(std::wstring_view path);
// The same for a name found by FindFirstFile: the short name comes with it.
std::string NarrowFoundName(const WIN32_FIND_DATAW& fd);

// The process command line with every word that code page 932 cannot hold
// replaced as NarrowPath replaces a path (quotes and blanks kept).
std::string NarrowCommandLine(std::wstring_view commandLine);

}  // namespace wnd
