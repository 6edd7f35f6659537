#include "text/sjis.h"

#include <cstdint>

namespace text {

bool IsTrailByteAt(std::string_view s, size_t i) {
  size_t p = 0;
  while (p < i) p += CharLen(s, p);
  return p > i;
}

void ToLowerAscii(std::string& s) {
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] - 'A' + 'a');
  }
}

void ToUpperAscii(std::string& s) {
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
    if (s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 'a' + 'A');
  }
}

void CapitalizeWords(std::string& s) {
  // A word goes on after the apostrophe, the full stop, A-Z and 0x5E-0xFF
  // (lower-case letters, the underscore and the Shift-JIS bytes); anything
  // else (digits, blanks, hyphens, most punctuation) starts a new word.
  bool wordStart = true;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = CharLen(s, i);
    if (len == 1) {
      if (c >= 'a' && c <= 'z') {
        if (wordStart) s[i] = static_cast<char>(c - 'a' + 'A');
      } else if (c >= 'A' && c <= 'Z') {
        if (!wordStart) s[i] = static_cast<char>(c - 'A' + 'a');
      }
    }
    wordStart = !(c == '\'' || c == '.' || (c >= 'A' && c <= 'Z') || c >= 0x5E);
    i += len;
  }
}

void ApplyCase(std::string& s, long mode) {
  switch (mode) {
    case kCaseLower: ToLowerAscii(s); break;
    case kCaseUpper: ToUpperAscii(s); break;
    case kCaseWords: CapitalizeWords(s); break;
    default: break;
  }
}

std::string WithCase(std::string s, long mode) {
  ApplyCase(s, mode);
  return s;
}

static inline unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  // The bytes before i are equal, so a trail byte stands at the same place
  // in both; it is compared as it is, or "ア" (83 41) would equal "ヂ" (83 61).
  bool trail = false;
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    unsigned char x = trail ? ca : FoldAscii(ca);
    unsigned char y = trail ? cb : FoldAscii(cb);
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && IsLeadByte(ca);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

PathParts SplitPath(std::string_view path) {
  PathParts p;
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(path[0])) {
    p.drive = std::string(path.substr(0, 2));
    start = 2;
  }
  size_t lastSep = std::string_view::npos;  // index of the last separator
  size_t lastDot = std::string_view::npos;
  for (size_t i = start; i < path.size(); i += CharLen(path, i)) {
    if (CharLen(path, i) == 2) continue;
    if (path[i] == '\\' || path[i] == '/') {
      lastSep = i;
      lastDot = std::string_view::npos;
    } else if (path[i] == '.') {
      lastDot = i;
    }
  }
  size_t nameStart = start;
  if (lastSep != std::string_view::npos) {
    p.dir = std::string(path.substr(start, lastSep + 1 - start));
    nameStart = lastSep + 1;
  }
  if (lastDot != std::string_view::npos) {
    p.name = std::string(path.substr(nameStart, lastDot - nameStart));
    p.ext = std::string(path.substr(lastDot));
  } else {
    p.name = std::string(path.substr(nameStart));
  }
  return p;
}

std::string Extension(std::string_view path) { return SplitPath(path).ext; }

std::string FileNamePart(std::string_view path) {
  PathParts p = SplitPath(path);
  return p.name + p.ext;
}

std::string DirectoryPart(std::string_view path) {
  PathParts p = SplitPath(path);
  return p.drive + p.dir;
}

bool EndsWithBackslash(std::string_view s) {
  if (s.empty()) return false;
  size_t last = 0;
  for (size_t i = 0; i < s.size(); i += CharLen(s, i)) last = i;
  return CharLen(s, last) == 1 && s[last] == '\\';
}

std::string WithBackslash(std::string s) {
  if (!EndsWithBackslash(s)) s += '\\';
  return s;
}

long ReadNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    neg = s[i] == '-';
    ++i;
  }
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 0x80000000LL) v = 0x80000000LL;  // saturate like the 32-bit runtime
  }
  if (neg) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  return static_cast<long>(v);
}

std::string CutBytes(std::string_view s, size_t n) {
  if (s.size() <= n) return std::string(s);
  size_t i = 0;
  while (i < n) {
    size_t len = CharLen(s, i);
    if (i + len > n) break;
    i += len;
  }
  return std::string(s.substr(0, i));
}

}  // namespace text
