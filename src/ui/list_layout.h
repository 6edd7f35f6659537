// Geometry of the song list view: how the client area is cut into a header
// line and a grid of equal cells that runs top to bottom, then left to right,
// and which list position a point lands on. Pure arithmetic on the measured
// font metrics, so every figure can be checked without a window.
#pragma once

#include <cstdint>

namespace ui {

// Half-open rectangle in client pixels (right and bottom excluded).
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Extents measured with the list font whenever the font or the name settings change.
struct ListMetrics {
  int32_t colWidth = 1;   // sample text width + 4
  int32_t rowHeight = 1;  // sample text height + 4
  int32_t w1 = 0;         // width of "3"
  int32_t w4 = 0;         // width of "3333"
  int32_t Overhang() const { return (4 * w1 - w4) / 3; }
  int32_t CharWidth() const { return w1 - Overhang(); }
};

// Builds the metrics from the raw extents of the sample text, "3" and "3333".
ListMetrics MakeMetrics(int32_t sampleWidth, int32_t sampleHeight, int32_t w1, int32_t w4);

struct LayoutInput {
  int32_t clientWidth = 0, clientHeight = 0;
  bool sliderShown = false;
  int32_t scrollBarHeight = 17;  // the system's horizontal scroll bar height
  int32_t count = 0;             // entries in the list
  int32_t current = 0;
  int32_t firstColumn = 0;       // as stored with the list
};

// Height of the slider strip along the bottom of the client area.
constexpr int32_t kSliderStrip = 21;

struct ListLayout {
  ListMetrics m;
  int32_t width = 0, height = 0;  // area above the slider strip
  int32_t clientHeight = 0;       // the whole client area, slider strip included
  int32_t count = 0;
  bool header = false;     // a header line occupies the first row
  bool scrollBar = false;  // the list scroll bar is shown (scroll mode)
  bool grid = false;       // grid mode; otherwise single-entry mode
  int32_t gridTop = 0;
  int32_t gridHeight = 0;  // height left for cells (scroll bar taken off)
  int32_t rows = 1;        // rows per column
  int32_t visibleColumns = 1;
  int32_t drawnColumns = 1;  // visible columns plus a partly visible one
  int32_t maximum = 0;       // scroll maximum (entries in single-entry mode)
  int32_t firstColumn = 0;   // clamped; entries in single-entry mode
  int32_t firstVisible = 0, lastVisible = -1;
  int32_t step = 1;          // horizontal step of drags
  Rect scrollRect;           // where the scroll bar goes when shown

  // Cell rectangle of list position pos; false when it is not drawn.
  bool CellRect(int32_t pos, Rect* r) const;
  // Rectangle of the one cell of single-entry mode.
  Rect SingleCell() const;
  // Point -> list position or -1.
  int32_t HitTest(int32_t x, int32_t y) const;
  // Point -> nearest list position (sweeps); -1 only without entries.
  int32_t HitTestClamped(int32_t x, int32_t y) const;
  // First visible column that shows pos, clamped to the scroll range.
  int32_t ColumnShowing(int32_t pos) const;
  bool Visible(int32_t pos) const { return pos >= firstVisible && pos <= lastVisible; }
};

// Lays the view out. lastRows is the rows per column of the previous layout
// (0 before the first one): when it changes, the first column follows the
// current entry so that it stays in view after a resize.
ListLayout ComputeLayout(const ListMetrics& m, const LayoutInput& in, int32_t lastRows);

}  // namespace ui
