// The position slider's thumb, drawn from the program's own bitmap.
#pragma once

#include "win32/wnd/win.h"

#include <commctrl.h>

namespace win32 {

constexpr int kSliderThumbBitmap = 32000;

// Answers the slider's custom-draw notification: the thumb is the bitmap,
// centred on the control's thumb; everything else is the control's own.
LRESULT DrawSliderThumb(const NMCUSTOMDRAW& cd);

}  // namespace win32
