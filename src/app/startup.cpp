#include "app/startup.h"

#include "app/settings.h"
#include "text/sjis.h"

namespace app {

int FirstShowState(bool startupInfoHasShowState, int startupShowState) {
  return startupInfoHasShowState ? startupShowState : 1;
}

bool PostPlayAtFrameSetup(int showState, bool autoPlayPending) {
  return autoPlayPending && IsMinimizedShowState(showState);
}

bool PostPlayAtFirstPaint(int showState, bool autoPlayPending) {
  return autoPlayPending && !IsMinimizedShowState(showState);
}

std::string ResumeFilePath(const std::string& currentDirectory) {
  return text::WithBackslash(currentDirectory) + "temp.snf";
}

}  // namespace app
