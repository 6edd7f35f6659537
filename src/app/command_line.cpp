#include "app/command_line.h"

#include "text/sjis.h"

namespace app {
namespace {

constexpr char kPlaceholder[] = "c:\\corvella.exe ";

// A quoted program path becomes the placeholder word, so that the blanks it
// may hold do not count as word breaks. Returns the buffer to scan on.
std::string ReplaceQuotedProgram(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  // Leading blanks would count as word breaks before the program path.
  if (i >= line.size() || line[i] != '"') return std::string(line.substr(i));
  size_t close = std::string_view::npos;
  for (size_t j = i + 1; j < line.size(); j += text::CharLen(line, j)) {
    if (line[j] == '"') {
      close = j;
      break;
    }
  }
  // Nothing after the path (or no closing quote): no arguments.
  if (close == std::string_view::npos || close + 2 >= line.size()) return std::string();
  return kPlaceholder + std::string(line.substr(close + 2));
}

int CountWords(const std::string& buf) {
  int words = 1;
  for (size_t i = 0; i < buf.size(); i += text::CharLen(buf, i)) {
    if (buf[i] == ' ' && i + 1 < buf.size()) ++words;
  }
  return words;
}

// Takes the options out of buf (blanking them) and reports whether "close" was among them.
bool TakeOptions(std::string* buf) {
  bool close = false;
  std::string& b = *buf;
  size_t from = 0;
  for (;;) {
    // The first "/" outside quotes.
    size_t slash = std::string::npos;
    bool quoted = false;
    for (size_t i = from; i < b.size(); i += text::CharLen(b, i)) {
      if (b[i] == '"') quoted = !quoted;
      if (b[i] == '/' && !quoted) {
        slash = i;
        break;
      }
    }
    if (slash == std::string::npos) return close;
    std::string name;
    size_t i = slash + 1;
    while (i < b.size() && b[i] != ' ') {
      size_t n = text::CharLen(b, i);
      if (name.size() + n <= kMaxOptionName) name.append(b, i, n);
      i += n;
    }
    for (size_t k = slash; k < i && k < b.size(); ++k) b[k] = ' ';
    // An option counts only when a blank follows it.
    if (i >= b.size()) return close;
    if (text::EqualNoCase(name, "close")) close = true;
    from = i;
  }
}

// Words separated by blanks; a double quote starts or ends a stretch in which
// blanks belong to the word.
std::vector<std::string> SplitWords(const std::string& b) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (size_t i = 0; i < b.size();) {
    size_t n = text::CharLen(b, i);
    char c = b[i];
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word.append(b, i, n);
      any = true;
    }
    i += n;
  }
  if (any) words.push_back(word);
  return words;
}

}  // namespace

CommandLine ParseCommandLine(std::string_view commandLine) {
  CommandLine result;
  size_t nul = commandLine.find('\0');
  if (nul != std::string_view::npos) commandLine = commandLine.substr(0, nul);

  std::string buf = ReplaceQuotedProgram(commandLine);
  if (CountWords(buf) < 2) return result;
  result.hasArguments = true;
  result.closeOption = TakeOptions(&buf);

  std::vector<std::string> words = SplitWords(buf);
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i].empty()) continue;  // "" names nothing
    text::ToLowerAscii(words[i]);
    result.paths.push_back(std::move(words[i]));
  }
  return result;
}

}  // namespace app

namespace app {

std::string ResolveArgument(const std::string& path, const std::string& startDirectory) {
  bool hasDrive = path.size() >= 2 && path[1] == ':' && !text::IsLeadByte(path[0]);
  bool rooted = !path.empty() && (path[0] == '\\' || path[0] == '/');
  std::string out;
  if (hasDrive || (rooted && path.size() >= 2 && (path[1] == '\\' || path[1] == '/'))) {
    out = path;
  } else if (rooted) {
    bool startHasDrive = startDirectory.size() >= 2 && startDirectory[1] == ':';
    out = (startHasDrive ? startDirectory.substr(0, 2) : std::string()) + path;
  } else if (startDirectory.empty()) {
    out = path;
  } else {
    out = text::WithBackslash(startDirectory) + path;
  }
  text::ToLowerAscii(out);
  return out;
}

}  // namespace app
