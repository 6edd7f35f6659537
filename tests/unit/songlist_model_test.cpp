#include "list_marks.h"
#include "songlist_fixture.h"

using namespace songlist;

TEST(RandomTest, LinearCongruentialSequenceAndRange) {
  Random r(1);
  EXPECT_EQ(r.Next(), 0x015Au);  // x = 0x015A4E36
  EXPECT_EQ(r.State(), 0x015A4E36u);
  Random big(0xFFFFFFFFu);  // wraps modulo 2^32
  big.Next();
  EXPECT_EQ(big.State(), 0xFFFFFFFFu * 0x015A4E35u + 1u);
  Random b(7);
  for (int i = 0; i < 1000; ++i) {
    EXPECT_EQ(b.Below(1), 0u);
    EXPECT_LT(b.Below(999), 999u);
  }
}

TEST_F(SongListTest, MoveSwapsNeighboursAndShiftsLongerMoves) {
  FillNumbered(7);  // positions 0..6 hold slots 0..6
  list.Move(2, 3);
  EXPECT_EQ(list.SlotAt(2), 3);
  EXPECT_EQ(list.SlotAt(3), 2);
  list.Move(3, 2);  // back
  list.Move(2, 5);
  EXPECT_EQ(list.SlotAt(4), 2);
  EXPECT_EQ(list.SlotAt(2), 3);
  EXPECT_EQ(list.SlotAt(3), 4);
  EXPECT_EQ(list.SlotAt(5), 5);
  // The last entry moved after the last entry: nothing happens.
  list.Move(6, 7);
  EXPECT_EQ(list.SlotAt(6), 6);
  // Moving to the end lands on the last position.
  list.Move(0, 7);
  EXPECT_EQ(list.SlotAt(6), 0);
}

TEST_F(SongListTest, MoveKeepsTheCurrentSong) {
  FillNumbered(6);
  list.SetCurrent(3);
  list.Move(5, 1);  // moves in front of the current entry
  EXPECT_EQ(list.SlotAt(list.Current()), 3);
  list.Move(0, 6);  // moves from before it to the end
  EXPECT_EQ(list.SlotAt(list.Current()), 3);
  int pos = list.Current();
  list.Move(pos, 0);  // the current entry itself
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(list.SlotAt(0), 3);
}

TEST_F(SongListTest, InsertShiftsCurrentAndFocusAndNeverExceedsCapacity) {
  FillNumbered(3);
  list.SetCurrent(1);
  list.SetFocus(2);
  list.Insert("c:\\new.mid", 1);
  EXPECT_STREQ(list.PathAt(1), "c:\\new.mid");
  EXPECT_EQ(list.Current(), 2);
  EXPECT_EQ(list.Focus(), 3);
  list.Insert("c:\\end.mid", -1);
  EXPECT_STREQ(list.PathAt(4), "c:\\end.mid");
  FillNumbered(kMaxEntries);
  EXPECT_EQ(list.Count(), kMaxEntries);
  list.Insert("c:\\more.mid", 0);
  EXPECT_EQ(list.Count(), kMaxEntries);
  // Over-long paths are cut, never written past the slot.
  list.Clear();
  list.Append(std::string(400, 'a'));
  EXPECT_EQ(std::string(list.PathAt(0)).size(), 259u);
}

TEST_F(SongListTest, DeleteBeforeCurrentKeepsSameSongCurrent) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid", "c:\\d.mid"});
  list.Move(3, 0);  // d a b c
  list.SetCurrent(2);  // b
  list.SetSelected(1, true);  // a
  list.DeleteSelected();
  EXPECT_EQ(Order(), (Paths{"c:\\d.mid", "c:\\b.mid", "c:\\c.mid"}));
  EXPECT_EQ(list.Current(), 1);
  EXPECT_STREQ(list.PathAt(list.Current()), "c:\\b.mid");
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_TRUE(pb.calls.empty());
  // Slots stay packed and the play order stays a permutation.
  for (int i = 0; i < list.Count(); ++i) EXPECT_LT(list.SlotAt(i), list.Count());
  EXPECT_FALSE(list.Busy());
}

TEST_F(SongListTest, DeletingPlayingCurrentStopsAndWaitsForNext) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"});
  SetMarkAt(list, 2, kMarkSkipped);
  list.SetCurrent(1);
  pb.state = kPlaying;
  list.SetSelected(1, true);
  list.DeleteSelected();
  // b gone; c is now current but skipped: re-seated, none after it, so the first played one.
  EXPECT_EQ(pb.calls, (Paths{"stop", "wait"}));
  EXPECT_STREQ(list.PathAt(list.Current()), "c:\\a.mid");
}

TEST_F(SongListTest, DeletingEverythingLeavesEmptyUntiedList) {
  Fill({"c:\\a.mid", "c:\\b.mid"});
  list.SetTied(true);
  list.SetCurrent(1);
  pb.waiting = true;
  list.SelectAll();
  EXPECT_EQ(list.SelectedCount(), 2);
  list.DeleteSelected();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Current(), 0);
  EXPECT_FALSE(pb.waiting);
  EXPECT_FALSE(list.Tied());
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_TRUE(list.UndoAvailable());
}

TEST_F(SongListTest, MarkSkippedOnPlayingCurrentMovesOnOthersUndisturbed) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"});
  pb.state = kPlaying;
  list.SetSelected(2, true);
  list.MarkSelected(kMarkSkipped);
  EXPECT_TRUE(pb.calls.empty());
  EXPECT_EQ(list.FlagsAt(2), kMarkSkipped);
  list.SetSelected(0, true);
  list.MarkSelected(kMarkSkipped);
  EXPECT_EQ(pb.calls, (Paths{"stop", "wait"}));
  EXPECT_EQ(list.Current(), 1);
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_EQ(list.Anchor(), -1);
  list.SelectAll();
  list.MarkSelected(0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.FlagsAt(i), 0u);
}

