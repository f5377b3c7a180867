#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "library/BankOperations.h"
#include "library/SortFind.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using namespace test;

// A set whose slot i is named "<i>" (so every name differs).
BankSet Numbered(BankSetKind kind = BankSetKind::Blofeld) {
  BankSet set(kind);
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound(std::to_string(i));
  return set;
}

std::string NameAt(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }
std::string Names(const BankSet& set, std::initializer_list<int> rows) {
  std::string s;
  for (int i : rows) s += (s.empty() ? "" : " ") + NameAt(set, i);
  return s;
}

TEST(MoveSelection, BlocksMoveWithTheirSelectionAndTheDisplacedSoundGoesRound) {
  BankSet set = Numbered();
  SelectOnly(set, {4, 5});
  ASSERT_TRUE(MoveSelectionUp(set));
  EXPECT_EQ(Names(set, {3, 4, 5, 6}), "4 5 3 6");
  EXPECT_TRUE(set.Changed(3) && set.Changed(6) && !set.Changed(2));  // A007 is flagged though unchanged
  EXPECT_EQ(set.CurrentIndex, 3);  // a current row outside the block goes to the block's leading row

  SelectOnly(set, {9, 19});  // A010 and A020 move independently
  ASSERT_TRUE(MoveSelectionDown(set));
  EXPECT_EQ(Names(set, {9, 10, 19, 20}), "10 9 20 19");
  EXPECT_EQ(set.CurrentIndex, 20);

  // Edges, no current row and no selection move nothing.
  set = Numbered();
  SelectOnly(set, {0});
  EXPECT_FALSE(MoveSelectionUp(set));
  SelectOnly(set, {1023});
  EXPECT_FALSE(MoveSelectionDown(set));
  EXPECT_TRUE(MoveSelectionUp(set));
  EXPECT_EQ(Names(set, {0, 1022, 1023}), "0 1023 1022");
  SelectOnly(set, {1});
  set.CurrentIndex = -1;
  EXPECT_FALSE(MoveSelectionUp(set));
  BankSet none = Numbered();
  EXPECT_FALSE(MoveSelectionDown(none));
}

TEST(MoveSelection, ToARowPutsTheBlockThereKeepingEverySound) {
  BankSet set = Numbered();
  SelectOnly(set, {9, 10, 11});
  set.CurrentIndex = 11;
  int steps = 0;
  MoveSelectionTo(set, 49, [&] { ++steps; });  // Ctrl+right click on A050
  EXPECT_EQ(steps, 38);
  EXPECT_EQ(Names(set, {47, 48, 49}), "9 10 11");
  EXPECT_EQ(set.CurrentIndex, 49);  // the current row arrives with the block
  MoveSelectionTo(set, 4);
  EXPECT_EQ(Names(set, {4, 5, 6, 7}), "9 10 11 4");
  EXPECT_EQ(set.CurrentIndex, 6);
  // A target inside the block moves it down by one.
  SelectOnly(set, {10, 11, 12});
  MoveSelectionTo(set, 11);
  EXPECT_EQ(set.SelectionList, (std::vector<int>{11, 12, 13}));
}

TEST(ExchangeOrCopy, SwapsCopiesAndAsksWithTheTrimmedNames) {
  BankSet blofeld(BankSetKind::Blofeld), virt(BankSetKind::Virtual);
  blofeld.Sound(128) = MakeSound("  Bass");
  virt.Sound(2) = MakeSound("Pad 1");
  test::ScriptedPrompter p;
  p.answers = {Answer::No};
  EXPECT_FALSE(ExchangeOrCopy(virt, 2, blofeld, 128, ExchangeMode::VirtualToBlofeld, true, p));
  EXPECT_EQ(p.asked, std::vector<std::string>{"Do you want to overwrite \"Bass\" with2 \"Pad 1\" ?"});
  EXPECT_TRUE(NameAt(blofeld, 128) == "Bass" && !blofeld.Changed(128));
  p.answers = {Answer::Yes};
  EXPECT_TRUE(ExchangeOrCopy(virt, 2, blofeld, 128, ExchangeMode::VirtualToBlofeld, true, p));
  EXPECT_TRUE(NameAt(blofeld, 128) == "Pad 1" && blofeld.Changed(128) && !virt.Changed(2));

  // Without the setting no question; mode 1 says "with".
  EXPECT_TRUE(ExchangeOrCopy(blofeld, 0, virt, 5, ExchangeMode::BlofeldToVirtual, false, p));
  EXPECT_EQ(p.asked.size(), 2u);
  EXPECT_EQ(OverwriteQuestion("A", "B", ExchangeMode::BlofeldToVirtual), "Do you want to overwrite \"A\" with \"B\" ?");

  EXPECT_TRUE(ExchangeOrCopy(blofeld, 7, blofeld, 7, ExchangeMode::Swap, true, p));
  EXPECT_TRUE(blofeld.Changed(7));  // a swap with itself still flags the slot
  ExchangeOrCopy(blofeld, 128, blofeld, 1, ExchangeMode::Swap, true, p);
  EXPECT_EQ(NameAt(blofeld, 1), "Pad 1");
}

