// The first song list of a run (command line, auto-load file or resume file),
// the list side of the exit sequence, and the external control codes that
// touch the list.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/notify.h"
#include "songlist/gather.h"
#include "songlist/model.h"
#include "songlist/snf_commands.h"

namespace songlist {

// The settings the start-up list needs, as plain values.
struct StartupSettings {
  bool initLoad = false;      // INITLOAD
  std::string initLoadFile;   // INITLOADFILE
  bool initShuffle = false;   // INITSHUFFLE
  bool initPlay = false;      // INITPLAY
  bool win32s = false;
};

struct StartupResult {
  bool endProgram = false;       // a message was shown; end with exit code 0
  bool fromCommandLine = false;  // never written to the resume file
  bool closeAfterPlay = false;
  bool autoPlay = false;         // post Play (203) after the first paint
};

class StartupList {
 public:
  StartupList(SongList& list, SongFiles& files, Gatherer& gatherer, platform::FileSystem& fs,
              platform::Notifier& notifier, CdTrackSource& cd);

  // Paths as the command-line parser leaves them (lower-cased), with or
  // without the option "close".
  StartupResult FromCommandLine(bool closeOption, const std::vector<std::string>& paths,
                                const StartupSettings& settings);
  // No arguments: the auto-load file, else the resume file.
  StartupResult FromSavedState(const StartupSettings& settings, const std::string& resumePath);

 private:
  bool LoadAsInitial(const std::string& path, const StartupSettings& settings);
  StartupResult Fail(const std::string& text, const std::string& caption);

  SongList& list_;
  SongFiles& files_;
  Gatherer& gatherer_;
  platform::FileSystem& fs_;
  platform::Notifier& notifier_;
  CdTrackSource& cd_;
};

// The list's part of closing the frame, in the order of app::ExitOrder:
//   AskSaveChanged()           exit step 2
//   WriteResume(...)           exit step 3 (returns its result, -1 when not written)
//   (settings written, song closed)
//   WriteMarkedFile()          exit step 6
//   ReportResume(result)       exit step 7
class ExitSequence {
 public:
  explicit ExitSequence(SongFiles& files, SongList& list) : files_(files), list_(list) {}
  void AskSaveChanged() { saveMarked_ = files_.CheckListChangedAtExit(); }
  int WriteResume(bool endSave, bool fromCommandLine, const std::string& resumePath);
  void WriteMarkedFile();
  void ReportResume(int result) { files_.ReportResumeResult(result); }

 private:
  SongFiles& files_;
  SongList& list_;
  bool saveMarked_ = false;
};

// External control code 100 with a whole name: true when the name buffer is
// to be emptied (the name was taken, or dropped as too long); false when the
// list is full and the buffer is kept.
bool AppendExternalName(SongList& list, const std::string& name);
// External control code 101: stop, then an empty list with current position 0.
void ClearFromExternal(SongList& list);

}  // namespace songlist
