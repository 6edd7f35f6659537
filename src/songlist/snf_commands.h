// Load (110), Overwrite save (117), Save as (116), the list-changed check and
// the resume file: the song-name file commands of the main window.
#pragma once

#include <string>

#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "songlist/model.h"
#include "songlist/songfile.h"

namespace songlist {

struct SnfOptions {
  bool explorerStyle = true;  // false on 3.x-style platforms
  bool win32s = false;
  long caseMode = 0;          // STRUPR
  std::string snfDirectory;   // SNFDIRECTORY, updated after each dialog
};

class SongFiles {
 public:
  // Hooks the list-changed check into list.listChangedCheck.
  SongFiles(SongList& list, platform::FileSystem& fs, platform::Notifier& notifier,
            platform::FileDialog& dialog, SnfOptions& options);

  void Load();           // 110
  void OverwriteSave();  // 117
  void SaveAs();         // 116

  int Write(const std::string& path) { return WriteSongFile(fs_, path, list_); }
  bool Read(const std::string& path, ResumeKeys* keys = nullptr) {
    return ReadSongFile(fs_, path, list_, keys);
  }

  // Asks whether a tied file whose entries differ from the list is saved; Yes writes it.
  void CheckListChanged();
  // The exit form: true when the file is to be written later (WriteMarked);
  // No unties the list.
  bool CheckListChangedAtExit();
  // The write of the exit sequence's marked file, with its messages.
  void WriteMarked();

  // The resume file with FILENAME and SNF; result code 0..3.
  int WriteResume(const std::string& resumePath);
  void ReportResumeResult(int code);
  // Warning beep and the message of a non-zero Write result.
  void ReportWriteResult(int code, const std::string& path);

  // A song-name file met among dropped or pasted paths (busy flag, undo copy,
  // read; on failure its message and the list rolled back). True when loaded.
  bool LoadDropped(const std::string& path);

 private:
  bool FileDiffers(bool* changed);
  bool AskChanged();  // the question; true on Yes
  platform::FileDialogRequest DialogRequest(const std::string& title) const;

  SongList& list_;
  platform::FileSystem& fs_;
  platform::Notifier& notifier_;
  platform::FileDialog& dialog_;
  SnfOptions& options_;
};

}  // namespace songlist
