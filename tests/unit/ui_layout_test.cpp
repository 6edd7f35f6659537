// Layout of the list view: modes, rows and columns, scroll range, cell
// rectangles and the two hit tests, with fixed metrics (cells 100 x 20).
#include <gtest/gtest.h>

#include "ui/list_layout.h"

using ui::ComputeLayout;
using ui::LayoutInput;
using ui::ListLayout;
using ui::Rect;

namespace {

ui::ListMetrics Metrics() { return ui::MakeMetrics(96, 16, 8, 29); }

ListLayout Lay(int w, int h, int count, int first = 0, int current = 0, bool slider = false,
               int lastRows = 0) {
  LayoutInput in;
  in.clientWidth = w;
  in.clientHeight = h;
  in.sliderShown = slider;
  in.scrollBarHeight = 17;
  in.count = count;
  in.firstColumn = first;
  in.current = current;
  return ComputeLayout(Metrics(), in, lastRows);
}

}  // namespace

TEST(UiLayout, MetricsFromExtents) {
  ui::ListMetrics m = Metrics();
  EXPECT_EQ(m.colWidth, 100);
  EXPECT_EQ(m.rowHeight, 20);
  EXPECT_EQ(m.Overhang(), 1);  // (4*8 - 29) / 3
  EXPECT_EQ(m.CharWidth(), 7);
  EXPECT_EQ(ui::MakeMetrics(-10, -10, 0, 0).colWidth, 1);
}

TEST(UiLayout, HeaderGridWithoutScrollBar) {
  ListLayout L = Lay(400, 200, 10, 3);
  EXPECT_TRUE(L.header);
  EXPECT_TRUE(L.grid);
  EXPECT_FALSE(L.scrollBar);
  EXPECT_EQ(L.rows, 9);
  EXPECT_EQ(L.visibleColumns, 4);
  EXPECT_EQ(L.drawnColumns, 4);
  EXPECT_EQ(L.maximum, 0);
  EXPECT_EQ(L.firstColumn, 0);  // a header without a scroll bar always starts at 0
  EXPECT_EQ(L.firstVisible, 0);
  EXPECT_EQ(L.lastVisible, 35);
  EXPECT_EQ(L.step, 100);
}

TEST(UiLayout, ScrollBarAppearsWithOneEntryMoreThanCells) {
  // 9 rows x 4 columns = 36 cells.
  EXPECT_FALSE(Lay(400, 200, 36).scrollBar);
  ListLayout L = Lay(400, 200, 37);
  EXPECT_TRUE(L.scrollBar);
  EXPECT_TRUE(L.header);
  EXPECT_EQ(L.rows, 8);  // (200 - 20 - 17) / 20
  EXPECT_EQ(L.maximum, 1);  // 5 columns needed, 4 visible
  EXPECT_EQ(L.scrollRect, (Rect{0, 183, 400, 200}));
  EXPECT_EQ(L.gridHeight, 183);
}

TEST(UiLayout, HeaderGoesWhenTheBarLeavesOneRow) {
  ListLayout fits = Lay(400, 50, 4);  // 2 rows: header + 1 row of 4 cells
  EXPECT_TRUE(fits.header);
  EXPECT_FALSE(fits.scrollBar);
  EXPECT_EQ(fits.rows, 1);

  ListLayout L = Lay(400, 50, 5);
  EXPECT_TRUE(L.scrollBar);
  EXPECT_FALSE(L.header);
  EXPECT_TRUE(L.grid);
  EXPECT_EQ(L.rows, 1);
  EXPECT_EQ(L.maximum, 1);
  EXPECT_EQ(L.gridTop, 6);  // the row is centred in the 33 pixels above the bar
}

TEST(UiLayout, OneRowHighWindowShowsOneEntry) {
  ListLayout L = Lay(800, 30, 20, 7);
  EXPECT_FALSE(L.grid);
  EXPECT_FALSE(L.header);
  EXPECT_FALSE(L.scrollBar);
  EXPECT_EQ(L.maximum, 19);
  EXPECT_EQ(L.firstVisible, 7);
  EXPECT_EQ(L.lastVisible, 7);
  EXPECT_EQ(L.step, 801);
  EXPECT_EQ(L.SingleCell(), (Rect{350, 5, 450, 25}));
  // Lower than a row: the cell spans the height; narrower than a cell: the width.
  EXPECT_EQ(Lay(60, 10, 3).SingleCell(), (Rect{0, 0, 60, 10}));
}

TEST(UiLayout, SliderStripAndPartlyVisibleColumn) {
  ListLayout L = Lay(450, 221, 10, 0, 0, true);
  EXPECT_EQ(L.height, 200);
  EXPECT_EQ(L.rows, 9);
  EXPECT_EQ(L.visibleColumns, 4);
  EXPECT_EQ(L.drawnColumns, 5);
  // A client area of 20 pixels or less keeps the whole height.
  EXPECT_EQ(Lay(450, 20, 1, 0, 0, true).height, 20);
}

