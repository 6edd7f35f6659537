// Gives entries their play marks directly, the way a loaded song-name file
// brings them, without the undo copy and reseating of the mark commands.
#pragma once

#include <memory>

#include "songlist/model.h"

inline void SetMarkAt(songlist::SongList& list, int pos, uint32_t mark) {
  auto s = std::make_unique<songlist::ListState>();
  s->count = list.Count();
  for (int i = 0; i < s->count; ++i) {
    std::string path = list.PathOfSlot(i);
    path.copy(s->path[i], path.size());
    s->path[i][path.size()] = '\0';
    s->flags[i] = list.FlagsOfSlot(i);
    s->order[i] = list.SlotAt(i);
  }
  uint32_t& f = s->flags[list.SlotAt(pos)];
  f = (f & ~0xFFu) | (mark & 0xFFu);
  s->current = list.Current();
  s->selected = list.SelectedCount();
  s->focus = list.Focus();
  s->startPos = list.StartPosition();
  s->firstColumn = list.FirstColumn();
  s->anchor = list.Anchor();
  list.LoadState(*s);
}
