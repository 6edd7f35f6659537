#include <gtest/gtest.h>

#include "app/command_line.h"

using app::CommandLine;
using app::ParseCommandLine;
using Paths = std::vector<std::string>;

TEST(AppCommandLine, NoArguments) {
  for (const char* line : {"", "corvella.exe", "corvella.exe ", "\"C:\\Program Files\\corvella.exe\"",
                           "\"C:\\Program Files\\corvella.exe\" ", "\"c:\\unterminated a.mid",
                           "  corvella.exe"}) {
    CommandLine c = ParseCommandLine(line);
    EXPECT_FALSE(c.hasArguments) << line;
    EXPECT_FALSE(c.closeOption) << line;
    EXPECT_TRUE(c.paths.empty()) << line;
  }
}

TEST(AppCommandLine, PathsAreLowerCasedAndQuotedProgramSkipped) {
  CommandLine c = ParseCommandLine("\"C:\\Program Files\\Corvella\\corvella.exe\" A.MID D:\\Songs\\");
  EXPECT_TRUE(c.hasArguments);
  EXPECT_FALSE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"a.mid", "d:\\songs\\"}));

  // Trail bytes that look like capitals or a slash are not touched.
  c = ParseCommandLine("corvella.exe C:\\\x83\x41\\B.MID X\x81/CLOSE ");
  EXPECT_FALSE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"c:\\\x83\x41\\b.mid", "x\x81/close"}));
}

TEST(AppCommandLine, QuotedArgumentsKeepTheirBlanks) {
  CommandLine c =
      ParseCommandLine("\"C:\\P Q\\corvella.exe\" \"C:\\My Music\\A.mid\" b.mid \"\" \"e f\"g");
  EXPECT_EQ(c.paths, (Paths{"c:\\my music\\a.mid", "b.mid", "e fg"}));
  c = ParseCommandLine("corvella \"c:\\a b\\x.mid\"");
  EXPECT_EQ(c.paths, (Paths{"c:\\a b\\x.mid"}));
  // A slash inside quotes is part of the path.
  c = ParseCommandLine("corvella \"c:/a b/x.mid\" ");
  EXPECT_EQ(c.paths, (Paths{"c:/a b/x.mid"}));
}

TEST(AppCommandLine, Options) {
  // CLOSE in capitals with nothing after it: no path, nothing to play.
  CommandLine c = ParseCommandLine("corvella.exe /CLOSE ");
  EXPECT_TRUE(c.hasArguments);
  EXPECT_TRUE(c.closeOption);
  EXPECT_TRUE(c.paths.empty());

  c = ParseCommandLine("\"C:\\x y\\corvella.exe\" /close d:\\ e.mid");
  EXPECT_TRUE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"d:\\", "e.mid"}));

  // An option at the very end is removed and ignored.
  c = ParseCommandLine("corvella.exe a.mid /close");
  EXPECT_FALSE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"a.mid"}));
  c = ParseCommandLine("corvella.exe /CLOSE");
  EXPECT_TRUE(c.hasArguments);
  EXPECT_FALSE(c.closeOption);
  EXPECT_TRUE(c.paths.empty());

  // Other options are dropped; "close" may follow them.
  c = ParseCommandLine("corvella.exe /min /Close c.mid /x d.mid");
  EXPECT_TRUE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"c.mid", "d.mid"}));
  c = ParseCommandLine("corvella.exe /closer c.mid");
  EXPECT_FALSE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"c.mid"}));
  // Only the first 40 characters of a name are kept.
  c = ParseCommandLine("corvella.exe /" + std::string(60, 'q') + " c.mid");
  EXPECT_FALSE(c.closeOption);
  EXPECT_EQ(c.paths, (Paths{"c.mid"}));
  // A slash inside a path starts an option too.
  c = ParseCommandLine("corvella.exe c:/music/a.mid b.mid");
  EXPECT_EQ(c.paths, (Paths{"c:", "b.mid"}));
}

TEST(ResolveArgument, RelativeNamesLandInTheStartDirectory) {
  EXPECT_EQ(app::ResolveArgument("a.mid", "C:\\Music"), "c:\\music\\a.mid");
  EXPECT_EQ(app::ResolveArgument("sub\\b.wav", "C:\\"), "c:\\sub\\b.wav");
  EXPECT_EQ(app::ResolveArgument("\\x\\c.mid", "D:\\Songs"), "d:\\x\\c.mid");
  EXPECT_EQ(app::ResolveArgument("e:\\y\\d.mid", "C:\\Music"), "e:\\y\\d.mid");
  EXPECT_EQ(app::ResolveArgument("\\\\server\\share\\e.mid", "C:\\"), "\\\\server\\share\\e.mid");
  EXPECT_EQ(app::ResolveArgument("d:\\", "C:\\Music"), "d:\\");
  // "表" ends in 0x5C: the start directory still gets its separator.
  EXPECT_EQ(app::ResolveArgument("f.mid", "c:\\\x95\x5c"), "c:\\\x95\x5c\\f.mid");
}
