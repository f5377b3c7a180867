#include <gtest/gtest.h>

#include <set>

#include "library/InitSound.h"
#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/CopySounds.h"
#include "tools/Morph.h"
#include "tools/ParameterLocker.h"
#include "tools/ProgramEntries.h"

namespace tarvix {
namespace {

using namespace test;

TEST(MorphBlend, RoundsTowardsMinusInfinity) {
  const int cases[][4] = {{0, 127, 50, 63}, {127, 0, 50, 63},  // 127 + floor(-63.5)
                          {10, 0, 5, 9}, {0, 10, 5, 0}, {100, 0, 1, 99}, {255, 0, 100, 0}, {0, 255, 100, 255}};
  for (const auto& c : cases)
    EXPECT_EQ(BlendByte(static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]), c[2]), c[3]) << c[0] << c[1];
}

struct MorphFixture : ::testing::Test {
  BankSet blofeld;
  SentLog sent;
  Morph morph{blofeld, sent.Fn()};
  MorphFixture() { test::FillNoise(blofeld, 11); }
  SoundData ResultAt(int percent) {
    morph.TrackBarMoved(percent);
    EXPECT_TRUE(morph.Timer1Timer());
    return *morph.SavedSound();
  }
};

TEST_F(MorphFixture, EndsReproduceTheSoundsAndTheOptionPinsTheTuning) {
  const std::set<std::size_t> tuning{9, 10, 11, 12, 25, 26, 27, 28, 41, 42, 43, 44};
  morph.ChooseSounds(3, 900);
  SoundData s1 = blofeld.Sound(3), s2 = blofeld.Sound(900);
  for (bool detune : {true, false}) {
    morph.SetWithDetune(detune);
    const SoundData at0 = ResultAt(0), at100 = ResultAt(100);
    for (std::size_t o = 0; o < kSoundSize; ++o) {
      if (o == 5 || o == 6 || o == 64 || o == 65 || o == 390) continue;
      const std::uint8_t fixed[] = {64, 64, 66, 96};  // band range +2 in its centred byte
      const bool pinned = !detune && tuning.count(o);
      EXPECT_EQ(at0[o], pinned ? fixed[(o - 9) % 16] : s1[o]) << o;
      EXPECT_EQ(at100[o], pinned ? fixed[(o - 9) % 16] : s2[o]) << o;
    }
    EXPECT_TRUE(at100[64] == s1[64] && at100[65] == s1[65]);  // glide and allocation from the first sound
  }
}

TEST_F(MorphFixture, OnlyATrackBarMoveComputes) {
  EXPECT_FALSE(morph.Timer1Timer() || morph.CanSave());
  morph.ChooseSounds(1, 2);
  EXPECT_FALSE(morph.Timer1Timer());  // choosing arms nothing
  morph.TrackBarMoved(30);
  morph.TrackBarMoved(70);
  EXPECT_TRUE(morph.Timer1Timer());  // several moves, one computation at the last position
  EXPECT_EQ(morph.PercentText(), "70 %");
}

TEST_F(MorphFixture, SmallMoveSendsOnlyChangedBytesAndTheSavedSoundIsStamped) {
  blofeld.Sound(0).bytes.fill(0);
  blofeld.Sound(1).bytes.fill(0);
  blofeld.Sound(1)[100] = blofeld.Sound(1)[64] = blofeld.Sound(1)[65] = 127;  // 64/65 never sent
  morph.ChooseSounds(0, 1);
  ResultAt(0);
  sent.messages.clear();
  ResultAt(50);
  EXPECT_EQ(sent.messages, (std::vector<std::pair<int, int>>{{93, 63}}));

  blofeld.Sound(7)[390] = 100;
  blofeld.Sound(8)[390] = 0;
  blofeld.Sound(7)[5] = 3;
  morph.ChooseSounds(7, 8);
  const SoundData s = ResultAt(50);
  EXPECT_EQ(std::vector<int>({s[0], s[5], s[6], s[390], s[391]}), std::vector<int>({0xF0, 0, 0, 0x7F, 0xF7}));
  morph.SetWithDetune(true);  // a later option click refills the send buffer, not what a save writes
  EXPECT_EQ(*morph.SavedSound(), s);
  EXPECT_EQ(MorphedSound(blofeld.Sound(7), blofeld.Sound(8), 50, false), s);
}

