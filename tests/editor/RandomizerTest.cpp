#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "editor/ControlTable.h"
#include "editor/InitCommands.h"
#include "editor/PackedRules.h"
#include "editor/Randomizer.h"
#include "tests/editor/ExpectBytes.h"

namespace tarvix {
namespace {

using C = RandomizerCommand;
using test::ExpectBytes;

std::vector<std::string> Controls(C c) {
  std::vector<std::string> out;
  for (const auto& s : RandomizerSteps(c)) {
    if (!s.control.empty()) out.push_back(s.control);
    if (!s.second.empty()) out.push_back(s.second);
  }
  return out;
}

// Step type and length sit in bits 4..6, accent and timing in bits 0..2, the glide LED in bit 3.
TEST(PackedRulesTest, EachRuleChangesOnlyItsOwnField) {
  for (int old = 0; old < 128; ++old)
    for (int v = 0; v < 8; ++v) {
      const auto o = static_cast<std::uint8_t>(old);
      EXPECT_EQ(WithArpStepType(o, v), v * 16 + (old & 15));
      EXPECT_EQ(WithArpAccent(o, v), (old & 0x78) + v);
      EXPECT_EQ(WithArpTiming(o, v), (old & 0x70) + v);
      EXPECT_EQ(WithArpLength(o, v), v * 16 + (old & 15));
      EXPECT_EQ(WithArpGlide(o, v % 2), v % 2 ? old & ~8 : old | 8);  // index 0 is "On"
    }
}

TEST(RandomizerTest, SoundDrawsEveryControlOnceAndTheGroupsInTheSameOrder) {
  // Every control is drawn once, except the amplifier's and the effect 2 controls only some types show.
  const auto sound = Controls(C::Sound);
  EXPECT_EQ(std::set<std::string>(sound.begin(), sound.end()).size(), sound.size());
  std::set<std::string> notDrawn;
  for (const auto& c : ControlTable())
    if (std::find(sound.begin(), sound.end(), c.control.name) == sound.end()) notDrawn.insert(c.control.name);
  EXPECT_EQ(notDrawn, (std::set<std::string>{"KnobAmplifierVolume", "KnobAmplifierVelocity", "cmbAmplifierModSource",
                                             "KnobAmplifierModAmount", "KnobEffect2Para9", "KnobEffect2Para10",
                                             "cmbEffect2Length"}));
  // The group commands together cover the same draws in the same order.
  std::vector<std::string> groups;
  for (C c : {C::Oscillators, C::Filters, C::Envelopes, C::Lfos, C::Matrix, C::Arpeggiator, C::Effects}) {
    const auto part = Controls(c);
    groups.insert(groups.end(), part.begin(), part.end());
  }
  EXPECT_EQ(groups, sound);
}

TEST(RandomizerTest, CommandsWriteOnlyTheirOwnBytes) {
  for (C c : AllRandomizerCommands()) {
    SoundData before{};
    // Full 8-bit bytes, as a damaged file may hold: what a command writes is still a valid data byte.
    for (std::size_t i = 0; i < kSoundSize; ++i) before[i] = static_cast<std::uint8_t>((i * 37) % 256);
    SoundData after = before;
    // Draw each control's highest value index, so most bytes change.
    RunRandomizer(c, after, [](std::string_view name) { return ValueCount(FindControl(name)->control) - 1; });
    std::set<int> allowed;
    for (const auto& s : RandomizerSteps(c)) {
      allowed.insert(s.offset);
      if (s.rule == StepRule::Shape) allowed.insert(s.offset + kSampleFlagDistance);
    }
    for (std::size_t i = 0; i < kSoundSize; ++i) {
      if (after[i] == before[i]) continue;
      EXPECT_TRUE(allowed.count(static_cast<int>(i))) << RandomizerCaption(c) << " @" << i;
      EXPECT_LT(after[i], 128) << RandomizerCaption(c) << " @" << i;
    }
  }
}

TEST(RandomizerTest, PackedBytesAndEncodings) {
  std::map<std::string, int> draw{{"cmbShape1", 130},    {"cmbShape2", 7},        {"cmbUnisono", 3},
                                  {"cmbAllocation", 1},  {"KnobOctave1", 2},      {"KnobSemitone1", -3},
                                  {"CheckLedLimitWT1", 1}, {"CheckLedSynctoOsc3", 0}};
  SoundData s{};
  s[38] = 1;  // an old sample flag of oscillator 2 is cleared by a wave shape
  const auto drawFn = [&](std::string_view c) {
    const auto it = draw.find(std::string(c));
    return it == draw.end() ? 0 : it->second;
  };
  RunRandomizer(C::Oscillators, s, drawFn);
  // Shape 130 is sample 5 with its flag; Limit WT dark (inverted flag 1), sync lit.
  ExpectBytes(s, {{15, 5}, {22, 1}, {31, 7}, {38, 0}, {65, 3 * 16 + 1}, {8, 16 + 24}, {9, 61}, {21, 1}, {56, 1}});

  SoundData e{};
  draw = {{"cmbEnvelope3Trigger", 1}, {"cmbEnvelope3Mode", 4}, {"KnobEnvelope3Attack", 9}};
  RunRandomizer(C::Envelope3, e, drawFn);
  ExpectBytes(e, {{227, 36}, {230, 9}});  // trigger and mode share a byte

  // Init Arp: every step "normal", no glide, accent "*1" (a stored "silent" would stay), draws in their own fields.
  SoundData a{};
  for (int k = 0; k < 16; ++k) a[334 + k] = 0x08, a[350 + k] = 0x7F;  // glide, accent "silent"
  draw = {{"KnobArpStep5", 6}, {"KnobArpTiming1", 2}, {"cmbArpClock", 9}};
  RunRandomizer(C::InitArp, a, drawFn);
  ExpectBytes(a, {{318, 1}, {321, 9}, {334, 0x04}, {335, 0x04}, {338, 6 * 16 + 4}, {350, 0x70 + 2}, {351, 0x70}});
  for (int k = 0; k < 16; ++k) EXPECT_NE(a[334 + k] & 7, 0) << "step " << k + 1 << " is silent";
}

// Parameter number -> value, as the init command table lists them.
using Expected = std::map<int, int>;

// Sets {parameter in the group, value} pairs in `count` groups `step` apart from parameter `first`.
void Fill(Expected& e, int first, int step, int count, std::initializer_list<std::pair<int, int>> values) {
  for (int n = 0; n < count; ++n)
    for (auto [k, v] : values) e[first + step * n + k] = v;
}

void ExpectWritten(void (*init)(SoundData&), const Expected& expected) {
  SoundData s{};
  for (std::size_t i = 0; i < kSoundSize; ++i) s[i] = 0x55;
  init(s);
  for (std::size_t i = 0; i < kSoundSize; ++i) {
    const auto it = expected.find(static_cast<int>(i) - 7);
    EXPECT_EQ(s[i], it == expected.end() ? 0x55 : it->second) << "offset " << i;
  }
}

TEST(InitCommandsTest, WriteTheTableValues) {
  Expected osc{{49, 0}, {50, 0}, {51, 64}, {53, 0}, {56, 0}, {57, 0}, {58, 16}, {59, 0},
               {67, 0}, {68, 64}, {69, 64}, {71, 0}, {72, 64}};
  Fill(osc, 1, 16, 3, {{0, 64}, {1, 64}, {2, 64}, {3, 64}, {4, 96}, {5, 0}, {6, 0}, {7, 0}, {8, 127}, {9, 0},
                       {10, 64}, {13, 0}, {15, 0}});
  osc[8] = 1;  // oscillator 1 pulse
  Fill(osc, 15, 16, 2, {{0, 0}});  // sample flag: oscillators 1 and 2 play their wave, not a sample
  Fill(osc, 61, 2, 3, {{0, 127}, {1, 64}});
  ExpectWritten(InitOscillators, osc);
  Expected flt{{117, 0}};
  Fill(flt, 77, 20, 2, {{0, 0}, {1, 127}, {3, 0}, {4, 0}, {5, 0}, {9, 96}, {10, 64}, {11, 64}, {12, 0}, {13, 64},
                        {14, 0}, {15, 0}, {16, 64}, {17, 0}, {18, 64}});
  ExpectWritten(InitFilters, flt);
  Expected env, lfo, mtx;
  Fill(env, 196, 12, 4, {{0, 0}, {3, 0}, {4, 0}, {5, 64}, {6, 64}, {7, 0}, {8, 0}, {9, 64}});
  ExpectWritten(InitEnvelopes, env);
  Fill(lfo, 160, 12, 3, {{0, 0}, {1, 64}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 64}, {10, 64}});
  ExpectWritten(InitLfos, lfo);
  Fill(mtx, 261, 3, 16, {{0, 0}, {1, 0}, {2, 64}});
  Fill(mtx, 245, 4, 4, {{0, 0}, {1, 0}, {2, 0}, {3, 64}});
  ExpectWritten(InitMatrix, mtx);
  ExpectWritten(InitEffects, {{128, 0}, {144, 0}});

  Expected all{{128, 0}, {144, 0}};
  for (const Expected* part : {&osc, &flt, &env, &lfo, &mtx}) all.insert(part->begin(), part->end());
  ExpectWritten(InitSoundSections, all);
}

}  // namespace
}  // namespace tarvix
