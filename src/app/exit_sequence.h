// Closing the frame: the order of the exit steps. The main window carries
// out each step; this decides when and how often.
#pragma once

namespace app {

class ExitSteps {
 public:
  virtual ~ExitSteps() = default;
  virtual void RemovePod() = 0;             // first, so its position is among the settings written
  virtual void AskSaveChanged() = 0;        // a changed song-name file is offered for saving
  virtual int WriteResume() = 0;            // the resume file; its result, -1 when not written
  virtual void SaveSettings() = 0;
  virtual void CloseSong() = 0;             // the open song, if any
  virtual void WriteMarkedFile() = 0;       // the song-name file the question marked
  virtual void ReportResume(int result) = 0;  // the resume file's failures, after all else
  virtual void StopTimer() = 0;
};

class ExitOrder {
 public:
  // Runs every step in order and agrees to close, the first time only: a
  // close request that arrives while the steps' own message boxes are up
  // is refused and runs nothing.
  bool Run(ExitSteps& steps);

 private:
  bool begun_ = false;
};

}  // namespace app