TEST(CopyRunClipboardAndSelect, StopAtTheEndIgnoreAnEmptyClipboardAndOnlyAdd) {
  BankSet src = Numbered(), dst(BankSetKind::Virtual);
  for (int i : {1, 2, 3, 4, 5}) src.Select(i);
  EXPECT_EQ(CopyRun(src, dst, 1022), 2);  // H127 with five sources copies two
  EXPECT_EQ(Names(dst, {1022, 1023, 0}), "1 2 ");  // A001 stays empty
  EXPECT_TRUE(dst.Changed(1023));

  SoundClipboard clip;
  EXPECT_FALSE(PasteFromClipboard(clip, dst, 0));
  EXPECT_FALSE(dst.Changed(0));
  CopyToClipboard(src, 42, clip);
  EXPECT_TRUE(PasteFromClipboard(clip, dst, 0));
  EXPECT_TRUE(NameAt(dst, 0) == "42" && dst.Changed(0));

  BankSet set;
  set.SetChanged(6);
  SelectOnly(set, {2});
  SelectAllChanged(set);
  EXPECT_TRUE(set.IsSelected(2) && set.IsSelected(6) && set.SelectedCount() == 2);
  SelectAll(set);
  EXPECT_EQ(set.SelectedCount(), kSlotCount);
}

TEST(SendQuestion, NamesTheCountAndTheSlotsCompactly) {
  const struct {
    std::vector<int> slots;
    std::string text;
  } cases[] = {
      {{5}, "Send 1 sound to the Blofeld, replacing A006 there?"},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
       "Send 16 sounds to the Blofeld, replacing A001\u2013A016 there?"},
      {{0, 1, 2, 3, 137}, "Send 5 sounds to the Blofeld, replacing A001\u2013A004, B010 there?"},
      {{127, 128, 1023}, "Send 3 sounds to the Blofeld, replacing A128\u2013B001, H128 there?"},
  };
  for (const auto& c : cases) EXPECT_EQ(SendQuestion(c.slots), c.text);
  std::vector<int> every2nd;  // scattered slots stay readable: the runs past the limit are counted
  for (int i = 0; i < 40; i += 2) every2nd.push_back(i);
  EXPECT_EQ(SlotRunsText(every2nd, 3), "A001, A003, A005 and 17 more");

  BankSet set = Numbered();
  for (int i : {3, 4, 700}) set.Select(i);
  set.Sound(4)[offs::kCategory] = kEmptyCategory;  // empty slots are never sent
  EXPECT_EQ(SendableRows(set), (std::vector<int>{3, 700}));
}

TEST(Sort, SortsTheSelectedRowsByNameOrCategoryAndLeavesTheRest) {
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("Keep" + std::to_string(i));
  set.Sound(2) = MakeSound("bass 2");  // only ASCII letters are upper-cased for the key
  set.Sound(9) = MakeSound("Bass 1");
  set.Sound(128) = MakeSound("BASS");
  for (int i : {2, 9, 128}) set.Select(i);
  test::ScriptedPrompter p;
  SortBankSet(set, set, SortKind::ByName, 0, p);
  EXPECT_TRUE(p.asked.empty());
  EXPECT_EQ(Names(set, {2, 9, 128, 3}), "BASS Bass 1 bass 2 Keep3");
  EXPECT_FALSE(set.Changed(3));
  EXPECT_EQ(SortKey(MakeSound("\xE9t\xE9"), SortKind::ByName).substr(0, 3), "\xE9T\xE9");

  // By category, then name; categories without a name go last.
  int row = 0;
  for (auto [name, category] : {std::pair{"Arp", 6}, {"Zap", 3}, {"Odd", 13}, {"Aaa", 3}})
    set.Sound(row++) = MakeSound(name, category);
  SelectOnly(set, {0, 1, 2, 3});
  SortBankSet(set, set, SortKind::ByCategoryAndName, 0, p);
  EXPECT_EQ(Names(set, {0, 1, 2, 3}), "Aaa Zap Arp Odd");
}

