#include "app/exit_sequence.h"

namespace app {

bool ExitOrder::Run(ExitSteps& steps) {
  if (begun_) return false;
  begun_ = true;
  steps.RemovePod();
  steps.AskSaveChanged();
  const int resume = steps.WriteResume();
  steps.SaveSettings();
  steps.CloseSong();
  // Write failures are reported only once everything else is done.
  steps.WriteMarkedFile();
  steps.ReportResume(resume);
  steps.StopTimer();
  return true;
}

}  // namespace app
