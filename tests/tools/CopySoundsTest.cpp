#include <gtest/gtest.h>

#include "tools/CopySounds.h"
#include "tools/ProgramEntries.h"

namespace tarvix {
namespace {

SoundData Marked(std::uint8_t mark) {
  SoundData s{};
  s[100] = mark;
  SetSoundName(s, "Sound " + std::to_string(mark));
  return s;
}

int Index(char bank, int program) { return (bank - 'A') * kProgramsPerBank + program - 1; }

TEST(CopySoundsRun, FillsFlagsAndReportsEachSlot) {
  BankSet set;
  set.Sound(Index('A', 5)) = Marked(5);
  std::vector<int> redrawn;
  EXPECT_EQ(CopySoundsRun(set, Index('A', 5), Index('D', 10), 3, [&](int i) { redrawn.push_back(i); }), 3);
  EXPECT_EQ(redrawn, (std::vector<int>{Index('D', 10), Index('D', 11), Index('D', 12)}));
  for (int i : redrawn) EXPECT_TRUE(set.Sound(i) == Marked(5) && set.Changed(i)) << i;
  EXPECT_FALSE(set.Changed(Index('D', 13)) || set.Changed(Index('A', 5)) || set.Changed(Index('D', 9)));
  EXPECT_EQ(CopySoundsRun(set, 0, 500, 0), 0);
  EXPECT_FALSE(set.Changed(500));

  // A source inside the run: every slot still gets the source's bytes.
  set.Sound(3) = Marked(3);
  CopySoundsRun(set, 3, 2, 4);
  for (int i = 2; i < 6; ++i) EXPECT_EQ(set.Sound(i), Marked(3)) << i;
}

TEST(CopySoundsRun, StopsAtH128WithAnError) {
  BankSet set;
  set.Sound(0) = Marked(9);
  std::vector<int> redrawn;
  EXPECT_THROW(CopySoundsRun(set, 0, Index('H', 125), 10, [&](int i) { redrawn.push_back(i); }), CopyRunPastEnd);
  EXPECT_EQ(redrawn, (std::vector<int>{1020, 1021, 1022, 1023}));
  EXPECT_EQ(set.Sound(1023), Marked(9));
  EXPECT_FALSE(set.Changed(1));  // no wrap to A001
  EXPECT_THROW(CopySoundsRun(set, 1024, 0, 1), std::out_of_range);
}

TEST(CopySoundsCount, TextRule) {
  const std::pair<const char*, const char*> normal[] = {{"200", "128"}, {"128", "128"}, {"", "1"}, {"x", "1"}, {"0", "0"}};
  for (auto [in, out] : normal) EXPECT_EQ(NormalizeCount(in), out) << in;
  const std::pair<const char*, int> counts[] = {{"007", 7}, {"99999999999999999999", 1}, {"-4", 0}};
  for (auto [in, n] : counts) EXPECT_EQ(CountOf(in), n) << in;
}

TEST(ProgramEntries, NumberBlankAndRawNameBytes) {
  BankSet set;
  SetSoundName(set, Index('B', 7), "Pad");
  set.Sound(Index('B', 7))[offs::kName + 15] = 0x01;  // every byte is taken as a character
  const auto entries = ProgramEntries(set, 1);
  ASSERT_EQ(entries.size(), 128u);
  EXPECT_EQ(entries[6], std::string("7 Pad            \x01", 18));
  EXPECT_EQ(entries[127].substr(0, 4), "128 ");
  EXPECT_THROW(ProgramEntries(set, 8), std::out_of_range);
}

}  // namespace
}  // namespace tarvix
