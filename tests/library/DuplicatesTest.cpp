#include <gtest/gtest.h>

#include "library/Duplicates.h"
#include "tests/support/Sounds.h"

namespace tarvix {
namespace {

using test::MakeSound;

// A sound no other slot shares: parameter bytes 100..102 spell out a number.
SoundData Unique(int n, const std::string& name = "Unique") {
  SoundData s = MakeSound(name);
  s[100] = static_cast<std::uint8_t>(n & 0x7F);
  s[101] = static_cast<std::uint8_t>((n >> 7) & 0x7F);
  s[102] = 1;
  return s;
}

struct Sets {
  BankSet blofeld{BankSetKind::Blofeld};
  BankSet virt{BankSetKind::Virtual};
  Sets() {
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = Unique(i);
      virt.Sound(i) = Unique(kSlotCount + i);
    }
  }
};

constexpr auto B = BankSetKind::Blofeld;
constexpr auto V = BankSetKind::Virtual;

TEST(Duplicates, GroupsTheSameParametersAcrossNamesCategoriesSlotsAndSets) {
  Sets s;
  EXPECT_TRUE(FindDuplicates(s.blofeld, s.virt).empty());

  // One sound in three places, relabelled and at other positions.
  SoundData pad = Unique(5000, "Warm Pad");
  s.virt.Sound(900) = pad;
  SoundData renamed = pad;
  SetSoundName(renamed, "Pad copy");
  SetCategory(renamed, 7);
  renamed[offs::kBank] = 3;
  renamed[offs::kProgram] = 9;
  s.blofeld.Sound(200) = renamed;
  s.virt.Sound(4) = pad;
  // A second pair, found earlier in the Blofeld banks.
  s.blofeld.Sound(10) = Unique(6000);
  s.blofeld.Sound(11) = Unique(6000);
  // A near twin: one parameter byte apart is another sound.
  SoundData twin = pad;
  twin[150] ^= 1;
  s.blofeld.Sound(300) = twin;

  const auto groups = FindDuplicates(s.blofeld, s.virt);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].rows, (std::vector<DuplicateRow>{{B, 10}, {B, 11}}));
  EXPECT_EQ(groups[1].rows, (std::vector<DuplicateRow>{{B, 200}, {V, 4}, {V, 900}}));
  EXPECT_EQ(groups[1].fingerprint, FingerprintOf(pad));
  EXPECT_EQ(RowsIn(groups[1], V), (std::vector<int>{4, 900}));
  EXPECT_EQ(RowsIn(groups[1], B), (std::vector<int>{200}));
  EXPECT_TRUE(RowsIn(groups[0], V).empty());
}

TEST(Duplicates, EmptyAndUnloadedSlotsAreNeverDuplicates) {
  struct Case {
    const char* what;
    SoundData sound;
    bool candidate;
  };
  SoundData empty = Unique(7000);
  SetCategory(empty, kEmptyCategory);
  SoundData zeros{};
  SoundData lastCategory = Unique(7001);
  SetCategory(lastCategory, kCategoryCount - 1);
  const Case cases[] = {
      {"empty slot", empty, false},
      {"never loaded", zeros, false},
      {"a sound", Unique(7002), true},
      {"highest named category", lastCategory, true},
  };
  for (const Case& c : cases) {
    Sets s;
    for (int i : {0, 1, 500}) s.blofeld.Sound(i) = c.sound;
    s.virt.Sound(0) = c.sound;
    EXPECT_EQ(IsDuplicateCandidate(c.sound), c.candidate) << c.what;
    EXPECT_EQ(FindDuplicates(s.blofeld, s.virt).size(), c.candidate ? 1u : 0u) << c.what;
  }
}

}  // namespace
}  // namespace tarvix
