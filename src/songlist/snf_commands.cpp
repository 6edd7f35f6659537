#include "songlist/snf_commands.h"

#include "songlist/dialog_dir.h"
#include "songlist/media.h"
#include "text/sjis.h"

namespace songlist {

namespace {

constexpr unsigned kWarn = platform::kMbOk | platform::kMbIconExclamation;

std::string FirstString(const std::string& buffer) { return buffer.substr(0, buffer.find('\0')); }

std::string NameAndExt(const std::string& path) {
  text::PathParts p = text::SplitPath(path);
  return p.name + p.ext;
}

std::string Fill(const char* format, const std::string& value) {
  std::string f = format;
  size_t at = f.find("%s");
  return at == std::string::npos ? f : f.replace(at, 2, value);
}

}  // namespace

SongFiles::SongFiles(SongList& list, platform::FileSystem& fs, platform::Notifier& notifier,
                     platform::FileDialog& dialog, SnfOptions& options)
    : list_(list), fs_(fs), notifier_(notifier), dialog_(dialog), options_(options) {
  list_.listChangedCheck = [this] { CheckListChanged(); };
}

platform::FileDialogRequest SongFiles::DialogRequest(const std::string& title) const {
  platform::FileDialogRequest req;
  req.title = title;
  req.filter = "曲名ファイル (*.snf)|*.snf|";
  req.defaultExt = "snf";
  req.fileName = list_.SnfName();
  req.flags = platform::kDlgHideReadOnly | (options_.explorerStyle ? uint32_t{platform::kDlgExplorer} : 0u);
  return req;
}

void SongFiles::Load() {
  platform::FileDialogRequest req = DialogRequest("曲名ファイルを開く");
  req.flags |= platform::kDlgFileMustExist;
  platform::FileDialogResult res;
  if (!RunDialogIn(fs_, dialog_, req, &res, &options_.snfDirectory)) return;
  std::string chosen = FirstString(res.buffer);
  if (!text::EqualNoCase(text::Extension(chosen), ".snf")) {
    notifier_.MessageBox(NameAndExt(chosen) + "は、拡張子が違うため開けません。", "エラーメッセージ",
                         kWarn);
    return;
  }
  if (IsForeignName(chosen)) {
    notifier_.MessageBox(ForeignNameMessage(chosen, "開けません。"), "エラーメッセージ", kWarn);
    return;
  }
  PlaybackLink& pb = *list_.links().playback;
  list_.SetBusy(true);
  int32_t state = pb.State();
  bool undoTaken = false;
  std::string previousName = list_.SnfName();
  if (list_.Count() > 0) {
    CheckListChanged();
    list_.TakeUndoCopy();
    undoTaken = true;
  }
  list_.SetSnfName(chosen);
  ResumeKeys keys;
  if (Read(chosen, &keys)) {
    if (state != kStopped) pb.Stop();
    pb.SetWaiting(false);
    TieAfterLoad(list_, chosen, keys, options_.win32s);
    list_.links().view->Repaint();
    list_.links().view->RefreshTitle();
    pb.ClearCachedLength();
  } else {
    // Rolled back before the box: what arrives while it is up (a name from
    // another program) lands in the list that stays.
    pb.SetState(state);
    // Without an undo copy of this load there is nothing to exchange with:
    // rolling back would bring an older, unrelated list.
    if (undoTaken) {
      list_.RollBackFailedLoad();
    } else {
      list_.SetSnfName(previousName);
    }
    list_.links().view->Repaint();
    notifier_.Beep(platform::kBeepWarning);
    notifier_.MessageBox(Fill("%sは、書き込み中です。もう少し、お待ち下さい。", chosen),
                         "ファイル読み込みエラー", kWarn);
  }
  list_.SetBusy(false);
}

void SongFiles::OverwriteSave() {
  std::string name = list_.SnfName();
  int answer = notifier_.MessageBox(Fill("%s\n\nを上書きします。よろしいですか？", name),
                                    "曲名の上書き保存",
                                    platform::kMbYesNo | platform::kMbIconExclamation);
  if (answer != platform::kIdYes) return;
  int r = Write(name);
  if (r != kSnfWritten) ReportWriteResult(r, name);
}

void SongFiles::SaveAs() {
  if (!list_.Tied()) list_.SetSnfName("");
  platform::FileDialogRequest req = DialogRequest("曲名の保存");
  req.save = true;
  req.flags |= platform::kDlgOverwritePrompt;
  platform::FileDialogResult res;
  if (!RunDialogIn(fs_, dialog_, req, &res, &options_.snfDirectory)) return;
  std::string chosen = FirstString(res.buffer);
  if (!text::EqualNoCase(text::Extension(chosen), ".snf")) {
    notifier_.MessageBox(NameAndExt(chosen) + "の拡張子を.snfとしてください。", "エラーメッセージ",
                         kWarn);
    return;
  }
  if (IsForeignName(chosen)) {
    // Written under another name, the list would land in a file the user did not choose.
    notifier_.Beep(platform::kBeepWarning);
    notifier_.MessageBox(ForeignNameMessage(chosen, "保存できません。"), "ファイル書き込みエラー", kWarn);
    return;
  }
  list_.SetSnfName(chosen);
  int r = Write(chosen);
  if (r == kSnfWritten) {
    list_.SetTied(true);
    list_.links().view->Repaint();
  } else {
    ReportWriteResult(r, chosen);
  }
}

// Reads the tied file aside and compares its paths slot by slot with the
// list; the live list and the undo step are not touched.
bool SongFiles::FileDiffers(bool* changed) {
  std::string data;
  if (!fs_.ReadWholeFile(list_.SnfName(), &data, (4u << 20) + 1)) return false;
  ListState& file = list_.Scratch();
  if (!ParseSongFile(data, &file)) return false;
  *changed = file.count != list_.Count();
  for (int i = 0; !*changed && i < file.count; ++i) {
    if (!list_.SamePath(file.path[i], list_.PathOfSlot(i))) *changed = true;
  }
  return true;
}

bool SongFiles::AskChanged() {
  std::string name = list_.SnfName();
  text::ApplyCase(name, options_.caseMode);
  list_.SetSnfName(name);
  std::string q = "ファイル " + name + " の内容は変更されています。保存しますか？";
  return notifier_.MessageBox(q, "曲名に変更がありました",
                              platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes;
}

void SongFiles::CheckListChanged() {
  if (!list_.Tied()) return;
  bool changed = false;
  if (!FileDiffers(&changed) || !changed) return;
  if (AskChanged()) Write(list_.SnfName());  // its result is not reported here
}

bool SongFiles::CheckListChangedAtExit() {
  if (!list_.Tied()) return false;
  bool changed = false;
  if (!FileDiffers(&changed) || !changed) return false;
  if (AskChanged()) return true;
  list_.SetTied(false);
  return false;
}

void SongFiles::WriteMarked() {
  std::string name = list_.SnfName();
  int r = Write(name);
  if (r != kSnfWritten) ReportWriteResult(r, name);
}

void SongFiles::ReportWriteResult(int code, const std::string& path) {
  const char* format = nullptr;
  switch (code) {
    case kSnfFileReadOnly: format = "'%s'は書き込み禁止となっております。保存することはできません。"; break;
    case kSnfDirReadOnly:
      format = "'%s'はディレクトリが書き込み禁止となっております。保存することはできません。";
      break;
    case kSnfWriteError: format = "'%s'の書き込み中にエラーが発生してしまいました。保存できませんでした。"; break;
    default: return;
  }
  notifier_.Beep(platform::kBeepWarning);
  notifier_.MessageBox(Fill(format, path), "ファイル書き込みエラー", kWarn);
}

int SongFiles::WriteResume(const std::string& resumePath) {
  bool tied = list_.Tied();
  std::string keys = "FILENAME=" + (tied ? list_.SnfName() : std::string()) + "\r\nSNF=" +
                     (tied ? "ON" : "OFF") + "\r\n";
  return WriteSongFile(fs_, resumePath, list_, keys);
}

void SongFiles::ReportResumeResult(int code) {
  const char* text = nullptr;
  switch (code) {
    case kSnfFileReadOnly: text = "ファイルが書き込み禁止となっております。保存することはできません。"; break;
    case kSnfDirReadOnly: text = "ディレクトリが書き込み禁止となっております。保存することはできません。"; break;
    case kSnfWriteError: text = "書き込み中にエラーが発生してしまいました。保存できませんでした。"; break;
    default: return;
  }
  notifier_.Beep(platform::kBeepWarning);
  notifier_.MessageBox(text, "'temp.snf' ファイル書き込みエラー", kWarn);
}

bool SongFiles::LoadDropped(const std::string& path) {
  PlaybackLink& pb = *list_.links().playback;
  list_.SetBusy(true);
  int32_t state = pb.State();
  list_.TakeUndoCopy();
  list_.SetSnfName(path);
  ResumeKeys keys;
  bool ok = Read(path, &keys);
  if (ok) {
    if (state != kStopped) pb.Stop();
    TieAfterLoad(list_, path, keys, options_.win32s);
    list_.links().view->Repaint();
    list_.links().view->RefreshTitle();
    pb.ClearCachedLength();
  } else {
    // Rolled back before the box, as in Load.
    pb.SetState(state);
    list_.RollBackFailedLoad();
    list_.links().view->Repaint();
    notifier_.Beep(platform::kBeepWarning);
    notifier_.MessageBox(Fill("%sの読み込みに失敗しました。", path), "ファイルエラー", kWarn);
  }
  list_.SetBusy(false);
  return ok;
}

}  // namespace songlist
