// The one undo step: a full copy of the list state, and Undo as an exchange
// so that a second Undo returns to where the first one started.
#include <cstring>

#include "songlist/model.h"
#include "text/sjis.h"

namespace songlist {

void SongList::CopyState(const ListState& from, ListState* to) const {
  for (int i = 0; i < from.count; ++i) {
    std::memcpy(to->path[i], from.path[i], kPathBytes);
    to->flags[i] = from.flags[i];
    to->order[i] = from.order[i];
  }
  to->count = from.count;
  to->current = from.current;
  to->selected = from.selected;
  to->focus = from.focus;
  to->startPos = from.startPos;
  to->playerState = from.playerState;
  to->firstColumn = from.firstColumn;
  to->anchor = from.anchor;
  to->tied = from.tied;
  std::memcpy(to->snfName, from.snfName, kPathBytes);
}

// The start position an undo copy keeps: where a playing song is now.
uint32_t SongList::LivePosition() {
  uint32_t ms = 0;
  if (links_.playback->State() == kPlaying && links_.playback->QueryPosition(&ms)) return ms;
  return 0;
}

void SongList::TakeUndoCopy() {
  CopyState(*live_, undo_);
  undo_->startPos = LivePosition();
  undo_->playerState = links_.playback->State();
  undoAvailable_ = true;
}

void SongList::ExchangeUndo() {
  // Live goes to the scratch copy, the undo copy becomes live, the scratch
  // copy becomes the undo copy: a rotation of the three buffers.
  live_->startPos = LivePosition();
  live_->playerState = links_.playback->State();
  ListState* oldLive = live_;
  live_ = undo_;
  undo_ = oldLive;
}

void SongList::RollBackFailedLoad() {
  ExchangeUndo();
  std::memcpy(undo_->snfName, live_->snfName, kPathBytes);
  undo_->tied = live_->tied;
}

void SongList::Undo() {
  PlaybackLink& pb = *links_.playback;
  int32_t was = pb.State();
  std::string wasPath = Count() > 0 ? PathAt(Current()) : "";
  ExchangeUndo();
  int32_t restored = live_->playerState;
  std::string nowPath = Count() > 0 ? PathAt(Current()) : "";
  if (was != kStopped) {
    if (!SamePath(wasPath, nowPath)) {
      pb.SetState(was);
      pb.Stop();
      if (restored == kPlaying) {
        live_->startPos = 0;
        pb.Play();
      }
    }
    // Same song: it keeps playing undisturbed.
  } else if (restored == kPlaying) {
    live_->startPos = 0;
    pb.SetState(kStopped);
    pb.Play();
  } else {
    pb.SetState(kStopped);
  }
  links_.view->Repaint();
  links_.view->RefreshTitle();
}

}  // namespace songlist
