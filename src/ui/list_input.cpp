#include "ui/list_input.h"

#include <algorithm>

#include "app/command_ids.h"

namespace ui {

namespace {

int32_t FloorDiv(int32_t a, int32_t b) {
  int32_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The focus after one unselected entry moved from -> to: the target, the
// position before it when the entry came from above (so a drop on the next
// position leaves the focus where the drag started), the last position for
// a drop behind the last entry.
int32_t FocusAfterMove(int32_t from, int32_t to, int32_t count) {
  if (to >= count) return count - 1;
  return from < to ? to - 1 : to;
}

}  // namespace

// The whole client area: a drop on the slider strip still lands in the list.
bool ListInput::Inside(int32_t x, int32_t y) const {
  return x >= 0 && x < L().width && y >= 0 && y < L().clientHeight;
}

void ListInput::ScrollTo(int32_t column) {
  list_.SetFirstColumn(std::clamp(column, 0, L().maximum));
  view_.Relayout();
  host_.Repaint();
}

void ListInput::BringFocusIntoView() {
  const int32_t f = list_.Focus();
  if (!L().Visible(f)) ScrollTo(L().ColumnShowing(f));
}

// Focus to a new position: scroll one column when it leaves the view, else
// redraw the two cells.
void ListInput::MoveFocus(int32_t to) {
  const int32_t from = list_.Focus();
  list_.SetFocus(to);
  if (to < L().firstVisible) {
    ScrollTo(L().firstColumn - 1);
  } else if (to > L().lastVisible) {
    ScrollTo(L().firstColumn + 1);
  } else {
    host_.RedrawCells({from, to});
  }
}

void ListInput::MoveSelection(int32_t target) {
  for (;;) {
    int32_t p = 0;
    while (p < list_.Count() && !list_.SelectedAt(p)) ++p;
    if (p >= list_.Count()) break;
    list_.SetSelected(p, false);
    list_.Move(p, target);
    if (p >= target) ++target;
  }
}

// ---- left button ----

void ListInput::LeftDown(int32_t x, int32_t y) {
  if (video_.ShownInMain() || rightDrag_ || list_.Busy()) return;
  const int32_t hit = L().HitTest(x, y);
  if (hit >= 0) {
    source_ = hit;
    const int32_t old = list_.Focus();
    list_.SetFocus(hit);
    if (!L().grid && hit != L().firstColumn) {
      ScrollTo(hit);
    } else {
      host_.RedrawCells({old, hit});
    }
    startColumn_ = L().firstColumn;
    leftDrag_ = true;
    leftScroll_ = 0;
    cursorPending_ = true;
    ticks_ = 0;
    host_.Capture(true);
    return;
  }
  if (!L().grid && list_.Count() > 0) {
    const Rect cell = L().SingleCell();
    const int32_t first = L().firstColumn;
    if (x < cell.left) {
      if (first > 0) ScrollTo(first - 1);
    } else if (x >= cell.right) {
      if (first < list_.Count() - 1) ScrollTo(first + 1);
    } else {
      ScrollTo(list_.Current());
    }
  }
}

void ListInput::LeftUp(int32_t x, int32_t y) {
  if (!leftDrag_) return;
  const int32_t count = list_.Count();
  int32_t target = L().HitTest(x, y);
  const bool inside = Inside(x, y);
  if (count >= 2 && target < 0 && inside) target = count;
  if (!inside) target = -1;

  if (target >= 0 && target != source_ && source_ < count) {
    list_.TakeUndoCopy();
    if (list_.SelectedAt(source_)) {
      const int32_t slot = list_.SlotAt(source_);
      MoveSelection(target);
      for (int32_t p = 0; p < list_.Count(); ++p) {
        if (list_.SlotAt(p) == slot) list_.SetFocus(p);
      }
    } else {
      list_.Move(source_, target);
      list_.SetFocus(FocusAfterMove(source_, target, count));
    }
    view_.Relayout();
    host_.Repaint();
  } else if (L().firstColumn != startColumn_) {
    ScrollTo(startColumn_);
  }
  EndLeftDrag();
}

// The drag is over before the capture goes: releasing it reports a capture
// change, which must not find a drag still running.
void ListInput::EndLeftDrag() {
  leftDrag_ = false;
  source_ = -1;
  leftScroll_ = 0;
  cursorPending_ = false;
  host_.DragCursor(false);
  host_.Capture(false);
}

void ListInput::CaptureLost() {
  if (leftDrag_) {
    // Nothing moves: the button went up where we could not see it.
    if (L().firstColumn != startColumn_) ScrollTo(startColumn_);
    EndLeftDrag();
  }
  if (rightDrag_) RightUp(0, 0);
}

void ListInput::LeftDoubleClick(int32_t x, int32_t y) {
  if (video_.ShownInMain()) {
    video_.AspectFit(false);
    return;
  }
  if (rightDrag_ || list_.Busy()) return;
  const int32_t hit = L().HitTest(x, y);
  if (hit >= 0) {
    if (list_.MarkAt(hit) != 0) return;
    const int32_t old = list_.Current();
    list_.SetCurrent(hit);
    host_.RedrawCells({old, hit});
    host_.Play();
  } else if (video_.OpenInDedicated()) {
    video_.AspectFit(true);
  }
}

// ---- right button ----

void ListInput::CornerOf(int32_t x, int32_t y, int32_t* col, int32_t* row) const {
  *col = FloorDiv(x, L().step) + L().firstColumn;
  *row = L().header ? FloorDiv(y, L().m.rowHeight) : 0;
}

void ListInput::RightDown(int32_t x, int32_t y, bool shift) {
  if (video_.ShownInMain() || leftDrag_ || list_.Busy() || list_.Count() == 0) return;
  const int32_t hit = L().HitTest(x, y);
  startColumn_ = L().firstColumn;
  CornerOf(x, y, &cornerCol_, &cornerRow_);
  const int32_t anchor = list_.Anchor();
  if (shift && anchor >= 0 && anchor < list_.Count()) {
    if (hit < 0) {
      list_.ClearSelection();
    } else {
      const bool on = list_.SelectedAt(anchor);
      const int32_t dir = hit > anchor ? 1 : -1;
      for (int32_t p = anchor; p != hit;) {
        p += dir;
        list_.SetSelected(p, on);
      }
    }
    host_.Repaint();
  } else if (hit < 0) {
    list_.ClearSelection();
    host_.Repaint();
  } else {
    list_.SetSelected(hit, !list_.SelectedAt(hit));
    host_.RedrawCells({hit});
    list_.SetAnchor(hit);
  }
  if (hit >= 0) {
    rightDrag_ = true;
    rightScroll_ = 0;
    sweepAnchor_ = sweepLast_ = hit;
    host_.Capture(true);
  }
}

void ListInput::Sweep(int32_t x, int32_t y) {
  int32_t col, row;
  CornerOf(x, y, &col, &row);
  if (col == cornerCol_ && row == cornerRow_) return;
  cornerCol_ = col;
  cornerRow_ = row;
  const int32_t to = L().HitTestClamped(x, y);
  if (to < 0) return;
  const int32_t oldLo = std::min(sweepAnchor_, sweepLast_), oldHi = std::max(sweepAnchor_, sweepLast_);
  const int32_t newLo = std::min(sweepAnchor_, to), newHi = std::max(sweepAnchor_, to);
  const int32_t lo = std::min(oldLo, newLo), hi = std::max(oldHi, newHi);
  std::vector<bool> before;
  for (int32_t p = lo; p <= hi; ++p) before.push_back(list_.SelectedAt(p));
  for (int32_t p = oldLo; p <= oldHi; ++p) list_.SetSelected(p, false);
  for (int32_t p = newLo; p <= newHi; ++p) list_.SetSelected(p, true);
  sweepLast_ = to;
  std::vector<int32_t> changed;
  for (int32_t p = lo; p <= hi; ++p) {
    if (list_.SelectedAt(p) != before[p - lo]) changed.push_back(p);
  }
  if (!changed.empty()) host_.RedrawCells(changed);
}

void ListInput::MouseMove(int32_t x, int32_t y) {
  if (leftDrag_) leftScroll_ = x < 0 ? -1 : x >= L().width ? 1 : 0;
  if (!rightDrag_) return;
  y = std::clamp(y, 0, std::max(0, L().height - 1));
  lastX_ = x;
  lastY_ = y;
  if (x < 0 && L().firstColumn > 0) {
    rightScroll_ = -1;
  } else if (x >= L().width && L().firstColumn < L().maximum) {
    rightScroll_ = 1;
  } else {
    rightScroll_ = 0;
    Sweep(x, y);
  }
}

void ListInput::RightUp(int32_t x, int32_t y) {
  if (!rightDrag_) return;
  rightDrag_ = false;
  rightScroll_ = 0;
  if (L().firstColumn != startColumn_) ScrollTo(startColumn_);
  host_.Capture(false);
}

void ListInput::RightDoubleClick(int32_t x, int32_t y) {
  if (video_.Open()) video_.FitVideo(video_.OpenInDedicated());
}

// ---- timer and scroll bar ----

void ListInput::Timer() {
  if (leftDrag_) {
    if (cursorPending_ && ++ticks_ >= 3) {
      cursorPending_ = false;
      host_.DragCursor(true);
    }
    if (leftScroll_ != 0) {
      const int32_t c = std::clamp(L().firstColumn + leftScroll_, 0, L().maximum);
      if (c != L().firstColumn) ScrollTo(c);
    }
  }
  if (rightDrag_ && rightScroll_ != 0) {
    const int32_t c = L().firstColumn + rightScroll_;
    if (c >= 0 && c <= L().maximum) {
      ScrollTo(c);
      Sweep(lastX_, lastY_);
    }
  }
}

void ListInput::ScrollBar(int32_t code, int32_t thumbPosition) {
  host_.FocusMainWindow();
  const int32_t first = L().firstColumn;
  int32_t pos = first;
  switch (code) {
    case kScrollLineLeft: pos = first - 1; break;
    case kScrollLineRight: pos = first + 1; break;
    case kScrollPageLeft: pos = first - L().visibleColumns; break;
    case kScrollPageRight: pos = first + L().visibleColumns; break;
    case kScrollThumbPosition:
    case kScrollThumbTrack: pos = thumbPosition; break;
    case kScrollLeft: pos = 0; break;
    case kScrollRight: pos = L().maximum; break;
    default: break;
  }
  pos = std::clamp(pos, 0, L().maximum);
  if (pos != first) ScrollTo(pos);
}

// ---- keys ----

bool ListInput::Command(int32_t id) {
  switch (id) {
    case CM_KEYUP: KeyUp(); return true;
    case CM_KEYDOWN: KeyDown(); return true;
    case CM_KEYLEFT: KeyColumn(-1); return true;
    case CM_KEYRIGHT: KeyColumn(1); return true;
    case CM_KEYENTER: KeyEnter(); return true;
    case CM_KEYPAGEUP:
      if (L().scrollBar) {
        const int32_t c = std::min(L().firstColumn + L().visibleColumns, L().maximum);
        if (c != L().firstColumn) ScrollTo(c);
      }
      return true;
    case CM_KEYPAGEDOWN:
      if (L().scrollBar) {
        const int32_t c = std::max(L().firstColumn - L().visibleColumns, 0);
        if (c != L().firstColumn) ScrollTo(c);
      }
      return true;
    case CM_KEYHOME:
      if (L().scrollBar && L().firstColumn != 0) ScrollTo(0);
      return true;
    case CM_KEYEND:
      if (L().scrollBar && L().firstColumn != L().maximum) ScrollTo(L().maximum);
      return true;
    case CM_KEYSPACE: KeySpace(); return true;
    case CM_KEYINSERT: KeyInsert(); return true;
    case CM_KEYDELETE:
      if (!KeysBlocked() && !video_.ShownInMain() && list_.SelectedCount() > 0)
        list_.DeleteSelected();
      return true;
    case CM_KEYESC: KeyEsc(); return true;
    default: return false;
  }
}

void ListInput::KeyUp() {
  if (KeysBlocked() || video_.ShownInMain() || list_.Count() == 0) return;
  BringFocusIntoView();
  if (list_.Focus() > 0) MoveFocus(list_.Focus() - 1);
}

void ListInput::KeyDown() {
  if (KeysBlocked() || video_.ShownInMain() || list_.Count() == 0) return;
  BringFocusIntoView();
  if (list_.Focus() + 1 < list_.Count()) MoveFocus(list_.Focus() + 1);
}

void ListInput::KeyColumn(int32_t dir) {
  if (KeysBlocked()) return;
  if (video_.ShownInMain()) {
    if (dir < 0) video_.StepBack();
    else video_.StepForward();
    return;
  }
  if (list_.Count() == 0) return;
  BringFocusIntoView();
  const int32_t to = list_.Focus() + dir * L().rows;
  if (to >= 0 && to < list_.Count()) MoveFocus(to);
}

void ListInput::KeyEnter() {
  if (KeysBlocked() || list_.Count() == 0) return;
  const int32_t f = list_.Focus();
  if (f == list_.Current() || f >= list_.Count() || list_.MarkAt(f) != 0) return;
  const int32_t old = list_.Current();
  list_.SetCurrent(f);
  if (!L().Visible(f)) {
    ScrollTo(L().ColumnShowing(f));
  } else {
    host_.RedrawCells({old, f});
  }
  host_.Play();
}

void ListInput::KeySpace() {
  if (KeysBlocked() || video_.ShownInMain() || list_.Count() == 0) return;
  BringFocusIntoView();
  const int32_t f = list_.Focus();
  list_.SetSelected(f, !list_.SelectedAt(f));
  if (f + 1 < list_.Count()) {
    MoveFocus(f + 1);
  } else {
    host_.RedrawCells({f});
  }
}

void ListInput::KeyInsert() {
  if (KeysBlocked() || video_.ShownInMain() || list_.SelectedCount() == 0) return;
  list_.TakeUndoCopy();
  const int32_t f = list_.Focus();
  MoveSelection(f);
  list_.SetFocus(f);
  list_.SetFirstColumn(L().ColumnShowing(f));
  view_.Relayout();
  host_.Repaint();
}

void ListInput::KeyEsc() {
  if (KeysBlocked() || video_.ShownInMain() || list_.SelectedCount() == 0) return;
  // The anchor stays: only the flags go.
  for (int32_t p = 0; p < list_.Count(); ++p) list_.SetSelected(p, false);
  host_.Repaint();
}

}  // namespace ui