TEST(UiLayout, FirstColumnFollowsCurrentWhenRowsChange) {
  ListLayout a = Lay(400, 200, 100, 2, 50);  // 8 rows, first kept at 2
  EXPECT_EQ(a.rows, 8);
  EXPECT_EQ(a.firstColumn, 2);
  EXPECT_EQ(Lay(400, 200, 100, 2, 50, false, 8).firstColumn, 2);  // same rows: kept
  ListLayout b = Lay(400, 120, 100, 2, 50, false, 8);              // 4 rows now
  EXPECT_EQ(b.rows, 4);
  EXPECT_EQ(b.firstColumn, 12);
  EXPECT_TRUE(b.Visible(50));
  // Clamped to the maximum.
  EXPECT_EQ(Lay(400, 200, 100, 99, 0).firstColumn, 9);
  EXPECT_EQ(Lay(400, 200, 100, 0, 99, false, 4).firstColumn, 9);
}

TEST(UiLayout, CellRectangles) {
  ListLayout L = Lay(450, 200, 45, 1);  // scroll mode, 8 rows, first column 1
  Rect r;
  ASSERT_TRUE(L.CellRect(8, &r));
  EXPECT_EQ(r, (Rect{0, 20, 100, 40}));
  ASSERT_TRUE(L.CellRect(19, &r));  // k = 11: column 1, row 3
  EXPECT_EQ(r, (Rect{100, 80, 200, 100}));
  ASSERT_TRUE(L.CellRect(40, &r));  // partly visible fifth column
  EXPECT_EQ(r, (Rect{400, 20, 500, 40}));
  EXPECT_FALSE(L.CellRect(7, &r));
  EXPECT_FALSE(L.CellRect(45, &r));
}

TEST(UiLayout, HitTestGridWithHeader) {
  ListLayout L = Lay(400, 200, 37, 1);  // rows 8, first column 1
  EXPECT_EQ(L.HitTest(150, 45), 2 * 8 + 1);
  EXPECT_EQ(L.HitTest(0, 20), 8);
  EXPECT_EQ(L.HitTest(50, 10), -1);   // header line
  EXPECT_EQ(L.HitTest(50, 185), -1);  // below the last row
  EXPECT_EQ(L.HitTest(399, 179), -1);  // position 39: past the last entry
  EXPECT_EQ(L.HitTest(399, 39), 32);
  EXPECT_EQ(L.HitTest(-5, 50), -1);
  ListLayout none = Lay(400, 200, 0);
  EXPECT_EQ(none.HitTest(10, 30), -1);
  EXPECT_EQ(none.HitTestClamped(10, 30), -1);
}

TEST(UiLayout, HitTestOneRowScrollMode) {
  ListLayout L = Lay(400, 50, 6, 1);  // band 6..25, first column 1
  EXPECT_EQ(L.HitTest(50, 6), 1);
  EXPECT_EQ(L.HitTest(150, 25), 2);
  EXPECT_EQ(L.HitTest(150, 26), -1);
  EXPECT_EQ(L.HitTest(150, 5), -1);
  EXPECT_EQ(L.HitTest(450, 10), 5);  // partly visible column
}

TEST(UiLayout, HitTestSingleEntry) {
  ListLayout L = Lay(800, 30, 20, 7);  // cell 350..449 x 5..24, step 801
  EXPECT_EQ(L.HitTest(400, 10), 7);
  EXPECT_EQ(L.HitTest(100, 10), -1);  // inside the window but beside the cell
  EXPECT_EQ(L.HitTest(400, 2), -1);
  EXPECT_EQ(L.HitTest(1600, 10), 8);  // (1600 - 400 - 350) / 801 + 7
  EXPECT_EQ(L.HitTest(-1300, 10), 5);
  EXPECT_EQ(L.HitTest(-100000, 10), -1);
}

TEST(UiLayout, ClampedHitTest) {
  ListLayout L = Lay(400, 200, 37, 1);
  EXPECT_EQ(L.HitTestClamped(150, 500), 2 * 8 + 7);  // below: last row
  EXPECT_EQ(L.HitTestClamped(150, -40), 16);         // above: first row
  EXPECT_EQ(L.HitTestClamped(399, 170), 36);         // past the end: last entry
  EXPECT_EQ(L.HitTestClamped(-20, 50), 1);           // left of the window: column 0
  ListLayout S = Lay(800, 30, 20, 7);
  EXPECT_EQ(S.HitTestClamped(10, 29), 7);
  EXPECT_EQ(S.HitTestClamped(-100000, 10), 0);
}
