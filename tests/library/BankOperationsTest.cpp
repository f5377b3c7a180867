#include <gtest/gtest.h>

#include "library/BankOperations.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;
using test::ScriptedPrompter;

// A set whose slot i is named "<i>" (so every name differs).
BankSet Numbered(BankSetKind kind = BankSetKind::Blofeld) {
  BankSet set(kind);
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound(std::to_string(i));
  return set;
}

std::string NameAt(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }

TEST(MoveSelection, UpMovesBlocksAndDropsTheDisplacedSoundBelow) {
  BankSet set = Numbered();
  set.Select(4);
  set.Select(5);  // A005, A006
  ASSERT_TRUE(MoveSelectionUp(set));
  EXPECT_EQ(NameAt(set, 3), "4");
  EXPECT_EQ(NameAt(set, 4), "5");
  EXPECT_EQ(NameAt(set, 5), "3");
  EXPECT_EQ(NameAt(set, 6), "6");
  for (int i : {3, 4, 5, 6}) EXPECT_TRUE(set.Changed(i)) << i;  // A007 is flagged though unchanged
  EXPECT_FALSE(set.Changed(2));
  EXPECT_TRUE(set.IsSelected(3) && set.IsSelected(4));
  EXPECT_EQ(set.SelectedCount(), 2);

  set.ClearSelection();  // A010 and A020 move independently
  set.Select(9);
  set.Select(19);
  ASSERT_TRUE(MoveSelectionDown(set));
  EXPECT_EQ(NameAt(set, 10), "9");
  EXPECT_EQ(NameAt(set, 9), "10");
  EXPECT_EQ(NameAt(set, 20), "19");
  EXPECT_EQ(NameAt(set, 19), "20");
  EXPECT_EQ(set.SelectionList, (std::vector<int>{10, 20}));
}

TEST(MoveSelection, EdgesDoNothingAndTheLastRowTakesTheHeldSound) {
  BankSet set = Numbered();
  set.Select(0);
  EXPECT_FALSE(MoveSelectionUp(set));
  EXPECT_EQ(NameAt(set, 0), "0");
  set.ClearSelection();
  set.Select(1023);
  EXPECT_FALSE(MoveSelectionDown(set));
  EXPECT_TRUE(MoveSelectionUp(set));
  EXPECT_EQ(NameAt(set, 1022), "1023");
  EXPECT_EQ(NameAt(set, 1023), "1022");
  set.ClearSelection();
  set.Select(1);
  EXPECT_TRUE(MoveSelectionDown(set));  // the selection moves with the sound
  EXPECT_TRUE(set.IsSelected(2));
  ASSERT_TRUE(MoveSelectionUp(set));  // and back again
  EXPECT_EQ(NameAt(set, 1), "1");
  EXPECT_EQ(NameAt(set, 2), "2");
  set.CurrentIndex = -1;  // no current row
  EXPECT_FALSE(MoveSelectionUp(set));
  BankSet none = Numbered();  // nothing selected
  EXPECT_FALSE(MoveSelectionDown(none));
}

TEST(MoveSelection, ToARowPutsTheBlockThereKeepingEverySound) {
  BankSet set = Numbered();
  for (int i : {9, 10, 11}) set.Select(i);  // A010..A012
  int steps = 0;
  MoveSelectionTo(set, 49, [&] { ++steps; });  // Ctrl+right click on A050
  EXPECT_EQ(steps, 38);
  EXPECT_EQ(NameAt(set, 47), "9");
  EXPECT_EQ(NameAt(set, 49), "11");
  EXPECT_EQ(set.SelectionList, (std::vector<int>{47, 48, 49}));
  MoveSelectionTo(set, 4);  // up to A005
  EXPECT_EQ(NameAt(set, 4), "9");
  EXPECT_EQ(NameAt(set, 6), "11");
  // The same sounds are still somewhere: moving only permutes.
  std::vector<int> seen(kSlotCount, 0);
  for (int i = 0; i < kSlotCount; ++i) ++seen[std::stoi(NameAt(set, i))];
  for (int c : seen) EXPECT_EQ(c, 1);
  // A target inside the block moves it down by one.
  set.ClearSelection();
  for (int i : {10, 11, 12}) set.Select(i);
  MoveSelectionTo(set, 11);
  EXPECT_EQ(set.SelectionList, (std::vector<int>{11, 12, 13}));
}

