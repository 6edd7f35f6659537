// Video frame capture: the shown picture as a device-independent bitmap,
// saved to a .bmp file (command 153) or put on the clipboard (Copy, 150).
#pragma once

#include <cstdint>
#include <string>

#include "platform/clipboard.h"
#include "platform/cursor.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/screen_capture.h"

namespace desktop {

constexpr uint32_t kDibHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kClipboardDib = 8;  // the platform's device-independent bitmap format
constexpr int32_t kSliderStrip = 21;

// Height of the captured area: the slider strip is left out.
int32_t CaptureHeight(int32_t clientHeight, bool sliderShown);
// A palette of n entries gives 1, 4, 8 or 24 bits per pixel.
uint16_t BitsForPaletteSize(uint32_t entries);
// 256 entries of the system palette on a palette display, 2048 otherwise
// (where the count only selects 24 bits).
uint32_t SystemPaletteRequest(bool paletteDisplay);
uint32_t ColourTableLength(uint16_t bits);
// Bytes per pixel row, padded to a multiple of 4.
uint32_t RowSize(uint16_t bits, int32_t width);
uint32_t ImageSize(uint16_t bits, int32_t width, int32_t height);
// The 40-byte information header as filled before the pixels are read.
std::string DibInfoHeader(int32_t width, int32_t height, uint16_t bits);
// Header + zeroed colour table + zeroed pixel rows, ready to be filled.
// Throws std::bad_alloc like any allocation.
std::string EmptyDib(int32_t width, int32_t height, uint16_t bits);
// The 14-byte file header in front of a DIB block of the given size.
std::string BitmapFileHeader(uint32_t dibSize, uint32_t colourTableLength);

enum class CaptureResult { kOk, kNoMemory };
// Repaints, then reads the client area above the slider strip.
CaptureResult CaptureFrame(platform::CaptureScreen& screen, std::string* dib);

// Copy (150): a frame when a video is in the main window and paused or a
// still picture; nothing while such a video plays; song names otherwise.
enum class CopyAction { kNames, kFrame, kNothing };
CopyAction CopyActionFor(bool videoInMainWindow, bool pausedOrStill);

// The proposed file name: the entry's name without directory and extension.
std::string ProposedBitmapName(const std::string& entryPath);

struct FrameSaveLinks {
  platform::CaptureScreen* screen;
  platform::FileSystem* fs;
  platform::FileDialog* dialog;
  platform::Notifier* notifier;
  platform::Cursor* cursor;
};

// Save video frame (153). *aviDirectory is where the dialog opens and is
// updated to where it ended; the process returns to the Windows directory.
void SaveVideoFrame(const FrameSaveLinks& links, const std::string& entryPath,
                    bool explorerStyle, std::string* aviDirectory);

// Writes file header and DIB to path, creating a missing directory first;
// reports failures itself. True when written.
bool WriteDibFile(platform::FileSystem& fs, platform::Notifier& notifier, const std::string& path,
                  const std::string& dib);

// Copy (150) of the frame.
void CopyVideoFrame(platform::CaptureScreen& screen, platform::Clipboard& clip,
                    platform::Notifier& notifier, platform::Cursor& cursor, bool ctrlHeld,
                    bool alwaysOnTop);

}  // namespace desktop
