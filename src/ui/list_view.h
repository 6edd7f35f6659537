// The song list view as the main window holds it: the measured metrics, the
// client size, the layout of the last full repaint, and the drawing lists.
// The window executes the lists and places the scroll bar as told.
#pragma once

#include <cstdint>

#include "platform/notify.h"
#include "songlist/model.h"
#include "ui/list_layout.h"
#include "ui/list_paint.h"

namespace ui {

class ListView {
 public:
  ListView(songlist::SongList& list, DriveInfo& drives) : list_(list), painter_(list, drives) {}

  void SetMetrics(const ListMetrics& m) { metrics_ = m; }
  PaintSettings& Settings() { return settings_; }
  const PaintSettings& Settings() const { return settings_; }
  // Client size, whether the slider strip is taken, the scroll bar height.
  void SetClient(int32_t width, int32_t height, bool sliderShown, int32_t scrollBarHeight);

  // Lays the view out again and stores the clamped first column in the list.
  const ListLayout& Relayout();
  const ListLayout& Layout() const { return layout_; }

  // The scroll bar as the last layout wants it.
  struct ScrollBar {
    bool shown = false;
    Rect rect;
    int32_t maximum = 0, position = 0, page = 1;
    bool redraw = false;  // the maximum changed
  };
  ScrollBar ScrollBarState() const { return scroll_; }

  // Full repaint: lays out, then draws everything.
  void FullRepaint(DrawList* out);
  // Header line and the given cells with the layout of the last full repaint.
  void PartialRepaint(const int32_t* pos, int n, DrawList* out) const;
  uint32_t Background() const { return painter_.Background(layout_, settings_); }

  // Lays out and, when the current entry is out of view, scrolls to it.
  void ScrollToCurrent();

 private:
  songlist::SongList& list_;
  ListPainter painter_;
  ListMetrics metrics_;
  PaintSettings settings_;
  LayoutInput input_;
  ListLayout layout_;
  int32_t lastRows_ = 0;
  int32_t lastMaximum_ = -1;
  ScrollBar scroll_;
};

// Running out of memory while drawing: tell the user once, and try again at
// the next repaint.
class PaintGuard {
 public:
  void OnOutOfMemory(platform::Notifier& n);

 private:
  bool active_ = false;
};

extern const char* const kPaintMemoryText;
extern const char* const kPaintMemoryCaption;

}  // namespace ui