TEST(Sort, OneSelectedRowAsksAndNoStillRefreshesTheBlofeldChecksums) {
  BankSet virt(BankSetKind::Virtual), blofeld;
  virt.Sound(0) = MakeSound("B");
  virt.Sound(1) = MakeSound("A");
  virt.Select(0);
  blofeld.Sound(1023)[offs::kBank] = 0;
  test::ScriptedPrompter p;
  p.answers = {Answer::No};
  SortBankSet(virt, blofeld, SortKind::ByName, 3, p);
  EXPECT_EQ(p.asked, std::vector<std::string>{"Sort all?"});
  EXPECT_EQ(TrimmedSoundName(virt.Sound(0)), "B");
  EXPECT_TRUE(blofeld.Sound(1023)[offs::kBank] == 7 && blofeld.Sound(1023)[offs::kDeviceId] == 3);  // stamped anew
  p.answers = {Answer::Yes};
  SortBankSet(virt, blofeld, SortKind::ByName, 3, p);
  EXPECT_EQ(virt.SelectedCount(), kSlotCount);
  EXPECT_EQ(TrimmedSoundName(virt.Sound(1022)), "A");  // 1022 empty names first
}

TEST(Sort, RandomSelectionsEndOrderedAndArePermutations) {
  std::mt19937 rng(3);
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) {
    std::string name;
    for (int k = 0; k < 4; ++k) name.push_back(static_cast<char>('a' + rng() % 4));
    set.Sound(i) = MakeSound(name + std::to_string(i % 3), static_cast<std::uint8_t>(rng() % 14));
    if (rng() % 2) set.Select(i);
  }
  std::vector<std::string> before, after;
  for (int i = 0; i < kSlotCount; ++i)
    if (set.IsSelected(i)) before.push_back(SortKey(set.Sound(i), SortKind::ByCategoryAndName));
  test::ScriptedPrompter p;
  SortBankSet(set, set, SortKind::ByCategoryAndName, 0, p);
  for (int i : set.SelectionList) after.push_back(SortKey(set.Sound(i), SortKind::ByCategoryAndName));
  EXPECT_TRUE(std::is_sorted(after.begin(), after.end()));
  std::sort(before.begin(), before.end());
  EXPECT_EQ(before, after);

  // Equal keys are never exchanged, so nothing is flagged.
  BankSet same;
  for (int i = 0; i < 3; ++i) same.Sound(i) = MakeSound("Same", 0, 0, 0, static_cast<std::uint8_t>(i + 1));
  SelectOnly(same, {0, 1, 2});
  SortBankSet(same, same, SortKind::ByName, 0, p);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(same.Sound(i)[100] == i + 1 && !same.Changed(i)) << i;
}

TEST(Find, NameOrCategoryWrapsAndIsCaseSensitive) {
  BankSet set;
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("x", 1);
  set.Sound(5) = MakeSound("Warm Pad", 1);
  set.Sound(9) = MakeSound("Sub", 3);
  SearchState s{"Pad", 3};
  set.CurrentIndex = 0;
  EXPECT_EQ(FindNext(set, s), 5);
  EXPECT_EQ(FindNext(set, s), 9);  // category Bass is enough
  EXPECT_TRUE(set.CurrentIndex == 9 && set.IsSelected(9) && set.SelectedCount() == 1);
  EXPECT_EQ(FindNext(set, s), 5);  // wraps past H128

  EXPECT_FALSE(FindNext(set, SearchState{"pad", SearchState::kAnyCategory}).has_value());
  EXPECT_FALSE(FindNext(set, SearchState{"", SearchState::kAnyCategory}).has_value());
  EXPECT_EQ(set.CurrentIndex, 5);  // no match leaves the current row

  set.CurrentIndex = 1023;  // from H128 a search starts at A001
  EXPECT_EQ(FindNext(set, SearchState{"", 1}), 0);
  set.CurrentIndex = 5;  // the current row itself is examined last
  for (int i = 0; i < kSlotCount; ++i) set.Sound(i) = MakeSound("x", 0);
  set.Sound(5) = MakeSound("Only", 0);
  EXPECT_EQ(FindNext(set, SearchState{"Only", SearchState::kAnyCategory}), 5);
  EXPECT_EQ(FindNext(set, SearchState{}), 6);  // the initial search finds Init
}

}  // namespace
}  // namespace tarvix
