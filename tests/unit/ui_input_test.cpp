// Mouse and keys of the list view, driven through the core with a recording
// host. Cells are 100 x 20; a 400 x 200 client has a header and 9 rows x 4.
#include <gtest/gtest.h>

#include <functional>

#include "list_marks.h"
#include "app/command_ids.h"
#include "songlist_fixture.h"
#include "ui/list_input.h"

namespace {

struct NoDrives : ui::DriveInfo {
  int32_t Type(const std::string&) override { return 3; }
  uint32_t SectorSize(const std::string&) override { return 512; }
};

struct RecordingHost : ui::ListInputHost {
  int repaints = 0, plays = 0, focus = 0;
  std::vector<std::vector<int32_t>> redraws;
  bool captured = false, dragCursor = false;
  void Repaint() override { ++repaints; }
  void RedrawCells(const std::vector<int32_t>& p) override { redraws.push_back(p); }
  std::function<void()> onRelease;  // the platform reports the capture change at once
  void Capture(bool on) override {
    captured = on;
    if (!on && onRelease) onRelease();
  }
  void DragCursor(bool on) override { dragCursor = on; }
  void FocusMainWindow() override { ++focus; }
  void Play() override { ++plays; }
};

struct FakeVideo : ui::NoVideo {
  bool inMain = false;
  int back = 0, forward = 0;
  bool ShownInMain() override { return inMain; }
  bool Open() override { return inMain; }
  void StepBack() override { ++back; }
  void StepForward() override { ++forward; }
};

struct UiInputTest : SongListTest {
  NoDrives drives;
  ui::ListView view{list, drives};
  RecordingHost host;
  FakeVideo video;
  ui::ListInput input{list, view, host, video};

  UiInputTest() {
    view.SetMetrics(ui::MakeMetrics(96, 16, 8, 29));
    Client(400, 200);
  }
  void Client(int w, int h) {
    view.SetClient(w, h, false, 17);
    view.Relayout();
  }
  void Entries(int n) {
    FillNumbered(n);
    view.Relayout();
  }
  // Centre of the cell of pos in the current layout.
  std::pair<int, int> At(int pos) const {
    ui::Rect r;
    EXPECT_TRUE(view.Layout().CellRect(pos, &r)) << pos;
    return {r.left + 50, r.top + 10};
  }
  void Drag(int from, int toX, int toY) {
    auto a = At(from);
    input.LeftDown(a.first, a.second);
    input.MouseMove(toX, toY);
    input.LeftUp(toX, toY);
  }
  void DragTo(int from, int to) {
    auto b = At(to);
    Drag(from, b.first, b.second);
  }
  void Right(int pos, bool shift = false) {
    auto a = At(pos);
    input.RightDown(a.first, a.second, shift);
    input.RightUp(a.first, a.second);
  }
  std::vector<int> Names() const {
    std::vector<int> v;
    for (int i = 0; i < list.Count(); ++i) v.push_back(std::stoi(ui::CellName(list.PathAt(i), 8, 0)));
    return v;
  }
  std::vector<int> Selected() const {
    std::vector<int> v;
    for (int i = 0; i < list.Count(); ++i)
      if (list.SelectedAt(i)) v.push_back(i);
    return v;
  }
};

}  // namespace

TEST_F(UiInputTest, EmptyListIgnoresClicksAndKeys) {
  input.LeftDown(50, 50);
  input.LeftUp(50, 50);
  input.RightDown(50, 50, false);
  input.LeftDoubleClick(50, 50);
  for (int id : {CM_KEYUP, CM_KEYDOWN, CM_KEYLEFT, CM_KEYRIGHT, CM_KEYENTER, CM_KEYSPACE,
                 CM_KEYINSERT, CM_KEYDELETE, CM_KEYESC, CM_KEYPAGEUP, CM_KEYEND})
    EXPECT_TRUE(input.Command(id));
  EXPECT_FALSE(input.Command(CM_PLAY));
  EXPECT_EQ(host.repaints, 0);
  EXPECT_TRUE(host.redraws.empty());
  EXPECT_EQ(host.plays, 0);
  EXPECT_FALSE(host.captured);
  EXPECT_FALSE(list.UndoAvailable());
}

