// Edit and option commands of the song list: marking, deleting, selecting
// all, shuffling and the alphabetical sort.
#include <cstring>
#include <string>
#include <vector>

#include "songlist/model.h"
#include "text/sjis.h"

namespace songlist {

void SongList::MarkSelected(uint32_t mark) {
  TakeUndoCopy();
  ListState& s = *live_;
  bool hitCurrent = false;
  for (int p = 0; p < s.count; ++p) {
    uint32_t& f = s.flags[s.order[p]];
    if (f & kSelected) {
      f = mark;  // the whole word: also drops the selection bit
      if (p == s.current) hitCurrent = true;
    }
  }
  if (mark == kMarkSkipped && hitCurrent) Reseat();
  s.selected = 0;
  s.anchor = -1;
  links_.view->Repaint();
}

void SongList::Reseat() {
  bool wasActive = links_.playback->State() != kStopped;
  if (wasActive) links_.playback->Stop();
  ReseatFrom(wasActive);
}

void SongList::ReseatFrom(bool wasActive) {
  PlaybackLink& pb = *links_.playback;
  bool found = pb.NextPlayable();
  if (!found && !pb.RandomPlay() && !pb.RepeatAll()) {
    int p = FirstPlayable();
    if (p >= 0) {
      live_->current = p;
      found = true;
    }
  }
  if (wasActive && found) pb.SetWaiting(true);
  links_.view->RefreshTitle();
  pb.ClearCachedLength();
}

void SongList::DeleteSelected() {
  TakeUndoCopy();
  busy_ = true;
  ListState& s = *live_;
  bool currentDeleted = false;
  int slot = 0;
  while (slot < s.count) {
    if (!(s.flags[slot] & kSelected)) {
      ++slot;
      continue;
    }
    int tail = s.count - 1 - slot;
    std::memmove(s.path[slot], s.path[slot + 1], sizeof(s.path[0]) * tail);
    std::memmove(&s.flags[slot], &s.flags[slot + 1], sizeof(uint32_t) * tail);
    int a = 0;
    while (a < s.count && s.order[a] != slot) ++a;
    for (int p = 0; p < s.count; ++p) {
      if (s.order[p] > slot) --s.order[p];
    }
    std::memmove(&s.order[a], &s.order[a + 1], sizeof(int32_t) * (s.count - 1 - a));
    if (a == s.current) currentDeleted = true;
    if (a < s.current) --s.current;
    if (a < s.focus) --s.focus;
    --s.count;
  }
  for (int i = 0; i < s.count; ++i) s.flags[i] &= ~kSelected;
  s.selected = 0;
  s.anchor = -1;
  if (s.current >= s.count) {
    s.current = 0;
    links_.view->ScrollToCurrent();
  }
  if (s.focus >= s.count) s.focus = 0;

  PlaybackLink& pb = *links_.playback;
  if (currentDeleted) {
    bool wasActive = pb.State() != kStopped;
    if (wasActive) pb.Stop();
    if (s.count > 0) {
      if (MarkAt(s.current) != 0) {
        ReseatFrom(wasActive);
      } else if (wasActive) {
        pb.SetWaiting(true);
      }
    }
    links_.view->RefreshTitle();
    pb.ClearCachedLength();
  }
  if (s.count == 0) {
    pb.SetWaiting(false);
    s.tied = 0;
  }
  links_.view->Repaint();
  busy_ = false;
}

void SongList::SelectAll() {
  for (int i = 0; i < live_->count; ++i) live_->flags[i] |= kSelected;
  live_->selected = live_->count;
  links_.view->Repaint();
}

void SongList::SwapOrder(int i, int j, bool moveAnchor) {
  std::swap(live_->order[i], live_->order[j]);
  if (!moveAnchor) return;
  if (live_->anchor == i) {
    live_->anchor = j;
  } else if (live_->anchor == j) {
    live_->anchor = i;
  }
}

// Steps 3 and 4 shared by Shuffle and the alphabetical sort.
void SongList::AfterReorder() {
  int first = FirstPlayable();
  live_->current = first < 0 ? 0 : first;
  links_.view->ScrollToCurrent();
  links_.view->RefreshTitle();
  links_.playback->ClearCachedLength();
  links_.view->Repaint();
  PlaybackLink& pb = *links_.playback;
  int32_t state = pb.State();
  if (first >= 0) {
    if (state == kPlaying) {
      pb.Play();
    } else if (state == kPaused) {
      pb.Stop();
    }
  } else if (state != kStopped) {
    pb.Stop();
  }
}

void SongList::Shuffle() {
  TakeUndoCopy();
  int n = live_->count;
  for (int i = 0; i < n - 1; ++i) {
    int j = i + static_cast<int>(links_.random->Below(static_cast<uint32_t>(n - i)));
    SwapOrder(i, j, true);
  }
  AfterReorder();
}

void SongList::SortAlphabetical() {
  TakeUndoCopy();
  ListState& s = *live_;
  // Names are split once per slot; the comparisons then touch no allocation.
  std::vector<std::string> names(s.count);
  for (int i = 0; i < s.count; ++i) names[i] = text::SplitPath(s.path[i]).name;
  platform::Collator& col = *links_.collator;
  for (int i = 0; i < s.count - 1; ++i) {
    for (int j = i + 1; j < s.count; ++j) {
      if (col.Compare(names[s.order[i]], names[s.order[j]]) > 0) SwapOrder(i, j, true);
    }
  }
  AfterReorder();
}

}  // namespace songlist
