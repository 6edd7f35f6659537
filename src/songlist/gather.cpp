#include "songlist/gather.h"

#include <algorithm>

#include "songlist/clip_format.h"
#include "songlist/dialog_dir.h"
#include "songlist/media.h"
#include "text/sjis.h"

namespace songlist {

namespace {

constexpr char kPrefilledDirName[] = "ディレクトリを選んでください。";

std::string Lowered(std::string s) {
  text::ToLowerAscii(s);
  return s;
}

// A dropped or pasted path that could matter: a playable file, a song-name
// file, or something without an extension, which may be a directory. Other
// files are skipped silently, whatever their name.
bool MayBeWanted(const std::string& path) {
  return IsPlayable(path) || IsSongFileName(path) || text::Extension(path).empty();
}

bool Fits(const std::string& path) { return !path.empty() && path.size() <= static_cast<size_t>(kMaxPath); }

// The strings of an explorer-style result: "dir\0name\0name\0\0" or "path\0".
std::vector<std::string> NulStrings(const std::string& buffer) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < buffer.size()) {
    size_t end = buffer.find('\0', i);
    if (end == std::string::npos) end = buffer.size();
    if (end == i) break;
    out.push_back(buffer.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

std::vector<std::string> SpaceWords(const std::string& buffer) {
  std::string b = buffer.substr(0, buffer.find('\0'));
  std::vector<std::string> out;
  size_t i = 0;
  while (i < b.size()) {
    size_t end = b.find(' ', i);
    if (end == std::string::npos) end = b.size();
    if (end > i) out.push_back(b.substr(i, end - i));
    i = end + 1;
  }
  return out;
}

}  // namespace

Gatherer::Gatherer(SongList& list, SongFiles& files, platform::FileSystem& fs,
                   platform::Notifier& notifier, platform::FileDialog& dialog,
                   platform::Cursor& cursor, GatherOptions& options)
    : list_(list),
      files_(files),
      fs_(fs),
      notifier_(notifier),
      dialog_(dialog),
      cursor_(cursor),
      options_(options) {}

void Gatherer::Warn(const std::string& text, const std::string& caption, bool beep) {
  if (beep) notifier_.Beep(platform::kBeepWarning);
  notifier_.MessageBox(text, caption, platform::kMbOk | platform::kMbIconExclamation);
}

bool Gatherer::Refuse(const std::string& path) {
  if (!IsForeignName(path)) return false;
  refused_.push_back(path);
  return true;
}

std::vector<std::string> Gatherer::TakeRefused() {
  std::vector<std::string> names;
  names.swap(refused_);
  return names;
}

void Gatherer::ReportRefused(bool beep) {
  if (refused_.empty()) return;
  Warn(ForeignNamesMessage(TakeRefused()), "エラーメッセージ", beep);
}

bool Gatherer::IsExistingFile(const std::string& path) {
  uint32_t attr = 0;
  return fs_.GetAttributes(path, &attr) && !(attr & platform::kAttrDirectory);
}

void Gatherer::FinishNewList() {
  list_.FullPathSort();
  list_.FinishReplace();
}

void Gatherer::ChooseFiles() {
  platform::FileDialogRequest req;
  req.title = "曲のファイルの選択（複数選択可）";
  req.filter = MediaFilterList();
  req.filterIndex = options_.filterIndex;
  req.defaultExt = "mid";
  req.flags = platform::kDlgMultiSelect | platform::kDlgFileMustExist | platform::kDlgHideReadOnly |
              (options_.explorerStyle ? uint32_t{platform::kDlgExplorer} : 0u);
  platform::FileDialogResult res;
  bool ok = RunDialogIn(fs_, dialog_, req, &res, &options_.lastDirectory);
  if (!ok) return;
  options_.filterIndex = res.filterIndex;
  list_.SetBusy(true);

  // The old dialog gives short names; the stored (long) name is looked up.
  auto storedName = [this](const std::string& dir, const std::string& name) {
    platform::FileInfo info;
    return fs_.Find(dir + name, &info) ? info.name : name;
  };

  std::string dir;
  std::vector<std::string> names;
  bool single = false;
  std::string singlePath, singleShown;
  if (options_.explorerStyle) {
    std::vector<std::string> parts = NulStrings(res.buffer);
    if (parts.size() == 1) {
      single = true;
      singlePath = singleShown = parts[0];
    } else if (parts.size() > 1) {
      dir = parts[0];
      if (dir.size() > 1) dir = text::WithBackslash(dir);
      names.assign(parts.begin() + 1, parts.end());
    }
  } else {
    std::vector<std::string> parts = SpaceWords(res.buffer);
    if (parts.size() == 1) {
      single = true;
      text::PathParts p = text::SplitPath(parts[0]);
      std::string d = p.drive + p.dir;
      singlePath = d + storedName(d, p.name + p.ext);
      singleShown = p.name + p.ext;
    } else if (parts.size() > 1) {
      dir = text::WithBackslash(parts[0]);
      for (size_t i = 1; i < parts.size(); ++i) names.push_back(storedName(dir, parts[i]));
    }
  }

  bool added = false;
  if (single) {
    if (IsPlayable(singlePath) && Refuse(singlePath)) {
      ReportRefused(false);
    } else if (IsPlayable(singlePath) && Fits(singlePath)) {
      list_.BeginReplace();
      list_.Append(Lowered(singlePath));
      added = true;
    } else {
      Warn(singleShown + "は、拡張子が違うため演奏できません。", "エラーメッセージ", false);
    }
  } else if (!names.empty()) {
    for (const std::string& name : names) {
      if (list_.Count() >= kMaxEntries && added) break;
      std::string full = dir + name;
      if (!IsPlayable(full) || Refuse(full) || !Fits(full)) continue;
      if (!added) list_.BeginReplace();
      list_.Append(Lowered(full));
      added = true;
    }
    if (!added && refused_.empty()) {
      Warn("演奏可能なファイルがありません。拡張子を確認してください。", "エラーメッセージ", false);
    }
    ReportRefused(false);
  }
  if (added) FinishNewList();
  list_.SetBusy(false);
}

platform::FileDialogRequest Gatherer::DirectoryRequest(const std::string& title) const {
  platform::FileDialogRequest req;
  req.title = title;
  req.filter = MediaFilterList();
  req.filterIndex = options_.filterIndex;
  req.flags = platform::kDlgNoValidate | platform::kDlgHideReadOnly |
              (options_.explorerStyle ? uint32_t{platform::kDlgExplorer} : 0u);
  if (options_.explorerStyle) req.fileName = kPrefilledDirName;
  return req;
}

void Gatherer::ChooseDirectory() {
  platform::FileDialogRequest req = DirectoryRequest("ディレクトリの選択");
  platform::FileDialogResult res;
  std::string dir;
  auto pick = [&] {
    std::string text = res.buffer.substr(0, res.buffer.find('\0'));
    if (options_.explorerStyle) {
      // The name field still holding the prompt means: this directory.
      if (text::FileNamePart(text) != kPrefilledDirName) fs_.SetCurrentDirectory(text);
    } else {
      std::string before = text.substr(0, text.find('*'));
      if (!before.empty()) fs_.SetCurrentDirectory(before);
    }
    dir = fs_.CurrentDirectory();
    if (dir.size() > 1) dir = text::WithBackslash(dir);
  };
  if (!RunDialogIn(fs_, dialog_, req, &res, &options_.lastDirectory, pick)) return;
  options_.filterIndex = res.filterIndex;

  list_.SetBusy(true);
  std::vector<platform::FileInfo> entries;
  bool added = false;
  if (!Refuse(dir) && fs_.ListDirectory(dir, &entries)) {
    for (const platform::FileInfo& e : entries) {
      if (list_.Count() >= kMaxEntries && added) break;
      if (e.attributes & (platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem)) continue;
      std::string full = dir + e.name;
      if (!PassesFilter(e.name, options_.filterIndex) || Refuse(full) || !Fits(full)) continue;
      if (!added) list_.BeginReplace();
      list_.Append(Lowered(full));
      added = true;
    }
  }
  if (added) {
    FinishNewList();
  } else if (refused_.empty()) {
    Warn("演奏可能なファイルがありません。", "エラーメッセージ", false);
  }
  ReportRefused(false);
  list_.SetBusy(false);
}

void Gatherer::ScanDirectory(const std::string& path, int target, bool* undoTaken,
                             bool emptyFirst) {
  if (Refuse(path)) return;
  uint32_t attr = 0;
  if (fs_.GetAttributes(path, &attr) && !(attr & platform::kAttrDirectory)) return;
  int n0 = list_.Count();
  std::string dir = path.size() > 1 ? text::WithBackslash(path) : path;
  // A full path longer than the list can hold cannot lead to anything storable.
  if (dir.size() >= static_cast<size_t>(kMaxPath)) return;
  std::vector<platform::FileInfo> entries;
  if (!fs_.ListDirectory(dir, &entries)) return;
  for (const platform::FileInfo& e : entries) {
    if (list_.Count() >= kMaxEntries) return;
    if (e.name == "." || e.name == "..") continue;
    std::string full = dir + e.name;
    if (e.IsDirectory()) {
      ScanDirectory(full, target, undoTaken, emptyFirst);
      continue;
    }
    if (!PassesFilter(e.name, options_.filterIndex) || Refuse(full) || !Fits(full)) continue;
    if (list_.HasPath(full, n0)) continue;
    if (!*undoTaken) {
      list_.TakeUndoCopy();
      *undoTaken = true;
      if (emptyFirst) list_.Clear();
    }
    list_.Insert(full, target);
  }
}

void Gatherer::Drop(const std::vector<std::string>& paths, const std::function<int()>& target) {
  cursor_.Wait();
  if (list_.Count() >= kMaxEntries) {
    cursor_.Arrow();
    return;
  }
  int snfCount = 0;
  std::string snf;
  for (const std::string& p : paths) {
    if (IsSongFileName(p) && IsExistingFile(p)) {
      ++snfCount;
      snf = p;
    }
  }
  if (snfCount >= 2) {
    Warn("２個以上の曲名ファイル(.snf)を、同時にドラッグ・アンド・ドロップすることはできません。ドロップは行われませんでした。",
         "ドラッグ・アンド・ドロップについて", true);
    cursor_.Arrow();
    return;
  }
  if (snfCount == 1) files_.LoadDropped(snf);

  int at = target();
  if (at >= list_.Count()) at = -1;
  int c0 = list_.Count();
  bool undoTaken = false;
  std::vector<std::string> order(paths);
  if (at >= 0) std::reverse(order.begin(), order.end());
  for (const std::string& raw : order) {
    if (list_.Count() >= kMaxEntries) break;
    std::string p = Lowered(raw);
    if (MayBeWanted(p) && Refuse(p)) continue;
    if (fs_.IsDirectory(p)) {
      ScanDirectory(p, at, &undoTaken);
      continue;
    }
    if (!IsPlayable(p) || !Fits(p) || list_.HasPath(p)) continue;
    if (!undoTaken) {
      list_.TakeUndoCopy();
      undoTaken = true;
    }
    list_.Insert(p, at);
  }
  int added = list_.Count() - c0;
  if (added > 0) {
    if (at < 0) {
      list_.FullPathSort(c0, list_.Count());
    } else {
      list_.FullPathSort(at, at + added);
    }
    if (c0 == 0) list_.links().view->RefreshTitle();
    list_.links().view->Repaint();
  }
  cursor_.Arrow();
  ReportRefused(true);
}

void Gatherer::Copy(platform::Clipboard& clip, bool fileListForm, bool ntFamily) {
  if (!clip.Open()) {
    Warn("クリップボードは使用中です。コピーは行われませんでした。", "クリップボードエラー", true);
    return;
  }
  clip.Empty();
  std::vector<int> picked;
  for (int p = 0; p < list_.Count(); ++p) {
    if (list_.SelectedAt(p)) picked.push_back(p);
  }
  platform::ClipResult r;
  if (fileListForm) {
    std::vector<std::string> paths;
    for (int p : picked) paths.emplace_back(list_.PathAt(p));
    std::string block = BuildDropFiles(paths, ntFamily,
                                       [&clip](std::string_view s) { return clip.ToWide(s); });
    r = clip.SetFileList(block);
    if (r == platform::ClipResult::kOk) {
      std::string first(260, '\0');
      if (!paths.empty()) first.replace(0, paths[0].size(), paths[0]);
      clip.SetData(0xCB24, first);
    }
  } else {
    std::string text;
    for (int p : picked) {
      text += list_.PathAt(p);
      text += "\r\n";
    }
    text::ApplyCase(text, options_.caseMode);
    text.push_back('\0');
    r = clip.SetText(text);
  }
  if (r == platform::ClipResult::kNoMemory) {
    Warn("コピーに必要なメモリが確保できませんでした。コピーは行われませんでした。", "メモリが足りません", true);
  } else if (r == platform::ClipResult::kLockFailed) {
    Warn("メモリが認識できません。コピーは行われませんでした。", "メモリエラー", true);
  } else {
    for (int p : picked) list_.SetSelected(p, false);
  }
  clip.Close();
  if (r == platform::ClipResult::kOk && !picked.empty()) list_.links().view->Repaint();
}

void Gatherer::Paste(platform::Clipboard& clip) {
  list_.SetBusy(true);
  int c0 = list_.Count();
  if (!clip.Open()) {
    Warn("クリップボードは使用中です。貼り付けは行われませんでした。", "クリップボードエラー", true);
    list_.SetBusy(false);
    return;
  }
  bool undoTaken = false;
  if (clip.HasFileList()) {
    std::string block;
    std::vector<std::string> paths;
    if (!clip.GetFileList(&block)) {
      Warn("メモリが認識できません。貼り付けは行われませんでした。", "メモリエラー", true);
      clip.Close();
      list_.SetBusy(false);
      return;
    }
    ParseDropFiles(block, [&clip](std::u16string_view s) { return clip.FromWide(s); }, &paths);
    cursor_.Wait();
    int snfCount = 0;
    std::string snf;
    for (const std::string& p : paths) {
      if (IsSongFileName(p) && IsExistingFile(p)) {
        ++snfCount;
        snf = p;
      }
    }
    if (snfCount >= 2) {
      Warn("２個以上の曲名ファイル(.snf)を、同時に貼り付けることはできません。貼り付けは行われませんでした。",
           "貼り付けについて", true);
      paths.clear();
    } else if (snfCount == 1) {
      files_.LoadDropped(snf);
      list_.SetBusy(true);  // the load clears it; the paste is still running
      undoTaken = true;
      c0 = list_.Count();
    }
    for (const std::string& p : paths) {
      if (list_.Count() >= kMaxEntries) break;
      if (MayBeWanted(p) && Refuse(p)) continue;
      uint32_t attr = 0;
      if (!fs_.GetAttributes(p, &attr)) continue;
      if (attr & platform::kAttrDirectory) {
        ScanDirectory(p, -1, &undoTaken);
        continue;
      }
      if (!IsPlayable(p) || list_.HasPath(p)) continue;
      if (!undoTaken) {
        list_.TakeUndoCopy();
        undoTaken = true;
      }
      list_.Append(p);
    }
  } else {
    std::string text;
    if (!clip.GetText(&text)) {
      Warn("メモリが認識できません。貼り付けは行われませんでした。", "メモリエラー", true);
      clip.Close();
      list_.SetBusy(false);
      return;
    }
    cursor_.Wait();
    for (const std::string& line : SplitClipboardText(text)) {
      if (list_.Count() >= kMaxEntries) break;
      if (!IsPlayable(line) || Refuse(line) || list_.HasPath(line)) continue;
      if (!undoTaken) {
        list_.TakeUndoCopy();
        undoTaken = true;
      }
      list_.Append(line);
    }
  }
  clip.Close();
  cursor_.Arrow();
  if (list_.Count() > c0) {
    if (c0 == 0) list_.links().view->RefreshTitle();
    list_.links().view->Repaint();
  }
  ReportRefused(true);
  list_.SetBusy(false);
}

bool Gatherer::ChangeDirectory(const std::string& missingPath) {
  platform::FileDialogRequest req = DirectoryRequest("ディレクトリの変更");
  platform::FileDialogResult res;
  if (!dialog_.Run(req, &res)) return false;
  list_.SetBusy(true);
  list_.TakeUndoCopy();
  std::string newDir = text::WithBackslash(fs_.CurrentDirectory());
  text::PathParts missing = text::SplitPath(missingPath);
  std::string candidate = Lowered(newDir + missing.name + missing.ext);
  if (!fs_.Exists(candidate)) {
    Warn(candidate + " は見つかりません。変更するディレクトリに " + missing.name + missing.ext +
             " がなければなりません。",
         "ディレクトリ変更の中止", true);
    list_.SetBusy(false);
    return false;
  }
  std::string oldDir = missing.drive + missing.dir;
  for (int slot = 0; slot < list_.Count(); ++slot) {
    text::PathParts p = text::SplitPath(list_.PathOfSlot(slot));
    if (!list_.SamePath(p.drive + p.dir, oldDir)) continue;
    std::string moved = Lowered(newDir + p.name + p.ext);
    if (Fits(moved)) list_.SetPathOfSlot(slot, moved);
  }
  list_.links().view->Repaint();
  list_.SetBusy(false);
  return true;
}

}  // namespace songlist
