#include "win32/wnd/text_conv.h"

namespace wnd {

std::wstring Wide(std::string_view sjis) {
  if (sjis.empty()) return std::wstring();
  int n = MultiByteToWideChar(kCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), w.data(), n);
  return w;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return std::string();
  int n = WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr,
                              0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, utf16.data(), static_cast<int>(utf16.size()), s.data(), n,
                      nullptr, nullptr);
  return s;
}

std::string Narrow(const wchar_t* utf16) {
  return utf16 ? Narrow(std::wstring_view(utf16)) : std::string();
}

}  // namespace wnd
