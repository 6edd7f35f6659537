#include "win32/win_platform.h"

#include <commdlg.h>

#include <vector>

#include "text/sjis.h"
#include "win32/wnd/text_conv.h"

using wnd::Narrow;
using wnd::Wide;

namespace win32 {

// ---- clipboard ----

bool WinClipboard::Open() { return OpenClipboard(owner_) != 0; }
void WinClipboard::Close() { CloseClipboard(); }
void WinClipboard::Empty() { EmptyClipboard(); }

bool WinClipboard::HasText() {
  return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}
bool WinClipboard::HasFileList() { return IsClipboardFormatAvailable(CF_HDROP) != 0; }

bool WinClipboard::GetText(std::string* block) {
  // Unicode text converted here, so the bytes are code page 932 on any locale.
  HANDLE h = GetClipboardData(CF_UNICODETEXT);
  if (!h) return false;
  const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h));
  if (!p) return false;
  size_t maxChars = GlobalSize(h) / sizeof(wchar_t);
  size_t n = 0;
  while (n < maxChars && p[n]) ++n;
  // Line by line, so a line naming a file code page 932 cannot hold becomes
  // its short name (or is marked foreign) as a dropped path would.
  std::wstring_view all(p, n);
  block->clear();
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = all.size();
    *block += wnd::NarrowPath(all.substr(start, end - start));
    if (end == all.size()) break;
    block->push_back(static_cast<char>(all[end]));
    start = end + 1;
  }
  block->push_back('\0');
  GlobalUnlock(h);
  return true;
}

bool WinClipboard::GetFileList(std::string* block) {
  HANDLE h = GetClipboardData(CF_HDROP);
  if (!h) return false;
  const char* p = static_cast<const char*>(GlobalLock(h));
  if (!p) return false;
  block->assign(p, GlobalSize(h));
  GlobalUnlock(h);
  return true;
}

platform::ClipResult WinClipboard::Put(UINT format, const void* data, size_t size) {
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
  if (!g) return platform::ClipResult::kNoMemory;
  void* p = GlobalLock(g);
  if (!p) {
    GlobalFree(g);
    return platform::ClipResult::kLockFailed;
  }
  if (size) memcpy(p, data, size);
  GlobalUnlock(g);
  if (!SetClipboardData(format, g)) {
    GlobalFree(g);
    return platform::ClipResult::kNoMemory;
  }
  return platform::ClipResult::kOk;
}

platform::ClipResult WinClipboard::SetText(const std::string& block) {
  std::string bytes = block;
  size_t nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  std::wstring w = Wide(bytes);
  w.push_back(L'\0');
  return Put(CF_UNICODETEXT, w.data(), w.size() * sizeof(wchar_t));
}

platform::ClipResult WinClipboard::SetFileList(const std::string& block) {
  return Put(CF_HDROP, block.data(), block.size());
}

platform::ClipResult WinClipboard::SetData(uint32_t format, const std::string& block) {
  // Private formats of the program are registered by name.
  UINT f = format;
  if (format >= 0xC000) f = RegisterClipboardFormatW(L"Corvella.FirstPath");
  if (!f) return platform::ClipResult::kNoMemory;
  return Put(f, block.data(), block.size());
}

std::u16string WinClipboard::ToWide(std::string_view text) {
  std::wstring w = Wide(text);
  return std::u16string(w.begin(), w.end());
}

std::string WinClipboard::FromWide(std::u16string_view text) {
  // Only the paths of a file-drop list come this way.
  return wnd::NarrowPath(std::wstring(text.begin(), text.end()));
}

// ---- file dialogs ----

static std::wstring FilterString(const std::string& filter) {
  std::wstring w = Wide(filter);
  for (wchar_t& c : w) {
    if (c == L'|') c = L'\0';
  }
  w.push_back(L'\0');
  return w;
}

bool WinFileDialog::Run(const platform::FileDialogRequest& req, platform::FileDialogResult* result) {
  std::vector<wchar_t> buf(30000, L'\0');
  std::wstring initial = Wide(req.fileName);
  wcsncpy(buf.data(), initial.c_str(), buf.size() - 1);
  std::wstring filter = FilterString(req.filter);
  std::wstring title = Wide(req.title);
  std::wstring ext = Wide(req.defaultExt);
  std::wstring dir = Wide(req.initialDir);
  // The callers move to the remembered directory first; current Windows no
  // longer starts there by itself, so it is named.
  if (dir.empty()) {
    wchar_t cwd[MAX_PATH] = L"";
    if (GetCurrentDirectoryW(MAX_PATH, cwd) > 0) dir = cwd;
  }

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(req.filterIndex);
  ofn.lpstrFile = buf.data();
  ofn.nMaxFile = static_cast<DWORD>(buf.size());
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  DWORD f = 0;
  if (req.flags & platform::kDlgMultiSelect) f |= OFN_ALLOWMULTISELECT;
  if (req.flags & platform::kDlgFileMustExist) f |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (req.flags & platform::kDlgHideReadOnly) f |= OFN_HIDEREADONLY;
  if (req.flags & platform::kDlgOverwritePrompt) f |= OFN_OVERWRITEPROMPT;
  if (req.flags & platform::kDlgNoValidate) f |= OFN_NOVALIDATE;
  if (req.flags & platform::kDlgExplorer) f |= OFN_EXPLORER;
  ofn.Flags = f;

  BOOL ok = req.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return false;
  // The whole buffer up to its double NUL, each piece converted: a name is
  // converted as part of its full path, so it may become its short name.
  size_t end = 0;
  while (end + 1 < buf.size() && !(buf[end] == 0 && buf[end + 1] == 0)) ++end;
  std::wstring raw(buf.data(), end);
  std::vector<std::wstring> pieces;
  for (size_t start = 0;;) {
    size_t nul = raw.find(L'\0', start);
    pieces.push_back(raw.substr(start, nul == std::wstring::npos ? std::wstring::npos : nul - start));
    if (nul == std::wstring::npos) break;
    start = nul + 1;
  }
  std::string out;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out.push_back('\0');
    if (i == 0 || !(req.flags & platform::kDlgExplorer)) {
      out += wnd::NarrowPath(pieces[i]);
      continue;
    }
    std::wstring dir = pieces[0];
    if (!dir.empty() && dir.back() != L'\\') dir.push_back(L'\\');
    std::string full = wnd::NarrowPath(dir + pieces[i]);
    text::PathParts parts = text::SplitPath(full);
    out += parts.name + parts.ext;
  }
  out.push_back('\0');
  out.push_back('\0');
  result->buffer = out;
  result->filterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

// ---- collation ----

int WinCollator::Compare(std::string_view a, std::string_view b) {
  std::wstring wa = Wide(a), wb = Wide(b);
  int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.c_str(),
                         static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

bool WinCollator::SamePath(std::string_view a, std::string_view b) {
  // Upper-cased code by code, as the file system matches names; a locale
  // comparison would also equate names that differ in other ways.
  std::wstring wa = Wide(a), wb = Wide(b);
  if (wa.size() != wb.size()) return false;
  CharUpperBuffW(wa.data(), static_cast<DWORD>(wa.size()));
  CharUpperBuffW(wb.data(), static_cast<DWORD>(wb.size()));
  return wa == wb;
}

}  // namespace win32
