#include "songlist/model.h"

#include <cstring>

#include "text/sjis.h"

namespace songlist {

namespace {

void CopyPath(char* dst, std::string_view src) {
  std::string cut = text::CutBytes(src.substr(0, src.find('\0')), kMaxPath);
  std::memcpy(dst, cut.data(), cut.size());
  dst[cut.size()] = '\0';
}

}  // namespace

SongList::SongList(const ListLinks& links)
    : links_(links),
      a_(new ListState()),
      b_(new ListState()),
      c_(new ListState()),
      live_(a_.get()),
      undo_(b_.get()),
      scratch_(c_.get()) {
  for (ListState* s : {live_, undo_, scratch_}) {
    s->snfName[0] = '\0';
  }
}

void SongList::SetSnfName(std::string_view name) { CopyPath(live_->snfName, name); }

void SongList::SetPathOfSlot(int slot, std::string_view path) {
  CopyPath(live_->path[slot], path);
}

bool SongList::HasPath(std::string_view p, int slotLimit) const {
  int n = (slotLimit < 0 || slotLimit > live_->count) ? live_->count : slotLimit;
  for (int i = 0; i < n; ++i) {
    if (links_.collator->SamePath(live_->path[i], p)) return true;
  }
  return false;
}

int SongList::FindPath(std::string_view p) const {
  for (int i = 0; i < live_->count; ++i) {
    if (links_.collator->SamePath(PathAt(i), p)) return i;
  }
  return -1;
}

int SongList::FirstPlayable() const {
  for (int i = 0; i < live_->count; ++i) {
    if (MarkAt(i) == 0) return i;
  }
  return -1;
}

void SongList::SetSelected(int pos, bool on) {
  uint32_t& f = live_->flags[live_->order[pos]];
  bool was = (f & kSelected) != 0;
  if (was == on) return;
  if (on) {
    f |= kSelected;
    ++live_->selected;
  } else {
    f &= ~kSelected;
    --live_->selected;
  }
}

void SongList::ClearSelection() {
  for (int s = 0; s < live_->count; ++s) live_->flags[s] &= ~kSelected;
  live_->selected = 0;
  live_->anchor = -1;
}

void SongList::Clear() {
  live_->count = 0;
  live_->current = 0;
  live_->focus = 0;
  live_->selected = 0;
  live_->anchor = -1;
  live_->firstColumn = 0;
  live_->startPos = 0;
}

void SongList::Append(std::string_view path) {
  ListState& s = *live_;
  if (s.count >= kMaxEntries) return;
  int n = s.count;
  s.order[n] = n;
  s.flags[n] = 0;
  CopyPath(s.path[n], path);
  s.count = n + 1;
}

void SongList::Insert(std::string_view path, int k) {
  ListState& s = *live_;
  if (s.count >= kMaxEntries) return;
  Append(path);
  int last = s.count - 1;
  if (k < 0 || k >= last) return;  // at (or beyond) the end: stays where Append put it
  int32_t v = s.order[last];
  std::memmove(&s.order[k + 1], &s.order[k], sizeof(int32_t) * (last - k));
  s.order[k] = v;
  if (s.current >= k) ++s.current;
  if (s.focus >= k) ++s.focus;
}

void SongList::Move(int from, int to) {
  ListState& s = *live_;
  if (from < 0 || from >= s.count || to < 0 || to > s.count) return;
  if (from == s.count - 1 && to == s.count) return;
  int c = s.current;
  int32_t v = s.order[from];
  int land = from;
  if (to < from) {
    std::memmove(&s.order[to + 1], &s.order[to], sizeof(int32_t) * (from - to));
    s.order[to] = v;
    land = to;
    if (c != from && to <= c && c < from) s.current = c + 1;
  } else if (to > from) {
    int target = (to - from > 1) ? to - 1 : to;
    std::memmove(&s.order[from], &s.order[from + 1], sizeof(int32_t) * (target - from));
    s.order[target] = v;
    land = target;
    if (c != from && from < c && c <= target) s.current = c - 1;
  }
  if (c == from) s.current = land;
}

void SongList::BeginReplace() {
  if (live_->count > 0) {
    if (listChangedCheck) listChangedCheck();
    TakeUndoCopy();
  }
  live_->count = 0;
}

void SongList::BeginReplace(int32_t playerStateBefore, uint32_t startPositionBefore) {
  const bool copied = live_->count > 0;
  BeginReplace();
  if (copied) {
    undo_->playerState = playerStateBefore;
    undo_->startPos = startPositionBefore;
  }
}

void SongList::FinishReplace() {
  PlaybackLink& pb = *links_.playback;
  if (pb.State() != kStopped) pb.Stop();
  pb.SetWaiting(false);
  ListState& s = *live_;
  s.startPos = 0;
  s.current = 0;
  s.focus = 0;
  s.firstColumn = 0;
  s.selected = 0;
  s.anchor = -1;
  s.tied = 0;
  links_.view->RefreshTitle();
  pb.ClearCachedLength();
  links_.view->Repaint();
}

void SongList::FullPathSort(int from, int to) {
  ListState& s = *live_;
  if (from < 0) from = 0;
  if (to > s.count) to = s.count;
  platform::Collator& col = *links_.collator;
  for (int i = from; i < to - 1; ++i) {
    for (int j = i + 1; j < to; ++j) {
      if (col.Compare(s.path[s.order[i]], s.path[s.order[j]]) > 0) {
        std::swap(s.order[i], s.order[j]);
      }
    }
  }
}

void SongList::LoadState(const ListState& in) {
  ListState& s = *live_;
  for (int i = 0; i < in.count; ++i) {
    std::memcpy(s.path[i], in.path[i], kPathBytes);
    s.flags[i] = in.flags[i];
    s.order[i] = in.order[i];
  }
  s.count = in.count;
  s.current = in.current;
  s.selected = in.selected;
  s.focus = in.focus;
  s.startPos = in.startPos;
  s.playerState = in.playerState;
  s.firstColumn = in.firstColumn;
  s.anchor = in.anchor;
}

}  // namespace songlist