struct LockerFixture : ::testing::Test {
  BankSet blofeld;
  SentLog sent;
  SoundData start = NoiseSound(999);
  ParameterLocker locker{blofeld, start, sent.Fn()};
  LockerFixture() { test::FillNoise(blofeld, 5); }
};

TEST_F(LockerFixture, MergeTakesEveryUnlockedGroupByteAndNothingElse) {
  locker.SelectProgram(17);
  EXPECT_GT(locker.Timer1Timer(), 0);
  const SoundData& src = blofeld.Sound(16);
  std::set<int> groups;
  for (const auto& g : LockGroups()) groups.insert(g.offsets.begin(), g.offsets.end());
  for (int o = 0; o < static_cast<int>(kSoundSize); ++o)
    EXPECT_EQ(locker.WorkSound[o], groups.count(o) ? src[o] : start[o]) << o;
  std::vector<std::pair<int, int>> expected;  // exactly the differing group bytes, ascending, with their new values
  for (int o : groups)
    if (start[o] != src[o]) expected.emplace_back(o - 7, src[o]);
  EXPECT_EQ(sent.messages, expected);
  sent.messages.clear();  // the slot it already matches sends nothing again
  locker.SelectProgram(17);
  EXPECT_EQ(locker.Timer1Timer(), 0);
  EXPECT_EQ(locker.Timer1Timer(), -1);  // flag consumed

  // Locked groups keep their bytes; unlocking after the selection but before the tick still counts.
  ParameterLocker l(blofeld, start, sent.Fn());
  for (int g = 0; g < kLockGroupCount; ++g) l.SetLocked(g, true);
  l.SelectProgram(3);
  l.SetLocked(12, false);  // LFO 2
  l.Timer1Timer();
  for (std::size_t o = 0; o < kSoundSize; ++o) {
    const bool lfo2 = (o >= 179 && o <= 180) || (o >= 182 && o <= 186) || o == 189;
    EXPECT_EQ(l.WorkSound[o], lfo2 ? blofeld.Sound(2)[o] : start[o]) << o;
  }
}

TEST_F(LockerFixture, NextCarriesIntoTheNextBankAndARandomSoundDrawsTheProgramFirst) {
  locker.SelectBank(3);
  locker.SelectProgram(128);
  locker.NextSound();
  EXPECT_TRUE(locker.SelBank == 4 && locker.SelProgram == 1);
  RandomSource r(77), replay(77);
  locker.RandomSound(r);
  const int program = static_cast<int>(replay.Random(128)) + 1;
  EXPECT_EQ(locker.SelBank, static_cast<int>(replay.Random(8)) + 1);
  EXPECT_EQ(locker.SelProgram, program);
  EXPECT_TRUE(locker.SelectionPending);
}

TEST_F(LockerFixture, EverySwapTwiceRestoresAndSendsOnlyDifferingBytes) {
  for (const auto& s : SwapButtons()) {
    locker.Swap(s.kind);
    sent.messages.clear();
    locker.Timer2Timer();
    std::set<int> moved;
    for (auto [a, b] : s.pairs)
      if (start[a] != start[b]) moved.insert({a - 7, b - 7});
    EXPECT_EQ(sent.Params(), std::vector<int>(moved.begin(), moved.end())) << s.caption;
    locker.Swap(s.kind);
    locker.Timer2Timer();
    EXPECT_EQ(locker.WorkSound, start) << s.caption;
  }
}

TEST_F(LockerFixture, RollsRotateOneColumnAndRestore) {
  locker.Roll(RollKind::DestUp);
  for (int k = 1; k <= 16; ++k) {
    EXPECT_EQ(locker.WorkSound[MatrixOffset(k, 1)], start[MatrixOffset(k % 16 + 1, 1)]) << k;
    for (int column : {0, 2}) EXPECT_EQ(locker.WorkSound[MatrixOffset(k, column)], start[MatrixOffset(k, column)]) << k;
  }
  locker.Roll(RollKind::DestDown);
  EXPECT_EQ(locker.WorkSound, start);
  locker.Roll(RollKind::AmountDown);
  EXPECT_EQ(locker.WorkSound[270], start[315]);  // slot 1 takes slot 16
  locker.Roll(RollKind::AmountUp);
  EXPECT_EQ(locker.WorkSound, start);
}

