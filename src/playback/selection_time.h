// Command 145: how long the selected entries that are to be played would
// take, pauses between songs included, shown in a message box.
#pragma once

#include <cstdint>
#include <string>

#include "playback/device.h"
#include "platform/cursor.h"

namespace playback {

// The text for a total of totalMs over count songs with interval seconds
// between them: "演奏時間は、[M分]SS秒です。".
std::string SelectionTimeText(uint64_t totalMs, int count, int32_t interval);

// Opens each selected, unskipped entry just long enough to ask its length
// and shows the total, or the first failure. Does nothing while a song plays,
// is paused or the pause between songs runs (waiting).
void ShowSelectionTime(const DeviceLinks& links, const Device& device, bool waiting,
                       platform::Cursor& cursor);

}  // namespace playback