TEST_F(UiInputTest, DraggingThreeSelectedKeepsTheirOrderAndClearsThem) {
  Entries(10);
  for (int p : {1, 3, 5}) list.SetSelected(p, true);
  DragTo(3, 8);
  EXPECT_EQ(Names(), (std::vector<int>{0, 2, 4, 6, 7, 1, 3, 5, 8, 9}));
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.Focus(), 6);  // on the dragged entry
  EXPECT_TRUE(list.UndoAvailable());
  EXPECT_FALSE(host.captured);
  // Towards the start: the same rule.
  for (int p : {7, 9}) list.SetSelected(p, true);
  DragTo(9, 1);
  EXPECT_EQ(Names(), (std::vector<int>{0, 5, 9, 2, 4, 6, 7, 1, 3, 8}));
  EXPECT_EQ(list.Focus(), 2);
}

TEST_F(UiInputTest, DraggingOneEntry) {
  Entries(5);
  list.SetSelected(0, true);
  DragTo(2, 3);  // onto the next position: the two change places
  EXPECT_EQ(Names(), (std::vector<int>{0, 1, 3, 2, 4}));
  EXPECT_EQ(list.Focus(), 2);  // target - 1: the entry came from above
  EXPECT_EQ(Selected(), (std::vector<int>{0}));  // an unselected entry moves alone
  Drag(1, 250, 50);  // empty cell inside the window: behind the last entry
  EXPECT_EQ(Names(), (std::vector<int>{0, 3, 2, 4, 1}));
  EXPECT_EQ(list.Focus(), 4);
  int repaints = host.repaints;
  Drag(1, 50, 500);  // released outside the window: nothing moves
  Drag(1, 50, 40);   // onto itself
  EXPECT_EQ(Names(), (std::vector<int>{0, 3, 2, 4, 1}));
  EXPECT_EQ(host.repaints, repaints);
  // Released over the slider strip: still the window, so behind the last entry.
  view.SetClient(400, 200, true, 17);
  view.Relayout();
  Drag(0, 50, 195);
  EXPECT_EQ(Names(), (std::vector<int>{3, 2, 4, 1, 0}));
  EXPECT_EQ(list.Focus(), 4);
}

TEST_F(UiInputTest, DragCursorAfterThreeTicksAndArrowAfterRelease) {
  Entries(3);
  auto a = At(1);
  input.LeftDown(a.first, a.second);
  EXPECT_TRUE(host.captured);
  EXPECT_EQ(list.Focus(), 1);
  input.Timer();
  input.Timer();
  EXPECT_FALSE(host.dragCursor);
  input.Timer();
  EXPECT_TRUE(host.dragCursor);
  // No keys or right button during a drag.
  input.Command(CM_KEYDOWN);
  input.RightDown(a.first, a.second, false);
  EXPECT_EQ(list.Focus(), 1);
  EXPECT_TRUE(Selected().empty());
  input.LeftUp(a.first, a.second);
  EXPECT_FALSE(host.dragCursor);
  EXPECT_FALSE(input.LeftDragging());
}

TEST_F(UiInputTest, LeftDragScrollsBeyondTheEdgesAndRestoresWhenNothingMoved) {
  Entries(100);  // 8 rows, 13 columns, maximum 9
  list.SetFirstColumn(2);
  view.Relayout();
  auto a = At(20);
  input.LeftDown(a.first, a.second);
  input.MouseMove(450, a.second);
  input.Timer();
  input.Timer();
  EXPECT_EQ(view.Layout().firstColumn, 4);
  input.MouseMove(-5, a.second);
  for (int i = 0; i < 6; ++i) input.Timer();
  EXPECT_EQ(view.Layout().firstColumn, 0);  // stops at 0
  input.LeftUp(-5, a.second);
  EXPECT_EQ(view.Layout().firstColumn, 2);
  EXPECT_EQ(list.FirstColumn(), 2);
}

