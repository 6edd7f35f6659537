#include "songlist/clip_format.h"

#include <cstring>

#include "songlist/model.h"
#include "text/sjis.h"

namespace songlist {

namespace {

uint32_t Le32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

void PutLe32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string WithoutLoneLead(std::string_view line) {
  size_t last = 0;
  for (size_t i = 0; i < line.size(); i += text::CharLen(line, i)) last = i;
  if (!line.empty() && text::CharLen(line, last) == 1 && text::IsLeadByte(line[last])) {
    line.remove_suffix(1);
  }
  return std::string(line);
}

}  // namespace

std::vector<std::string> SplitClipboardText(std::string_view t) {
  t = t.substr(0, t.find('\0'));
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < t.size()) {
    size_t end = t.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = t.size();
    std::string_view line = t.substr(i, end - i);
    if (!line.empty() && line.size() <= static_cast<size_t>(kMaxPath)) {
      std::string l = WithoutLoneLead(line);
      if (!l.empty()) lines.push_back(std::move(l));
    }
    i = end;
    if (i < t.size()) {
      char c = t[i++];
      if (i < t.size() && (t[i] == '\r' || t[i] == '\n') && t[i] != c) ++i;
    }
  }
  return lines;
}

bool ParseDropFiles(std::string_view block,
                    const std::function<std::string(std::u16string_view)>& fromWide,
                    std::vector<std::string>* paths) {
  paths->clear();
  if (block.size() < 20) return false;
  uint32_t offset = Le32(block, 0);
  bool wide = Le32(block, 16) != 0;
  // Writers always put the list right after the header; an offset pointing
  // into the header or past the block is not trusted.
  if (offset < 20 || offset > block.size()) offset = 20;
  size_t i = offset;
  if (wide) {
    while (i + 1 < block.size()) {
      std::u16string s;
      while (i + 1 < block.size()) {
        char16_t c = static_cast<char16_t>(static_cast<unsigned char>(block[i]) |
                                           static_cast<unsigned char>(block[i + 1]) << 8);
        i += 2;
        if (c == 0) break;
        s.push_back(c);
      }
      if (s.empty()) break;
      std::string p = fromWide(s);
      if (!p.empty() && p.size() <= static_cast<size_t>(kMaxPath)) paths->push_back(p);
    }
  } else {
    while (i < block.size()) {
      size_t end = block.find('\0', i);
      if (end == std::string_view::npos) end = block.size();
      if (end == i) break;
      std::string_view p = block.substr(i, end - i);
      if (p.size() <= static_cast<size_t>(kMaxPath)) paths->emplace_back(p);
      i = end + 1;
    }
  }
  return true;
}

std::string BuildDropFiles(const std::vector<std::string>& paths, bool wide,
                           const std::function<std::u16string(std::string_view)>& toWide) {
  std::string out;
  PutLe32(&out, 20);          // offset of the list
  PutLe32(&out, 0);           // drop point x
  PutLe32(&out, 0);           // drop point y
  PutLe32(&out, wide ? 1 : 0);  // non-client flag
  PutLe32(&out, wide ? 1 : 0);  // wide characters
  for (const std::string& p : paths) {
    if (wide) {
      for (char16_t c : toWide(p)) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
      }
      out.append(2, '\0');
    } else {
      out += p;
      out.push_back('\0');
    }
  }
  out.append(2, '\0');
  return out;
}

}  // namespace songlist
