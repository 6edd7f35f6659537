#include "songlist/songfile.h"

#include <cstring>
#include <vector>

#include "text/sjis.h"

namespace songlist {

namespace {

constexpr size_t kMaxFileBytes = 4u << 20;  // far above 999 entries of 259-byte paths

// A line reader in the C runtime's text mode: LF ends a line and a CR right
// before it is dropped; a lone CR stays part of the line.
class Lines {
 public:
  explicit Lines(std::string_view d) : d_(d) {}
  // False at the end of the data. closed tells whether a line end followed.
  bool Next(std::string_view* line, bool* closed = nullptr) {
    if (pos_ >= d_.size()) return false;
    size_t lf = d_.find('\n', pos_);
    size_t end = lf == std::string_view::npos ? d_.size() : lf;
    std::string_view l = d_.substr(pos_, end - pos_);
    if (lf != std::string_view::npos && !l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (closed) *closed = lf != std::string_view::npos;
    pos_ = lf == std::string_view::npos ? d_.size() : lf + 1;
    *line = l;
    return true;
  }

 private:
  std::string_view d_;
  size_t pos_ = 0;
};

// The section name of a "[...]" line (double-byte aware), or false.
bool SectionName(std::string_view line, std::string_view* name) {
  size_t open = std::string_view::npos;
  for (size_t i = 0; i < line.size(); i += text::CharLen(line, i)) {
    if (text::CharLen(line, i) != 1) continue;
    if (open == std::string_view::npos) {
      if (line[i] == '[') open = i;
    } else if (line[i] == ']') {
      *name = line.substr(open + 1, i - open - 1);
      return true;
    }
  }
  return false;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string FormatSongFile(const SongList& list, uint32_t pauseTime, std::string_view extraKeys) {
  std::string out;
  out.reserve(static_cast<size_t>(list.Count()) * 80 + 128);
  auto line = [&out](std::string_view s) {
    out.append(s.data(), s.size());
    out += "\r\n";
  };
  for (int i = 0; i < list.Count(); ++i) {
    line(list.PathOfSlot(i));
    line(std::to_string(list.SlotAt(i)));
    line(std::to_string(static_cast<int32_t>(list.FlagsOfSlot(i))));
  }
  line("");
  line("[CONFIG]");
  line("FILENUMBER=" + std::to_string(list.Count()));
  line("PLAYNUMBER=" + std::to_string(list.Current()));
  line("PAUSETIME=" + std::to_string(static_cast<int32_t>(pauseTime)));
  line("PLAYFLAG=" + std::to_string(list.links().playback->State()));
  line("BASEX=" + std::to_string(list.FirstColumn()));
  line("RSEL=" + std::to_string(list.Anchor()));
  out.append(extraKeys.data(), extraKeys.size());
  return out;
}

// Refused: no [CONFIG], no final line end, FILENUMBER outside 0..999 or below
// PLAYNUMBER, missing entry lines, and a play order that is not a permutation
// of 0..count-1 (it indexes the slots). Repaired: a current position, anchor
// or first column outside the list, a negative PAUSETIME, flag-word bits other
// than the play mark and the selection, and path lines longer than 259 bytes
// (cut, the line still consumed so the triples stay in step).
bool ParseSongFile(std::string_view data, ListState* out, ResumeKeys* keys) {
  Lines lines(data);
  std::string_view line;
  bool found = false;
  while (lines.Next(&line)) {
    std::string_view name;
    if (SectionName(line, &name) && text::EqualNoCase(name, "CONFIG")) {
      found = true;
      break;
    }
  }
  if (!found) return false;

  long fileNumber = -1, playNumber = 0, pauseTime = 0, baseX = 0, rsel = -1;
  bool inConfig = true, seenSnf = false, seenFileName = false;
  ResumeKeys resume;
  bool closed = true;
  while (lines.Next(&line, &closed)) {
    std::string_view section;
    if (SectionName(line, &section) && line.find('=') == std::string_view::npos) {
      inConfig = false;  // the profile reader takes the first [CONFIG] section only
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    std::string_view value = line.substr(eq + 1);
    long v = text::ReadNumber(value);
    if (text::EqualNoCase(key, "FILENUMBER")) fileNumber = v;
    else if (text::EqualNoCase(key, "PLAYNUMBER")) playNumber = v;
    else if (text::EqualNoCase(key, "PAUSETIME")) pauseTime = v;
    else if (text::EqualNoCase(key, "PLAYFLAG")) {}  // never starts playback
    else if (text::EqualNoCase(key, "BASEX")) baseX = v;
    else if (text::EqualNoCase(key, "RSEL")) rsel = v;
    if (inConfig) {
      std::string_view k = Trim(key);
      if (!seenSnf && text::EqualNoCase(k, "SNF")) {
        resume.snf = std::string(Trim(value));
        seenSnf = true;
      } else if (!seenFileName && text::EqualNoCase(k, "FILENAME")) {
        resume.fileName = std::string(Trim(value));
        seenFileName = true;
      }
    }
  }
  if (!closed) return false;
  if (fileNumber < 0 || fileNumber > kMaxEntries || fileNumber < playNumber) return false;

  const int n = static_cast<int>(fileNumber);
  Lines entries(data);
  std::vector<bool> seen(n, false);
  int selected = 0;
  for (int i = 0; i < n; ++i) {
    std::string_view p, o, f;
    if (!entries.Next(&p) || !entries.Next(&o) || !entries.Next(&f)) return false;
    p = p.substr(0, p.find('\0'));
    std::string cut = text::CutBytes(p, kMaxPath);
    std::memcpy(out->path[i], cut.data(), cut.size());
    out->path[i][cut.size()] = '\0';
    long slot = text::ReadNumber(o);
    if (slot < 0 || slot >= n || seen[slot]) return false;
    seen[slot] = true;
    out->order[i] = static_cast<int32_t>(slot);
    uint32_t flags = static_cast<uint32_t>(text::ReadNumber(f));
    uint32_t clean = ((flags & 0xFF) != 0 ? kMarkSkipped : 0) | (flags & kSelected);
    out->flags[i] = clean;
    if (clean & kSelected) ++selected;
  }
  out->count = n;
  out->current = (playNumber >= 0 && playNumber < n) ? static_cast<int32_t>(playNumber) : 0;
  out->startPos = pauseTime > 0 ? static_cast<uint32_t>(pauseTime) : 0;
  out->playerState = kStopped;
  out->firstColumn = (baseX >= 0 && baseX < (n > 0 ? n : 1)) ? static_cast<int32_t>(baseX) : 0;
  out->anchor = (rsel >= -1 && rsel < n) ? static_cast<int32_t>(rsel) : -1;
  out->selected = selected;
  out->focus = 0;
  if (keys) *keys = resume;
  return true;
}

int WriteSongFile(platform::FileSystem& fs, const std::string& path, SongList& list,
                  std::string_view extraKeys) {
  text::PathParts parts = text::SplitPath(path);
  std::string dir = parts.drive + parts.dir;
  if (!dir.empty()) {
    // The attribute query wants the directory without its trailing backslash,
    // except for a root such as "c:\".
    std::string query = dir;
    if (query.size() > 1 && text::EndsWithBackslash(query) &&
        !(query.size() == 3 && query[1] == ':')) {
      query.pop_back();
    }
    uint32_t attr = 0;
    if (!fs.GetAttributes(query, &attr)) {
      if (!fs.CreateDirectory(query)) return kSnfWriteError;
    } else if (attr & platform::kAttrReadOnly) {
      return kSnfDirReadOnly;
    }
  }
  uint32_t attr = 0;
  if (fs.GetAttributes(path, &attr) && (attr & platform::kAttrReadOnly)) return kSnfFileReadOnly;

  uint32_t pause = list.StartPosition();
  uint32_t now = 0;
  PlaybackLink& pb = *list.links().playback;
  if (pb.State() == kPlaying && pb.QueryPosition(&now)) pause = now;

  switch (fs.WriteWholeFile(path, FormatSongFile(list, pause, extraKeys))) {
    case platform::WriteResult::kOk: return kSnfWritten;
    case platform::WriteResult::kFileReadOnly: return kSnfFileReadOnly;
    case platform::WriteResult::kDirectoryReadOnly: return kSnfDirReadOnly;
    default: return kSnfWriteError;
  }
}

bool ReadSongFile(platform::FileSystem& fs, const std::string& path, SongList& list,
                  ResumeKeys* keys) {
  std::string data;
  if (!fs.ReadWholeFile(path, &data, kMaxFileBytes + 1)) return false;
  if (data.size() > kMaxFileBytes) return false;
  ListState& scratch = list.Scratch();
  if (!ParseSongFile(data, &scratch, keys)) return false;
  list.LoadState(scratch);
  return true;
}

bool IsResumeFileName(std::string_view path) {
  return text::EqualNoCase(text::SplitPath(path).name, "temp");
}

namespace {

// Under Win32s only 8.3 names can be opened.
bool FitsShortNames(const std::string& path) {
  text::PathParts p = text::SplitPath(path);
  if (p.name.size() > 8 || p.ext.size() > 4) return false;
  size_t start = 0;
  const std::string& d = p.dir;
  for (size_t i = 0; i <= d.size(); i += (i < d.size() ? text::CharLen(d, i) : 1)) {
    if (i == d.size() || ((d[i] == '\\' || d[i] == '/') && text::CharLen(d, i) == 1)) {
      if (i - start > 8) return false;
      start = i + 1;
    }
  }
  return true;
}

}  // namespace

void TieAfterLoad(SongList& list, const std::string& path, const ResumeKeys& keys, bool win32s) {
  if (!IsResumeFileName(path)) {
    list.SetSnfName(path);
    list.SetTied(true);
    return;
  }
  // A FILENAME that cannot be a stored name is ignored rather than cut.
  bool usable = keys.snf == "ON" && !keys.fileName.empty() &&
                keys.fileName.size() <= static_cast<size_t>(kMaxPath) &&
                (!win32s || FitsShortNames(keys.fileName));
  if (usable) {
    list.SetSnfName(keys.fileName);
    list.SetTied(true);
  } else {
    list.SetSnfName("");
    list.SetTied(false);
  }
}

}  // namespace songlist
