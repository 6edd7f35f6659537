#include <gtest/gtest.h>

#include "text/sjis.h"

using text::ApplyCase;

namespace {
std::string Cased(std::string s, long mode) {
  ApplyCase(s, mode);
  return s;
}
}  // namespace

TEST(TextCase, CapitalisedWordsFollowTheWordRules) {
  EXPECT_EQ(Cased("my song_name-2.mid", 2), "My Song_name-2.mid");
  EXPECT_EQ(Cased("c:\\my music\\01-abc.mid", 2), "C:\\My Music\\01-Abc.mid");
  EXPECT_EQ(Cased("it's a.MID", 2), "It's A.mid");
}

TEST(TextCase, DoubleByteTrailBytesAreNotLetters) {
  // "ソ" is 0x83 0x5C and "ア" 0x83 0x41: the trail bytes must stay untouched.
  std::string s = "\x83\x41\x83\x5c" "ab";
  EXPECT_EQ(Cased(s, 1), "\x83\x41\x83\x5c" "AB");
  std::string u = "\x83\x41" "AB";
  EXPECT_EQ(Cased(u, 0), "\x83\x41" "ab");
  // A letter after a double-byte character continues the word.
  EXPECT_EQ(Cased("\x83\x41" "ab", 2), "\x83\x41" "ab");
  EXPECT_EQ(Cased("AbC", 7), "AbC");
}

TEST(TextCase, CaselessComparisonFoldsOnlySingleByteLetters) {
  EXPECT_TRUE(text::EqualNoCase("C:\\Pics\\A.BMP", "c:\\pics\\a.bmp"));
  // "ア" (83 41) and "ヂ" (83 61) differ only by a trail byte that looks like a case pair.
  EXPECT_FALSE(text::EqualNoCase("\x83\x41.bmp", "\x83\x61.bmp"));
  EXPECT_GT(text::CompareNoCase("\x83\x61", "\x83\x41"), 0);
  // After a double-byte character, single-byte letters fold again.
  EXPECT_TRUE(text::EqualNoCase("\x83\x41" "A", "\x83\x41" "a"));
}

TEST(TextPath, SplitPathStepsOverTrailBytes) {
  // "表" is 0x95 0x5C: its trail byte is not a directory separator.
  text::PathParts p = text::SplitPath("c:\\\x95\x5c\\song.MID");
  EXPECT_EQ(p.drive, "c:");
  EXPECT_EQ(p.dir, "\\\x95\x5c\\");
  EXPECT_EQ(p.name, "song");
  EXPECT_EQ(p.ext, ".MID");
  EXPECT_EQ(text::Extension("a.b\\c"), "");
  EXPECT_EQ(text::Extension("dir.x\\name.tar.mp3"), ".mp3");
  EXPECT_FALSE(text::EndsWithBackslash("c:\\\x95\x5c"));
  EXPECT_TRUE(text::EndsWithBackslash("c:\\"));
  EXPECT_EQ(text::WithBackslash("c:\\\x95\x5c"), "c:\\\x95\x5c\\");
}

TEST(TextNumber, ReadNumberTakesTheLeadingNumber) {
  EXPECT_EQ(text::ReadNumber("  -12abc"), -12);
  EXPECT_EQ(text::ReadNumber("abc"), 0);
  EXPECT_EQ(text::ReadNumber("+7"), 7);
  EXPECT_EQ(text::ReadNumber("99999999999999999999"), 2147483647L);
  EXPECT_EQ(text::ReadNumber("-99999999999999999999"), -2147483647L - 1);
}

TEST(TextCut, CutBytesNeverSplitsACharacter) {
  std::string s = "\x82\xa0\x82\xa2\x82\xa4";  // three double-byte characters
  EXPECT_EQ(text::CutBytes(s, 3), "\x82\xa0");
  EXPECT_EQ(text::CutBytes(s, 4), "\x82\xa0\x82\xa2");
  EXPECT_EQ(text::CutBytes("abc", 5), "abc");
}
