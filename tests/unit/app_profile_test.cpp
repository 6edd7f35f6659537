#include <gtest/gtest.h>

#include "app/profile.h"

using app::Profile;

TEST(AppProfile, ReadsLikeThePlatform) {
  Profile p(
      "junk before=any section\r\n"
      "[Config]\r\n"
      "  Key One \t=  value with  blanks \t\r\n"
      "key one=second is never seen\n"
      "; comment=line\r"
      "noequals\r\n"
      "[ other ]\n"
      "a=\"quoted\"\n"
      "[broken\n"
      "b=in other still\n"
      "[config]\n"
      "late=second section of the same name is not read\n");
  EXPECT_EQ(p.Read("CONFIG", "KEY ONE", "d", 80), "value with  blanks");
  EXPECT_EQ(p.Read("config", "junk before", "d", 80), "d");  // keys outside sections
  EXPECT_EQ(p.Read("config", "; comment", "d", 80), "d");
  EXPECT_EQ(p.Read("config", "noequals", "d", 80), "d");
  EXPECT_EQ(p.Read("OTHER", "a", "d", 80), "\"quoted\"");  // no quote stripping
  EXPECT_EQ(p.Read("other", "b", "d", 80), "in other still");  // "[broken" is no header
  EXPECT_EQ(p.Read("config", "late", "d", 80), "d");
  EXPECT_EQ(p.Read("missing", "a", "d", 80), "d");
  EXPECT_EQ(p.Read("other", "A", "d", 80), "\"quoted\"");  // keys without regard to case
}

TEST(AppProfile, ReadLimitKeepsLimitMinusOneBytes) {
  std::string data = "[s]\r\nk=123456789\r\nj=\x82\xa0\x82\xa2\r\nn=ab";
  data += std::string("\0cd\r\n", 5);
  Profile p(data);
  EXPECT_EQ(p.Read("s", "k", "", 3), "12");
  EXPECT_EQ(p.Read("s", "k", "", 1), "");
  EXPECT_EQ(p.Read("s", "k", "", 0), "");
  EXPECT_EQ(p.Read("s", "missing", "abcdef", 4), "abc");  // defaults obey the limit too
  // A double-byte character is never split at the limit.
  EXPECT_EQ(p.Read("s", "j", "", 4), "\x82\xa0");
  // The value ends at a NUL.
  EXPECT_EQ(p.Read("s", "n", "", 80), "ab");
}

TEST(AppProfile, WritesInPlaceAtSectionEndOrAsNewSection) {
  Profile p("; settings\r\n[A]\r\nOne = 1\r\n\r\n[B]\r\nx=y\r\n");
  p.Write("a", "ONE", "11");       // in place, keeps the key's spelling
  p.Write("A", "Two", "2");        // after the last key of A, before the blank line
  p.Write("C", "k", "v");          // new section at the end
  p.Write("B", "x", "a\r\nb=c");   // a line break cannot leak into the file
  EXPECT_EQ(p.Serialize(),
            "; settings\r\n[A]\r\nOne=11\r\nTwo=2\r\n\r\n[B]\r\nx=a\r\n[C]\r\nk=v\r\n");
  EXPECT_EQ(p.Read("a", "two", "", 80), "2");

  Profile empty;
  empty.Write("VERSION", "VERSION", "119");
  EXPECT_EQ(empty.Serialize(), "[VERSION]\r\nVERSION=119\r\n");
  // Lone LF and CR line ends come back as CR LF.
  Profile mixed("[s]\nk=1\rj=2");
  EXPECT_EQ(mixed.Serialize(), "[s]\r\nk=1\r\nj=2\r\n");
  // Blank and comment lines come back exactly, however many there are.
  Profile blanks("\n\n;c\n[s]\n\n\nk=v\n\n");
  blanks.Write("s", "j", "w");
  EXPECT_EQ(blanks.Serialize(), "\r\n\r\n;c\r\n[s]\r\n\r\n\r\nk=v\r\nj=w\r\n\r\n");
}

TEST(AppProfile, SurvivesHostileInput) {
  std::string huge(300000, 'x');
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  Profile p("[s]\r\nk=" + huge + "\r\n" + binary + "\r\n[\x81]\r\n=\r\n[]\r\n]=[\r\n");
  EXPECT_EQ(p.Read("s", "k", "", 80).size(), 79u);
  EXPECT_EQ(p.Read("", "", "none", 80), "none");
  p.Write("", "", "");
  p.Write("s", "k", "short");
  EXPECT_EQ(p.Read("s", "k", "", 80), "short");
  Profile nul(std::string(1000, '\0'));
  EXPECT_EQ(nul.Read("s", "k", "d", 80), "d");
}
