#include "app/profile.h"

#include "text/sjis.h"

namespace app {
namespace {

constexpr size_t npos = std::string::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// The text up to the first NUL, cut to limit - 1 bytes.
std::string Limited(std::string_view v, size_t limit) {
  if (limit == 0) return std::string();
  size_t nul = v.find('\0');
  if (nul != npos) v = v.substr(0, nul);
  return text::CutBytes(v, limit - 1);
}

}  // namespace

Profile::Line Profile::MakeLine(std::string s) {
  Line line;
  line.text = std::move(s);
  std::string_view t = Trim(line.text);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    size_t close = t.find(']');
    if (close != npos) {
      line.kind = Kind::kSection;
      line.name = std::string(Trim(t.substr(1, close - 1)));
    }
    return line;
  }
  size_t eq = t.find('=');
  if (eq == npos) return line;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return line;
  line.kind = Kind::kKey;
  line.name = std::string(key);
  line.value = std::string(Trim(t.substr(eq + 1)));
  return line;
}

void Profile::Parse(std::string_view data) {
  lines_.clear();
  size_t i = 0;
  while (i < data.size()) {
    size_t e = i;
    while (e < data.size() && data[e] != '\r' && data[e] != '\n') ++e;
    Line line = MakeLine(std::string(data.substr(i, e - i)));
    // Runs of blank, comment and other lines are kept as one block: they are
    // only ever written back, and a file of a million empty lines should not
    // cost a million line records.
    if (line.kind == Kind::kOther && !lines_.empty() && lines_.back().kind == Kind::kOther) {
      lines_.back().text += "\r\n";
      lines_.back().text += line.text;
    } else {
      lines_.push_back(std::move(line));
    }
    if (e < data.size() && data[e] == '\r' && e + 1 < data.size() && data[e + 1] == '\n') ++e;
    i = e + 1;
  }
}

size_t Profile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kSection && text::EqualNoCase(lines_[i].name, section)) return i;
  }
  return npos;
}

size_t Profile::FindKey(size_t s, std::string_view key) const {
  for (size_t i = s + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::kSection) break;
    if (lines_[i].kind == Kind::kKey && text::EqualNoCase(lines_[i].name, key)) return i;
  }
  return npos;
}

std::string Profile::Read(std::string_view section, std::string_view key, std::string_view def,
                          size_t limit) const {
  size_t s = FindSection(section);
  size_t k = s == npos ? npos : FindKey(s, key);
  return Limited(k == npos ? def : std::string_view(lines_[k].value), limit);
}

void Profile::Write(std::string_view section, std::string_view key, std::string_view value) {
  size_t cut = value.find_first_of(std::string_view("\r\n\0", 3));
  if (cut != npos) value = value.substr(0, cut);
  std::string v(Trim(value));

  size_t s = FindSection(section);
  if (s == npos) {
    lines_.push_back(MakeLine("[" + std::string(section) + "]"));
    lines_.push_back(MakeLine(std::string(key) + "=" + v));
    return;
  }
  // One pass finds the key or, failing that, the last key line of the
  // section: a new key goes after it, so blank lines and comments that
  // separate it from the next section stay where they are.
  size_t at = s;
  for (size_t i = s + 1; i < lines_.size() && lines_[i].kind != Kind::kSection; ++i) {
    if (lines_[i].kind != Kind::kKey) continue;
    if (text::EqualNoCase(lines_[i].name, key)) {
      Line& line = lines_[i];
      line.text = line.name + "=" + v;
      line.value = v;
      return;
    }
    at = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at + 1),
                MakeLine(std::string(key) + "=" + v));
}

std::string Profile::Serialize() const {
  std::string out;
  size_t n = 0;
  for (const Line& l : lines_) n += l.text.size() + 2;
  out.reserve(n);
  for (const Line& l : lines_) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

}  // namespace app