TEST_F(SongListTest, ShuffleOfOneEntryDrawsNothing) {
  Fill({"c:\\a.mid"});
  uint32_t before = random.State();
  list.Shuffle();
  EXPECT_EQ(random.State(), before);
  EXPECT_EQ(list.Current(), 0);
}

TEST_F(SongListTest, ShuffleIsAPermutationFollowingTheGenerator) {
  FillNumbered(50);
  list.SetAnchor(0);
  Random copy(random.State());
  list.Shuffle();
  std::vector<int> expect(50);
  for (int i = 0; i < 50; ++i) expect[i] = i;
  int anchor = 0;
  for (int i = 0; i < 49; ++i) {
    int j = i + static_cast<int>(copy.Below(50 - i));
    std::swap(expect[i], expect[j]);
    if (anchor == i) anchor = j; else if (anchor == j) anchor = i;
  }
  for (int i = 0; i < 50; ++i) EXPECT_EQ(list.SlotAt(i), expect[i]);
  EXPECT_EQ(list.Anchor(), anchor);
  EXPECT_EQ(list.SlotAt(list.Anchor()), 0);
}

TEST_F(SongListTest, ReorderWithEverythingSkippedStopsAndRestartsPlayingSong) {
  Fill({"c:\\a.mid", "c:\\b.mid"});
  list.SelectAll();
  list.MarkSelected(kMarkSkipped);
  pb.calls.clear();
  pb.state = kPaused;
  list.Shuffle();
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(pb.calls, (Paths{"stop"}));
  list.SelectAll();
  list.MarkSelected(0);
  pb.calls.clear();
  pb.state = kPlaying;
  list.SortAlphabetical();
  EXPECT_EQ(pb.calls, (Paths{"play"}));
}

TEST_F(SongListTest, AlphabeticalSortComparesNamesOnly) {
  Fill({"d:\\z\\B.mid", "c:\\y\\a.mid", "a:\\c.wav"});
  list.SortAlphabetical();
  EXPECT_EQ(Order(), (Paths{"c:\\y\\a.mid", "d:\\z\\B.mid", "a:\\c.wav"}));
  list.Clear();
  Fill({"c:\\b.mid", "c:\\A.mid"});
  list.FullPathSort();
  EXPECT_EQ(Order(), (Paths{"c:\\A.mid", "c:\\b.mid"}));
}

TEST_F(SongListTest, UndoTwiceReturnsAndKeepsTheRestoredFields) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"});
  list.SetSnfName("c:\\x.snf");
  list.SetTied(true);
  list.SetSelected(1, true);
  list.DeleteSelected();
  EXPECT_EQ(list.Count(), 2);
  list.Undo();
  EXPECT_EQ(Order(), (Paths{"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"}));
  EXPECT_EQ(list.SelectedCount(), 1);
  EXPECT_TRUE(list.SelectedAt(1));
  EXPECT_TRUE(list.Tied());
  list.Undo();
  EXPECT_EQ(Order(), (Paths{"c:\\a.mid", "c:\\c.mid"}));
  list.Undo();
  EXPECT_EQ(list.Count(), 3);
}

TEST_F(SongListTest, UndoDuringPlaybackKeepsOrRestartsTheSong) {
  Fill({"c:\\a.mid", "c:\\b.mid", "c:\\c.mid"});
  pb.state = kPlaying;
  pb.position = 4321;
  list.SetCurrent(1);
  list.TakeUndoCopy();
  list.Move(1, 0);  // b stays current
  pb.calls.clear();
  list.Undo();
  EXPECT_TRUE(pb.calls.empty());
  EXPECT_EQ(pb.state, kPlaying);
  EXPECT_EQ(list.StartPosition(), 4321u);  // where the song was when the copy was taken
  // Now a different current entry in the copy: stop, and play again since it was playing.
  list.TakeUndoCopy();
  list.SetCurrent(2);
  list.Undo();
  EXPECT_EQ(pb.calls, (Paths{"stop", "play"}));
  EXPECT_EQ(list.StartPosition(), 0u);
  // Stopped now, copy taken while playing: plays from the start.
  pb.calls.clear();
  pb.state = kStopped;
  list.Undo();
  EXPECT_EQ(pb.calls, (Paths{"play"}));
}

TEST_F(SongListTest, ReplaceRunsCheckOnlyOnNonEmptyListAndResetsFields) {
  int checks = 0;
  list.listChangedCheck = [&] { ++checks; };
  list.BeginReplace();
  EXPECT_EQ(checks, 0);
  EXPECT_FALSE(list.UndoAvailable());
  Fill({"c:\\a.mid", "c:\\b.mid"});
  list.SetCurrent(1);
  list.SetAnchor(1);
  list.SetFirstColumn(1);
  list.SetSelected(0, true);
  list.SetTied(true);
  pb.state = kPlaying;
  list.BeginReplace();
  EXPECT_EQ(checks, 1);
  EXPECT_EQ(list.Count(), 0);
  list.Append("c:\\n.mid");
  list.FinishReplace();
  EXPECT_EQ(pb.calls, (Paths{"stop"}));
  EXPECT_EQ(list.Current(), 0);
  EXPECT_EQ(list.Anchor(), -1);
  EXPECT_EQ(list.FirstColumn(), 0);
  EXPECT_EQ(list.SelectedCount(), 0);
  EXPECT_FALSE(list.Tied());
  list.Undo();
  EXPECT_EQ(list.Count(), 2);
}