TEST_F(LockerFixture, TwoEditsWithinOnePeriodBothReachTheInstrument) {
  SoundData instrument = start;  // the instrument's edit buffer
  ParameterLocker l(blofeld, start, [&](int p, std::uint8_t v) { instrument[static_cast<std::size_t>(p + 7)] = v; });
  l.Swap(SwapKind::Filter1Filter2);
  l.Roll(RollKind::DestUp);
  l.Timer2Timer();
  EXPECT_EQ(instrument, l.WorkSound);
  l.Swap(SwapKind::Osc1Osc2);  // a merge between a swap and its send must not lose either
  l.SetLocked(0, true);
  l.SetLocked(1, true);
  l.SelectProgram(9);
  l.Timer1Timer();
  l.Swap(SwapKind::Env3Env4);
  l.Timer2Timer();
  EXPECT_EQ(instrument, l.WorkSound);
  EXPECT_EQ(l.Timer2Timer(), -1);  // flag consumed
}

TEST_F(LockerFixture, PanelCaptions) {
  SoundData s = MakeDefaultInitSound();
  s[15] = 1;         // oscillator 1 shape "Pulse"
  s[8] = 64;         // octave 1 8'
  s[9] = 76;         // semitone +12
  s[124] = 1;        // routing "serial"
  s[171] = 1;        // LFO 1 clocked, so the speed 115 reads as a sync name
  s[168] = 115;
  s[268] = 0;        // matrix slot 1 source "off"
  s[270] = 64 + 10;  // amount +10
  locker.WorkSound = s;
  auto caption = [&](std::string_view name) {
    for (int i = 0; i < kPanelLabelCount; ++i)
      if (PanelLabels()[static_cast<std::size_t>(i)].name == name) return locker.Caption(i);
    return std::string("?");
  };
  EXPECT_EQ(caption("lblOsc1"),
            "Osc1:  Pulse, off, off, Oct 8', 12, 0, 0, Keytrck 100%, 0, 0, 0, 127, Bal middle, on, 0");
  EXPECT_EQ(caption("lblFilterRouting"), "Filter Routing:  serial");
  EXPECT_NE(caption("lblLFO1").find("1/16."), std::string::npos) << caption("lblLFO1");
  EXPECT_EQ(caption("lblMatrixModulation").rfind("Matrix Modulation: (off, 10, ", 0), 0u);
}

TEST(CopySoundsRun, FillsFlagsReportsEachSlotAndStopsAtH128) {
  BankSet set;
  const SoundData five = MakeSound("Five", 0, 0, 0, 5), three = MakeSound("Three", 0, 0, 0, 3);
  set.Sound(Index('A', 5)) = five;
  std::vector<int> redrawn;
  EXPECT_EQ(CopySoundsRun(set, Index('A', 5), Index('D', 10), 3, [&](int i) { redrawn.push_back(i); }), 3);
  for (int i : redrawn) EXPECT_TRUE(set.Sound(i) == five && set.Changed(i)) << i;
  EXPECT_FALSE(set.Changed(Index('D', 13)) || set.Changed(Index('A', 5)) || set.Changed(Index('D', 9)));
  set.Sound(3) = three;  // a source inside the run: every slot still gets the source's bytes
  CopySoundsRun(set, 3, 2, 4);
  for (int i = 2; i < 6; ++i) EXPECT_EQ(set.Sound(i), three) << i;

  EXPECT_THROW(CopySoundsRun(set, 0, Index('H', 125), 10), CopyRunPastEnd);
  EXPECT_FALSE(set.Changed(1));  // no wrap to A001
  EXPECT_THROW(CopySoundsRun(set, 1024, 0, 1), std::out_of_range);

  const std::pair<const char*, int> counts[] = {{"007", 7}, {"99999999999999999999", 1}, {"-4", 0}};
  for (auto [in, n] : counts) EXPECT_EQ(CountOf(in), n) << in;
}

TEST(ProgramEntries, NumberBlankAndRawNameBytes) {
  BankSet set;
  SetSoundName(set, Index('B', 7), "Pad");
  set.Sound(Index('B', 7))[offs::kName + 15] = 0x01;  // every byte is taken as a character
  EXPECT_EQ(ProgramEntries(set, 1).at(6), std::string("7 Pad            \x01", 18));
  EXPECT_THROW(ProgramEntries(set, 8), std::out_of_range);
}

}  // namespace
}  // namespace tarvix
