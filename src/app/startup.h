// Small decisions of the start-up order that do not need a window.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// Show state of the first window: the start-up information's value when it
// carries one, else 1 (normal).
int FirstShowState(bool startupInfoHasShowState, int startupShowState);

// Auto-play is a posted Play command: at once from the frame's set-up in a
// minimised start (show state 2, 6 or 7), otherwise after the first paint.
bool PostPlayAtFrameSetup(int showState, bool autoPlayPending);
bool PostPlayAtFirstPaint(int showState, bool autoPlayPending);

// The resume file: the start-up directory, a backslash unless it already
// ends in one, then "temp.snf".
std::string ResumeFilePath(const std::string& currentDirectory);

// The caption of the frame.
constexpr char kFrameCaption[] = "Corvella";
// Period of the main window's timer in milliseconds.
constexpr uint32_t kMainTimerPeriod = 200;
// Range of the position slider.
constexpr int32_t kSliderRange = 1000;

}  // namespace app
