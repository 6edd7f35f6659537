// Shift-JIS (code page 932) byte-string helpers. Every scan of a path or a
// text in the program goes through IsLeadByte so that the second byte of a
// double-byte character (which may look like '\\' or a letter) is never taken
// for a character of its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool IsLeadByte(char c) { return IsLeadByte(static_cast<unsigned char>(c)); }

// Length of the character starting at s[i] (1 or 2; 1 at a lone lead byte at the end).
inline size_t CharLen(std::string_view s, size_t i) {
  return (IsLeadByte(s[i]) && i + 1 < s.size() && s[i + 1] != '\0') ? 2 : 1;
}

// True when byte i of s is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, size_t i);

// Name case modes of the settings (STRUPR).
enum CaseMode { kCaseLower = 0, kCaseUpper = 1, kCaseWords = 2 };

void ToLowerAscii(std::string& s);          // A-Z -> a-z, double-byte aware
void ToUpperAscii(std::string& s);          // a-z -> A-Z, double-byte aware
void CapitalizeWords(std::string& s);       // first letter of each word upper, rest lower
// Applies the STRUPR mode; other values leave the text as stored.
void ApplyCase(std::string& s, long mode);
std::string WithCase(std::string s, long mode);

// ASCII case-insensitive byte comparison (paths, extensions).
bool EqualNoCase(std::string_view a, std::string_view b);
int CompareNoCase(std::string_view a, std::string_view b);

// Splits a path the way the C runtime's _splitpath does, double-byte aware:
// drive ("c:"), directory (with its trailing backslash), base name, extension
// (with its dot). Either '\\' or '/' separates directories.
struct PathParts {
  std::string drive, dir, name, ext;
};
PathParts SplitPath(std::string_view path);

// Extension of a path including the dot ("" when none).
std::string Extension(std::string_view path);
// The part after the last directory separator.
std::string FileNamePart(std::string_view path);
// The directory part with its trailing separator ("" when none), drive included.
std::string DirectoryPart(std::string_view path);
// True when the last character of s is a backslash (not the trail byte of a
// double-byte character).
bool EndsWithBackslash(std::string_view s);
// Appends a backslash unless s already ends in one.
std::string WithBackslash(std::string s);

// Leading decimal number of a text: optional blanks and sign, then digits;
// no digits reads as 0. Saturates to the 32-bit range, as on the target.
long ReadNumber(std::string_view s);

// Cuts s to at most n bytes without splitting a double-byte character.
std::string CutBytes(std::string_view s, size_t n);

}  // namespace text
