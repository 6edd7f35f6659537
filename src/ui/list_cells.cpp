#include "ui/list_cells.h"

#include <cstdio>

#include "text/sjis.h"

namespace ui {

uint32_t BackgroundColor(int32_t r, int32_t g, int32_t b) {
  auto pick = [](int32_t v, int32_t def) { return static_cast<uint32_t>(v < 0 || v > 255 ? def : v); };
  return Rgb(pick(r, 255), pick(g, 255), pick(b, 232));
}

std::string CdTitle(std::string_view name) {
  std::string out;
  size_t i = 0;
  while (i < name.size()) {
    if (name[i] == '$') {
      size_t run = 0;
      while (i + run < name.size() && name[i + run] == '$') ++run;
      if (run == 1) break;
      out.append(run - 1, '$');
      i += run;
      continue;
    }
    size_t len = text::CharLen(name, i);
    out.append(name.substr(i, len));
    i += len;
  }
  return out;
}

bool IsAcd(std::string_view path) { return text::EqualNoCase(text::Extension(path), ".acd"); }

bool IsCdEntry(std::string_view path) {
  std::string ext = text::Extension(path);
  return text::EqualNoCase(ext, ".acd") || text::EqualNoCase(ext, ".cda");
}

std::string CellName(std::string_view path, int32_t charNum, int32_t caseMode) {
  std::string name = text::WithCase(text::SplitPath(path).name, caseMode);
  if (IsAcd(path)) name = CdTitle(name);
  return text::CutBytes(name, charNum > 0 ? static_cast<size_t>(charNum) : 0);
}

std::string CellNumber(int32_t pos) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%3d.", static_cast<int>(pos + 1));
  return buf;
}

int32_t KindIcon(std::string_view path) {
  static const struct {
    const char* ext;
    int32_t icon;
  } kIcons[] = {
      {".mid", kIconMid}, {".wav", kIconWav}, {".avi", kIconAvi}, {".mov", kIconMov},
      {".jpg", kIconJpg}, {".acd", kIconCd},  {".cda", kIconCd},  {".mpg", kIconMpg},
      {".dat", kIconMpg}, {".mp2", kIconMpegAudio}, {".mp3", kIconMpegAudio},
  };
  std::string ext = text::Extension(path);
  for (const auto& k : kIcons) {
    if (text::EqualNoCase(ext, k.ext)) return k.icon;
  }
  return 0;
}

CellLook LookOf(const songlist::SongList& list, const ListLayout& layout, int32_t pos) {
  CellLook c;
  const bool skipped = list.MarkAt(pos) == songlist::kMarkSkipped;
  const bool selected = list.SelectedAt(pos);
  const bool current = pos == list.Current();
  c.text = skipped ? kSkippedText : kText;
  if (selected && current) {
    c.filled = true;
    c.fill = kSelectedCurrentFill;
    c.text = skipped ? kSelectedCurrentSkippedText : kSelectedCurrentText;
  } else if (selected) {
    c.filled = true;
    c.fill = kSelectedFill;
  } else if (current && layout.grid) {
    c.filled = true;
    c.fill = kCurrentFill;
  }
  if (layout.grid && pos == list.Focus()) {
    c.frame = CellFrame::kFocus;
  } else {
    c.frame = layout.header ? CellFrame::kPlain : CellFrame::kSunken;
  }
  return c;
}

HeaderContent MakeHeader(std::string_view path, std::string_view snfName, bool snfLoaded,
                         int32_t caseMode, int32_t charset, DriveInfo& drives) {
  HeaderContent h;
  text::PathParts parts = text::SplitPath(text::WithCase(std::string(path), caseMode));
  h.cd = IsCdEntry(path);
  if (h.cd) {
    h.driveImage = 4;
    std::string dir = parts.dir;
    if (dir != "\\") {
      // "\Artist  <Disc>\" shows as "Artist  <Disc>"; the directory is ASCII
      // delimiters around the disc text, so plain byte cuts are safe here.
      if (!dir.empty()) dir.pop_back();
      if (dir.size() > 1) dir.erase(0, 1);
      h.dirText = dir;
    } else if (charset == kShiftJisCharset) {
      h.dirText = "オーディオＣＤ";
    } else {
      h.dirText = caseMode == text::kCaseUpper ? "AUDIO CD"
                  : caseMode == text::kCaseWords ? "Audio CD"
                                                 : "audio CD";
    }
  } else {
    int32_t type;
    if (parts.drive.empty()) {
      type = 4;
    } else {
      std::string root = parts.drive + "\\";
      type = drives.Type(root);
      if (type == 3) {
        uint32_t sector = drives.SectorSize(root);
        if (sector != 256 && sector != 512) type = 6;
      }
    }
    if (type < 1) type = 1;
    if (type > 7) type = 7;
    h.driveImage = type - 1;

    std::string dir = parts.dir;
    h.driveText = parts.drive;
    if (dir.size() > 1) {
      if (text::EndsWithBackslash(dir)) dir.pop_back();
      if (!parts.drive.empty() && dir[0] == '\\') dir.erase(0, 1);
    }
    if (parts.drive.empty() && dir.size() > 4 && dir[0] == '\\' && dir[1] == '\\') {
      // \\server\share\dir: the server stands where a drive would.
      size_t i = 2;
      while (i < dir.size() && dir[i] != '\\') i += text::CharLen(dir, i);
      h.driveText = dir.substr(2, i - 2);
      dir = i < dir.size() ? dir.substr(i + 1) : std::string();
    }
    h.dirText = dir;
  }
  if (snfLoaded && !snfName.empty()) {
    h.snf = true;
    std::string s(snfName);
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') s.erase(0, 2);
    h.snfText = text::WithCase(s, caseMode);
  }
  return h;
}

}  // namespace ui
