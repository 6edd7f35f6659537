#include "ui/list_layout.h"

#include <algorithm>

#include "app/settings.h"

namespace ui {

namespace {

// Division that rounds towards minus infinity (points left of or above the window).
int32_t FloorDiv(int32_t a, int32_t b) {
  int32_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

ListMetrics MakeMetrics(int32_t sampleWidth, int32_t sampleHeight, int32_t w1, int32_t w4) {
  ListMetrics m;
  m.colWidth = app::CellExtent(sampleWidth);
  m.rowHeight = app::CellExtent(sampleHeight);
  m.w1 = w1;
  m.w4 = w4;
  return m;
}

ListLayout ComputeLayout(const ListMetrics& m, const LayoutInput& in, int32_t lastRows) {
  ListLayout L;
  L.m = m;
  L.count = in.count;
  L.width = std::max(0, in.clientWidth);
  L.height = std::max(0, in.clientHeight);
  L.clientHeight = L.height;
  if (in.sliderShown && L.height > 20) L.height -= kSliderStrip;
  const int32_t rh = m.rowHeight, cwid = m.colWidth;

  int32_t rows = std::max(1, L.height / rh);
  if (rows < 2) {
    L.header = false;
    L.gridTop = 0;
  } else {
    L.header = true;
    L.gridTop = rh;
    rows -= 1;
  }
  L.visibleColumns = std::max(1, L.width / cwid);
  L.gridHeight = L.height;

  const int32_t h = in.scrollBarHeight;
  const int32_t n = (L.height - h) / rh;
  if (n > 0 && rows * L.visibleColumns < in.count) {
    L.scrollBar = true;
    if (n < 2) {
      L.header = false;
      L.gridTop = 0;
      rows = (L.height - h) / rh;
    } else {
      rows = (L.height - rh - h) / rh;
    }
    L.gridHeight = L.height - h;
    // Without a header line the one row sits in the middle of what is left.
    if (!L.header && L.gridHeight > rh) L.gridTop = (L.gridHeight - rh) / 2;
    L.scrollRect = Rect{0, L.height - h, L.width, L.height};
  }
  L.rows = std::max(1, rows);
  L.grid = L.header || L.scrollBar;
  L.drawnColumns = std::max(1, (L.width + cwid - 1) / cwid);

  if (L.grid) {
    int32_t needed = in.count / L.rows + (in.count % L.rows ? 1 : 0);
    L.maximum = std::max(0, needed - L.visibleColumns);
  } else {
    L.maximum = std::max(0, in.count - 1);
  }

  int32_t first = std::clamp(in.firstColumn, 0, L.maximum);
  if (L.header && !L.scrollBar) {
    first = 0;
  } else if (lastRows != 0 && lastRows != L.rows) {
    first = std::clamp(in.current / L.rows, 0, L.maximum);
  }
  L.firstColumn = first;

  if (L.grid) {
    L.firstVisible = L.rows * first;
    L.lastVisible = L.firstVisible + L.rows * L.visibleColumns - 1;
    L.step = cwid;
  } else {
    L.firstVisible = first;
    L.lastVisible = first;
    L.step = L.width + 1;
  }
  return L;
}

Rect ListLayout::SingleCell() const {
  Rect r;
  const int32_t rh = m.rowHeight, cwid = m.colWidth;
  if (gridHeight > rh) {
    r.top = (gridHeight - rh) / 2;
    r.bottom = r.top + rh;
  } else {
    r.top = 0;
    r.bottom = gridHeight;
  }
  if (width > cwid) {
    r.left = (width - cwid) / 2;
    r.right = r.left + cwid;
  } else {
    r.left = 0;
    r.right = width;
  }
  return r;
}

bool ListLayout::CellRect(int32_t pos, Rect* r) const {
  if (pos < 0 || pos >= count) return false;
  if (!grid) {
    if (pos != firstColumn) return false;
    *r = SingleCell();
    return true;
  }
  int32_t k = pos - firstVisible;
  if (k < 0 || k >= rows * drawnColumns) return false;
  int32_t col = k / rows, row = k % rows;
  r->left = col * m.colWidth;
  r->top = gridTop + row * m.rowHeight;
  r->right = r->left + m.colWidth;
  r->bottom = r->top + m.rowHeight;
  return true;
}

int32_t ListLayout::HitTest(int32_t x, int32_t y) const {
  if (count <= 0 || rows <= 0) return -1;
  if (grid) {
    // Points left of the window belong to no column (truncation would give column 0).
    if (x < 0) return -1;
    int32_t col = x / m.colWidth + firstColumn;
    int32_t row;
    if (header) {
      row = FloorDiv(y, m.rowHeight) - 1;
    } else {
      // One row without a header line: the row is where the cells are drawn.
      row = (y >= gridTop && y < gridTop + m.rowHeight) ? 0 : -1;
    }
    if (row < 0 || row >= rows) return -1;
    int32_t pos = col * rows + row;
    return pos < count ? pos : -1;
  }
  Rect c = SingleCell();
  if (c.Contains(x, y)) return firstColumn;
  if (x < 0 || x >= width) {
    int32_t pos = (x - step / 2 - c.left) / step + firstColumn;
    return (pos >= 0 && pos < count) ? pos : -1;
  }
  return -1;
}

int32_t ListLayout::HitTestClamped(int32_t x, int32_t y) const {
  if (count <= 0 || rows <= 0) return -1;
  if (grid) {
    int32_t col = FloorDiv(x, m.colWidth) + firstColumn;
    int32_t row = header ? FloorDiv(y, m.rowHeight) - 1 : 0;
    row = std::clamp(row, 0, rows - 1);
    return std::clamp(col * rows + row, 0, count - 1);
  }
  if (x >= 0 && x < width) return firstColumn;
  Rect c = SingleCell();
  return std::clamp((x - step / 2 - c.left) / step + firstColumn, 0, count - 1);
}

int32_t ListLayout::ColumnShowing(int32_t pos) const {
  return std::clamp(grid ? pos / rows : pos, 0, maximum);
}

}  // namespace ui
