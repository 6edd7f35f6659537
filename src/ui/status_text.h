// What the user sees of playback outside the list: the frame caption, the
// time field, the CD track text, and the position slider's strip, limits and
// notification routing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/list_layout.h"

namespace ui {

enum class PlayState { kStopped = 0, kPlaying = 1, kPaused = 2 };

// The caption for the entry at the current position ("" path: empty list).
std::string CaptionText(bool listEmpty, std::string_view currentPath, PlayState state,
                        bool waiting, int32_t caseMode);
// The time field: the length while stopped, elapsed and length otherwise;
// two blanks when the length is 0.
std::string TimeText(PlayState state, uint32_t lengthMs, uint32_t positionMs);
// The status bar's track text of an audio CD track.
std::string TrackText(int32_t track, int32_t charset, int32_t caseMode);

// Where the slider and its line go for a client area of the given size.
struct SliderPlacement {
  bool shown = false;
  Rect slider;  // 20 pixels along the bottom
  Rect line;    // the 1-pixel line above it, button shadow colour
};
SliderPlacement PlaceSlider(bool sliderOn, int32_t clientWidth, int32_t clientHeight);

// Range and page of the slider for a song of lengthMs with divisor d ms per step.
struct SliderRange {
  int32_t maximum = 0, page = 1;
};
SliderRange SliderRangeFor(uint32_t lengthMs, uint32_t divisor);

// Scroll codes of the slider's notifications (the platform's values).
enum SliderCode : int32_t {
  kSbLineLeft = 0, kSbLineRight = 1, kSbPageLeft = 2, kSbPageRight = 3, kSbThumbPosition = 4,
  kSbThumbTrack = 5, kSbLeft = 6, kSbRight = 7, kSbEndScroll = 8,
};

// Playback's side of the slider.
class SliderTarget {
 public:
  virtual ~SliderTarget() = default;
  virtual void FocusMainWindow() = 0;
  virtual bool StillPictureOpen() = 0;  // a ".jpg" is open
  virtual bool PlayerRestarting() = 0;  // the MPEG audio player is restarting
  virtual void SeekTo(int32_t sliderValue) = 0;
};

// The slider's notification routing, and the two flags that keep the timer's
// hands off the slider.
class SliderControl {
 public:
  void OnNotify(SliderTarget& t, int32_t code, int32_t sliderPosition);
  // Whether the timer may set the slider this tick.
  bool TimerMayMove(bool sliderShown) const { return sliderShown && !dialogOpen && !thumbDrag; }
  // Slider value for a position (0 while nothing is open).
  static int32_t ValueFor(bool songOpen, uint32_t positionMs, uint32_t divisor);

  bool dialogOpen = false;  // a modal dialog of the main window is shown
  bool thumbDrag = false;   // set and cleared by the seek logic
};

// Scoped dialog-open flag for the modal dialogs of the main window.
class DialogOpenScope {
 public:
  explicit DialogOpenScope(SliderControl& s) : s_(s) { s_.dialogOpen = true; }
  ~DialogOpenScope() { s_.dialogOpen = false; }
  DialogOpenScope(const DialogOpenScope&) = delete;
  DialogOpenScope& operator=(const DialogOpenScope&) = delete;

 private:
  SliderControl& s_;
};

}  // namespace ui
