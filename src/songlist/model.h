// The song list: 999 path slots with their flag words, the play order that
// maps list positions to slots, the positions the view and the player use,
// and one undo step. All positions are list positions (order index), never
// slot numbers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/collate.h"
#include "songlist/playback_link.h"
#include "songlist/random.h"

namespace songlist {

constexpr int kMaxEntries = 999;
constexpr int kPathBytes = 260;        // buffer; a path holds at most 259 bytes
constexpr int kMaxPath = kPathBytes - 1;
constexpr uint32_t kMarkSkipped = 1;   // low byte of the flag word: play mark
constexpr uint32_t kSelected = 0x100;

// One full copy of the list state (live, undo and scratch have this shape).
struct ListState {
  char path[kMaxEntries][kPathBytes];
  uint32_t flags[kMaxEntries];
  int32_t order[kMaxEntries];
  int32_t count = 0;
  int32_t current = 0;
  int32_t selected = 0;
  int32_t focus = 0;
  uint32_t startPos = 0;
  int32_t playerState = 0;
  int32_t firstColumn = 0;
  int32_t anchor = -1;
  int32_t tied = 0;
  char snfName[kPathBytes];
};

struct ListLinks {
  PlaybackLink* playback;
  ViewLink* view;
  platform::Collator* collator;
  Random* random;
};

class SongList {
 public:
  explicit SongList(const ListLinks& links);
  SongList(const SongList&) = delete;
  SongList& operator=(const SongList&) = delete;

  // ---- reading ----
  int Count() const { return live_->count; }
  int Current() const { return live_->current; }
  int Focus() const { return live_->focus; }
  int Anchor() const { return live_->anchor; }
  int SelectedCount() const { return live_->selected; }
  int FirstColumn() const { return live_->firstColumn; }
  uint32_t StartPosition() const { return live_->startPos; }
  bool Tied() const { return live_->tied != 0; }
  std::string SnfName() const { return live_->snfName; }
  bool Busy() const { return busy_; }
  bool UndoAvailable() const { return undoAvailable_; }

  int SlotAt(int pos) const { return live_->order[pos]; }
  const char* PathAt(int pos) const { return live_->path[live_->order[pos]]; }
  uint32_t FlagsAt(int pos) const { return live_->flags[live_->order[pos]]; }
  uint32_t MarkAt(int pos) const { return FlagsAt(pos) & 0xFF; }
  bool SelectedAt(int pos) const { return (FlagsAt(pos) & kSelected) != 0; }
  const char* PathOfSlot(int slot) const { return live_->path[slot]; }
  uint32_t FlagsOfSlot(int slot) const { return live_->flags[slot]; }
  // True when one of the first slotLimit slots (all when negative) holds p,
  // compared without regard to case. Slots below the count at some moment
  // are exactly the entries of that moment, whatever was inserted since.
  bool HasPath(std::string_view p, int slotLimit = -1) const;
  // First position whose path equals p without regard to case; -1 when none.
  int FindPath(std::string_view p) const;
  // Whether two paths name the same file (the platform's comparison).
  bool SamePath(std::string_view a, std::string_view b) const { return links_.collator->SamePath(a, b); }
  int FirstPlayable() const;  // first position marked played, -1 when none

  // ---- plain field updates (view, sequencer, files) ----
  void SetCurrent(int pos) { live_->current = pos; }
  void SetFocus(int pos) { live_->focus = pos; }
  void SetAnchor(int pos) { live_->anchor = pos; }
  void SetFirstColumn(int col) { live_->firstColumn = col; }
  void SetStartPosition(uint32_t ms) { live_->startPos = ms; }
  void SetTied(bool tied) { live_->tied = tied ? 1 : 0; }
  void SetSnfName(std::string_view name);  // cut to 259 bytes
  void SetBusy(bool busy) { busy_ = busy; }
  void SetSelected(int pos, bool on);  // keeps the selected count
  void ClearSelection();
  void SetPathOfSlot(int slot, std::string_view path);
  // Empties the list without an undo step (external clear, failed start-up load).
  void Clear();

  // ---- primitives ----
  // Append and Insert do nothing when the list is full; paths are cut to 259 bytes.
  void Append(std::string_view path);
  void Insert(std::string_view path, int k);  // k < 0: at the end
  void Move(int from, int to);                // to may equal Count()
  // Start of a new list: the list-changed check and an undo copy when the list
  // is not empty, then count 0. The caller appends, then calls FinishReplace.
  void BeginReplace();
  // The same for an operation that stopped playback before it knew it would
  // replace the list: the undo copy records the player as it was then.
  void BeginReplace(int32_t playerStateBefore, uint32_t startPositionBefore);
  void FinishReplace();
  // Run by BeginReplace before the undo copy (the song-name file check).
  std::function<void()> listChangedCheck;

  // Exchange sort of positions [from, to) by whole path.
  void FullPathSort(int from, int to);
  void FullPathSort() { FullPathSort(0, Count()); }

  // ---- undo ----
  void TakeUndoCopy();
  // The raw exchange of live state and undo copy (no playback handling).
  void ExchangeUndo();
  // A song-name file load that failed: the list goes back to the undo copy,
  // and the undo copy keeps the name and tie of the list it came from, not
  // of the file that could not be read.
  void RollBackFailedLoad();

  // ---- commands ----
  void MarkSelected(uint32_t mark);  // 111 (mark 1), 112 (mark 0)
  void DeleteSelected();             // 113
  void Undo();                       // 114
  void SelectAll();                  // 152
  void Shuffle();                    // 121
  void SortAlphabetical();           // 122
  // After Mark skipped hit the current entry or Delete left a skipped entry current.
  void Reseat();

  // ---- loading (song-name file reader) ----
  // Replaces the live content with a checked list; tie state is kept.
  void LoadState(const ListState& s);
  ListState& Scratch() { return *scratch_; }

  const ListLinks& links() const { return links_; }

 private:
  void CopyState(const ListState& from, ListState* to) const;
  uint32_t LivePosition();
  void ReseatFrom(bool wasActive);
  void AfterReorder();
  void SwapOrder(int i, int j, bool moveAnchor);

  ListLinks links_;
  std::unique_ptr<ListState> a_, b_, c_;
  ListState* live_;
  ListState* undo_;
  ListState* scratch_;
  bool undoAvailable_ = false;
  bool busy_ = false;
};

}  // namespace songlist
