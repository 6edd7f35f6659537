// What the player asks of the main window: the caption, the list, the status
// bar, the position slider, posted commands and notifications, and the end
// of the program. The shell implements it.
#pragma once

#include <cstdint>
#include <string>

namespace playback {

class PlayerView {
 public:
  virtual ~PlayerView() = default;
  virtual void RefreshTitle() = 0;
  virtual void RedrawList() = 0;
  virtual void ScrollToCurrent() = 0;
  // The user is dragging or selecting in the list: the view is not scrolled.
  virtual bool ListDragging() = 0;
  // The list view's own timer work (cursor reset, scrolling while dragging).
  virtual void ListHousekeeping() = 0;
  // A video showed in the list window: its background colour and scroll bar
  // come back (false), or the scroll bar goes away for the picture (true).
  virtual void SetVideoInList(bool video) = 0;
  // Status-bar text of a playing CD track ("" clears it).
  virtual void SetTrackText(const std::string& text) = 0;
  virtual bool StatusBarShown() = 0;
  // The time gadget of the status bar.
  virtual void SetTimeText(const std::string& text) = 0;
  virtual void SetSliderRange(int32_t max, int32_t page) = 0;
  virtual void SetSliderPosition(int32_t pos) = 0;
  virtual void RedrawSlider() = 0;
  // A modal dialog of the main window is open: the slider is left alone.
  virtual bool DialogOpen() = 0;
  // The frame has had its first paint.
  virtual bool FramePainted() = 0;
  virtual void PostCommand(uint16_t id) = 0;
  // Posts the media-control notification to the main window.
  virtual void PostNotify(uint32_t code) = 0;
  virtual void ChangeWallpaper() = 0;
  // Ends the program with exit code 0 (close after play).
  virtual void EndProgram() = 0;
};

}  // namespace playback
