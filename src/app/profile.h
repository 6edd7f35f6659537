// Our own reader and writer of private profile files (corvella.ini and the
// [CONFIG] keys of song-name files): "[section]" lines, "key=value" lines,
// section and key matched without regard to ASCII case, blanks and tabs around
// keys and values trimmed, no quoting. The whole file is held in memory; the
// caller reads it in and writes Serialize() back as one file, so a failed
// write never leaves half a settings file behind.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class Profile {
 public:
  Profile() = default;
  explicit Profile(std::string_view data) { Parse(data); }

  // Replaces the contents with the lines of data. Any bytes are accepted;
  // CR LF, LF and a lone CR all end a line.
  void Parse(std::string_view data);
  // Forgets every line (the file becomes empty).
  void Clear() { lines_.clear(); }

  // The value of section/key cut to at most limit - 1 bytes (never splitting a
  // double-byte character), or def (cut the same way) when the key is
  // missing. The platform's read stops at a NUL, so ours does too.
  std::string Read(std::string_view section, std::string_view key, std::string_view def,
                   size_t limit) const;

  // Sets section/key: the first matching key line gets the new value in place
  // (keeping its spelling of the key); otherwise "key=value" follows the last
  // key line of the section; a missing section is appended at the end of the
  // file. A value is cut at its first CR, LF or NUL, which would otherwise end
  // the line.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  // The whole file, every line ended with CR LF.
  std::string Serialize() const;
  bool Empty() const { return lines_.empty(); }

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    Kind kind = Kind::kOther;
    std::string text;   // the line as read or as last written
    std::string name;   // section name or trimmed key
    std::string value;  // trimmed value of a key line
  };
  // Index of the first section line named section, or npos.
  size_t FindSection(std::string_view section) const;
  // Index of the key line within the section starting at s, or npos.
  size_t FindKey(size_t s, std::string_view key) const;
  static Line MakeLine(std::string text);

  std::vector<Line> lines_;
};

}  // namespace app
