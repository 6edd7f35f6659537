// The media control interface as the core uses it: every medium but MPEG
// audio Layer III is opened, played and placed through it. Calls return 0 on
// success or the platform's error code; ErrorText turns a code into words.
// Notifications of Play go to the main window as the codes below.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using MciDevice = uint32_t;
using WindowHandle = uintptr_t;  // an opaque window of the shell; 0 = none

// Codes of the media-control notification message.
enum : uint32_t {
  kMciNotifySuccessful = 1,
  kMciNotifySuperseded = 2,
  kMciNotifyAborted = 4,
  kMciNotifyFailure = 8,
};

// Error codes on which the player takes its own path.
enum : uint32_t {
  kMciErrHardware = 262,
  kMciErrCannotLoadDriver = 266,
  kMciErrFileNotFound = 275,
  kMciErrExtensionNotFound = 281,
  kMciErrMustUseShareable = 291,
  kMciErrInvalidFile = 296,
  kMciErrFileRead = 348,
};

enum class MciTimeFormat { kMilliseconds, kTmsf };

enum class MciStatusItem {
  kLength,          // of the medium, or of track n when a track is given
  kPosition,        // current position, or the start of track n
  kNumberOfTracks,
  kMode,            // MciMode value
  kCurrentTrack,
  kMediaPresent,
};

enum class MciMode : uint32_t {
  kNotReady = 524, kStop = 525, kPlay = 526, kRecord = 527, kSeek = 528, kPause = 529, kOpen = 530,
};

enum class MciInfoItem { kProduct, kMediaIdentity };

enum class MciWindowState { kHide, kNormal, kMinimized, kMaximized, kShow };

struct MciRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

// A CD position in tracks, minutes, seconds and frames, one byte each from the lowest up.
inline uint32_t Tmsf(uint32_t track, uint32_t minutes, uint32_t seconds, uint32_t frames = 0) {
  return (track & 0xFF) | ((minutes & 0xFF) << 8) | ((seconds & 0xFF) << 16) | ((frames & 0xFF) << 24);
}
inline uint32_t TmsfTrack(uint32_t v) { return v & 0xFF; }
inline uint32_t TmsfMinutes(uint32_t v) { return (v >> 8) & 0xFF; }
inline uint32_t TmsfSeconds(uint32_t v) { return (v >> 16) & 0xFF; }
inline uint32_t TmsfFrames(uint32_t v) { return (v >> 24) & 0xFF; }

// Where a video device puts its window when it opens: a popup of its own
// (full screen in the dedicated window), from the start a child of `parent`
// (so it is never seen as a window of its own before it is placed), or with
// neither the device's own window.
struct VideoPlacement {
  bool popup = false;
  WindowHandle parent = 0;
};

class Mci {
 public:
  virtual ~Mci() = default;
  // Opens a file; the device is chosen from its extension.
  virtual uint32_t OpenElement(const std::string& element, VideoPlacement window, MciDevice* id) = 0;
  // Opens a file on the named device type (as "mpegvideo"), whatever device
  // its extension would choose.
  virtual uint32_t OpenElementOn(const std::string& deviceType, const std::string& element,
                                 VideoPlacement window, MciDevice* id) = 0;
  // Opens a still picture through the platform's own image decoder, as a
  // device that answers every call below as a one-frame video would.
  virtual uint32_t OpenPicture(const std::string& element, bool popup, MciDevice* id) = 0;
  // Opens the audio CD device ("cdaudio").
  virtual uint32_t OpenCdAudio(MciDevice* id) = 0;
  virtual uint32_t SetTimeFormat(MciDevice id, MciTimeFormat format) = 0;
  // track 0: the item of the whole medium.
  virtual uint32_t Status(MciDevice id, MciStatusItem item, uint32_t* value, uint32_t track = 0) = 0;
  // The handle of the window a video plays in.
  virtual uint32_t StatusWindow(MciDevice id, WindowHandle* window) = 0;
  virtual uint32_t Info(MciDevice id, MciInfoItem item, std::string* text) = 0;
  // Starts playing with notification to the main window. Without from the
  // device plays from its current position; without to, to the end.
  virtual uint32_t Play(MciDevice id, bool hasFrom, uint32_t from, bool hasTo, uint32_t to) = 0;
  virtual uint32_t Pause(MciDevice id) = 0;
  virtual uint32_t Seek(MciDevice id, uint32_t to) = 0;  // waits
  virtual uint32_t Stop(MciDevice id) = 0;               // waits
  virtual uint32_t Close(MciDevice id) = 0;              // waits
  // The window the video is shown in (0: the device's own default window).
  virtual uint32_t Window(MciDevice id, WindowHandle window) = 0;
  virtual uint32_t WindowState(MciDevice id, MciWindowState state) = 0;
  virtual uint32_t PutDestination(MciDevice id, const MciRect& rect) = 0;  // waits
  virtual uint32_t WhereSource(MciDevice id, MciRect* rect) = 0;
  virtual uint32_t WhereDestination(MciDevice id, MciRect* rect) = 0;
  virtual uint32_t Step(MciDevice id, bool backward) = 0;  // one frame, waits
  // The platform's text for an error code (at most 1023 bytes).
  virtual std::string ErrorText(uint32_t code) = 0;
  // Drops the notifications still queued for the main window. Called once a
  // medium is closed: every device has posted its last report by the time
  // its close returns, so whatever is queued then speaks of a closed medium.
  // Returns the codes dropped, or-ed together.
  virtual uint32_t DiscardNotices() = 0;
};

}  // namespace platform
