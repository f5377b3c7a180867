#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "library/SortFind.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;

std::string Names(const BankSet& set, std::initializer_list<int> rows) {
  std::string s;
  for (int i : rows) s += TrimmedSoundName(set.Sound(i)) + ";";
  return s;
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
  EXPECT_EQ(Names(set, {2, 9, 128, 3}), "BASS;Bass 1;bass 2;Keep3;");
  EXPECT_FALSE(set.Changed(3));
  EXPECT_TRUE(set.IsSelected(2) && set.IsSelected(9) && set.IsSelected(128));
  EXPECT_EQ(set.Sound(128)[offs::kBank], 1);  // checksums refreshed
  EXPECT_EQ(SortKey(MakeSound("\xE9t\xE9"), SortKind::ByName).substr(0, 3), "\xE9T\xE9");

  // By category, then name; categories without a name go last.
  set.Sound(0) = MakeSound("Arp", 6);
  set.Sound(1) = MakeSound("Zap", 3);
  set.Sound(2) = MakeSound("Odd", 13);
  set.Sound(3) = MakeSound("Aaa", 3);
  set.ClearSelection();
  for (int i = 0; i < 4; ++i) set.Select(i);
  SortBankSet(set, set, SortKind::ByCategoryAndName, 0, p);
  EXPECT_EQ(Names(set, {0, 1, 2, 3}), "Aaa;Zap;Arp;Odd;");
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
  EXPECT_EQ(blofeld.Sound(1023)[offs::kBank], 7);
  EXPECT_EQ(blofeld.Sound(1023)[offs::kDeviceId], 3);
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
  for (int i = 0; i < 3; ++i) {
    same.Sound(i) = MakeSound("Same");
    same.Sound(i)[200] = static_cast<std::uint8_t>(i);
    same.Select(i);
  }
  SortBankSet(same, same, SortKind::ByName, 0, p);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(same.Sound(i)[200] == i && !same.Changed(i)) << i;
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