TEST_F(UiInputTest, SingleEntryModeSteps) {
  Entries(5);
  Client(400, 30);  // cell at 150..249
  list.SetCurrent(2);
  input.LeftDown(10, 15);
  EXPECT_EQ(view.Layout().firstColumn, 0);  // was 0: stays
  input.LeftDown(300, 15);
  input.LeftDown(300, 15);
  EXPECT_EQ(view.Layout().firstColumn, 2);
  input.LeftDown(10, 15);
  EXPECT_EQ(view.Layout().firstColumn, 1);
  for (int i = 0; i < 6; ++i) input.LeftDown(399, 15);
  EXPECT_EQ(view.Layout().firstColumn, 4);  // not past the last
  input.LeftDown(200, 2);                   // the cell's column, above it
  EXPECT_EQ(view.Layout().firstColumn, 2);  // back to the current entry
  EXPECT_FALSE(input.LeftDragging());
}

TEST_F(UiInputTest, RightClickTogglesAndShiftExtends) {
  Entries(10);
  Right(2);
  EXPECT_EQ(Selected(), (std::vector<int>{2}));
  EXPECT_EQ(list.Anchor(), 2);
  EXPECT_EQ(host.redraws.back(), (std::vector<int32_t>{2}));
  Right(6, true);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6}));
  EXPECT_EQ(list.Anchor(), 2);
  Right(0, true);  // the other direction
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(list.SelectedCount(), 7);
  Right(4);  // toggled off; the anchor moves there
  EXPECT_EQ(list.Anchor(), 4);
  Right(6, true);  // an unselected anchor clears the range
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(list.SelectedCount(), 4);
  input.RightDown(250, 150, true);  // empty space with Shift: everything cleared
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(list.Anchor(), -1);
  EXPECT_FALSE(input.RightDragging());
  Right(1);
  input.RightDown(250, 150, false);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(list.SelectedCount(), 0);
}

TEST_F(UiInputTest, SweepRedrawsOnlyChangedCells) {
  Entries(20);
  auto a = At(2);
  input.RightDown(a.first, a.second, false);
  EXPECT_TRUE(input.RightDragging());
  auto b = At(5);
  input.MouseMove(b.first, b.second);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(host.redraws.back(), (std::vector<int32_t>{3, 4, 5}));
  size_t redraws = host.redraws.size();
  input.MouseMove(b.first + 3, b.second + 2);  // same cell: nothing
  EXPECT_EQ(host.redraws.size(), redraws);
  auto c = At(3);
  input.MouseMove(c.first, c.second);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
  EXPECT_EQ(host.redraws.back(), (std::vector<int32_t>{4, 5}));
  auto d = At(11);  // next column, row 2
  input.MouseMove(d.first, d.second + 400);  // below the window: clamped into the last row
  EXPECT_EQ(Selected().back(), 17);
  input.RightUp(d.first, d.second);
  EXPECT_FALSE(host.captured);
  EXPECT_EQ(list.SelectedCount(), 16);
}

TEST_F(UiInputTest, DoubleClickStartsOnlyPlayableEntries) {
  Entries(4);
  SetMarkAt(list, 1, songlist::kMarkSkipped);
  auto a = At(1);
  input.LeftDoubleClick(a.first, a.second);
  EXPECT_EQ(host.plays, 0);
  EXPECT_EQ(list.Current(), 0);
  auto b = At(3);
  input.LeftDoubleClick(b.first, b.second);
  EXPECT_EQ(host.plays, 1);
  EXPECT_EQ(list.Current(), 3);
  EXPECT_EQ(host.redraws.back(), (std::vector<int32_t>{0, 3}));
  list.SetBusy(true);
  input.LeftDoubleClick(a.first, a.second);
  EXPECT_EQ(host.plays, 1);
}

