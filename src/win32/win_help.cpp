#include "win32/win_help.h"

#include <shellapi.h>

#include "text/sjis.h"
#include "win32/wnd/text_conv.h"

namespace win32 {

namespace {

// Shift-JIS without best fit: a name the code page cannot hold is reported
// as not converted rather than turned into a different, wrong name.
bool ToSjisExactly(const std::wstring& w, std::string* out) {
  if (w.empty()) return false;
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(wnd::kCodePage, WC_NO_BEST_FIT_CHARS, w.data(),
                              static_cast<int>(w.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return false;
  out->assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(wnd::kCodePage, WC_NO_BEST_FIT_CHARS, w.data(), static_cast<int>(w.size()),
                      out->data(), n, nullptr, nullptr);
  return true;
}

}  // namespace

std::string ProgramDirectory() {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return std::string();
  std::wstring dir(buf, n);
  size_t slash = dir.find_last_of(L"\\/");
  dir.resize(slash == std::wstring::npos ? 0 : slash + 1);
  std::string sjis;
  if (ToSjisExactly(dir, &sjis)) return sjis;
  wchar_t shortBuf[MAX_PATH];
  DWORD m = GetShortPathNameW(dir.c_str(), shortBuf, MAX_PATH);
  if (m > 0 && m < MAX_PATH && ToSjisExactly(shortBuf, &sjis)) return text::WithBackslash(sjis);
  return std::string();
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
