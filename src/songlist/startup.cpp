#include "songlist/startup.h"

#include "songlist/media.h"
#include "text/sjis.h"

namespace songlist {

namespace {

std::string Fill(std::string f, const std::vector<std::string>& values) {
  size_t from = 0;
  for (const std::string& v : values) {
    size_t at = f.find('%', from);
    if (at == std::string::npos) break;
    size_t len = f.compare(at, 3, "%ld") == 0 ? 3 : 2;
    f.replace(at, len, v);
    from = at + v.size();
  }
  return f;
}

std::string ExtensionMessage(const std::string& path) {
  text::PathParts p = text::SplitPath(path);
  return Fill("%s%sのように拡張子が '%s' のファイルは、CORVELLAで演奏できません。プログラムを終了します。",
              {p.name, p.ext, p.ext});
}

// Refused names that leave nothing to play: their box is the last one.
std::string ForeignNamesEndMessage(const std::vector<std::string>& names) {
  return ForeignNamesMessage(names) + (names.size() > 1 ? "\n\n" : "") + "プログラムを終了します。";
}

}  // namespace

StartupList::StartupList(SongList& list, SongFiles& files, Gatherer& gatherer,
                         platform::FileSystem& fs, platform::Notifier& notifier, CdTrackSource& cd)
    : list_(list), files_(files), gatherer_(gatherer), fs_(fs), notifier_(notifier), cd_(cd) {}

StartupResult StartupList::Fail(const std::string& text, const std::string& caption) {
  notifier_.Beep(platform::kBeepWarning);
  notifier_.MessageBox(text, caption, platform::kMbOk | platform::kMbIconExclamation, false);
  StartupResult r;
  r.endProgram = true;
  r.fromCommandLine = true;
  return r;
}

bool StartupList::LoadAsInitial(const std::string& path, const StartupSettings& settings) {
  ResumeKeys keys;
  if (!files_.Read(path, &keys)) return false;
  list_.links().view->RefreshTitle();
  TieAfterLoad(list_, path, keys, settings.win32s);
  if (settings.initShuffle) list_.Shuffle();
  return true;
}

StartupResult StartupList::FromCommandLine(bool closeOption, const std::vector<std::string>& paths,
                                           const StartupSettings& settings) {
  StartupResult r;
  r.fromCommandLine = true;
  const char* kCaption = "エラーメッセージ";
  // Only options on the line ("/close" at its very end included): nothing was
  // named, so there is nothing to refuse; the list just stays empty.
  if (paths.empty()) return r;
  if (closeOption) {
    const std::string& path = paths[0];
    text::PathParts p = text::SplitPath(path);
    if (IsForeignName(path)) {
      return Fail(ForeignNamesEndMessage({path}), kCaption);
    }
    if (p.name.empty() && p.ext.empty()) {
      std::vector<std::string> tracks = cd_.Tracks(path);
      if (tracks.empty()) {
        return Fail("演奏可能なトラックが見つかりませんでした。プログラムを終了します。", kCaption);
      }
      list_.Clear();
      for (const std::string& t : tracks) list_.Append(t);
    } else if (IsPlayable(path)) {
      platform::FileInfo info;
      if (!fs_.Find(path, &info) || info.IsDirectory()) {
        return Fail(Fill("%s%sが見つかりません。プログラムを終了します。", {p.name, p.ext}), kCaption);
      }
      list_.Clear();
      list_.Append(p.drive + p.dir + info.name);
    } else {
      return Fail(ExtensionMessage(path), kCaption);
    }
    list_.links().view->RefreshTitle();
    r.closeAfterPlay = true;
    r.autoPlay = true;
    return r;
  }

  if (!paths.empty() && IsSongFileName(paths[0])) {
    if (!LoadAsInitial(paths[0], settings)) {
      return Fail("曲名ファイルの読み込みに失敗しました。", "ファイルエラー");
    }
    r.autoPlay = true;
    return r;
  }

  // The scans and the files share one undo flag: the list is emptied once,
  // before the first addition of either kind, so nothing added earlier is lost.
  bool started = false;
  auto start = [&] {
    if (started) return;
    list_.TakeUndoCopy();
    list_.Clear();
    started = true;
  };
  bool hadDirectory = false;
  long filePaths = 0;
  bool refusedNamed = false;
  const std::string* lastFile = nullptr;
  for (const std::string& path : paths) {
    if (list_.Count() >= kMaxEntries) break;
    if (gatherer_.Refuse(path)) {
      refusedNamed = true;
      continue;
    }
    if (fs_.IsDirectory(path)) {
      hadDirectory = true;
      gatherer_.ScanDirectory(path, -1, &started, /*emptyFirst=*/true);
      continue;
    }
    ++filePaths;
    lastFile = &path;
    platform::FileInfo info;
    if (!IsPlayable(path) || !fs_.Find(path, &info) || info.IsDirectory()) continue;
    text::PathParts p = text::SplitPath(path);
    std::string full = p.drive + p.dir + info.name;
    if (full.size() > static_cast<size_t>(kMaxPath)) continue;
    start();
    list_.Append(full);
  }
  // Only refused names: the refusal is the one message before the end, not
  // followed by a count of files that names none of them.
  if (list_.Count() == 0 && refusedNamed && !hadDirectory && filePaths == 0) {
    return Fail(ForeignNamesEndMessage(gatherer_.TakeRefused()), kCaption);
  }
  gatherer_.ReportRefused(true);
  if (list_.Count() > 0) {
    list_.FullPathSort();
    list_.links().view->RefreshTitle();
    r.autoPlay = true;
    return r;
  }
  if (hadDirectory) {
    return Fail("演奏可能なファイルが見つかりませんでした。プログラムを終了します。", kCaption);
  }
  if (filePaths == 1) return Fail(ExtensionMessage(*lastFile), kCaption);
  return Fail(Fill("%ld個のファイルの中に演奏可能なファイルがありませんでした。プログラムを終了します。",
                   {std::to_string(filePaths)}),
              kCaption);
}

StartupResult StartupList::FromSavedState(const StartupSettings& settings,
                                          const std::string& resumePath) {
  StartupResult r;
  if (settings.initLoad && !settings.initLoadFile.empty()) {
    if (LoadAsInitial(settings.initLoadFile, settings)) {
      r.autoPlay = settings.initPlay;
    } else {
      notifier_.Beep(platform::kBeepWarning);
      notifier_.MessageBox("自動ファイル読み込みに失敗しました。", "ファイルエラー",
                           platform::kMbOk | platform::kMbIconExclamation);
      list_.Clear();
    }
    return r;
  }
  if (LoadAsInitial(resumePath, settings)) {
    r.autoPlay = settings.initPlay;
  } else {
    list_.SetTied(false);
    list_.SetSnfName("");
  }
  return r;
}

int ExitSequence::WriteResume(bool endSave, bool fromCommandLine, const std::string& resumePath) {
  if (!endSave || list_.Count() == 0 || fromCommandLine) return -1;
  return files_.WriteResume(resumePath);
}

void ExitSequence::WriteMarkedFile() {
  if (saveMarked_) files_.WriteMarked();
}

bool AppendExternalName(SongList& list, const std::string& name) {
  if (list.Count() >= kMaxEntries) return false;
  if (name.size() > static_cast<size_t>(kMaxPath)) return true;  // cannot be stored: dropped
  list.Append(name);
  list.links().view->Repaint();
  return true;
}

void ClearFromExternal(SongList& list) {
  if (list.links().playback->State() != kStopped) list.links().playback->Stop();
  list.Clear();
  list.links().view->RefreshTitle();
  list.links().view->Repaint();
}

}  // namespace songlist