TEST_F(UiInputTest, EnterStartsTheFocusEntryUnlessSkipped) {
  Entries(4);
  list.SetFocus(2);
  SetMarkAt(list, 2, songlist::kMarkSkipped);
  input.Command(CM_KEYENTER);
  EXPECT_EQ(host.plays, 0);
  SetMarkAt(list, 2, 0);
  input.Command(CM_KEYENTER);
  EXPECT_EQ(host.plays, 1);
  EXPECT_EQ(list.Current(), 2);
  input.Command(CM_KEYENTER);  // already current
  EXPECT_EQ(host.plays, 1);
}

TEST_F(UiInputTest, PagingMovesTowardsTheEndOnPageUp) {
  Entries(100);  // maximum 9, 4 visible columns
  input.Command(CM_KEYPAGEUP);
  EXPECT_EQ(list.FirstColumn(), 4);
  input.Command(CM_KEYPAGEUP);
  input.Command(CM_KEYPAGEUP);
  EXPECT_EQ(list.FirstColumn(), 9);
  input.Command(CM_KEYPAGEDOWN);
  EXPECT_EQ(list.FirstColumn(), 5);
  input.Command(CM_KEYHOME);
  EXPECT_EQ(list.FirstColumn(), 0);
  int repaints = host.repaints;
  input.Command(CM_KEYHOME);  // no change, no repaint
  EXPECT_EQ(host.repaints, repaints);
  input.Command(CM_KEYEND);
  EXPECT_EQ(list.FirstColumn(), 9);
  EXPECT_EQ(list.Focus(), 0);  // the focus never moves
}

TEST_F(UiInputTest, ArrowKeysMoveTheFocusAndScroll) {
  Entries(100);  // 8 rows
  input.Command(CM_KEYUP);  // at 0: stays
  EXPECT_EQ(list.Focus(), 0);
  input.Command(CM_KEYDOWN);
  EXPECT_EQ(list.Focus(), 1);
  EXPECT_EQ(host.redraws.back(), (std::vector<int32_t>{0, 1}));
  input.Command(CM_KEYRIGHT);
  EXPECT_EQ(list.Focus(), 9);
  list.SetFocus(31);
  input.Command(CM_KEYDOWN);  // past the last visible position
  EXPECT_EQ(list.Focus(), 32);
  EXPECT_EQ(list.FirstColumn(), 1);
  input.Command(CM_KEYLEFT);
  input.Command(CM_KEYLEFT);
  input.Command(CM_KEYLEFT);
  EXPECT_EQ(list.Focus(), 8);
  EXPECT_EQ(list.FirstColumn(), 1);
  input.Command(CM_KEYUP);
  EXPECT_EQ(list.Focus(), 7);
  EXPECT_EQ(list.FirstColumn(), 0);
  // A focus out of view is brought in first.
  list.SetFirstColumn(9);
  view.Relayout();
  input.Command(CM_KEYDOWN);
  EXPECT_EQ(list.Focus(), 8);
  EXPECT_EQ(list.FirstColumn(), 0);
  input.Command(CM_KEYRIGHT);
  list.SetFocus(99);
  input.Command(CM_KEYRIGHT);  // no column to the right
  EXPECT_EQ(list.Focus(), 99);
}

TEST_F(UiInputTest, SpaceInsertEscAndDelete) {
  Entries(6);
  input.Command(CM_KEYSPACE);
  input.Command(CM_KEYDOWN);
  input.Command(CM_KEYSPACE);
  EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
  EXPECT_EQ(list.Focus(), 3);
  list.SetFocus(5);
  input.Command(CM_KEYSPACE);  // the last entry: the focus stays
  EXPECT_EQ(list.Focus(), 5);
  EXPECT_EQ(list.SelectedCount(), 3);
  list.SetFocus(4);
  input.Command(CM_KEYINSERT);
  EXPECT_EQ(Names(), (std::vector<int>{1, 3, 0, 2, 5, 4}));  // in front of the focus entry
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.Focus(), 4);
  EXPECT_TRUE(list.UndoAvailable());

  Right(1);
  Right(2);
  input.Command(CM_KEYESC);
  EXPECT_TRUE(Selected().empty());
  EXPECT_EQ(list.Anchor(), 2);
  Right(0);
  input.Command(CM_KEYDELETE);
  EXPECT_EQ(list.Count(), 5);
}

