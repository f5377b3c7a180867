#include <gtest/gtest.h>

#include <set>

#include "library/InitSound.h"
#include "tests/support/TempDir.h"
#include "tests/support/Sounds.h"
#include "tests/tools/ToolsTestSupport.h"
#include "tools/ParameterLocker.h"

namespace tarvix {
namespace {

using test::NoiseSound;
using test::SentLog;

std::set<int> AllGroupOffsets() {
  std::set<int> all;
  for (const auto& g : LockGroups()) all.insert(g.offsets.begin(), g.offsets.end());
  return all;
}

struct LockerFixture : ::testing::Test {
  BankSet blofeld;
  SentLog sent;
  SoundData start = NoiseSound(999);
  ParameterLocker locker{blofeld, start, sent.Fn()};
  LockerFixture() { test::FillNoise(blofeld, 5); }
  void LockAll(bool on) {
    for (int g = 0; g < kLockGroupCount; ++g) locker.SetLocked(g, on);
  }
};

TEST(LockerTables, GroupsAreDisjointAndHoldTheDocumentedByteCount) {
  std::size_t total = 0;
  for (const auto& g : LockGroups()) total += g.offsets.size();
  EXPECT_EQ(AllGroupOffsets().size(), total);  // disjoint
  EXPECT_EQ(total, 295u);
  for (int o : {7, 51, 52, 54, 77, 86, 123, 169, 316, 328, 366, 370, 386, 389}) EXPECT_FALSE(AllGroupOffsets().count(o)) << o;
  for (const auto& s : SwapButtons()) {
    std::set<int> touched;
    for (auto [a, b] : s.pairs) {
      EXPECT_TRUE(touched.insert(a).second && touched.insert(b).second) << s.caption;
    }
  }
}

TEST_F(LockerFixture, UnlockedMergeTakesEveryGroupByteAndNothingElse) {
  locker.SelectProgram(17);
  EXPECT_EQ(locker.Timer1Timer() > 0, true);
  const SoundData& src = blofeld.Sound(16);
  const auto groups = AllGroupOffsets();
  for (std::size_t o = 0; o < kSoundSize; ++o) {
    const int oi = static_cast<int>(o);
    EXPECT_EQ(locker.WorkSound[o], groups.count(oi) ? src[o] : start[o]) << o;
  }
  // Sent exactly the differing group bytes, ascending, with their new values.
  std::vector<std::pair<int, int>> expected;
  for (int o : groups)
    if (start[static_cast<std::size_t>(o)] != src[static_cast<std::size_t>(o)]) expected.emplace_back(o - 7, src[static_cast<std::size_t>(o)]);
  EXPECT_EQ(sent.messages, expected);
  // The slot it already matches sends nothing again.
  sent.messages.clear();
  locker.SelectProgram(17);
  EXPECT_EQ(locker.Timer1Timer(), 0);
  EXPECT_EQ(locker.Timer1Timer(), -1);  // flag consumed
}

TEST_F(LockerFixture, LockedGroupsKeepTheirBytesReadAtMergeTime) {
  LockAll(true);
  locker.NextSound();
  EXPECT_EQ(locker.Timer1Timer(), 0);
  EXPECT_EQ(locker.WorkSound, start);
  EXPECT_TRUE(sent.messages.empty());
  // Unlocking after the selection but before the tick still counts.
  locker.SelectProgram(3);
  locker.SetLocked(12, false);  // LFO 2
  locker.Timer1Timer();
  for (std::size_t o = 0; o < kSoundSize; ++o) {
    const bool lfo2 = (o >= 179 && o <= 180) || (o >= 182 && o <= 186) || o == 189;
    EXPECT_EQ(locker.WorkSound[o], lfo2 ? blofeld.Sound(2)[o] : start[o]) << o;
  }
}

TEST_F(LockerFixture, SelectorWrapsAndBankChangeKeepsTheProgram) {
  locker.SelectBank(8);
  locker.SelectProgram(128);
  locker.NextSound();
  EXPECT_EQ(std::make_pair(locker.SelBank, locker.SelProgram), std::make_pair(1, 1));
  locker.PrevSound();
  EXPECT_EQ(std::make_pair(locker.SelBank, locker.SelProgram), std::make_pair(8, 128));
  locker.SelectBank(3);
  locker.NextSound();
  EXPECT_EQ(std::make_pair(locker.SelBank, locker.SelProgram), std::make_pair(4, 1));

  locker.SelectBank(2);
  locker.SelectProgram(17);
  locker.SelectBank(4);  // D17 is what the next tick merges
  locker.Timer1Timer();
  EXPECT_EQ(locker.FlatIndex(), 3 * 128 + 16);
  EXPECT_EQ(locker.WorkSound[100], blofeld.Sound(3 * 128 + 16)[100]);

  RandomSource r(77), replay(77);
  locker.RandomSound(r);
  const int program = static_cast<int>(replay.Random(128)) + 1;
  const int bank = static_cast<int>(replay.Random(8)) + 1;
  EXPECT_EQ(std::make_pair(locker.SelBank, locker.SelProgram), std::make_pair(bank, program));
  EXPECT_TRUE(locker.SelectionPending);
}

TEST_F(LockerFixture, EverySwapTwiceRestoresAndSendsOnlyDifferingBytes) {
  for (const auto& s : SwapButtons()) {
    locker.Swap(s.kind);
    EXPECT_EQ(locker.UndoSound, start);
    sent.messages.clear();
    locker.Timer2Timer();
    std::vector<int> expected;
    std::set<int> moved;
    for (auto [a, b] : s.pairs)
      if (start[static_cast<std::size_t>(a)] != start[static_cast<std::size_t>(b)]) moved.insert({a - 7, b - 7});
    expected.assign(moved.begin(), moved.end());
    EXPECT_EQ(sent.Params(), expected) << s.caption;
    for (auto [a, b] : s.pairs) {
      EXPECT_EQ(locker.WorkSound[static_cast<std::size_t>(a)], start[static_cast<std::size_t>(b)]) << s.caption;
      EXPECT_EQ(locker.WorkSound[static_cast<std::size_t>(b)], start[static_cast<std::size_t>(a)]) << s.caption;
    }
    locker.Swap(s.kind);
    locker.Timer2Timer();
    EXPECT_EQ(locker.WorkSound, start) << s.caption;
  }
}

TEST_F(LockerFixture, SwapsLeaveShapesTypesAndUnmatchedBytesAlone) {
  locker.WorkSound[172] = 1;
  locker.WorkSound[184] = 2;
  locker.Swap(SwapKind::LFO1LFO2);
  EXPECT_EQ(locker.WorkSound[172], 2);
  EXPECT_EQ(locker.WorkSound[184], 1);

  const SoundData before = locker.WorkSound;
  locker.Swap(SwapKind::Osc1Osc3);
  for (std::size_t o : {15, 19, 20, 22, 47, 51, 52, 54}) EXPECT_EQ(locker.WorkSound[o], before[o]) << o;
  EXPECT_EQ(locker.WorkSound[8], before[40]);
  EXPECT_EQ(locker.WorkSound[69], before[73]);
  const SoundData beforeFx = locker.WorkSound;
  locker.Swap(SwapKind::Effect1Effect2);
  EXPECT_EQ(locker.WorkSound[135], beforeFx[135]);
  EXPECT_EQ(locker.WorkSound[151], beforeFx[151]);
  EXPECT_EQ(locker.WorkSound[136], beforeFx[152]);
}

TEST_F(LockerFixture, RollsRotateOneColumnAndRestore) {
  locker.Roll(RollKind::DestUp);
  for (int k = 1; k <= 16; ++k) {
    EXPECT_EQ(locker.WorkSound[static_cast<std::size_t>(MatrixOffset(k, 1))], start[static_cast<std::size_t>(MatrixOffset(k % 16 + 1, 1))]);
    EXPECT_EQ(locker.WorkSound[static_cast<std::size_t>(MatrixOffset(k, 0))], start[static_cast<std::size_t>(MatrixOffset(k, 0))]);
    EXPECT_EQ(locker.WorkSound[static_cast<std::size_t>(MatrixOffset(k, 2))], start[static_cast<std::size_t>(MatrixOffset(k, 2))]);
  }
  locker.Roll(RollKind::DestDown);
  EXPECT_EQ(locker.WorkSound, start);
  locker.Roll(RollKind::AmountDown);
  EXPECT_EQ(locker.WorkSound[270], start[315]);  // slot 1 takes slot 16
  locker.Roll(RollKind::AmountUp);
  EXPECT_EQ(locker.WorkSound, start);
  for (RollKind k : {RollKind::DestUp, RollKind::DestDown, RollKind::AmountUp, RollKind::AmountDown}) {
    for (int i = 0; i < 16; ++i) locker.Roll(k);
    EXPECT_EQ(locker.WorkSound, start);
  }
}

TEST_F(LockerFixture, TwoEditsWithinOnePeriodBothReachTheInstrument) {
  // Model the instrument's edit buffer to see what it ends up holding.
  SoundData instrument = start;
  ParameterLocker l(blofeld, start, [&](int p, std::uint8_t v) { instrument[static_cast<std::size_t>(p + 7)] = v; });
  l.Swap(SwapKind::Filter1Filter2);
  l.Roll(RollKind::DestUp);
  l.Timer2Timer();
  EXPECT_EQ(instrument, l.WorkSound);
  // A merge between a swap and its send must not lose either.
  l.Swap(SwapKind::Osc1Osc2);
  l.SetLocked(0, true);
  l.SetLocked(1, true);
  l.SelectProgram(9);
  l.Timer1Timer();
  l.Swap(SwapKind::Env3Env4);
  l.Timer2Timer();
  EXPECT_EQ(instrument, l.WorkSound);
  EXPECT_FALSE(l.EditPending);
  EXPECT_EQ(l.Timer2Timer(), -1);
}

TEST_F(LockerFixture, PanelCaptionsShowTheEditorsTexts) {
  SoundData s = MakeDefaultInitSound();
  s[15] = 1;    // oscillator 1 shape "Pulse"
  s[8] = 64;    // octave 1 8'
  s[9] = 76;    // semitone +12
  s[124] = 1;   // routing "serial"
  s[171] = 1;   // LFO 1 clocked
  s[168] = 115; // LFO 1 speed: clocked, so a sync name
  s[268] = 0;   // matrix slot 1 source "off"
  s[270] = 64 + 10;  // amount +10
  locker.WorkSound = s;
  auto caption = [&](std::string_view name) {
    const auto& labels = PanelLabels();
    for (int i = 0; i < kPanelLabelCount; ++i)
      if (labels[static_cast<std::size_t>(i)].name == name) return locker.Caption(i);
    return std::string("?");
  };
  const std::string osc1 = caption("lblOsc1");
  EXPECT_EQ(osc1.rfind("Osc1:  Pulse, ", 0), 0u) << osc1;
  EXPECT_NE(osc1.find("Oct 8', 12, "), std::string::npos) << osc1;  // octave and semitone as shown
  EXPECT_EQ(caption("lblFilterRouting"), "Filter Routing:  serial");
  EXPECT_NE(caption("lblLFO1").find("1/16."), std::string::npos) << caption("lblLFO1");
  const std::string matrix = caption("lblMatrixModulation");
  EXPECT_EQ(matrix.rfind("Matrix Modulation: (off, 10, ", 0), 0u) << matrix;
  // A byte outside its list reads as its number rather than a wrong name.
  locker.WorkSound[124] = 99;
  EXPECT_EQ(caption("lblFilterRouting"), "Filter Routing:  99");
}

TEST_F(LockerFixture, SaveStampsTheWorkSoundAndAsksBeforeReplacing) {
  test::TempDir dir;
  test::ScriptedPrompter prompter;
  locker.WorkSound[5] = 4;
  ASSERT_TRUE(locker.Save(dir / "l.syx", prompter));
  const auto bytes = test::ReadAll(dir / "l.syx");
  ASSERT_EQ(bytes.size(), 392u);
  EXPECT_EQ(std::vector<int>({bytes[5], bytes[6], bytes[390]}), std::vector<int>({0, 0, 127}));
  EXPECT_EQ(locker.WorkSound[390], 127);  // kept in the working sound
  locker.WorkSound[200] ^= 1;
  prompter.answers = {Answer::Cancel};
  EXPECT_FALSE(locker.Save(dir / "l.syx", prompter));
  EXPECT_EQ(test::ReadAll(dir / "l.syx"), bytes);
}

}  // namespace
}  // namespace tarvix
