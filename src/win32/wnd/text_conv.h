// Conversions between the program's Shift-JIS byte strings and the UTF-16
// the W functions take, so Japanese shows right on a Windows of any locale.
#pragma once

#include "win32/wnd/win.h"

#include <string>
#include <string_view>

namespace wnd {

constexpr UINT kCodePage = 932;

std::wstring Wide(std::string_view sjis);
std::string Narrow(std::wstring_view utf16);
std::string Narrow(const wchar_t* utf16);

}  // namespace wnd