TEST(ExchangeOrCopy, SwapsCopiesAndAsksWithTheTrimmedNames) {
  BankSet blofeld(BankSetKind::Blofeld), virt(BankSetKind::Virtual);
  blofeld.Sound(128) = MakeSound("  Bass");
  virt.Sound(2) = MakeSound("Pad 1");
  ScriptedPrompter p;
  p.answers = {Answer::No};
  EXPECT_FALSE(ExchangeOrCopy(virt, 2, blofeld, 128, ExchangeMode::VirtualToBlofeld, true, p));
  ASSERT_EQ(p.asked.size(), 1u);
  EXPECT_EQ(p.asked[0], "Do you want to overwrite \"Bass\" with2 \"Pad 1\" ?");
  EXPECT_EQ(NameAt(blofeld, 128), "Bass");
  EXPECT_FALSE(blofeld.Changed(128));
  p.answers = {Answer::Yes};
  EXPECT_TRUE(ExchangeOrCopy(virt, 2, blofeld, 128, ExchangeMode::VirtualToBlofeld, true, p));
  EXPECT_EQ(NameAt(blofeld, 128), "Pad 1");
  EXPECT_TRUE(blofeld.Changed(128));
  EXPECT_FALSE(virt.Changed(2));

  // Without the setting no question; mode 1 says "with".
  EXPECT_TRUE(ExchangeOrCopy(blofeld, 0, virt, 5, ExchangeMode::BlofeldToVirtual, false, p));
  EXPECT_EQ(p.asked.size(), 2u);
  EXPECT_EQ(OverwriteQuestion("A", "B", ExchangeMode::BlofeldToVirtual), "Do you want to overwrite \"A\" with \"B\" ?");

  // A swap with itself still flags the slot.
  EXPECT_TRUE(ExchangeOrCopy(blofeld, 7, blofeld, 7, ExchangeMode::Swap, true, p));
  EXPECT_TRUE(blofeld.Changed(7));
  ExchangeOrCopy(blofeld, 128, blofeld, 1, ExchangeMode::Swap, true, p);
  EXPECT_EQ(NameAt(blofeld, 1), "Pad 1");
}

TEST(CopyRunAndClipboard, StopAtTheEndAndIgnoreAnEmptyClipboard) {
  BankSet src = Numbered(), dst(BankSetKind::Virtual);
  for (int i : {1, 2, 3, 4, 5}) src.Select(i);
  EXPECT_EQ(CopyRun(src, dst, 1022), 2);  // H127 with five sources copies two
  EXPECT_EQ(NameAt(dst, 1022), "1");
  EXPECT_EQ(NameAt(dst, 1023), "2");
  EXPECT_TRUE(dst.Changed(1023));
  EXPECT_EQ(NameAt(dst, 0), "");

  SoundClipboard clip;
  EXPECT_FALSE(PasteFromClipboard(clip, dst, 0));
  EXPECT_FALSE(dst.Changed(0));
  CopyToClipboard(src, 42, clip);
  EXPECT_TRUE(PasteFromClipboard(clip, dst, 0));
  EXPECT_EQ(NameAt(dst, 0), "42");
  EXPECT_TRUE(dst.Changed(0));
}

TEST(Select, AllAndAllChangedOnlyAdd) {
  BankSet set;
  set.SetChanged(6);
  set.Select(2);
  SelectAllChanged(set);
  EXPECT_TRUE(set.IsSelected(2));
  EXPECT_TRUE(set.IsSelected(6));
  EXPECT_EQ(set.SelectedCount(), 2);
  SelectAll(set);
  EXPECT_EQ(set.SelectedCount(), kSlotCount);
}

}  // namespace
}  // namespace tarvix
