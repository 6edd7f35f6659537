#include "win32/wnd/text_conv.h"

#include <vector>

#include "text/sjis.h"

namespace wnd {

std::wstring Wide(std::string_view sjis) {
  if (sjis.empty()) return std::wstring();
  int n = MultiByteToWideChar(kCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, sjis.data(), static_cast<int>(sjis.size()), w.data(), n);
  return w;
}

namespace {

// No best fit: a character without a code-page-932 form becomes '?'.
std::string Convert(std::wstring_view utf16, bool* usedDefault) {
  BOOL used = FALSE;
  std::string s;
  if (!utf16.empty()) {
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(),
                                static_cast<int>(utf16.size()), nullptr, 0, "?", &used);
    s.assign(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
      WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(),
                          static_cast<int>(utf16.size()), s.data(), n, "?", &used);
    }
  }
  if (usedDefault) *usedDefault = used != FALSE;
  return s;
}

bool ShortForm(const std::wstring& path, std::string* out) {
  DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return false;
  std::vector<wchar_t> buf(n + 1);
  DWORD got = GetShortPathNameW(path.c_str(), buf.data(), n + 1);
  if (got == 0 || got > n) return false;
  return NarrowExact(std::wstring_view(buf.data(), got), out);
}

}  // namespace

std::string Narrow(std::wstring_view utf16) { return Convert(utf16, nullptr); }

std::string Narrow(const wchar_t* utf16) {
  return utf16 ? Narrow(std::wstring_view(utf16)) : std::string();
}

bool NarrowExact(std::wstring_view utf16, std::string* out) {
  bool used = false;
  *out = Convert(utf16, &used);
  return !used;
}

std::string NarrowPath(std::wstring_view path) {
  std::string s;
  if (NarrowExact(path, &s)) return s;
  std::wstring w(path);
  size_t slash = w.find_last_of(L"\\/");
  std::string dir, name;
  if (slash != std::wstring::npos && slash > 0) {
    bool dirHeld = NarrowExact(std::wstring_view(w).substr(0, slash), &dir);
    bool nameHeld = NarrowExact(std::wstring_view(w).substr(slash + 1), &name);
    // Only the part that needs it goes short, so the list still reads well.
    if (dirHeld && !nameHeld && ShortForm(w, &s)) {
      text::PathParts parts = text::SplitPath(s);
      return dir + "\\" + parts.name + parts.ext;
    }
    // A file not yet there (a save target) has no short name, but its
    // directory may have one.
    if (!dirHeld && nameHeld && ShortForm(w.substr(0, slash), &s)) return s + "\\" + name;
  }
  if (ShortForm(w, &s)) return s;
  return Narrow(path);
}

std::string NarrowFoundName(const WIN32_FIND_DATAW& fd) {
  std::string s;
  if (NarrowExact(fd.cFileName, &s)) return s;
  if (fd.cAlternateFileName[0] && NarrowExact(fd.cAlternateFileName, &s)) return s;
  return Narrow(fd.cFileName);
}

std::string NarrowCommandLine(std::wstring_view line) {
  std::string out;
  if (NarrowExact(line, &out)) return out;
  // Word by word: blanks end a word outside quotes; the quotes stay.
  out.clear();
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == L' ' || line[i] == L'\t') {
      out.push_back(static_cast<char>(line[i++]));
      continue;
    }
    size_t start = i;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t'))) {
      if (line[i] == L'"') quoted = !quoted;
      ++i;
    }
    std::wstring_view word = line.substr(start, i - start);
    std::string s;
    if (NarrowExact(word, &s)) {
      out += s;
      continue;
    }
    std::wstring bare;
    for (wchar_t c : word) {
      if (c != L'"') bare.push_back(c);
    }
    bool hadQuote = bare.size() != word.size();
    s = NarrowPath(bare);
    out += hadQuote ? "\"" + s + "\"" : s;
  }
  return out;
}

}  // namespace wnd