TEST_F(UiInputTest, BusyAndVideoBlockTheKeys) {
  Entries(6);
  list.SetBusy(true);
  input.Command(CM_KEYDOWN);
  input.Command(CM_KEYSPACE);
  input.LeftDown(50, 30);
  EXPECT_EQ(list.Focus(), 0);
  EXPECT_TRUE(Selected().empty());
  list.SetBusy(false);
  video.inMain = true;
  input.Command(CM_KEYDOWN);
  input.Command(CM_KEYLEFT);
  input.Command(CM_KEYRIGHT);
  input.Command(CM_KEYRIGHT);
  EXPECT_EQ(list.Focus(), 0);
  EXPECT_EQ(video.back, 1);
  EXPECT_EQ(video.forward, 2);
}

TEST_F(UiInputTest, ScrollBarNotifications) {
  Entries(100);
  input.ScrollBar(ui::kScrollLineRight, 0);
  EXPECT_EQ(list.FirstColumn(), 1);
  input.ScrollBar(ui::kScrollPageRight, 0);
  EXPECT_EQ(list.FirstColumn(), 5);
  input.ScrollBar(ui::kScrollThumbTrack, 42);
  EXPECT_EQ(list.FirstColumn(), 9);
  input.ScrollBar(ui::kScrollLeft, 0);
  EXPECT_EQ(list.FirstColumn(), 0);
  int repaints = host.repaints;
  input.ScrollBar(ui::kScrollLineLeft, 0);
  input.ScrollBar(ui::kScrollEnd, 0);
  EXPECT_EQ(host.repaints, repaints);
  EXPECT_EQ(host.focus, 6);
}

TEST_F(UiInputTest, ScrollToCurrentOnlyWhenOutOfView) {
  Entries(100);  // 8 rows, 4 visible columns
  list.SetCurrent(20);
  view.ScrollToCurrent();
  EXPECT_EQ(list.FirstColumn(), 0);
  list.SetCurrent(70);
  view.ScrollToCurrent();
  EXPECT_EQ(list.FirstColumn(), 8);
  list.SetCurrent(99);
  view.ScrollToCurrent();
  EXPECT_EQ(list.FirstColumn(), 9);  // clamped to the maximum
}

// A message box or another program taking the mouse mid-drag: the drag must
// end there, or the keys and the other button stay dead.
TEST_F(UiInputTest, LostCaptureEndsTheDragWithoutMoving) {
  Entries(100);
  list.SetFirstColumn(2);
  view.Relayout();
  auto a = At(20);
  input.LeftDown(a.first, a.second);
  input.MouseMove(450, a.second);
  for (int i = 0; i < 3; ++i) input.Timer();
  ASSERT_NE(view.Layout().firstColumn, 2);
  input.CaptureLost();
  EXPECT_FALSE(input.LeftDragging());
  EXPECT_FALSE(host.dragCursor);
  EXPECT_EQ(view.Layout().firstColumn, 2);
  EXPECT_EQ(Names()[20], 20);
  input.Command(CM_KEYDOWN);
  EXPECT_EQ(list.Focus(), 21);
  Right(22);
  EXPECT_EQ(Selected(), (std::vector<int>{22}));
  auto b = At(24);
  input.RightDown(b.first, b.second, false);
  input.CaptureLost();
  EXPECT_FALSE(input.RightDragging());

  // Our own release reports a capture change too; a finished move stays.
  host.onRelease = [this] { input.CaptureLost(); };
  input.LeftDown(a.first, a.second);
  input.MouseMove(450, a.second);
  input.Timer();
  input.Timer();
  const int32_t column = view.Layout().firstColumn;
  ASSERT_NE(column, 2);
  auto c = At(column * 8 + 1);
  input.LeftUp(c.first, c.second);
  EXPECT_EQ(view.Layout().firstColumn, column);
  EXPECT_NE(Names()[20], 20);
}
