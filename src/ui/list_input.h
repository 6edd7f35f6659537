// Mouse and keys of the song list view: dragging entries to move them,
// selecting with the right button (click, Shift+click, sweep), starting an
// entry, the list scroll bar and the list keys. The window passes messages in
// client coordinates; everything it must do back comes through ListInputHost.
#pragma once

#include <cstdint>
#include <vector>

#include "songlist/model.h"
#include "ui/list_view.h"

namespace ui {

class ListInputHost {
 public:
  virtual ~ListInputHost() = default;
  virtual void Repaint() = 0;                              // full repaint
  virtual void RedrawCells(const std::vector<int32_t>& positions) = 0;  // header + those cells
  virtual void Capture(bool on) = 0;                       // mouse capture
  virtual void DragCursor(bool on) = 0;                    // drag cursor, or back to the arrow
  virtual void FocusMainWindow() = 0;
  virtual void Play() = 0;                                 // command 203
};

// Playback's video display, as far as the list's mouse and keys touch it.
class VideoHook {
 public:
  virtual ~VideoHook() = default;
  virtual bool ShownInMain() = 0;       // a video open and shown in the main window
  virtual bool Open() = 0;              // a video open (playing or paused)
  virtual bool OpenInDedicated() = 0;   // a video open in a window of its own
  virtual void StepBack() = 0;          // Left over a video: one frame back when paused
  virtual void StepForward() = 0;       // Right over a video: one frame forward when paused
  virtual void AspectFit(bool dedicated) = 0;
  virtual void FitVideo(bool dedicated) = 0;  // factor 1
};

// No video at all (until playback provides one).
class NoVideo : public VideoHook {
 public:
  bool ShownInMain() override { return false; }
  bool Open() override { return false; }
  bool OpenInDedicated() override { return false; }
  void StepBack() override {}
  void StepForward() override {}
  void AspectFit(bool) override {}
  void FitVideo(bool) override {}
};

// Scroll bar codes (the platform's values).
enum ScrollCode : int32_t {
  kScrollLineLeft = 0, kScrollLineRight = 1, kScrollPageLeft = 2, kScrollPageRight = 3,
  kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollLeft = 6, kScrollRight = 7,
  kScrollEnd = 8,
};

class ListInput {
 public:
  ListInput(songlist::SongList& list, ListView& view, ListInputHost& host, VideoHook& video)
      : list_(list), view_(view), host_(host), video_(video) {}

  void LeftDown(int32_t x, int32_t y);
  void LeftUp(int32_t x, int32_t y);
  void LeftDoubleClick(int32_t x, int32_t y);
  void RightDown(int32_t x, int32_t y, bool shift);
  void RightUp(int32_t x, int32_t y);
  void RightDoubleClick(int32_t x, int32_t y);
  void MouseMove(int32_t x, int32_t y);
  // The mouse capture went elsewhere mid-drag (a message box, another
  // program): the drag ends where it is, so keys and the other button work.
  void CaptureLost();
  // Every tick of the main window's 200 ms timer.
  void Timer();
  void ScrollBar(int32_t code, int32_t thumbPosition);
  // List key commands 402-413 and 106; false for other ids.
  bool Command(int32_t id);

  bool LeftDragging() const { return leftDrag_; }
  bool RightDragging() const { return rightDrag_; }

 private:
  const ListLayout& L() const { return view_.Layout(); }
  bool KeysBlocked() const { return leftDrag_ || rightDrag_ || list_.Busy(); }
  void ScrollTo(int32_t column);
  void EndLeftDrag();
  void BringFocusIntoView();
  void MoveFocus(int32_t to);
  // Moves every selected entry to target in list order, clearing their flags.
  void MoveSelection(int32_t target);
  void Sweep(int32_t x, int32_t y);
  void CornerOf(int32_t x, int32_t y, int32_t* col, int32_t* row) const;
  bool Inside(int32_t x, int32_t y) const;

  void KeyUp();
  void KeyDown();
  void KeyColumn(int32_t dir);
  void KeyEnter();
  void KeySpace();
  void KeyInsert();
  void KeyEsc();

  songlist::SongList& list_;
  ListView& view_;
  ListInputHost& host_;
  VideoHook& video_;

  bool leftDrag_ = false, rightDrag_ = false;
  int32_t source_ = -1;
  int32_t startColumn_ = 0;
  int32_t leftScroll_ = 0;   // -1, 0, +1
  int32_t rightScroll_ = 0;  // -1, 0, +1
  bool cursorPending_ = false;
  int32_t ticks_ = 0;
  int32_t sweepAnchor_ = -1, sweepLast_ = -1;
  int32_t cornerCol_ = 0, cornerRow_ = 0;
  int32_t lastX_ = 0, lastY_ = 0;
};

}  // namespace ui
