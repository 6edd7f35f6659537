#include "win32/win_help.h"

#include <shellapi.h>

#include "songlist/media.h"
#include "text/sjis.h"
#include "win32/wnd/text_conv.h"

namespace win32 {

std::string ProgramDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return std::string();
  std::wstring dir(buf, n);
  size_t slash = dir.find_last_of(L"\\/");
  dir.resize(slash == std::wstring::npos ? 0 : slash);
  if (dir.empty()) return std::string();
  // A folder name the code page cannot hold goes by its short name; if it
  // has none, no manual path can be formed.
  std::string sjis = wnd::NarrowPath(dir);
  if (songlist::IsForeignName(sjis)) return std::string();
  return text::WithBackslash(sjis);
}

bool OpenHtmlPage(HWND owner, const std::string& sjisPath) {
  std::wstring path = wnd::Wide(sjisPath);
  SHELLEXECUTEINFOW si = {};
  si.cbSize = sizeof si;
  si.fMask = SEE_MASK_FLAG_NO_UI;
  si.hwnd = owner;
  si.lpVerb = L"open";
  si.lpFile = path.c_str();
  si.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&si)) return true;
  // A Wine prefix without its HTML engine knows the browser for "htmlfile"
  // but has no ".html" extension pointing there.
  si.fMask |= SEE_MASK_CLASSNAME;
  si.lpClass = L"htmlfile";
  return ShellExecuteExW(&si) != FALSE;
}

}  // namespace win32
