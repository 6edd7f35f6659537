// The process command line: program path, options after "/", paths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace app {

struct CommandLine {
  bool hasArguments = false;  // two or more words: the list comes from the command line
  bool closeOption = false;   // "/close": play one item, then end the program
  std::vector<std::string> paths;  // lower-cased, in command-line order
};

// Longest option name kept; longer names cannot be "close" anyway.
constexpr size_t kMaxOptionName = 40;

// Parses the whole command line of the process, program path included.
// A program path in double quotes (which may hold blanks) is replaced by a
// placeholder word. Options are "/" and the characters up to the next blank;
// one that ends the line (no blank after it) is ignored. Arguments may be
// quoted to keep blanks inside a path; the quotes are removed.
CommandLine ParseCommandLine(std::string_view commandLine);

}  // namespace app

namespace app {

// A relative command-line path made absolute against the directory the
// program was started in (the process moves to the Windows directory before
// the list is built, so a relative name would otherwise point there).
// Absolute paths ("c:\...", "\\server\...") stay as they are; "\dir\..." takes
// the drive of startDirectory. The result is lower-cased like every argument.
std::string ResolveArgument(const std::string& path, const std::string& startDirectory);

}  // namespace app
