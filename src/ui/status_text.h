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

// The longest text the time field ever holds: a song or a CD of up to 999
// minutes, playing.
constexpr char kLongestTimeText[] = " 999分59秒／999分59秒";

// The status bar's parts: the message area up to messageRight, the time
// field up to timeRight, and the size grip's corner after it. The field is
// wide enough for the longest time text (textWidth, measured in the bar's
// font) and the bar's inset of a part's text on both sides, and stays clear
// of the grip; a narrow bar shrinks the message area first.
struct StatusParts {
  int32_t messageRight = 0;
  int32_t timeRight = 0;
};
StatusParts StatusBarParts(int32_t barWidth, int32_t textWidth, int32_t inset, int32_t grip);

// Where the slider and its line go for a client area of the given size.
struct SliderPlacement {
  bool shown = false;
  Rect slider;  // 20 pixels along the bottom
  Rect line;    // the 1-pixel line above it, button shadow colour
};
SliderPlacement PlaceSlider(bool sliderOn, int32_t clientWidth, int32_t clientHeight);

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
  virtual void SeekTo(int32_t sliderValue) = 0;
};

// The slider's notification routing, and the flag that keeps the timer's
// hands off the slider while a dialog is open (the drag flag is the seek's).
class SliderControl {
 public:
  void OnNotify(SliderTarget& t, int32_t code, int32_t sliderPosition);

  bool dialogOpen = false;  // a modal dialog of the main window is shown
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
