// Bringing files into the song list: Choose files (202), Choose directory
// (107), the recursive directory scan, Drop, Copy (150), Paste (151) and the
// directory change of an entry whose directory has gone.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/cursor.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "songlist/model.h"
#include "songlist/snf_commands.h"

namespace songlist {

struct GatherOptions {
  bool explorerStyle = true;  // false on 3.x-style platforms (old dialog)
  long caseMode = 0;          // STRUPR, for copied text
  int filterIndex = 1;        // FILTERINDEX, kept between dialogs
  std::string lastDirectory;  // DIRECTORY, updated after each dialog
};

class Gatherer {
 public:
  Gatherer(SongList& list, SongFiles& files, platform::FileSystem& fs,
           platform::Notifier& notifier, platform::FileDialog& dialog, platform::Cursor& cursor,
           GatherOptions& options);

  void ChooseFiles();      // 202
  void ChooseDirectory();  // 107

  // Adds the files of a directory tree passing the current filter at target
  // (-1: append). *undoTaken is set when the undo copy was taken. The
  // start-up variant (emptyFirst) also empties the list when it takes it.
  void ScanDirectory(const std::string& dir, int target, bool* undoTaken, bool emptyFirst = false);

  // Dropped paths in drop order. target() is the list position under the drop
  // point (-1 for none); it is asked again after a song-name file was loaded.
  void Drop(const std::vector<std::string>& paths, const std::function<int()>& target);

  // fileListForm: Ctrl held on a version-4 platform; ntFamily: wide file list.
  void Copy(platform::Clipboard& clip, bool fileListForm, bool ntFamily);
  void Paste(platform::Clipboard& clip);

  // A name code page 932 cannot hold is noted and true returned; the noted
  // names are shown in one message by ReportRefused, never dropped silently.
  bool Refuse(const std::string& path);
  void ReportRefused(bool beep);
  // The noted names, handed over instead of shown.
  std::vector<std::string> TakeRefused();

  // Asks for the directory where the entry at missingPath now lives and moves
  // every entry of its old directory there. True when the entries changed.
  bool ChangeDirectory(const std::string& missingPath);

 private:
  platform::FileDialogRequest DirectoryRequest(const std::string& title) const;
  void FinishNewList();
  void Warn(const std::string& text, const std::string& caption, bool beep);
  bool IsExistingFile(const std::string& path);

  SongList& list_;
  SongFiles& files_;
  platform::FileSystem& fs_;
  platform::Notifier& notifier_;
  platform::FileDialog& dialog_;
  platform::Cursor& cursor_;
  GatherOptions& options_;
  std::vector<std::string> refused_;
};

}  // namespace songlist

