// Every dialog of the program, our templates, the platform's common dialogs
// and message boxes alike, opens over the middle of the main frame.
#pragma once

#include "win32/wnd/win.h"

namespace win32 {

// From now on, each dialog that this thread opens is placed when it has been
// set up and before it shows. Call once, with the frame made.
void CentreDialogsOn(HWND frame);
void StopCentringDialogs();

}  // namespace win32
